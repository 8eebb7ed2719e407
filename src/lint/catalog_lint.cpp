#include "lint/catalog_lint.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>

#include "base/decimal_text.h"
#include "catalog/catalog.h"
#include "safety/parameter_values.h"

namespace norvane {

namespace {

constexpr LintCode kCodes[] = {
    {"no-manufacturers", LintLevel::Error},
    {"number-out-of-range", LintLevel::Error},
    {"missing-name", LintLevel::Error},
    {"missing-ident", LintLevel::Error},
    {"duplicate-ident", LintLevel::Error},
    {"duplicate-name", LintLevel::Warning},
    {"data-format", LintLevel::Error},
    {"bus-address-unverifiable", LintLevel::Error},
    {"bus-address-outside-limits", LintLevel::Warning},
    {"tci-record-too-long", LintLevel::Warning},
    {"no-parameters", LintLevel::Warning},
    {"bit-length", LintLevel::Error},
    {"unknown-type", LintLevel::Error},
    {"bool-bit-length", LintLevel::Warning},  // an error for 16 and 32 bits
    {"field-outside-image", LintLevel::Error},
    {"field-not-covered", LintLevel::Error},
    {"field-overlap", LintLevel::Error},
    {"limits-reversed", LintLevel::Error},
    {"default-outside-limits", LintLevel::Error},
    {"limit-exceeds-field", LintLevel::Error},
    {"enum-default-not-item", LintLevel::Error},
    {"enum-item-outside-limits", LintLevel::Warning},
    {"enum-duplicate-value", LintLevel::Warning},
};

// The CRC covers the record from its fifth byte on.
constexpr uint64_t kFirstCoveredBit = 32;
// A TCI call hands over a module record of 256 bytes.
constexpr uint32_t kTciRecordBytes = 256;

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string Str(int64_t number) {
    return std::to_string(number);
}

// A parameter's number as the catalog means it: signed for Int, unsigned otherwise.
std::string ValueText(ParamType type, uint32_t bits) {
    return type == ParamType::Int ? Str(AsSigned(bits)) : Str(bits);
}

// The first of a group of siblings to bear each key. Asked in list order, it finds the earlier
// sibling in constant time, so that a catalog with very many siblings is checked in linear time.
class FirstByKey {
  public:
    // The index of the first earlier record with `key`, or none when `index` is the first.
    std::optional<size_t> Earlier(const std::string& key, size_t index) {
        const auto [entry, inserted] = first_.try_emplace(key, index);
        return inserted ? std::nullopt : std::optional<size_t>(entry->second);
    }

  private:
    std::unordered_map<std::string, size_t> first_;
};

struct SiblingKeys {
    FirstByKey idents;
    FirstByKey names;
};

class Linter {
  public:
    std::vector<LintFinding> Run(const XmlElement* root) {
        if (root == nullptr) {
            return {};
        }
        CheckFileVersion(root);
        const std::vector<CatalogManufacturer> manufacturers = LoadCatalog(root);
        if (manufacturers.empty()) {
            names_.clear();
            Add("no-manufacturers",
                "the catalog holds no Hersteller element: the window refuses it at start-up");
        }
        CheckLevel(manufacturers, 0, &Linter::CheckManufacturer);
        return std::move(findings_);
    }

    // Checks every entry of one level, each under its name after the names of the `depth`
    // levels above it; the entries of one level share their keys, to find repeated ones.
    template <class Record>
    void CheckLevel(const std::vector<Record>& records, size_t depth,
                    void (Linter::*check)(const std::vector<Record>&, size_t, SiblingKeys&)) {
        SiblingKeys keys;
        for (size_t i = 0; i < records.size(); ++i) {
            names_.resize(depth);
            names_.push_back(records[i].name);
            (this->*check)(records, i, keys);
        }
    }

  private:
    void Add(std::string_view code, std::string text,
             std::optional<LintLevel> level = std::nullopt) {
        const auto* entry = std::find_if(std::begin(kCodes), std::end(kCodes),
                                         [&](const LintCode& c) { return c.code == code; });
        findings_.push_back({level.value_or(entry->level), entry->code, names_, std::move(text)});
    }

