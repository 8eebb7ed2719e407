#include "base/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/app_locations.h"

namespace norvane {
namespace {

using Arguments = std::vector<std::string>;

void ExpectCommandLine(const Arguments& arguments, const std::string& fileName, int count) {
    const CommandLineInfo info = ParseCommandLine(arguments);
    EXPECT_EQ(info.fileName, fileName);
    EXPECT_EQ(info.count, count);
}

TEST(CommandLineTest, TheFirstArgumentThatIsNoSwitchNamesTheFile) {
    ExpectCommandLine({"NorvaneSafetyCRCTool"}, "", 1);
    ExpectCommandLine({"NorvaneSafetyCRCTool", "project.kfx"}, "project.kfx", 2);
    ExpectCommandLine({"NorvaneSafetyCRCTool", "/tmp/call.tpf"}, "/tmp/call.tpf", 2);
    ExpectCommandLine({"NorvaneSafetyCRCTool", "my project.kfx"}, "my project.kfx", 2);
    ExpectCommandLine({"NorvaneSafetyCRCTool", "-x", "--y", "one.kfx", "-z", "two.kfx"}, "one.kfx",
                      6);
    ExpectCommandLine({"NorvaneSafetyCRCTool", "a-b.kfx"}, "a-b.kfx", 2);
}

TEST(CommandLineTest, SwitchesCountButNameNoFile) {
    ExpectCommandLine({"NorvaneSafetyCRCTool", "-embedding"}, "", 2);
    ExpectCommandLine({"NorvaneSafetyCRCTool", "-"}, "", 2);
    ExpectCommandLine({"NorvaneSafetyCRCTool", "-a", "-b", "-c"}, "", 4);
}

TEST(CommandLineTest, TheProgramItselfIsNeverTheFile) {
    ExpectCommandLine({"project.kfx"}, "", 1);
    ExpectCommandLine({}, "", 0);
}

TEST(AppLocationsTest, SplitsTheExecutablePathIntoFolderAndBaseName) {
    const AppLocations installed = LocationsOf("/opt/norvane/bin/NorvaneSafetyCRCTool");
    EXPECT_EQ(installed.programDir, "/opt/norvane/bin/");
    EXPECT_EQ(installed.exeBaseName, "NorvaneSafetyCRCTool");

    const AppLocations withExtension = LocationsOf("/opt/Norvane Tools/Safety.CRC.Tool.exe");
    EXPECT_EQ(withExtension.programDir, "/opt/Norvane Tools/");
    EXPECT_EQ(withExtension.exeBaseName, "Safety.CRC.Tool");

    const AppLocations atRoot = LocationsOf("/NorvaneSafetyCRCTool");
    EXPECT_EQ(atRoot.programDir, "/");
    EXPECT_EQ(atRoot.exeBaseName, "NorvaneSafetyCRCTool");

    // A bare name lives in the working folder, not in the root folder.
    const AppLocations bare = LocationsOf("NorvaneSafetyCRCTool");
    EXPECT_EQ(bare.programDir, "./");
    EXPECT_EQ(bare.exeBaseName, "NorvaneSafetyCRCTool");

    EXPECT_EQ(LocationsOf("./build/NorvaneSafetyCRCTool").programDir, "./build/");
}

TEST(AppLocationsTest, StartsFromTheRunningProgramAndCanBeReplaced) {
    const AppLocations original = Locations();
    EXPECT_EQ(original.exeBaseName, "base_test");
    ASSERT_FALSE(original.programDir.empty());
    EXPECT_EQ(original.programDir.front(), '/');
    EXPECT_EQ(original.programDir.back(), '/');

    SetLocations({"/tmp/program folder/", "Tool"});
    EXPECT_EQ(Locations().programDir, "/tmp/program folder/");
    EXPECT_EQ(Locations().exeBaseName, "Tool");
    SetLocations(original);
    EXPECT_EQ(Locations().programDir, original.programDir);
}

}  // namespace
}  // namespace norvane
