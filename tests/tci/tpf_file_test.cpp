#include "tci/tpf_file.h"

#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>

#include "base/whole_file.h"
#include "support/temp_dir.h"

namespace norvane {
namespace {

using norvane::testing::TempDir;
using norvane::testing::WriteFile;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
const std::string kRoot = "<TCI xmlns=\"http://www.profibus.com/TCI/2006/03/TPF\">";

class TpfFileTest : public ::testing::Test {
  protected:
    bool IsTpf(std::string_view contents) {
        return IsTpfFile(
            WriteFile(dir_.path() / ("call" + std::to_string(++count_) + ".tpf"), contents));
    }

    TempDir dir_;
    int count_ = 0;
};

TEST_F(TpfFileTest, RecognisesTheNamespaceOnTheSecondLine) {
    EXPECT_TRUE(IsTpf(kDeclaration + "\n" + kRoot + "\n<DeviceList/>\n</TCI>\n"));
    EXPECT_TRUE(IsTpf(kDeclaration + "\r\n" + kRoot + "\r\n</TCI>\r\n"));
    EXPECT_TRUE(IsTpf(kDeclaration + "\n" + kRoot));
    EXPECT_TRUE(IsTpf("\n  xmlns=http://www.profibus.com/TCI/2006/03/TPF/extra\n"));
    // A near miss just before the namespace must not hide it.
    EXPECT_TRUE(
        IsTpf("x\nhttp://www.profibus.com/TCI/2006/03/TPhttp://www.profibus.com/TCI/2006/"
              "03/TPF\n"));
}

TEST_F(TpfFileTest, LooksAtTheSecondLineOnly) {
    // Without its declaration line the namespace comes first, and the file is refused.
    EXPECT_FALSE(IsTpf(kRoot + "\n</TCI>\n"));
    EXPECT_FALSE(IsTpf(kRoot));
    EXPECT_FALSE(IsTpf(kRoot + "\n"));
    EXPECT_FALSE(IsTpf(kDeclaration + "\n\n" + kRoot + "\n"));
    EXPECT_FALSE(IsTpf(kDeclaration + "\r" + kRoot + "\r"));
}

TEST_F(TpfFileTest, RefusesOtherNamespacesAndShortFiles) {
    EXPECT_FALSE(IsTpf(""));
    EXPECT_FALSE(IsTpf("\n"));
    EXPECT_FALSE(IsTpf(kDeclaration + "\n"));
    EXPECT_FALSE(
        IsTpf(kDeclaration + "\n<TCI xmlns=\"http://www.profibus.com/TCI/2005/01/TPF\">\n"));
    EXPECT_FALSE(
        IsTpf(kDeclaration + "\n<TCI xmlns=\"http://www.profibus.com/tci/2006/03/tpf\">\n"));
    EXPECT_FALSE(IsTpf(kDeclaration + "\nhttp://www.profibus.com/TCI/2006/03/TP\nF\n"));
}

TEST_F(TpfFileTest, HandlesLinesOfAnyLength) {
    const std::string huge(1 << 20, 'a');
    EXPECT_FALSE(IsTpf(huge));
    EXPECT_FALSE(IsTpf(huge + kRoot));
    EXPECT_TRUE(IsTpf(huge + "\n" + kRoot + "\n"));
    // A document written onto one line after its declaration may name the namespace late.
    EXPECT_TRUE(IsTpf(kDeclaration + "\n" + huge + kRoot + huge));
    EXPECT_FALSE(IsTpf(kDeclaration + "\n" + huge + "\n" + kRoot));
}

TEST_F(TpfFileTest, AFileThatCannotBeOpenedIsAFileError) {
    EXPECT_THROW(IsTpfFile((dir_.path() / "missing.tpf").string()), FileError);
    EXPECT_THROW(IsTpfFile(dir_.path().string()), FileError);
    // A named pipe without a writer would block the start for ever.
    const std::string pipe = (dir_.path() / "pipe.tpf").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_THROW(IsTpfFile(pipe), FileError);
    EXPECT_THROW(IsTpfFile("/dev/null"), FileError);
    // A command line of switches only leaves an empty file name.
    EXPECT_THROW(IsTpfFile(""), FileError);
}

}  // namespace
}  // namespace norvane
