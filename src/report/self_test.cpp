#include "report/self_test.h"

#include <algorithm>
#include <functional>
#include <random>
#include <string_view>
#include <utility>

#include "base/md5_digest.h"
#include "catalog/catalog.h"
#include "lint/catalog_lint.h"
#include "project/project_file.h"
#include "report/audit.h"
#include "safety/parameter_values.h"
#include "tci/module_record.h"
#include "xml/xml_parser.h"
#include "xml/xml_writer.h"

namespace norvane {

namespace {

// The CRC of "123456789" with the tool's parameters: the check value by which a CRC routine
// is known.
constexpr uint32_t kCheckValue = 0x6C9F84A8u;
constexpr std::string_view kCheckText = "123456789";

using Crc = std::function<uint32_t(uint32_t length, uint32_t initial, const uint8_t* data)>;

// A CRC (or the polynomial) in a finding, as the tool shows every CRC.
std::string Hex(uint32_t value) {
    return FormatCrc(true, value, 0);
}

const uint8_t* Bytes(std::string_view text) {
    return reinterpret_cast<const uint8_t*>(text.data());
}

class Checks {
  public:
    void Add(std::string name, std::string description, std::string fault) {
        const bool passed = fault.empty();
        list.push_back({std::move(name), std::move(description), passed, std::move(fault)});
    }
    std::vector<SelfTestCheck> list;
};

// The parameters seen from outside, the way a CRC catalogue defines them: a message that is a
// single 1 bit gives the polynomial (width 32, no reflection in or out), a byte 80 gives
// x^39 mod P (the first bit of a byte is its most significant), and no bytes or zero bytes
// from the initial value 0 give 0 (no final XOR).
std::string ParameterFault(const Crc& crc) {
    if (kSafetyCrcPolynomial != 0xF4ACFB13u) {
        return "the polynomial is " + Hex(kSafetyCrcPolynomial) + ", not F4ACFB13";
    }
    const uint8_t one = 0x01;
    if (const uint32_t value = crc(1, 0, &one); value != 0xF4ACFB13u) {
        return "the byte 01 gives " + Hex(value) + ", not the polynomial F4ACFB13";
    }
    const uint8_t high = 0x80;
    if (const uint32_t value = crc(1, 0, &high); value != 0xAFF0A10Cu) {
        return "the byte 80 gives " + Hex(value) + ", not AFF0A10C";
    }
    const uint8_t zeros[4] = {};
    if (const uint32_t value = crc(0, 0, zeros); value != 0) {
        return "no bytes give " + Hex(value) + ", not the initial value 0";
    }
    if (const uint32_t value = crc(4, 0, zeros); value != 0) {
        return "four zero bytes give " + Hex(value) + ", not 0";
    }
    return {};
}

std::string CheckValueFault(const Crc& crc) {
    const uint32_t value = crc(static_cast<uint32_t>(kCheckText.size()), 0, Bytes(kCheckText));
    return value == kCheckValue ? std::string()
                                : "\"123456789\" gives " + Hex(value) + ", not " + Hex(kCheckValue);
}

// The CRC as every shown CRC is computed: over a record from its fifth byte on.
std::string RecordFault() {
    // Four bytes the CRC does not cover, then the text.
    std::vector<uint8_t> record(4 + kCheckText.size(), 0xA5);
    std::copy(kCheckText.begin(), kCheckText.end(), record.begin() + 4);
    try {
        const uint32_t value = RecordSafetyCrc(record, static_cast<uint16_t>(kCheckText.size()));
        return value == kCheckValue
                   ? std::string()
                   : "the record gives " + Hex(value) + ", not " + Hex(kCheckValue);
    } catch (const ParamStreamError& error) {
        return std::string("no CRC: ") + error.what();
    }
}

std::string RoutinesAgreeFault(const SelfTestSetup& setup) {
    std::mt19937 random(setup.seed);
    std::vector<uint8_t> image(65535);
    for (size_t n = 0; n < setup.randomImages; ++n) {
        const auto length = static_cast<uint32_t>(random() % 65536);
        for (uint32_t i = 0; i < length; i += 4) {
            const auto word = static_cast<uint32_t>(random());  // mt19937: 32-bit words
            for (uint32_t k = 0; k < 4 && i + k < length; ++k) {
                image[i + k] = static_cast<uint8_t>(word >> (8 * k));
            }
        }
        const uint32_t table = setup.table(length, 0, image.data(), CrcDirection::Forward);
        const uint32_t bitwise = setup.bitwise(length, 0, image.data());
        if (table != bitwise) {
            return "image " + std::to_string(n + 1) + " of " + std::to_string(length) +
                   " bytes: table " + Hex(table) + ", bit-wise " + Hex(bitwise);
        }
    }
    return {};
}

// A module of up to 12 parameters of every type, each holding a value its field can hold.
std::vector<CatalogParameter> RandomModule(std::mt19937& random, int32_t& end) {
    std::vector<CatalogParameter> parameters;
    int32_t offset = 32 + static_cast<int32_t>(random() % 8);
    const int count = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
        CatalogParameter parameter;
        parameter.type = static_cast<ParamType>(1 + random() % 3);
        parameter.bitOffset = offset;
        parameter.bitLength = parameter.type == ParamType::Bool
                                  ? (random() % 2 == 0 ? 1 : 8)
                                  : 1 + static_cast<int32_t>(random() % 32);
        if (parameter.type == ParamType::Bool) {
            parameter.value = random() % 2;
        } else {
            const uint64_t span = uint64_t{1} << parameter.bitLength;
            parameter.value = static_cast<uint32_t>(random() % span);
            // An Int's top bit is its sign: the field holds the negative number.
            if (parameter.type == ParamType::Int && parameter.bitLength < 32 &&
                (parameter.value >> (parameter.bitLength - 1)) != 0) {
                parameter.value |= ~static_cast<uint32_t>(span - 1);
            }
        }
        parameters.push_back(parameter);
        offset += parameter.bitLength + static_cast<int32_t>(random() % 3);
    }
    end = offset;
    return parameters;
}

std::string ReadBackFault(const SelfTestSetup& setup) {
    std::mt19937 random(setup.seed);
    for (size_t n = 0; n < setup.randomModules; ++n) {
        int32_t end = 0;
        const std::vector<CatalogParameter> parameters = RandomModule(random, end);
        // One byte beyond the last field: a received record's last bit is never a field's.
        const auto size = static_cast<uint32_t>((end + 7) / 8 + 1);
        for (const DataFormat format : {DataFormat::Motorola, DataFormat::Intel}) {
            const std::string where =
                std::string(format == DataFormat::Intel ? "Intel" : "Motorola") + " module " +
                std::to_string(n + 1);
            try {
                const ParamStream image = BuildParamStream(format, size, parameters);
                for (const CatalogParameter& p : parameters) {
                    const std::optional<uint32_t> read =
                        ExtractParamValue(image.data, format, p.type, p.bitOffset, p.bitLength,
                                          static_cast<uint16_t>(size));
                    if (read != p.value) {
                        return where + ", " + std::string(ParamTypeName(p.type)) +
                               " field at bit " + std::to_string(p.bitOffset) + " of " +
                               std::to_string(p.bitLength) +
                               " bits: " + ParameterNumber(p.type, p.value) + " read back as " +
                               (read ? ParameterNumber(p.type, *read) : std::string("nothing"));
                    }
                }
                (void)ImageSafetyCrc(image, static_cast<uint16_t>(size - 4), parameters);
            } catch (const ParamStreamError& error) {
                return where + ": no CRC: " + error.what();
            }
        }
    }
    return {};
}

// Values their fields cannot hold must give no CRC at all.
std::string RefusalFault() {
    struct Case {
        const char* what;
        ParamType type;
        int32_t bitLength;
        uint32_t value;
    };
    const Case cases[] = {
        {"UInt 256 in 8 bits", ParamType::UInt, 8, 256},
        {"Int 128 in 8 bits", ParamType::Int, 8, 128},
        {"Int -129 in 8 bits", ParamType::Int, 8, static_cast<uint32_t>(-129)},
        {"Bool 2 in 1 bit", ParamType::Bool, 1, 2},
        {"Bool 1 in 16 bits, whose byte exchange moves the bit", ParamType::Bool, 16, 1},
    };
    for (const Case& c : cases) {
        CatalogParameter parameter;
        parameter.type = c.type;
        parameter.bitOffset = 32;
        parameter.bitLength = c.bitLength;
        parameter.value = c.value;
        for (const DataFormat format : {DataFormat::Motorola, DataFormat::Intel}) {
            try {
                const uint32_t crc = ParameterImageCrc(format, 4, {parameter});
                return std::string(c.what) + " gave the CRC " + Hex(crc);
            } catch (const ReadBackError&) {
                // refused, as it must be
            } catch (const ParamStreamError& error) {
                return std::string(c.what) + " was refused for another reason: " + error.what();
            }
        }
    }
    return {};
}

std::string XmlFault(const BundledFile& file) {
    const XmlRoot first = XmlParseText(file.bytes);
    if (!first) {
        return "it does not parse";
    }
    const std::optional<std::string> written = XmlCreateString(first.get());
    const XmlRoot second = written ? XmlParseText(*written) : XmlRoot();
    if (!second) {
        return "its written text does not parse";
    }
    const std::optional<std::string> again = XmlCreateString(second.get());
    if (!again || *again != *written) {
        return "written twice, the texts differ";
    }
    return {};
}

// Texts of every byte a project field may hold: all but the double quote and NUL, which the
// writer refuses.
std::string RandomText(std::mt19937& random, size_t maxLength, bool mayBeEmpty) {
    const size_t length = (mayBeEmpty ? 0 : 1) + random() % maxLength;
    std::string text;
    while (text.size() < length) {
        const auto byte = static_cast<char>(1 + random() % 255);
        if (byte != '"') {
            text += byte;
        }
    }
    return text;
}

std::string ProjectRoundTripFault(const SelfTestSetup& setup) {
    std::mt19937 random(setup.seed);
    for (size_t n = 0; n < setup.randomProjects; ++n) {
        ProjectData project;
        for (std::string* text :
             {&project.manufacturerName, &project.manufacturerId, &project.deviceName,
              &project.deviceId, &project.moduleName, &project.moduleId}) {
            *text = RandomText(random, 79, false);
        }
        project.description = RandomText(random, 79, true);
        project.busAddress = static_cast<int32_t>(random());
        project.manufacturerAccepted = random() % 2 == 0;
        project.deviceAccepted = random() % 2 == 0;
        project.moduleAccepted = random() % 2 == 0;
        project.busAddressAccepted = random() % 2 == 0;
        project.crc = static_cast<uint32_t>(random());
        project.crcValid = random() % 2 == 0;
        for (auto i = random() % 40; i > 0; --i) {
            ProjectParameter parameter;
            // Offsets and lengths as the reader reads them back: 0 to 2147483647.
            parameter.bitOffset = static_cast<uint32_t>(random() % 0x80000000u);
            parameter.bitLength = static_cast<uint32_t>(random() % 0x80000000u);
            parameter.selectedValue = static_cast<int32_t>(random());
            parameter.accepted = random() % 2 == 0;
            project.parameters.push_back(parameter);
        }
        try {
            if (ReadProjectText(ProjectFileText(project)) != project) {
                return "project " + std::to_string(n + 1) + " read back with other values";
            }
        } catch (const ProjectFileFailure&) {
            return "project " + std::to_string(n + 1) + " could not be written or read back";
        }
    }
    return {};
}

std::string Md5Fault() {
    // RFC 1321, appendix A.5.
    const std::pair<std::string_view, std::string_view> suite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    try {
        for (const auto& [text, expected] : suite) {
            // Built by appending: GCC 12 warns (-Wrestrict, a false alarm) on "\"" + string&&.
            std::string fault(1, '"');
            fault += text;
            fault += "\" ";
            const std::string digest = Md5Digest::DigestOf(text);
            if (digest != expected) {
                fault += "gives ";
                fault += digest;
                fault += ", not ";
                fault += expected;
                return fault;
            }
            // Fed a byte at a time, as a file is read in pieces.
            Md5Digest pieces;
            for (const char c : text) {
                pieces.Update(&c, 1);
            }
            if (pieces.HexDigest() != expected) {
                return fault + "fed byte by byte gives another digest";
            }
        }
    } catch (const DigestError&) {
        return "the digest facility failed";
    }
    return {};
}

std::string LintFault(const BundledFile& file) {
    const XmlRoot root = XmlParseText(file.bytes);
    if (!root) {
        return "it does not parse";
    }
    const std::vector<LintFinding> findings = LintCatalog(root.get());
    if (findings.empty()) {
        return {};
    }
    const LintFinding& first = findings.front();
    return std::to_string(findings.size()) + (findings.size() == 1 ? " finding" : " findings") +
           ", the first: " + (first.level == LintLevel::Error ? "error " : "warning ") +
           std::string(first.code);
}

std::string SampleProjectFault(const BundledFile& catalogFile, const BundledFile& project) {
    CatalogData catalog;
    catalog.Load(std::string(catalogFile.bytes));
    const AuditEntry entry = AuditProjectText(catalog, std::string(project.name), project.bytes);
    if (entry.status == AuditStatus::Ok) {
        return {};
    }
    std::string fault(AuditStatusName(entry.status));
    for (const AuditWord& word : entry.detail) {
        fault += ' ' + word.text;
    }
    return fault;
}

std::string Md5Of(const BundledFile& file) {
    try {
        return Md5Digest::DigestOf(file.bytes);
    } catch (const DigestError&) {
        return "unknown";
    }
}

}  // namespace

