#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include "base/messages.h"
#include "base/whole_file.h"
#include "settings/settings_file.h"
#include "support/bounded_run.h"

namespace norvane {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("norvane_ini_" + std::to_string(::getpid()) + "_" +
                                               info->test_suite_name() + "_" + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        path_ = (folder_ / "settings.ini").string();
    }
    void TearDown() override {
        ResetFileHooks();
        fs::remove_all(folder_);
    }

    void Write(std::string_view text) const { std::ofstream(path_, std::ios::binary) << text; }
    std::string Contents() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string Text(std::string_view section, std::string_view key, size_t size = 260) const {
        return IniReadString(path_, section, key, "<default>", size);
    }
    uint32_t Int(std::string_view section, std::string_view key) const {
        return IniReadInt(path_, section, key, 255);
    }

    fs::path folder_;
    std::string path_;
};

TEST_F(IniFileTest, MatchesSectionsAndKeysIgnoringCase) {
    Write("[common]\nselectedLANGUAGE=2\n[Language01]\nDisplayName=Deutsch\n");
    EXPECT_EQ(Int("COMMON", "SelectedLanguage"), 2u);
    EXPECT_EQ(Text("LANGUAGE01", "displayname"), "Deutsch");
    EXPECT_EQ(Text("LANGUAGE02", "DisplayName"), "<default>");
}

TEST_F(IniFileTest, OnlyTheFirstMatchingSectionAndKeyCount) {
    Write("k=outside\n[A]\nk=1\nK=2\n[B]\nk=b\n[a]\nk=3\nonlyInSecond=4\n");
    EXPECT_EQ(Text("A", "k"), "1");
    EXPECT_EQ(Text("B", "k"), "b");
    EXPECT_EQ(Text("A", "onlyInSecond"), "<default>");
}

TEST_F(IniFileTest, DropsBlanksAndOnePairOfMatchingQuotes) {
    const struct {
        std::string line;
        std::string value;
    } cases[] = {
        {" \tKey \t=  value with  inner blanks \t", "value with  inner blanks"},
        {"Key=\"double\"", "double"},
        {"Key='single'", "single"},
        {"Key = \" kept inside \" ", " kept inside "},
        {"Key=\"\"twice\"\"", "\"twice\""},
        {"Key=\"mixed'", "\"mixed'"},
        {"Key=\"", "\""},
        {"Key=\"\"", ""},
        {"Key=a=b", "a=b"},
        {"Key=", ""},
    };
    for (const auto& c : cases) {
        Write("[S]\n" + c.line + "\n");
        EXPECT_EQ(Text("S", "key"), c.value) << c.line;
    }
}

TEST_F(IniFileTest, IntegerIsTheLeadingDecimalNumber) {
    const struct {
        std::string value;
        uint32_t expected;
    } cases[] = {
        {"12abc", 12}, {"  7  ", 7},        {"\"3\"", 3},  {"-1", 0xFFFFFFFFu},
        {"0x10", 0},   {"abc", 0},          {"255", 255},  {"4294967296", 0},
        {"+42", 42},   {"'1' trailing", 0}, {"\"\"", 255}, {"", 255},
    };
    for (const auto& c : cases) {
        Write("[S]\nN=" + c.value + "\n");
        EXPECT_EQ(Int("S", "N"), c.expected) << c.value;
    }
    EXPECT_EQ(Int("S", "Missing"), 255u);
}

TEST_F(IniFileTest, TextIsCutToTheReadersBuffer) {
    Write("[S]\nK=abcdef\n");
    EXPECT_EQ(Text("S", "K", 7), "abcdef");
    EXPECT_EQ(Text("S", "K", 4), "abc");
    EXPECT_EQ(Text("S", "K", 1), "");
    EXPECT_EQ(Text("S", "K", 0), "");
    EXPECT_EQ(Text("S", "Missing", 4), "<de");  // the default is cut the same way
}

