#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "project/project_file.h"
#include "support/cli_call.h"
#include "support/temp_dir.h"

namespace norvane::cli {
namespace {

using norvane::testing::TempDir;
using norvane::testing::WriteFile;

constexpr const char* kCatalog =
    "<?xml version=\"1.0\"?><C>"
    "<Hersteller name=\"Vendor One\" identNumber=\"0x01\">"
    "<Device name=\"D\" identNumber=\"0x10\" enableBusAddress=\"yes\" busAddress=\"3\" "
    "minAddr=\"1\" maxAddr=\"125\" dataFormat=\"Motorola\">"
    "<Modul name=\"M\" identNumber=\"0x100\" lenUserParam=\"2\"><ParameterList>"
    "<Parameter name=\"A\" type=\"UInt\" defaultValue=\"1\" min=\"0\" max=\"255\" "
    "bitOffset=\"32\" bitLength=\"8\"/>"
    "<Parameter name=\"B\" type=\"Int\" defaultValue=\"0\" min=\"-5\" max=\"5\" "
    "bitOffset=\"40\" bitLength=\"8\"/>"
    "</ParameterList></Modul>"
    "<Modul name=\"Wide\" identNumber=\"0x101\" lenUserParam=\"1\"><ParameterList>"
    "<Parameter name=\"A\" type=\"UInt\" bitOffset=\"32\" bitLength=\"16\"/>"
    "</ParameterList></Modul>"
    "</Device></Hersteller></C>";

ProjectData Project() {
    ProjectData project;
    project.manufacturerName = "as saved";  // the catalog's names are printed
    project.manufacturerId = "0x01";
    project.deviceName = "D";
    project.deviceId = "0x10";
    project.moduleName = "M";
    project.moduleId = "0x100";
    project.description = "Line 3";
    project.busAddress = 7;
    project.manufacturerAccepted = true;
    project.busAddressAccepted = true;
    project.crc = 0xBEEF;
    project.crcValid = true;
    project.parameters = {{40, 8, -3, true}, {32, 8, 7, false}};
    return project;
}

using Result = norvane::testing::CliResult;

Result Call(const std::vector<std::string>& args) {
    return norvane::testing::CallCli(args);
}

class CliProjectTest : public ::testing::Test {
  protected:
    std::string Kfx(const ProjectData& project) {
        const std::string path = (dir_.path() / "p.kfx").string();
        WriteProjectFile(project, path);
        return path;
    }
    // The CRC that `crc` prints for the module M with the given values.
    std::string CrcOf(const std::vector<std::string>& sets, bool decimal) {
        std::vector<std::string> args = {"crc", catalog_, "--module", "M"};
        for (const std::string& set : sets) {
            args.insert(args.end(), {"--set", set});
        }
        if (decimal) {
            args.push_back("--dec");
        }
        const Result r = Call(args);
        EXPECT_EQ(r.status, kExitOk) << r.err;
        return r.out.substr(r.out.find("crc ") + 4, r.out.size() - r.out.find("crc ") - 5);
    }

    TempDir dir_;
    std::string catalog_ = WriteFile(dir_.path() / "catalog.xml", kCatalog);
};

TEST_F(CliProjectTest, PrintsWhatTheWindowWouldShow) {
    // Not every item verified: the CRC the file calls valid is not shown.
    const std::string kfx = Kfx(Project());
    const Result r = Call({"project", kfx, catalog_});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out,
              "manufacturer Vendor\\x20One 0x01 accepted=1\n"
              "device D 0x10 accepted=0\n"
              "module M 0x100 accepted=0\n"
              "description Line\\x203\n"
              "busAddress 7 accepted=1\n"
              "crc N/A valid=0\n"
              "parameter A 7 accepted=0\n"
              "parameter B -3 accepted=1\n"
              "recomputed " +
                  CrcOf({"A=7", "B=-3"}, false) + "\n");

