#include "base/md5_digest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "support/bounded_run.h"

namespace norvane {
namespace {

namespace fs = std::filesystem;

constexpr char kEmptyDigest[] = "d41d8cd98f00b204e9800998ecf8427e";

TEST(Md5DigestTest, GivesTheRfc1321TestSuiteDigests) {
    const struct {
        std::string input;
        std::string digest;
    } cases[] = {
        {"", kEmptyDigest},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"1234567890123456789012345678901234567890"
         "1234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Md5Digest::DigestOf(c.input), c.digest) << c.input;
        EXPECT_EQ(Md5Digest::DigestOf(c.input.data(), static_cast<uint32_t>(c.input.size())),
                  c.digest);
    }
}

TEST(Md5DigestTest, PiecewiseFeedingEqualsOneCall) {
    const std::string text = "The quick brown fox jumps over the lazy dog";
    Md5Digest digest;
    digest.Update(nullptr, 0);
    for (size_t i = 0; i < text.size(); i += 5) {
        digest.Update(text.data() + i, static_cast<uint32_t>(std::min<size_t>(5, text.size() - i)));
        digest.Update(text.data(), 0);
    }
    EXPECT_EQ(digest.HexDigest(), "9e107d9d372bb6826bd81d3542a419d6");
}

TEST(Md5DigestTest, ServesOneComputationOnly) {
    Md5Digest digest;
    digest.Update("abc", 3);
    EXPECT_EQ(digest.HexDigest(), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_THROW(digest.HexDigest(), DigestError);
    EXPECT_THROW(digest.Update("abc", 3), DigestError);
    Md5Digest other;
    EXPECT_THROW(other.Update(nullptr, 1), DigestError);
}

class FileDigestTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("norvane_md5_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path folder_;
};

TEST_F(FileDigestTest, ChunkBoundariesDoNotChangeTheDigest) {
    EXPECT_EQ(FileMd5(Write("empty", "")), kEmptyDigest);
    EXPECT_EQ(FileMd5(Write("a4096", std::string(4096, 'a'))), "21a199c53f422a380e20b162fb6ebe9c");
    std::string pattern;
    for (int i = 0; i < 12289; ++i) {
        pattern += static_cast<char>(i % 251);
    }
    EXPECT_EQ(FileMd5(Write("pattern8192", pattern.substr(0, 8192))),
              "5756928d3feb9c830c61f92b56416d95");
    for (const size_t size : {1u, 4095u, 4097u, 12289u}) {
        const std::string bytes = pattern.substr(0, size);
        EXPECT_EQ(FileMd5(Write("size", bytes)), Md5Digest::DigestOf(bytes)) << size;
    }
}

TEST_F(FileDigestTest, MatchesOnlyTheExactLowercaseText) {
    // The same rule for a file and for bytes already read (the bytes that are then used).
    const std::string path = Write("abc", "abc");
    const std::pair<const char*, bool> expected[] = {
        {"900150983cd24fb0d6963f7d28e17f72", true},
        {"900150983CD24FB0D6963F7D28E17F72", false},
        {"900150983cd24fb0d6963f7d28e17f72 ", false},
        {"900150983cd24fb0d6963f7d28e17f7", false},
        {" ", false},
        {"", false},
    };
    for (const auto& [digest, matches] : expected) {
        EXPECT_EQ(FileDigestMatches(path, digest), matches) << digest;
        EXPECT_EQ(DigestMatches("abc", digest), matches) << digest;
    }
    EXPECT_TRUE(FileDigestMatches(Write("empty", ""), kEmptyDigest));
    EXPECT_TRUE(DigestMatches("", kEmptyDigest));
}

TEST_F(FileDigestTest, FolderOrMissingFileNeverMatches) {
    EXPECT_FALSE(FileDigestMatches(folder_.string(), kEmptyDigest));
    EXPECT_FALSE(FileDigestMatches((folder_ / "missing").string(), kEmptyDigest));
    EXPECT_FALSE(FileDigestMatches("", kEmptyDigest));
    EXPECT_EQ(FileMd5(folder_.string()), std::nullopt);
    EXPECT_EQ(FileMd5((folder_ / "missing").string()), std::nullopt);
    // A FIFO without a writer and a device have no digest, and asking must not wait.
    const std::string fifo = (folder_ / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/null")}) {
        EXPECT_TRUE(::norvane::testing::FinishesWithin(std::chrono::seconds(5), [&] {
            return !FileMd5(path).has_value();
        })) << path;
    }
}

}  // namespace
}  // namespace norvane
