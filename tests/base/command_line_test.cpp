#include "base/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
}  // namespace norvane