    // Everything verified and the CRC the values give: the stored CRC is shown.
    ProjectData verified = Project();
    verified.deviceAccepted = verified.moduleAccepted = true;
    verified.parameters[1].accepted = true;
    verified.crc = static_cast<uint32_t>(std::stoul(CrcOf({"A=7", "B=-3"}, true)));
    const std::string saved = Kfx(verified);
    const Result decimal = Call({"project", "--dec", saved, catalog_});
    EXPECT_EQ(decimal.status, kExitOk);
    EXPECT_NE(decimal.out.find("\ncrc " + CrcOf({"A=7", "B=-3"}, true) + " valid=1\n"),
              std::string::npos)
        << decimal.out;
    EXPECT_NE(decimal.out.find("\nrecomputed " + CrcOf({"A=7", "B=-3"}, true) + "\n"),
              std::string::npos);
}

TEST_F(CliProjectTest, LinesThatDependOnTheProject) {
    const std::pair<std::function<void(ProjectData&)>, std::string> cases[] = {
        {[](ProjectData& p) { p.crcValid = false; }, "\ncrc N/A valid=0\n"},
        {[](ProjectData& p) { p.description.clear(); }, "\ndescription \\0\n"},
        {[](ProjectData& p) { p.description = std::string(85, 'x'); },
         "\ndescription " + std::string(79, 'x') + "\n"},
        {[](ProjectData& p) {
             p.moduleId = "0x101";
             p.parameters = {{32, 16, 0, true}};
         },
         "\nparameter A 0 accepted=1\nrecomputed error\n"},
        // A value that cannot be verified in this catalog keeps no mark, and no CRC is shown.
        {[](ProjectData& p) {
             p.parameters = {{40, 8, -6, true}, {32, 8, 7, true}};
         },
         "\nparameter A 7 accepted=1\nparameter B -6 accepted=0\n"},
        {[](ProjectData& p) {
             p.parameters = {{40, 8, -3, true}, {32, 8, 256, true}};
         },
         "\ncrc N/A valid=0\nparameter A 256 accepted=0\n"},
        {[](ProjectData& p) { p.busAddress = 126; }, "\nbusAddress 126 accepted=0\n"},
    };
    for (const auto& [change, line] : cases) {
        ProjectData project = Project();
        change(project);
        const Result r = Call({"project", Kfx(project), catalog_});
        EXPECT_EQ(r.status, kExitOk);
        EXPECT_NE(r.out.find(line), std::string::npos) << r.out;
    }
}

TEST_F(CliProjectTest, RefusalsPrintTheirMessage) {
    std::string edited = ProjectFileText(Project());
    edited.replace(edited.find("Line 3"), 6, "Line 4");
    const std::pair<std::function<std::string()>, std::string> cases[] = {
        {[&] { return (dir_.path() / "missing.kfx").string(); },
         "error 123 The project file could not be opened.\n"},
        {[&] { return WriteFile(dir_.path() / "edited.kfx", edited); },
         "error 123 The project file could not be opened.\n"},
        {[&] {
             ProjectData p = Project();
             p.manufacturerId = "0x02";
             return Kfx(p);
         },
         "error 126 The project file specifies an unknown manufacturer.\n"},
        {[&] {
             ProjectData p = Project();
             p.deviceId = "0x11";
             return Kfx(p);
         },
         "error 127 The project file specifies an unknown device.\n"},
        {[&] {
             ProjectData p = Project();
             p.moduleId = "0x102";
             return Kfx(p);
         },
         "error 128 The project file specifies an unknown module.\n"},
        {[&] {
             ProjectData p = Project();
             p.parameters.pop_back();
             return Kfx(p);
         },
         "error 129 The project file specifies an unknown parameter.\n"},
    };
    for (const auto& [kfx, line] : cases) {
        const Result r = Call({"project", kfx(), catalog_});
        EXPECT_EQ(r.status, kExitRefused);
        EXPECT_EQ(r.out, line);
    }
    const std::string noVendors = WriteFile(dir_.path() / "empty.xml", "<C/>");
    const Result r = Call({"project", Kfx(Project()), noVendors});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out,
              "error 125 The device catalog file is not loaded. Please restart the application.\n");
}

TEST_F(CliProjectTest, SampleProjectOpensWithBothDemoCatalogs) {
    // Saved by the window with every item verified and the CRC computed: the stored CRC is the
    // one the restored values give.
    for (const char* catalog :
         {"examples/SafetyConfiguratorEN.xml", "examples/SafetyConfiguratorDE.xml"}) {
        const Result r =
            Call({"project", norvane::testing::SourcePath("examples/SampleProject.kfx"),
                  norvane::testing::SourcePath(catalog)});
        ASSERT_EQ(r.status, kExitOk) << catalog;
        const size_t crc = r.out.find("\ncrc ");
        const size_t end = r.out.find(" valid=1\n", crc);
        ASSERT_NE(end, std::string::npos) << r.out;
        EXPECT_NE(r.out.find("\nrecomputed " + r.out.substr(crc + 5, end - crc - 5) + "\n"),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(r.out.find("accepted=0"), std::string::npos) << r.out;
    }
}

}  // namespace
}  // namespace norvane::cli
