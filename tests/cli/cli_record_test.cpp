#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "base/md5_digest.h"
#include "cli/cli_commands.h"
#include "project/project_file.h"
#include "support/cli_call.h"
#include "support/temp_dir.h"

namespace norvane::cli {
namespace {

using norvane::testing::ReadFile;
using norvane::testing::TempDir;
using norvane::testing::WriteFile;

// Device D uses its bus address, device Plain does not; module Wide cannot have an image.
constexpr const char* kCatalog =
    "<?xml version=\"1.0\"?><C>"
    "<Hersteller name=\"Vendor & Sons\" identNumber=\"0x01\">"
    "<Device name=\"D\" identNumber=\"0x10\" enableBusAddress=\"yes\" busAddress=\"3\" "
    "minAddr=\"1\" maxAddr=\"125\" dataFormat=\"Motorola\">"
    "<Modul name=\"M\" identNumber=\"0x100\" lenUserParam=\"2\"><ParameterList>"
    "<Parameter name=\"A\" type=\"UInt\" defaultValue=\"1\" min=\"0\" max=\"255\" "
    "bitOffset=\"32\" bitLength=\"8\"/>"
    "<Parameter name=\"Mode\" type=\"UInt\" paramView=\"Enum\" defaultValue=\"1\" min=\"0\" "
    "max=\"3\" bitOffset=\"40\" bitLength=\"8\">"
    "<Item valueText=\"fast\" valueItem=\"1\"/><Item valueText=\"slow\" valueItem=\"2\"/>"
    "</Parameter>"
    "</ParameterList></Modul>"
    "<Modul name=\"Wide\" identNumber=\"0x101\" lenUserParam=\"1\"><ParameterList>"
    "<Parameter name=\"A\" type=\"UInt\" bitOffset=\"32\" bitLength=\"16\"/>"
    "</ParameterList></Modul>"
    "</Device>"
    "<Device name=\"Plain\" identNumber=\"0x20\" busAddress=\"5\" dataFormat=\"Intel\">"
    "<Modul name=\"P\" identNumber=\"0x200\" lenUserParam=\"1\"><ParameterList>"
    "<Parameter name=\"X\" type=\"UInt\" defaultValue=\"0\" min=\"0\" max=\"9\" "
    "bitOffset=\"32\" bitLength=\"8\"/>"
    "</ParameterList></Modul></Device>"
    "</Hersteller></C>";

using Result = norvane::testing::CliResult;

Result Call(const std::vector<std::string>& args) {
    return norvane::testing::CallCli(args);
}

class CliRecordTest : public ::testing::Test {
  protected:
    // The CRC that `crc` prints for a module with the given values.
    uint32_t CrcOf(const std::vector<std::string>& selection) {
        std::vector<std::string> args = {"crc", catalog_};
        args.insert(args.end(), selection.begin(), selection.end());
        const Result r = Call(args);
        EXPECT_EQ(r.status, kExitOk) << r.err;
        return static_cast<uint32_t>(std::stoul(r.out.substr(r.out.find("crc ") + 4), nullptr, 16));
    }

    // Module M with A = 7 and Mode = slow, every item verified and its CRC stored.
    ProjectData Verified() {
        ProjectData project;
        project.manufacturerName = "as saved";
        project.manufacturerId = "0x01";
        project.deviceName = "D";
        project.deviceId = "0x10";
        project.moduleName = "M";
        project.moduleId = "0x100";
        project.description = "Line 3 <cabinet 2>";
        project.busAddress = 7;
        project.manufacturerAccepted = project.deviceAccepted = project.moduleAccepted = true;
        project.busAddressAccepted = true;
        project.parameters = {{32, 8, 7, true}, {40, 8, 2, true}};
        project.crc = CrcOf({"--module", "M", "--set", "A=7", "--set", "Mode=2"});
        project.crcValid = true;
        return project;
    }

    std::string Kfx(const ProjectData& project) {
        const std::string path = (dir_.path() / "p.kfx").string();
        WriteProjectFile(project, path);
        return path;
    }

