#include "report/self_test.h"
#include "base/program_version.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace norvane {
namespace {

using norvane::testing::TempDir;
using norvane::testing::WriteFile;

// Fewer random inputs than the real run, which `safetycrc selftest` makes in the CLI tests.
SelfTestSetup QuickSetup() {
    SelfTestSetup setup = DefaultSelfTestSetup();
    setup.randomImages = 200;
    setup.randomModules = 200;
    setup.randomProjects = 40;
    return setup;
}

std::vector<std::string> Failed(const std::vector<SelfTestCheck>& checks) {
    std::vector<std::string> names;
    for (const SelfTestCheck& check : checks) {
        if (!check.passed) {
            names.push_back(check.name);
            EXPECT_FALSE(check.detail.empty()) << check.name;
        } else {
            EXPECT_TRUE(check.detail.empty()) << check.name << ": " << check.detail;
        }
    }
    return names;
}

TEST(SelfTest, PassesOnTheProgramsOwnRoutinesAndExamples) {
    const std::vector<SelfTestCheck> checks = RunSelfTest(QuickSetup());
    EXPECT_EQ(Failed(checks), std::vector<std::string>());
    EXPECT_EQ(FailedChecks(checks), 0u);
    std::set<std::string> names;
    for (const SelfTestCheck& check : checks) {
        EXPECT_TRUE(names.insert(check.name).second) << "twice: " << check.name;
        EXPECT_EQ(check.name.find(' '), std::string::npos);
        EXPECT_FALSE(check.description.empty());
    }
    // Two catalogs and one sample project are built in.
    EXPECT_TRUE(names.count("lint-SafetyConfiguratorEN.xml") == 1);
    EXPECT_TRUE(names.count("sample-project-SafetyConfiguratorDE.xml") == 1);
}

// ---- Faulty routines: each is caught by the checks that concern it, and only by those ----

uint32_t Reflected(uint32_t length, uint32_t initial, const uint8_t* data, CrcDirection) {
    uint32_t h = initial;
    for (uint32_t i = 0; i < length; ++i) {
        h ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            h = (h & 1) ? (h >> 1) ^ 0xC8DF352Fu : (h >> 1);  // the polynomial reflected
        }
    }
    return h;
}

uint32_t OffForLongImages(uint32_t length, uint32_t initial, const uint8_t* data,
                          CrcDirection direction) {
    return SafetyCrc32(length, initial, data, direction) ^ (length > 40000 ? 1u : 0u);
}

uint32_t FinalXor(uint32_t length, uint32_t initial, const uint8_t* data) {
    return SafetyCrc32Bitwise(length, initial, data) ^ 0xFFFFFFFFu;
}

uint32_t SkipsTheLastByte(uint32_t length, uint32_t initial, const uint8_t* data) {
    return SafetyCrc32Bitwise(length > 1 ? length - 1 : length, initial, data);
}

TEST(SelfTest, EachFaultFailsItsOwnChecks) {
    const std::string de = "SafetyConfiguratorDE.xml";
    const std::string en = "SafetyConfiguratorEN.xml";
    struct Case {
        const char* name;
        std::function<void(SelfTestSetup&)> fault;
        std::vector<std::string> failed;
    };
    // Catalog texts made wrong in one way each; they must outlive the setup that points at them.
    static const std::string broken = "<C><Hersteller name=\"x\"/></D>";
    static std::string noModule;
    static std::string overlap;
    {
        const std::string text(BundledExamples()[0].bytes);
        noModule = text;
        noModule.replace(noModule.find("identNumber=\"0x40A1\""), 20, "identNumber=\"0x40A9\"");
        overlap = text;
        overlap.replace(overlap.find("bitOffset=\"48\""), 14, "bitOffset=\"40\"");
    }
    const Case cases[] = {
        {"a reflected table routine",
         [](SelfTestSetup& s) { s.table = &Reflected; },
         {"crc-parameters-table", "crc-check-value-table", "crc-routines-agree"}},
        {"a table routine wrong for long images only",
         [](SelfTestSetup& s) { s.table = &OffForLongImages; },
         {"crc-routines-agree"}},
        {"a bit-wise routine with a final XOR",
         [](SelfTestSetup& s) { s.bitwise = &FinalXor; },
         {"crc-parameters-bitwise", "crc-check-value-bitwise", "crc-routines-agree"}},
        {"a bit-wise routine that skips the last byte",
         [](SelfTestSetup& s) { s.bitwise = &SkipsTheLastByte; },
         {"crc-check-value-bitwise", "crc-routines-agree"}},
        {"a catalog that does not parse",
         [](SelfTestSetup& s) { s.catalogs[0].bytes = broken; },
         {"xml-round-trip-" + en, "lint-" + en, "sample-project-" + en}},
        {"a catalog without the sample's module",
         [](SelfTestSetup& s) { s.catalogs[1].bytes = noModule; },
         {"sample-project-" + de}},
        {"a catalog with overlapping fields",
         [](SelfTestSetup& s) { s.catalogs[0].bytes = overlap; },
         {"lint-" + en, "sample-project-" + en}},
        {"a sample project changed outside the program",
         [](SelfTestSetup& s) { s.sampleProject.bytes = s.sampleProject.bytes.substr(0, 400); },
         {"sample-project-" + en, "sample-project-" + de}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelfTestSetup setup = QuickSetup();
        c.fault(setup);
        const std::vector<SelfTestCheck> checks = RunSelfTest(setup);
        EXPECT_EQ(Failed(checks), c.failed);
        EXPECT_EQ(FailedChecks(checks), c.failed.size());
    }
}

TEST(SelfTest, RandomInputsAreTheSameOnEveryRun) {
    SelfTestSetup setup = QuickSetup();
    setup.table = &OffForLongImages;
    const std::vector<SelfTestCheck> first = RunSelfTest(setup);
    const std::vector<SelfTestCheck> second = RunSelfTest(setup);
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].detail, second[i].detail);
    }
}

