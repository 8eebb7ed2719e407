#include "settings/app_locations.h"

#include <gtest/gtest.h>

#include <string>

namespace norvane {
namespace {

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
    // A copy, not a reference: SetLocations replaces what Locations() refers to.
    // NOLINTNEXTLINE(performance-unnecessary-copy-initialization)
    const AppLocations original = Locations();
    EXPECT_EQ(original.exeBaseName, "settings_test");
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