    TempDir dir_;
    std::string catalog_ = WriteFile(dir_.path() / "catalog.xml", kCatalog);
};

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

TEST_F(CliRecordTest, WritesTheRecordOfAVerifiedProject) {
    const ProjectData project = Verified();
    const std::string kfx = Kfx(project);
    const Result r = Call({"record", kfx, catalog_});
    ASSERT_EQ(r.status, kExitOk) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    for (const std::string& part : std::vector<std::string>{
             "<html lang=\"en\">",
             "<td>" + kfx + "</td>",  // the project file, in full
             "<td>catalog.xml</td>",  // the catalog by its name
             "<td>" + Md5Digest::DigestOf(std::string_view(kCatalog)) + "</td>",
             // The catalog's names, not those the project was saved with.
             "Vendor &amp; Sons <span class=\"ident\">(ident 0x01)</span>",
             "<td>Line 3 &lt;cabinet 2&gt;</td>",
             // The project's marks of the header items.
             "<th width=\"35%\">Bus-Address</th><td>7</td><td class=\"mark\">&#x2713; "
             "verified</td>",
             "(ident 0x100)</span></td><td class=\"mark\">&#x2713; verified</td>",
             "<tr><td>A</td><td class=\"number\">7</td><td class=\"number\">0</td><td "
             "class=\"number\">255</td>",
             "<tr><td>Mode</td><td class=\"number\">slow</td>",
             "<span class=\"crc\">" + Hex(project.crc) + "</span>",
             "<span class=\"crc\">" + std::to_string(project.crc) + "</span>",
         }) {
        EXPECT_NE(r.out.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(r.out.find("NOT verified"), std::string::npos);

    const Result german = Call({"record", "--lang", "de", kfx, catalog_});
    EXPECT_EQ(german.status, kExitOk);
    EXPECT_NE(german.out.find("<h1>Verifikationsprotokoll</h1>"), std::string::npos);

    // -o replaces the file and prints nothing.
    const std::string html = WriteFile(dir_.path() / "record.html", "old");
    const Result written = Call({"record", kfx, catalog_, "-o", html});
    EXPECT_EQ(written.status, kExitOk) << written.err;
    EXPECT_EQ(written.out, "");
    const std::string file = ReadFile(html);
    EXPECT_EQ(file.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(file.find("<span class=\"crc\">" + Hex(project.crc) + "</span>"), std::string::npos);
}

TEST_F(CliRecordTest, DeviceWithoutBusAddressNeedsNoneVerified) {
    ProjectData project = Verified();
    project.deviceId = "0x20";
    project.moduleId = "0x200";
    project.busAddress = 5;
    project.busAddressAccepted = false;
    project.parameters = {{32, 8, 4, true}};
    project.crc = CrcOf({"--device", "Plain", "--set", "X=4"});
    const Result r = Call({"record", Kfx(project), catalog_});
    ASSERT_EQ(r.status, kExitOk) << r.out;
    EXPECT_NE(r.out.find("<th width=\"35%\">Bus-Address</th><td>none</td></tr>"),
              std::string::npos);
}

TEST_F(CliRecordTest, RefusesWhatARecordMustNotState) {
    const std::pair<std::function<void(ProjectData&)>, std::string> cases[] = {
        {[](ProjectData& p) { p.crcValid = false; },
         "error record the project holds no valid CRC\n"},
        {[](ProjectData& p) { p.deviceAccepted = false; },
         "error record not every item of the project is verified\n"},
        {[](ProjectData& p) { p.busAddressAccepted = false; },
         "error record not every item of the project is verified\n"},
        {[](ProjectData& p) { p.parameters[1].accepted = false; },
         "error record not every item of the project is verified\n"},
        // A value changed after the CRC was computed.
        {[](ProjectData& p) { p.parameters[0].selectedValue = 8; },
         "error record the stored CRC {stored} is not the CRC of the project's values, "
         "{values}\n"},
        {[](ProjectData& p) {
             p.moduleId = "0x101";
             p.parameters = {{32, 16, 0, true}};
         },
         "error record no CRC can be computed from the project's values\n"},
        // Values the catalog does not allow (any more) are not verified, whatever the file says.
        {[](ProjectData& p) { p.parameters[1].selectedValue = 3; },
         "error record not every item of the project is verified\n"},
        {[](ProjectData& p) { p.parameters[0].selectedValue = 256; },
         "error record not every item of the project is verified\n"},
        // The errors of `safetycrc project`.
        {[](ProjectData& p) { p.moduleId = "0x102"; },
         "error 128 The project file specifies an unknown module.\n"},
    };
    const uint32_t changed = CrcOf({"--module", "M", "--set", "A=8", "--set", "Mode=2"});
    for (const auto& [change, expected] : cases) {
        ProjectData project = Verified();
        change(project);
        std::string line = expected;
        if (const size_t at = line.find("{stored}"); at != std::string::npos) {
            line.replace(at, 8, Hex(project.crc));
            line.replace(line.find("{values}"), 8, Hex(changed));
        }
        const std::string output = (dir_.path() / "refused.html").string();
        const Result r = Call({"record", Kfx(project), catalog_, "-o", output});
        EXPECT_EQ(r.status, kExitRefused) << line;
        EXPECT_EQ(r.out, line);
        EXPECT_FALSE(std::filesystem::exists(output)) << line;
    }
    const Result unreadable = Call({"record", (dir_.path() / "none.kfx").string(), catalog_});
    EXPECT_EQ(unreadable.status, kExitRefused);
    EXPECT_EQ(unreadable.out, "error 123 The project file could not be opened.\n");
}

TEST_F(CliRecordTest, UsageErrors) {
    const std::string kfx = Kfx(Verified());
    const std::string missing = (dir_.path() / "missing.xml").string();
    const std::string noFolder = (dir_.path() / "no" / "record.html").string();
    const std::vector<std::string> cases[] = {
        {"record", kfx},
        {"record", kfx, catalog_, catalog_},
        {"record", kfx, catalog_, "-o"},
        {"record", kfx, catalog_, "--lang", "fr"},
        {"record", kfx, catalog_, "--pdf"},
        {"record", kfx, missing},
        {"record", kfx, catalog_, "-o", noFolder},
    };
    for (const std::vector<std::string>& args : cases) {
        const Result r = Call(args);
        EXPECT_EQ(r.status, kExitUsage) << args.back();
        EXPECT_EQ(r.out, "") << args.back();
        EXPECT_NE(r.err, "") << args.back();
    }
}

TEST_F(CliRecordTest, SampleProjectHasARecordWithBothDemoCatalogs) {
    for (const char* catalog :
         {"examples/SafetyConfiguratorEN.xml", "examples/SafetyConfiguratorDE.xml"}) {
        const Result r = Call({"record", norvane::testing::SourcePath("examples/SampleProject.kfx"),
                               norvane::testing::SourcePath(catalog)});
        EXPECT_EQ(r.status, kExitOk) << catalog << r.out;
        EXPECT_NE(r.out.find("</html>"), std::string::npos) << catalog;
    }
}

}  // namespace
}  // namespace norvane::cli