    // The attribute's number as written must lie within the field it is read into: the
    // reading keeps only the low 32 bits (16 for the short fields), and a number cut that
    // way reads as some other number without a word.
    void CheckNumber(const XmlElement* element, std::string_view name, int bits, bool isSigned) {
        const XmlAttribute* attribute = XmlFindAttribute(element, name);
        if (attribute == nullptr) {
            return;
        }
        const std::optional<std::string> value = XmlStripQuotes(attribute->value);
        if (!value) {
            return;
        }
        const LeadingDecimal number = SplitLeadingDecimal(*value);
        std::string_view digits = number.digits;
        while (digits.size() > 1 && digits.front() == '0') {
            digits.remove_prefix(1);
        }
        // Anything beyond 12 digits is out of every range; cap it so the sum cannot overflow.
        uint64_t magnitude = 0;
        for (const char digit : digits.substr(0, 12)) {
            magnitude = magnitude * 10 + static_cast<uint64_t>(digit - '0');
        }
        const bool huge = digits.size() > 12;
        const uint64_t width = uint64_t{1} << bits;
        bool fits = false;
        if (huge) {
            fits = false;
        } else if (isSigned) {
            fits = number.negative ? magnitude <= width / 2 : magnitude < width / 2;
        } else {
            fits = number.negative ? magnitude == 0 : magnitude < width;
        }
        if (fits) {
            return;
        }
        const uint32_t read = ParseLeadingDecimal(*value);
        std::string readText;
        if (bits == 16) {
            readText = Str(static_cast<uint16_t>(read));
        } else {
            readText = isSigned ? Str(AsSigned(read)) : Str(read);
        }
        std::string written = (number.negative ? "-" : "") + std::string(digits.substr(0, 24));
        if (digits.size() > 24) {
            written += "...";
        }
        Add("number-out-of-range", std::string(name) + "=" + Quoted(written) +
                                       " does not fit the " + (isSigned ? "signed " : "unsigned ") +
                                       Str(bits) + "-bit field it is read into: it reads as " +
                                       readText);
    }

    // The first FileVersion in document order, which is the one the catalog load reads.
    void CheckFileVersion(const XmlElement* root) {
        std::vector<std::pair<const XmlElement*, int32_t>> stack{{root, 0}};
        while (!stack.empty()) {
            const XmlElement* element = XmlNextElement(stack.back().first, stack.back().second);
            if (element == nullptr) {
                stack.pop_back();
                continue;
            }
            if (element->name == "FileVersion") {
                names_.clear();
                CheckNumber(element, "major", 32, true);
                CheckNumber(element, "minor", 32, true);
                return;
            }
            stack.emplace_back(element, 0);
        }
    }

    // Missing names and identifiers, and siblings that cannot be told apart.
    template <class Record>
    void CheckIdentity(const std::vector<Record>& siblings, size_t i, std::string_view what,
                       SiblingKeys& keys) {
        const Record& record = siblings[i];
        if (record.name.empty()) {
            Add("missing-name", "the " + std::string(what) +
                                    " has no name: it gets no list entry and cannot be selected");
        }
        if (record.identNumber.empty()) {
            Add("missing-ident", "the " + std::string(what) +
                                     " has no identNumber: no project or TCI call can name it");
        } else if (const std::optional<size_t> j = keys.idents.Earlier(record.identNumber, i)) {
            Add("duplicate-ident", "identNumber " + Quoted(record.identNumber) +
                                       " is also that of the earlier " + std::string(what) + " " +
                                       Quoted(siblings[*j].name) +
                                       ": projects and TCI calls reach only the first");
        }
        if (!record.name.empty() && keys.names.Earlier(record.name, i)) {
            Add("duplicate-name", "an earlier " + std::string(what) +
                                      " has the same name: selecting either by name reaches "
                                      "only the first");
        }
    }

    void CheckManufacturer(const std::vector<CatalogManufacturer>& manufacturers, size_t i,
                           SiblingKeys& manufacturerKeys) {
        CheckIdentity(manufacturers, i, "manufacturer", manufacturerKeys);
        CheckLevel(ReadDevices(manufacturers[i].node), 1, &Linter::CheckDevice);
    }

