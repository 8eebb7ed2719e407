#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "xml/whole_file.h"

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
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "settings.ini" || name == "settings.ini.lock")
            << name << ": no temporary file is left behind";
    }
}

}  // namespace
}  // namespace norvane
