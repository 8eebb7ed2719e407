// `safetycrc crc` when the two CRC routines disagree: no number is printed.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "safety/param_stream.h"
#include "support/temp_dir.h"

namespace norvane::cli {
namespace {

uint32_t Flipped(uint32_t length, uint32_t initial, const uint8_t* data, CrcDirection direction) {
    return ~SafetyCrc32(length, initial, data, direction);
}

TEST(CrcRefusal, DisagreeingRoutinesPrintCrcErrorAndNoNumber) {
    const norvane::testing::TempDir dir;
    const std::string path = norvane::testing::WriteFile(
        dir.path() / "c.xml",
        "<Hersteller name=\"V\"><Device name=\"D\" dataFormat=\"Motorola\"><Modul name=\"M\" "
        "lenUserParam=\"2\"><ParameterList><Parameter name=\"P\" type=\"UInt\" "
        "defaultValue=\"4660\" bitOffset=\"32\" bitLength=\"16\"/></ParameterList></Modul>"
        "</Device></Hersteller>");
    const std::vector<std::string> args = {"crc", path};
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::Run(args, out, err), kExitOk) << err.str();
    ASSERT_EQ(out.str().rfind("image 000000001234\ncrc ", 0), 0u) << out.str();

    SetTableCrcRoutine(&Flipped);
    std::ostringstream refusedOut;
    std::ostringstream refusedErr;
    const int status = cli::Run(args, refusedOut, refusedErr);
    SetTableCrcRoutine(nullptr);
    EXPECT_EQ(status, kExitRefused);
    EXPECT_EQ(refusedOut.str(), "image 000000001234\ncrc error\n");
    EXPECT_EQ(refusedErr.str(), "");
}

}  // namespace
}  // namespace norvane::cli