    void CheckDevice(const std::vector<CatalogDevice>& devices, size_t i, SiblingKeys& deviceKeys) {
        const CatalogDevice& device = devices[i];
        for (const char* name : {"busAddress", "busSpeed", "minAddr", "maxAddr"}) {
            CheckNumber(device.node, name, 32, true);
        }
        CheckNumber(device.node, "offsetModulParamStream", 16, false);
        CheckIdentity(devices, i, "device", deviceKeys);
        if (device.dataFormat == DataFormat::None) {
            const XmlAttribute* format = XmlFindAttribute(device.node, "dataFormat");
            const std::optional<std::string> text =
                format != nullptr ? XmlStripQuotes(format->value) : std::nullopt;
            Add("data-format", (text ? "dataFormat " + Quoted(*text) : std::string("dataFormat")) +
                                   " is neither \"Motorola\" nor \"Intel\"" +
                                   (text ? "" : " (missing)") +
                                   ": no image can be built for its modules");
        }
        if (device.enableBusAddress != 0 && device.busAddress < 0) {
            Add("bus-address-unverifiable",
                "enableBusAddress is \"yes\" but busAddress is " + Str(device.busAddress) +
                    ": there is no bus address item to verify, so its modules can never be all "
                    "verified in edit mode");
        }
        if (device.busAddress >= 0 &&
            (device.busAddress < device.minAddr || device.busAddress > device.maxAddr)) {
            Add("bus-address-outside-limits", "busAddress " + Str(device.busAddress) +
                                                  " lies outside minAddr " + Str(device.minAddr) +
                                                  " to maxAddr " + Str(device.maxAddr));
        }
        CheckLevel(ReadModules(device.node), 2, &Linter::CheckModule);
    }

    void CheckModule(const std::vector<CatalogModule>& modules, size_t i, SiblingKeys& moduleKeys) {
        const CatalogModule& module = modules[i];
        CheckNumber(module.node, "major", 16, false);
        CheckNumber(module.node, "minor", 16, false);
        for (const char* name : {"modulPlcAddress", "minAddr", "maxAddr"}) {
            CheckNumber(module.node, name, 32, true);
        }
        CheckNumber(module.node, "lenModulParam", 16, false);
        CheckNumber(module.node, "lenUserParam", 16, false);
        CheckIdentity(modules, i, "module", moduleKeys);
        const uint32_t recordBytes = uint32_t{module.lenUserParam} + 4;
        if (recordBytes > kTciRecordBytes) {
            Add("tci-record-too-long", "lenUserParam " + Str(module.lenUserParam) +
                                           " + 4 = " + Str(recordBytes) + " bytes exceeds the " +
                                           Str(kTciRecordBytes) +
                                           "-byte record of a TCI call: no CRC in TCI mode");
        }
        const std::vector<CatalogParameter> parameters =
            ReadParameters(module.parameterListElement);
        if (parameters.empty()) {
            Add("no-parameters",
                "the module has no parameters: every project for it fails to open");
        }
        parameterNames_ = {};
        bitOwners_.clear();
        for (size_t p = 0; p < parameters.size(); ++p) {
            names_.resize(3);
            names_.push_back(parameters[p].name);
            CheckParameter(parameters, p, recordBytes);
        }
    }

    static bool ValidLength(const CatalogParameter& parameter) {
        return parameter.bitLength >= 1 && parameter.bitLength <= 32;
    }

    // First and last record bit of a field that has a place in the record at all.
    static std::optional<std::pair<uint64_t, uint64_t>> Bits(const CatalogParameter& parameter) {
        if (!ValidLength(parameter) || parameter.bitOffset < 0) {
            return std::nullopt;
        }
        const auto first = static_cast<uint64_t>(parameter.bitOffset);
        return std::make_pair(first, first + static_cast<uint64_t>(parameter.bitLength) - 1);
    }

    static bool Reversed(const CatalogParameter& parameter) {
        switch (parameter.type) {
            case ParamType::Int:
                return AsSigned(parameter.min) > AsSigned(parameter.max);
            case ParamType::Bool:
            case ParamType::UInt:
                return parameter.min > parameter.max;
            case ParamType::None:
                break;
        }
        return false;
    }

    // Whether the window accepts `value` for the parameter: an enumeration's choice is
    // compared signed, a typed-in value by the parameter's type.
    static bool Accepted(const CatalogParameter& parameter, uint32_t value) {
        const ParamType comparison =
            parameter.paramView == ParamView::Enum ? ParamType::Int : parameter.type;
        return WithinLimits(comparison, value, parameter.min, parameter.max);
    }

