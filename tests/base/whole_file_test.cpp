#include "base/whole_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "support/bounded_run.h"
#include "support/temp_dir.h"

namespace norvane {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(ReadWholeFile, ReadsEveryByteIncludingNuls) {
    TempDir dir;
    const std::string bytes("<a/>\0<b/>\xff", 10);
    const std::string path = WriteFile(dir.path() / "f.xml", bytes);
    const std::string read = ReadWholeFile(path);
    EXPECT_EQ(read, bytes);
    EXPECT_EQ(read.c_str()[read.size()], '\0');
}

TEST(ReadWholeFile, FailsForMissingEmptyAndFolders) {
    TempDir dir;
    EXPECT_THROW(ReadWholeFile((dir.path() / "missing").string()), FileError);
    EXPECT_THROW(ReadWholeFile(WriteFile(dir.path() / "empty", "")), FileError);
    EXPECT_THROW(ReadWholeFile(dir.path().string()), FileError);
}

// Everything that is not a regular file is refused at once: a FIFO without a writer must not
// block the reader, a device has no size that means anything.
TEST(ReadWholeFile, RefusesSpecialFilesWithoutBlocking) {
    TempDir dir;
    const std::string fifo = (dir.path() / "fifo.xml").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, dir.path().string(), std::string("/dev/null")}) {
        for (auto* read : {&ReadWholeFile, &ReadRegularFile}) {
            EXPECT_TRUE(::norvane::testing::FinishesWithin(std::chrono::seconds(5), [&] {
                try {
                    read(path);
                } catch (const FileError&) {
                    return true;
                }
                return false;
            })) << path;
        }
    }
    // An empty regular file is a file for ReadRegularFile only.
    const std::string empty = WriteFile(dir.path() / "empty", "");
    EXPECT_EQ(ReadRegularFile(empty), "");
    EXPECT_THROW(ReadWholeFile(empty), FileError);
}

TEST(RegularFileReader, DeliversEveryByteAcrossItsBuffer) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 10000; ++i) {
        bytes += static_cast<char>(i * 7);
    }
    RegularFileReader reader(WriteFile(dir.path() / "f", bytes));
    EXPECT_EQ(reader.Size(), bytes.size());
    std::string got;
    char c = 0;
    while (reader.Get(c)) {
        got += c;
    }
    EXPECT_EQ(got, bytes);
}

class WriteWholeFileTest : public ::testing::Test {
  protected:
    void TearDown() override { ResetFileHooks(); }
    TempDir dir_;
};

TEST_F(WriteWholeFileTest, CreatesAndReplaces) {
    const std::string path = (dir_.path() / "p.kfx").string();
    WriteWholeFile("first", path);
    EXPECT_EQ(ReadFile(path), "first");
    WriteWholeFile("second, longer", path);
    EXPECT_EQ(ReadFile(path), "second, longer");
    WriteWholeFile("", path);
    EXPECT_EQ(ReadFile(path), "");
    // No temporary files are left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(WriteWholeFileTest, FailedWriteKeepsTheOldFile) {
    const std::string path = WriteFile(dir_.path() / "settings.ini", "old content");
    FileHooks().write = [](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    EXPECT_THROW(WriteWholeFile("new content", path), FileError);
    EXPECT_EQ(ReadFile(path), "old content");

    ResetFileHooks();
    FileHooks().rename = [](const char*, const char*) {
        errno = EXDEV;
        return -1;
    };
    EXPECT_THROW(WriteWholeFile("new content", path), FileError);
    EXPECT_EQ(ReadFile(path), "old content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(WriteWholeFileTest, AFileTheUserMayNotWriteIsNotReplaced) {
    // Root may write anything, so the refusal is shown through the rights check's hook; a new
    // file is not asked about (its folder decides).
    const std::string path = WriteFile(dir_.path() / "project.kfx", "old content");
    FileHooks().access = [](const char*, int) {
        errno = EACCES;
        return -1;
    };
    EXPECT_THROW(WriteWholeFile("new content", path), FileError);
    EXPECT_EQ(ReadFile(path), "old content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                            std::filesystem::directory_iterator()),
              1);
    const std::string fresh = (dir_.path() / "new.kfx").string();
    WriteWholeFile("new content", fresh);
    EXPECT_EQ(ReadFile(fresh), "new content");
}

TEST_F(WriteWholeFileTest, ShortWritesAreContinued) {
    FileHooks().write = [](int fd, const void* buffer, size_t count) {
        return ::write(fd, buffer, count > 3 ? 3 : count);
    };
    const std::string path = (dir_.path() / "f").string();
    WriteWholeFile("0123456789", path);
    EXPECT_EQ(ReadFile(path), "0123456789");
}

TEST_F(WriteWholeFileTest, MissingFolderFails) {
    EXPECT_THROW(WriteWholeFile("x", (dir_.path() / "no" / "f").string()), FileError);
}

TEST_F(WriteWholeFileTest, KeepsPermissionsAndFollowsLinks) {
    const std::string target = WriteFile(dir_.path() / "target.ini", "a");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const auto link = dir_.path() / "link.ini";
    std::filesystem::create_symlink(target, link);
    WriteWholeFile("b", link.string());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(target), "b");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace norvane