TEST_F(IniFileTest, ReadsCrlfAndUnfinishedLastLines) {
    Write("[S]\r\nA = one \r\nB=two\r");
    EXPECT_EQ(Text("S", "A"), "one");
    EXPECT_EQ(Text("S", "B"), "two");
    Write("[S]\nB='quoted'");
    EXPECT_EQ(Text("S", "B"), "quoted");
}

TEST_F(IniFileTest, SkipsAByteOrderMarkBeforeTheFirstSection) {
    Write("\xEF\xBB\xBF[S]\nK=1\n");
    EXPECT_EQ(Int("S", "K"), 1u);
    ASSERT_TRUE(IniWriteString(path_, "S", "K", "2"));
    EXPECT_EQ(Contents(), "\xEF\xBB\xBF[S]\nK=2\n");
}

TEST_F(IniFileTest, SurvivesOddBytes) {
    Write("[S]\nNul=ab\0cd\nlone line\n[broken\nK=in broken\n\0[T]\n=empty key\n"s);
    EXPECT_EQ(Text("S", "Nul"), "ab");
    EXPECT_EQ(Text("broken", "K"), "in broken");
    EXPECT_EQ(Text("S", "lone line"), "<default>");
    EXPECT_EQ(Text("T", "K"), "<default>");
    Write(std::string(100000, '['));
    EXPECT_EQ(Text("S", "K"), "<default>");
}

TEST_F(IniFileTest, MissingFileOrFolderReadsAsNoKeys) {
    EXPECT_EQ(Text("S", "K"), "<default>");
    EXPECT_EQ(Int("S", "K"), 255u);
    EXPECT_EQ(IniReadString(folder_.string(), "S", "K", "d", 10), "d");
}

TEST_F(IniFileTest, EveryReadSeesTheFileAsItIsNow) {
    Write("[S]\nK=1\n");
    EXPECT_EQ(Int("S", "K"), 1u);
    Write("[S]\nK=0\n");
    EXPECT_EQ(Int("S", "K"), 0u);
}

TEST_F(IniFileTest, WriteReplacesTheValueInPlaceAndKeepsEverythingElse) {
    Write("; note\r\n[COMMON]\r\nA = 1\r\n  Crc = 0 \r\nB=2\r\n\r\n[Other]\r\nCrc=9\r\n");
    ASSERT_TRUE(IniWriteString(path_, "common", "CRC", "1"));
    EXPECT_EQ(Contents(),
              "; note\r\n[COMMON]\r\nA = 1\r\n  Crc = 1 \r\nB=2\r\n\r\n[Other]\r\nCrc=9\r\n");

    Write("[S]\nK=1");
    ASSERT_TRUE(IniWriteString(path_, "S", "K", "22"));
    EXPECT_EQ(Contents(), "[S]\nK=22");
}

TEST_F(IniFileTest, WriteAddsAMissingKeyAtTheEndOfItsSection) {
    Write("[A]\nx=1\n\n[B]\ny=2\n");
    ASSERT_TRUE(IniWriteString(path_, "A", "z", "3"));
    EXPECT_EQ(Contents(), "[A]\nx=1\nz=3\n\n[B]\ny=2\n");

    Write("[A]\r\n[B]\r\ny=2");
    ASSERT_TRUE(IniWriteString(path_, "B", "z", "3"));
    EXPECT_EQ(Contents(), "[A]\r\n[B]\r\ny=2\r\nz=3\r\n");
}

TEST_F(IniFileTest, WriteAddsAMissingSectionAtTheEndOfTheFile) {
    Write("[A]\r\nx=1");
    ASSERT_TRUE(IniWriteString(path_, "New", "k", "v"));
    EXPECT_EQ(Contents(), "[A]\r\nx=1\r\n[New]\r\nk=v\r\n");
    EXPECT_EQ(Text("new", "K"), "v");

    Write("");
    ASSERT_TRUE(IniWriteString(path_, "S", "k", "v"));
    EXPECT_EQ(Contents(), "[S]\nk=v\n");
}