    void CheckParameter(const std::vector<CatalogParameter>& parameters, size_t i,
                        uint32_t recordBytes) {
        const CatalogParameter& parameter = parameters[i];
        if (parameter.type != ParamType::None) {
            const bool isSigned = parameter.type == ParamType::Int;
            for (const char* name : {"defaultValue", "min", "max"}) {
                CheckNumber(parameter.node, name, 32, isSigned);
            }
        }
        CheckNumber(parameter.node, "bitOffset", 32, true);
        CheckNumber(parameter.node, "bitLength", 32, true);
        if (parameter.name.empty()) {
            Add("missing-name",
                "the parameter has no name: it has no tree item, so its module can never be "
                "all verified");
        } else if (parameterNames_.Earlier(parameter.name, i)) {
            Add("duplicate-name",
                "an earlier parameter of the module has the same name: lookups by name "
                "(enumeration items, --set) reach only the first");
        }
        CheckField(parameters, i, recordBytes);
        CheckLimits(parameter);
        if (parameter.paramView == ParamView::Enum) {
            CheckEnumeration(parameter);
        }
    }

    void CheckField(const std::vector<CatalogParameter>& parameters, size_t i,
                    uint32_t recordBytes) {
        const CatalogParameter& parameter = parameters[i];
        if (!ValidLength(parameter)) {
            Add("bit-length", "bitLength " + Str(parameter.bitLength) + " is not 1 to 32");
            return;
        }
        if (parameter.type == ParamType::None) {
            Add("unknown-type",
                "the type is none of Bool, Int and UInt: its values are not read, and no CRC can "
                "be given for any value but 0");
        }
        if (parameter.type == ParamType::Bool && parameter.bitLength != 1) {
            // A Bool is the one bit at its bitOffset; in a 16- or 32-bit field the byte
            // exchange moves a set bit away from there, so a 1 can never get a CRC.
            const bool exchanged = parameter.bitLength == 16 || parameter.bitLength == 32;
            Add("bool-bit-length",
                "a Bool parameter with bitLength " + Str(parameter.bitLength) + " instead of 1" +
                    (exchanged ? ": the byte exchange of the field moves its bit" : ""),
                exchanged ? std::optional(LintLevel::Error) : std::nullopt);
        }
        const uint64_t imageBits = uint64_t{recordBytes} * 8;
        const std::optional<std::pair<uint64_t, uint64_t>> bits = Bits(parameter);
        if (!bits) {
            Add("field-outside-image", "bitOffset " + Str(parameter.bitOffset) +
                                           " is negative: the field lies outside the image");
            return;
        }
        const auto [first, last] = *bits;
        const std::string range =
            "bits " + Str(static_cast<int64_t>(first)) + " to " + Str(static_cast<int64_t>(last));
        if (last >= imageBits) {
            Add("field-outside-image",
                range + " reach beyond the " + Str(recordBytes) + "-byte image (bits 0 to " +
                    Str(static_cast<int64_t>(imageBits) - 1) + ", lenUserParam + 4 bytes)");
        }
        if (first < kFirstCoveredBit) {
            Add("field-not-covered", range + (last < kFirstCoveredBit ? " lie" : " lie partly") +
                                         " below bit 32: the CRC covers the image from byte 4 on");
        }
        // Each bit remembers the first parameter that took it, so a field (at most 32 bits)
        // finds the earlier ones it shares bits with without a look at every other parameter.
        std::vector<size_t> owners;
        for (uint64_t bit = first; bit <= last; ++bit) {
            const auto [entry, taken] = bitOwners_.try_emplace(bit, i);
            if (!taken && std::find(owners.begin(), owners.end(), entry->second) == owners.end()) {
                owners.push_back(entry->second);
            }
        }
        std::sort(owners.begin(), owners.end());
        for (const size_t j : owners) {
            const std::optional<std::pair<uint64_t, uint64_t>> earlier = Bits(parameters[j]);
            const uint64_t from = std::max(first, earlier->first);
            const uint64_t to = std::min(last, earlier->second);
            Add("field-overlap",
                "bits " + Str(static_cast<int64_t>(from)) + " to " + Str(static_cast<int64_t>(to)) +
                    " are shared with the earlier parameter " + Quoted(parameters[j].name) +
                    " (bits " + Str(static_cast<int64_t>(earlier->first)) + " to " +
                    Str(static_cast<int64_t>(earlier->second)) + ")");
        }
    }