TEST(FileSha256, DigestOfTheBytesOrNothing) {
    TempDir dir;
    // FIPS 180-2 examples.
    EXPECT_EQ(FileSha256(WriteFile(dir.path() / "abc", "abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(FileSha256(WriteFile(dir.path() / "empty", "")),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(FileSha256(WriteFile(dir.path() / "big", std::string(200000, 'a'))).size(), 64u);
    EXPECT_EQ(FileSha256((dir.path() / "missing").string()), "");
    EXPECT_EQ(FileSha256(dir.path().string()), "");
}

TEST(SelfTestEnvironment, NamesThisProcessAndItsExecutable) {
    const SelfTestEnvironment environment = CurrentSelfTestEnvironment(std::time(nullptr), "6.x");
    EXPECT_EQ(environment.programName, kProgramName);
    EXPECT_FALSE(environment.sourceRevision.empty());
    EXPECT_FALSE(environment.executablePath.empty());
    EXPECT_EQ(environment.executableSha256, FileSha256(environment.executablePath));
    EXPECT_EQ(environment.executableSha256.size(), 64u);
    EXPECT_FALSE(environment.operatingSystem.empty());
    EXPECT_EQ(environment.qtVersion, "6.x");
    EXPECT_FALSE(environment.dateTime.empty());
}

TEST(SelfTestPage, StatesTheEnvironmentAndEveryResult) {
    SelfTestEnvironment environment;
    environment.programName = "Tool";
    environment.programVersion = "1.2";
    environment.sourceRevision = "abc123-dirty";
    environment.executablePath = "/opt/<tool>";
    environment.executableSha256 = std::string(64, 'f');
    environment.operatingSystem = "Debian & Linux";
    environment.qtVersion = "6.4.2";
    environment.loginName = "anna";
    environment.hostName = "plant-pc";
    environment.dateTime = "2026-12-08T21:30:05+01:00";
    const std::vector<SelfTestCheck> checks = {
        {"one", "checks <one>", true, ""},
        {"two", "checks two", false, "gave \"x\""},
    };
    const std::string html = MakeSelfTestHtml(environment, checks);
    for (const std::string& part :
         {std::string("Tool 1.2"), std::string("abc123-dirty"), std::string("/opt/&lt;tool&gt;"),
          std::string(64, 'f'), std::string("Debian &amp; Linux"), std::string("6.4.2"),
          std::string("anna"), std::string("plant-pc"), std::string("2026-12-08T21:30:05+01:00"),
          std::string("checks &lt;one&gt;</td><td>pass"), std::string("FAIL: gave &quot;x&quot;"),
          std::string("1 passed, 1 failed")}) {
        EXPECT_NE(html.find(part), std::string::npos) << part;
    }
    environment.executableSha256.clear();
    EXPECT_NE(MakeSelfTestHtml(environment, {}).find("could not be read"), std::string::npos);
}

}  // namespace
}  // namespace norvane