SelfTestSetup DefaultSelfTestSetup() {
    SelfTestSetup setup;
    for (const BundledFile& file : BundledExamples()) {
        if (file.name.ends_with(".kfx")) {
            setup.sampleProject = file;
        } else {
            setup.catalogs.push_back(file);
        }
    }
    return setup;
}

std::vector<SelfTestCheck> RunSelfTest(const SelfTestSetup& setup) {
    const Crc table = [&setup](uint32_t length, uint32_t initial, const uint8_t* data) {
        return setup.table(length, initial, data, CrcDirection::Forward);
    };
    const Crc bitwise = setup.bitwise;
    constexpr std::string_view kParameters =
        "width 32, polynomial 0xF4ACFB13, initial value 0, input and output not reflected, no "
        "final XOR";
    Checks checks;
    checks.Add("crc-parameters-table", "table routine: " + std::string(kParameters),
               ParameterFault(table));
    checks.Add("crc-parameters-bitwise", "bit-wise routine: " + std::string(kParameters),
               ParameterFault(bitwise));
    checks.Add("crc-check-value-table", "table routine: \"123456789\" gives 6C9F84A8",
               CheckValueFault(table));
    checks.Add("crc-check-value-bitwise", "bit-wise routine: \"123456789\" gives 6C9F84A8",
               CheckValueFault(bitwise));
    checks.Add("crc-record",
               "the CRC of a parameter record, as every CRC shown is computed: from its fifth "
               "byte on, both routines agreeing; \"123456789\" gives 6C9F84A8",
               RecordFault());
    checks.Add("crc-routines-agree",
               "table and bit-wise routine give the same CRC for " +
                   std::to_string(setup.randomImages) +
                   " random images of 0 to 65535 bytes (seed " + std::to_string(setup.seed) + ")",
               RoutinesAgreeFault(setup));
    checks.Add("image-read-back",
               "values of random modules (" + std::to_string(setup.randomModules) +
                   ", every type, Motorola and Intel) placed into the parameter image read back "
                   "as the same values, and the image gets a CRC",
               ReadBackFault(setup));
    checks.Add("image-read-back-refuses",
               "values their fields cannot hold get no CRC (read-back refuses them)",
               RefusalFault());
    for (const BundledFile& catalog : setup.catalogs) {
        checks.Add("xml-round-trip-" + std::string(catalog.name),
                   std::string(catalog.name) +
                       " parsed, written, parsed and written again gives the same text",
                   XmlFault(catalog));
    }
    checks.Add("project-file-round-trip",
               std::to_string(setup.randomProjects) +
                   " random projects written as project files read back as the same projects, "
                   "digest included",
               ProjectRoundTripFault(setup));
    checks.Add("md5-known-texts",
               "MD5 of the texts of RFC 1321, appendix A.5, whole and byte by byte", Md5Fault());
    for (const BundledFile& catalog : setup.catalogs) {
        checks.Add("lint-" + std::string(catalog.name),
                   std::string(catalog.name) + " (MD5 " + Md5Of(catalog) +
                       "): no finding of the catalog checks",
                   LintFault(catalog));
    }
    for (const BundledFile& catalog : setup.catalogs) {
        checks.Add("sample-project-" + std::string(catalog.name),
                   std::string(setup.sampleProject.name) + " (MD5 " + Md5Of(setup.sampleProject) +
                       ") opens in " + std::string(catalog.name) +
                       " as ok: every item verified, its CRC the CRC of its values",
                   SampleProjectFault(catalog, setup.sampleProject));
    }
    return std::move(checks.list);
}

size_t FailedChecks(const std::vector<SelfTestCheck>& checks) {
    size_t failed = 0;
    for (const SelfTestCheck& check : checks) {
        failed += check.passed ? 0 : 1;
    }
    return failed;
}

}  // namespace norvane
