#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "safety/safety_crc.h"
#include "support/cli_call.h"
#include "support/temp_dir.h"

namespace norvane::cli {
namespace {

using norvane::testing::ReadFile;
using norvane::testing::SourcePath;
using norvane::testing::TempDir;
using norvane::testing::WriteFile;

using Result = norvane::testing::CliResult;

Result Call(const std::vector<std::string>& args) {
    return norvane::testing::CallCli(args);
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string Crc(std::vector<uint8_t> bytes) {
    char text[16];
    std::snprintf(
        text, sizeof text, "%X",
        SafetyCrc32(static_cast<uint32_t>(bytes.size()), 0, bytes.data(), CrcDirection::Forward));
    return text;
}

class CliTpfTest : public ::testing::Test {
  protected:
    std::string Sample(const char* name) {
        return ReadFile(SourcePath(std::string("examples/") + name));
    }
    std::string Put(const char* name, const std::string& text) {
        return WriteFile(dir_.path() / name, text);
    }
    const std::string catalog_ = SourcePath("examples/SafetyConfiguratorEN.xml").string();
    TempDir dir_;
};

TEST_F(CliTpfTest, PrintsTheDecodedProfibusCall) {
    const std::string path = Put("call.tpf", Sample("ProfibusCall.tpf"));
    const Result result = Call({"tpf", path, catalog_});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    // Record: a zero byte, then the 16-byte block of the module in slot 3.
    const std::string block = "1040a10005007800c87a9207f0000003";
    const std::string expected =
        "bus 036D1499-387B-11D4-86E1-00E0987270B9\n"
        "stream length=55 hexPrefix=0\n"
        "device Conveyor\\x20safety\\x20station busAddress=7 ipAddress=\\0\n"
        "module F-DI\\x208x24VDC\\x20light\\x20curtain ident=0x40A1 moduleIdent=16545 slot=3\n"
        "selected Norvane\\x20Automation NV-DP\\x20200\\x20PROFIBUS\\x20head F-DI\\x208x24VDC\n"
        "record 00" +
        block + std::string(2 * (256 - 17), '0') +
        "\n"
        "parameter F_Source_Add 5\n"
        "parameter F_Dest_Add 120\n"
        "parameter F_WD_Time\\x20(ms) 200\n"
        "parameter F_SIL 2\n"
        "parameter Channel\\x200\\x20activated 1\n"
        "parameter Channel\\x201\\x20activated 1\n"
        "parameter Channel\\x202\\x20activated 1\n"
        "parameter Channel\\x203\\x20activated 1\n"
        "parameter Channel\\x204\\x20activated 0\n"
        "parameter Channel\\x205\\x20activated 0\n"
        "parameter Channel\\x206\\x20activated 1\n"
        "parameter Channel\\x207\\x20activated 0\n"
        "parameter Input\\x20delay 2\n"
        "parameter Discrepancy\\x20time\\x20(ms) 30\n"
        "parameter Short-circuit\\x20test\\x20mask 240\n"
        "crc " +
        Crc({0x00, 0x05, 0x00, 0x78, 0x00, 0xC8, 0x7A, 0x92, 0x07, 0xF0}) + "\n";
    EXPECT_EQ(result.out, expected);
    EXPECT_TRUE(std::filesystem::exists(path));  // never deleted
}

TEST_F(CliTpfTest, WarnsOfFieldsOutsideTheRecordAndRefusesAnOversizedCrc) {
    const std::string catalog =
        Put("catalog.xml",
            Replace(Sample("SafetyConfiguratorEN.xml"), "lenModulParam=\"14\" lenUserParam=\"10\"",
                    "lenModulParam=\"12\" lenUserParam=\"253\""));
    const std::string path = Put("call.tpf", Sample("ProfinetCall.tpf"));
    for (const char* option : {"", "--dec"}) {
        std::vector<std::string> args = {"tpf", path, catalog};
        if (*option != '\0') {
            args.insert(args.begin() + 1, option);
        }
        const Result result = Call(args);
        EXPECT_EQ(result.status, 1);  // no CRC: the values shown are not all the record's
        const std::string out = result.out;
        EXPECT_NE(out.find("stream length=16 hexPrefix=0\n"
                           "device Press\\x20line\\x20coupler busAddress=0 ipAddress=192.168.0.41\n"
                           "module KS\\x20F-DO\\x208x0.5A\\x20PM ident=0x3108 moduleIdent=12552 "
                           "slot=1\n"
                           "selected Kestrel\\x20Safety\\x20Systems "
                           "KS-PN\\x201000\\x20PROFINET\\x20coupler KS\\x20F-DO\\x208x0.5A\\x20PM\n"
                           "record 007d000e00a0001e00137c25000000"),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find("parameter Test\\x20pulse\\x20period 1\n"
                           "warning 118 Error in Parameter. Load\\x20current\\x20offset\\x20(mA)\n"
                           "parameter Load\\x20current\\x20offset\\x20(mA) 0\n"
                           "warning 118 Error in Parameter. Diagnostics\\x20enabled\n"
                           "parameter Diagnostics\\x20enabled 0\n"
                           "crc error\n"),
                  std::string::npos)
            << out;
    }
}

TEST_F(CliTpfTest, ReportsARefusedCallOnOneLine) {
    const std::string profibus = Sample("ProfibusCall.tpf");
    struct Case {
        const char* what;
        std::string contents;
        std::string line;  // %s stands for the path
    };
    const Case cases[] = {
        {"not a TPF file", profibus.substr(profibus.find('\n') + 1),
         "error 151 The content of file %s has no TPF format.\n"},
        {"no module selected",
         Replace(profibus, "curtain\" IsSelected=\"true\"", "curtain\" IsSelected=\"yes\""),
         "error 138 No module selected.\n"},
        {"module not in the catalog",
         Replace(profibus,
                 "<ParameterItem Name=\"Slot\" Value=\"3\"/>\n              "
                 "<ParameterItem Name=\"IdentNumber\" Value=\"0x40A1\"/>",
                 "<ParameterItem Name=\"Slot\" Value=\"3\"/>\n              "
                 "<ParameterItem Name=\"IdentNumber\" Value=\"0x4 A1\"/>"),
         "error 112 The selected module is not supported.\\nF-DI 8x24VDC light curtain "
         "(0x4 A1)\n"},
        {"no block of that slot",
         Replace(profibus, "Name=\"Slot\" Value=\"3\"", "Name=\"Slot\" Value=\"5\""),
         "error 139 Module parameter 0x40A1 not found in the byte-stream.\n"},
        // No usable record: never a CRC of a record of zeros.
        {"a bus that is neither PROFIBUS nor PROFINET",
         Replace(profibus, "036D1499-387B-11D4-86E1-00E0987270B9",
                 "036D1499-387B-11D4-86E1-00E0987270B8"),
         "error 154 There was no valid parameter record found for the selected module.\n"},
        {"a stream of 512 bytes or more",
         Replace(profibus, "Value=\"3580010B", "Value=\"" + std::string(1024, '0') + "3580010B"),
         "error 154 There was no valid parameter record found for the selected module.\n"},
        {"a PROFINET stream shorter than the module's record",
         Replace(Sample("ProfinetCall.tpf"), "0000007D000E00A0001E00137C25FC00",
                 "0000007D000E00A0001E00137C25FC"),
         "error 154 There was no valid parameter record found for the selected module.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = Put("call.tpf", c.contents);
        const Result result = Call({"tpf", path, catalog_});
        EXPECT_EQ(result.status, 1);
        std::string line = c.line;
        if (const size_t at = line.find("%s"); at != std::string::npos) {
            line.replace(at, 2, path);
        }
        EXPECT_EQ(result.out, line);
        EXPECT_TRUE(std::filesystem::exists(path));
    }

    // The bus category in lower case and in braces names the same bus.
    const Result braced =
        Call({"tpf",
              Put("call.tpf", Replace(profibus, "036D1499-387B-11D4-86E1-00E0987270B9",
                                      "{036d1499-387b-11d4-86e1-00e0987270b9}")),
              catalog_});
    EXPECT_EQ(braced.status, 0);
    EXPECT_NE(braced.out.find("\ncrc DC6F47B5\n"), std::string::npos) << braced.out;

    const std::string path = Put("call.tpf", profibus);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"tpf", (dir_.path() / "none.tpf").string(), catalog_},
          std::vector<std::string>{"tpf", path, (dir_.path() / "none.xml").string()},
          std::vector<std::string>{"tpf", path},
          std::vector<std::string>{"tpf", path, catalog_, "--hex"}}) {
        const Result result = Call(args);
        EXPECT_EQ(result.status, 2) << args.back();
        EXPECT_EQ(result.out, "") << args.back();
        EXPECT_NE(result.err, "") << args.back();
    }
}

}  // namespace
}  // namespace norvane::cli