TEST_F(IniFileTest, WriteNeverCreatesTheFile) {
    EXPECT_FALSE(IniWriteString(path_, "S", "K", "1"));
    EXPECT_FALSE(fs::exists(path_));
    EXPECT_FALSE(IniWriteString(folder_.string(), "S", "K", "1"));
}

TEST_F(IniFileTest, WriteRefusesWhatWouldNotReadBack) {
    const std::string original = "[S]\nK=1\n";
    Write(original);
    EXPECT_FALSE(IniWriteString(path_, "S", "K", "two\nlines"));
    EXPECT_FALSE(IniWriteString(path_, "S", "K", "nul\0"s));
    EXPECT_FALSE(IniWriteString(path_, "S", "a=b", "1"));
    EXPECT_FALSE(IniWriteString(path_, "S", "[K", "1"));
    EXPECT_FALSE(IniWriteString(path_, "S", " K", "1"));
    EXPECT_FALSE(IniWriteString(path_, "S", "", "1"));
    EXPECT_FALSE(IniWriteString(path_, "S]", "K", "1"));
    EXPECT_EQ(Contents(), original);
}

TEST_F(IniFileTest, FailedReplacementReportsFalseAndKeepsTheOldFile) {
    const std::string original = "[S]\nK=1\n";
    Write(original);
    FileHooks().rename = [](const char*, const char*) {
        errno = EACCES;
        return -1;
    };
    EXPECT_FALSE(IniWriteString(path_, "S", "K", "2"));
    FileHooks().write = [](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    EXPECT_FALSE(IniWriteString(path_, "S", "K", "2"));
    ResetFileHooks();
    EXPECT_EQ(Contents(), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
        << "no temporary file is left behind";
}

// Every value that can be written reads back as written. Values the reader would change are
// enclosed in double quotes; all others are stored byte for byte.
TEST_F(IniFileTest, WrittenValuesReadBackAsWritten) {
    const struct {
        std::string value;
        std::string line;  // how the key's line is stored
    } kCases[] = {
        {"plain", "K=plain"},
        {"", "K="},
        {"a b\tc", "K=a b\tc"},
        {"/projects/folder ", "K=\"/projects/folder \""},
        {" lead", "K=\" lead\""},
        {"\ttab\t", "K=\"\ttab\t\""},
        {"  ", "K=\"  \""},
        {"\"quoted\"", "K=\"\"quoted\"\""},
        {"\"\"", "K=\"\"\"\""},
        {"'single'", "K=\"'single'\""},
        {"\"", "K=\""},
        {"\"open", "K=\"open"},
        {"close\"", "K=close\""},
        {"\"mixed'", "K=\"mixed'"},
        {"say \"hi\" now", "K=say \"hi\" now"},
        {"x=y;[z]", "K=x=y;[z]"},
    };
    for (const auto& c : kCases) {
        Write("[S]\nK=old\n");
        ASSERT_TRUE(IniWriteString(path_, "S", "K", c.value)) << c.value;
        EXPECT_EQ(Contents(), "[S]\n" + c.line + "\n") << c.value;
        EXPECT_EQ(Text("S", "K", 1000), c.value);
        // An added key is written the same way.
        ASSERT_TRUE(IniWriteString(path_, "S", "New", c.value)) << c.value;
        EXPECT_EQ(Text("S", "New", 1000), c.value);
    }
}

// The mode bits of the file decide, not the folder's: a file the user may not write is not
// replaced. Root may write anything, so as root the check runs as the user "nobody" in a
// child process; otherwise as the user running the tests.
TEST_F(IniFileTest, AFileTheUserMayNotWriteIsNotReplaced) {
    const std::string original = "[COMMON]\nProjectFolderPath=/old\n";
    Write(original);
    const std::string writable = (folder_ / "writable.ini").string();
    std::ofstream(writable) << original;
    ASSERT_EQ(::chmod(folder_.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(writable.c_str(), 0666), 0);

    const bool asRoot = ::geteuid() == 0;
    const struct passwd* nobody = asRoot ? ::getpwnam("nobody") : nullptr;
    if (asRoot && nobody == nullptr) {
        GTEST_SKIP() << "no user \"nobody\" to drop to";
    }
    const uid_t uid = asRoot ? nobody->pw_uid : 0;
    const gid_t gid = asRoot ? nobody->pw_gid : 0;
    const std::string path = path_;
    const bool ran = ::norvane::testing::FinishesWithin(std::chrono::seconds(20), [&] {
        if (asRoot && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)) {
            return false;
        }
        const std::string expected = FormatMessage(kMsgSettingWriteFailed, {"<ProjectFolderPath>"});
        bool refused = false;
        try {
            SettingsFile(path).WriteProjectFolderPath("/new");
        } catch (const SettingsError& error) {
            refused = error.what() == expected;
        }
        // The same user may write a file whose mode allows it.
        return refused && !IniWriteString(path, "COMMON", "CrcDisplayFormat", "1") &&
               IniWriteString(writable, "COMMON", "ProjectFolderPath", "/new");
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(Contents(), original);
    EXPECT_EQ(IniReadString(writable, "COMMON", "ProjectFolderPath", "", 260), "/new");
}

// Two processes that write different keys of one file at the same time lose nothing.
TEST_F(IniFileTest, ConcurrentWritersLoseNoUpdate) {
    Write("[S]\n");
    constexpr int kWrites = 60;
    pid_t children[2] = {};
    for (int writer = 0; writer < 2; ++writer) {
        children[writer] = ::fork();
        ASSERT_GE(children[writer], 0);
        if (children[writer] == 0) {
            bool ok = true;
            for (int i = 0; i < kWrites; ++i) {
                const std::string key =
                    std::string(1, static_cast<char>('A' + writer)) + std::to_string(i);
                ok = IniWriteString(path_, "S", key, std::to_string(i)) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "every write succeeded";
    }
    int lost = 0;
    for (const char writer : {'A', 'B'}) {
        for (int i = 0; i < kWrites; ++i) {
            lost += Text("S", writer + std::to_string(i)) != std::to_string(i) ? 1 : 0;
        }
    }
    EXPECT_EQ(lost, 0);
    EXPECT_FALSE(fs::exists(path_ + ".lock")) << "the lock file goes with the last lock";
}

// A write removes what an earlier writer left behind when it was killed before its rename, but
// only its own temporary names and only once they are old enough to be abandoned.
TEST_F(IniFileTest, WriteRemovesAbandonedTemporaries) {
    Write("[S]\nK=1\n");
    const auto make = [&](const std::string& name, int ageSeconds) {
        const std::string file = (folder_ / name).string();
        std::ofstream(file) << "left over";
        const time_t when = ::time(nullptr) - ageSeconds;
        const struct utimbuf times { when, when };
        ::utime(file.c_str(), &times);
    };
    const struct {
        const char* name;
        int ageSeconds;
        bool removed;
    } kCases[] = {
        {".settings.ini.Ab3xYz", 120, true},   // abandoned
        {".settings.ini.Qw9eRt", 5, false},    // a writer may still be at it
        {".settings.ini.Ab3xY", 120, false},   // not our name: suffix too short
        {".settings.ini.Ab3x_z", 120, false},  // not our name: mkstemp uses no '_'
        {".other.ini.Ab3xYz", 120, false},     // another file's temporary
        {"settings.ini.Ab3xYz", 120, false},   // not hidden
        {"notes.txt", 120, false},
    };
    for (const auto& c : kCases) {
        make(c.name, c.ageSeconds);
    }
    ASSERT_TRUE(IniWriteString(path_, "S", "K", "2"));
    for (const auto& c : kCases) {
        EXPECT_EQ(fs::exists(folder_ / c.name), !c.removed) << c.name;
    }
}

}  // namespace
}  // namespace norvane