    void CheckLimits(const CatalogParameter& parameter) {
        if (parameter.type == ParamType::None) {
            return;  // values of an unknown type are not read, and every value is accepted
        }
        const std::string min = ValueText(parameter.type, parameter.min);
        const std::string max = ValueText(parameter.type, parameter.max);
        if (Reversed(parameter)) {
            Add("limits-reversed", "min " + min + " is greater than max " + max);
        } else if (!Accepted(parameter, parameter.defaultValue)) {
            const bool isEnum = parameter.paramView == ParamView::Enum;
            const ParamType shown = isEnum ? ParamType::Int : parameter.type;
            Add("default-outside-limits",
                "defaultValue " + ValueText(shown, parameter.defaultValue) + " lies outside min " +
                    ValueText(shown, parameter.min) + " to max " + ValueText(shown, parameter.max) +
                    (isEnum ? " (an enumeration's choice is compared signed)" : ""));
        }
        if (!ValidLength(parameter) ||
            (parameter.bitLength == 32 && parameter.type != ParamType::Bool)) {
            return;
        }
        const int bits = parameter.bitLength;
        int64_t low = 0;
        // A Bool holds 0 or 1 whatever its length: only its first bit is read back.
        int64_t high = parameter.type == ParamType::Bool ? 1 : (int64_t{1} << bits) - 1;
        int64_t minValue = parameter.min;
        int64_t maxValue = parameter.max;
        if (parameter.type == ParamType::Int) {
            low = -(int64_t{1} << (bits - 1));
            high = (int64_t{1} << (bits - 1)) - 1;
            minValue = AsSigned(parameter.min);
            maxValue = AsSigned(parameter.max);
        }
        std::vector<std::string> misfits;
        if (minValue < low || minValue > high) {
            misfits.push_back("min " + min);
        }
        if (maxValue < low || maxValue > high) {
            misfits.push_back("max " + max);
        }
        if (!misfits.empty()) {
            Add("limit-exceeds-field",
                misfits[0] + (misfits.size() > 1 ? " and " + misfits[1] + " do" : " does") +
                    " not fit " +
                    (parameter.type == ParamType::Bool ? std::string("a Bool")
                                                       : Str(bits) + " bits") +
                    " (" + Str(low) + " to " + Str(high) +
                    "): the image keeps fewer bits than the window shows");
        }
    }

    void CheckEnumeration(const CatalogParameter& parameter) {
        const std::vector<CatalogEnumItem> items = ReadEnumItems(parameter.node);
        const bool found = std::any_of(items.begin(), items.end(), [&](const CatalogEnumItem& i) {
            return static_cast<uint32_t>(i.valueItem) == parameter.defaultValue;
        });
        if (!found) {
            Add("enum-default-not-item", "defaultValue " +
                                             ValueText(parameter.type, parameter.defaultValue) +
                                             (items.empty() ? " and the enumeration has no Item"
                                                            : " is no item's valueItem"));
        }
        const bool reversed = Reversed(parameter);
        FirstByKey values;
        for (size_t i = 0; i < items.size(); ++i) {
            const CatalogEnumItem& item = items[i];
            CheckNumber(item.node, "valueItem", 32, true);
            const auto bits = static_cast<uint32_t>(item.valueItem);
            if (!reversed && !Accepted(parameter, bits)) {
                Add("enum-item-outside-limits",
                    "item " + Quoted(item.valueText) + " has valueItem " + Str(item.valueItem) +
                        ", outside min " + Str(AsSigned(parameter.min)) + " to max " +
                        Str(AsSigned(parameter.max)) +
                        " (compared signed): choosing it is refused");
            }
            if (const std::optional<size_t> j = values.Earlier(Str(item.valueItem), i)) {
                Add("enum-duplicate-value",
                    "item " + Quoted(item.valueText) + " has the valueItem " + Str(item.valueItem) +
                        " of the earlier item " + Quoted(items[*j].valueText));
            }
        }
    }

    std::vector<std::string> names_;
    std::vector<LintFinding> findings_;
    // Of the module being checked: its parameters' names and which parameter first took a bit.
    FirstByKey parameterNames_;
    std::unordered_map<uint64_t, size_t> bitOwners_;
};

}  // namespace

std::span<const LintCode> LintCodes() {
    return kCodes;
}

std::vector<LintFinding> LintCatalog(const XmlElement* root) {
    return Linter().Run(root);
}

}  // namespace norvane
