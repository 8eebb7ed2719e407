#include "report/audit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "base/messages.h"
#include "project/project_file.h"
#include "safety/param_stream.h"
#include "support/temp_dir.h"

namespace norvane {
namespace {

namespace fs = std::filesystem;
using norvane::testing::TempDir;
using norvane::testing::WriteFile;

// A module of every kind of parameter behind a PROFIBUS head, and one whose two fields share
// bits, so that no value of theirs ever reads back.
constexpr const char* kCatalog =
    "<?xml version=\"1.0\"?><C>"
    "<Hersteller name=\"V\" identNumber=\"0x01\">"
    "<Device name=\"D\" identNumber=\"0x10\" enableBusAddress=\"yes\" busAddress=\"3\" "
    "minAddr=\"1\" maxAddr=\"125\" dataFormat=\"Motorola\">"
    "<Modul name=\"M\" identNumber=\"0x100\" lenModulParam=\"10\" lenUserParam=\"4\">"
    "<ParameterList>"
    "<Parameter name=\"A\" type=\"UInt\" defaultValue=\"1\" min=\"0\" max=\"100000\" "
    "bitOffset=\"32\" bitLength=\"16\"/>"
    "<Parameter name=\"B b\" type=\"Int\" defaultValue=\"0\" min=\"-5\" max=\"5\" "
    "bitOffset=\"48\" bitLength=\"8\"/>"
    "<Parameter name=\"E\" type=\"UInt\" paramView=\"Enum\" defaultValue=\"1\" min=\"0\" "
    "max=\"3\" bitOffset=\"56\" bitLength=\"8\"><Item valueText=\"one\" valueItem=\"1\"/>"
    "<Item valueText=\"three\" valueItem=\"3\"/></Parameter>"
    "</ParameterList></Modul>"
    "<Modul name=\"Overlap\" identNumber=\"0x101\" lenModulParam=\"8\" lenUserParam=\"2\">"
    "<ParameterList>"
    "<Parameter name=\"X\" type=\"UInt\" min=\"0\" max=\"255\" bitOffset=\"32\" bitLength=\"8\"/>"
    "<Parameter name=\"Y\" type=\"UInt\" min=\"0\" max=\"255\" bitOffset=\"36\" bitLength=\"8\"/>"
    "</ParameterList></Modul>"
    "</Device></Hersteller></C>";

uint32_t CrcOf(uint16_t a, int8_t b, uint8_t e) {
    std::vector<CatalogParameter> parameters(3);
    const int32_t offsets[] = {32, 48, 56};
    const int32_t lengths[] = {16, 8, 8};
    const uint32_t values[] = {a, static_cast<uint32_t>(int32_t{b}), e};
    for (size_t i = 0; i < 3; ++i) {
        parameters[i].type = i == 1 ? ParamType::Int : ParamType::UInt;
        parameters[i].bitOffset = offsets[i];
        parameters[i].bitLength = lengths[i];
        parameters[i].value = values[i];
    }
    return ParameterImageCrc(DataFormat::Motorola, 4, parameters);
}

// Every item verified, the CRC of the values valid: what the window saves after a full walk.
ProjectData Verified() {
    ProjectData project;
    project.manufacturerName = "V";
    project.manufacturerId = "0x01";
    project.deviceName = "D";
    project.deviceId = "0x10";
    project.moduleName = "M";
    project.moduleId = "0x100";
    project.busAddress = 7;
    project.manufacturerAccepted = project.deviceAccepted = project.moduleAccepted = true;
    project.busAddressAccepted = true;
    project.parameters = {{32, 16, 7, true}, {48, 8, -3, true}, {56, 8, 3, true}};
    project.crcValid = true;
    project.crc = CrcOf(7, -3, 3);
    return project;
}

std::string Words(const AuditEntry& entry) {
    std::string text;
    for (const AuditWord& word : entry.detail) {
        text += (text.empty() ? "" : " ") + (word.fromFile ? "<" + word.text + ">" : word.text);
    }
    return text;
}

// Every rule of the classification, one row each: how the project differs from a verified one,
// and what the audit makes of it.
TEST(AuditProject, ClassifiesByWhatOpeningGives) {
    struct Case {
        const char* name;
        std::function<void(ProjectData&)> change;
        AuditStatus status;
        const char* detail;
        int message;
        int namesMatched;  // 0 to 3: manufacturer, device, module
        bool recomputed;
    };
    const Case cases[] = {
        {"verified", [](ProjectData&) {}, AuditStatus::Ok, "", 0, 3, true},
        {"CRC not marked valid", [](ProjectData& p) { p.crcValid = false; },
         AuditStatus::Unverified, "every item verified, but the stored CRC is not marked valid", 0,
         3, true},
        {"a parameter not verified",
         [](ProjectData& p) {
             p.parameters[1].accepted = false;
             p.crcValid = false;
         },
         AuditStatus::Unverified, "parameter <B b> not verified", 0, 3, true},
        {"the walk stopped early",
         [](ProjectData& p) {
             p.moduleAccepted = p.parameters[0].accepted = p.parameters[2].accepted = false;
             p.crcValid = false;
         },
         AuditStatus::Unverified, "module not verified, and 2 more", 0, 3, true},
        // Written by hand: a CRC marked valid beside an unverified item is not kept, and what
        // is missing is the verification.
        {"CRC marked valid, an item not verified", [](ProjectData& p) { p.deviceAccepted = false; },
         AuditStatus::Unverified, "device not verified", kMsgStoredCrcNotValues, 3, true},
        {"CRC marked valid, an item not verified, the values another's",
         [](ProjectData& p) {
             p.parameters[0].accepted = false;
             p.crc ^= 1;
         },
         AuditStatus::Stale, "the stored CRC is not the CRC of its values", kMsgStoredCrcNotValues,
         3, true},
        {"a value outside its limits",
         [](ProjectData& p) {
             p.parameters[1].selectedValue = -6;
             p.crc = CrcOf(7, -6, 3);
         },
         AuditStatus::Stale, "parameter <B b> value -6 outside its limits -5 to 5",
         kMsgStoredCrcNotValues, 3, true},
        {"no item of its enumeration",
         [](ProjectData& p) {
             p.parameters[2].selectedValue = 2;
             p.crcValid = false;
         },
         AuditStatus::Stale, "parameter <E> value 2 is no item of its enumeration", 0, 3, true},
        {"wider than its field, and more",
         [](ProjectData& p) {
             p.parameters[0].selectedValue = 65537;
             p.parameters[2].selectedValue = 2;
         },
         AuditStatus::Stale, "parameter <A> value 65537 does not fit its 16-bit field, and 1 more",
         kMsgStoredCrcNotValues, 3, false},
        {"a bus address outside the device's limits", [](ProjectData& p) { p.busAddress = 126; },
         AuditStatus::Stale, "bus address 126 outside its limits 1 to 125", kMsgStoredCrcNotValues,
         3, true},
        {"the CRC of other values", [](ProjectData& p) { p.crc ^= 1; }, AuditStatus::Stale,
         "the stored CRC is not the CRC of its values", kMsgStoredCrcNotValues, 3, true},
        {"values that give no CRC",
         [](ProjectData& p) {
             p.moduleId = "0x101";
             p.parameters = {{32, 8, 1, true}, {36, 8, 2, true}};
         },
         AuditStatus::Stale, BuiltInMessage(kMsgNoReadBack).data(), kMsgStoredCrcNotValues, 3,
         false},
        {"unknown manufacturer", [](ProjectData& p) { p.manufacturerId = "0x02"; },
         AuditStatus::Unmatched, BuiltInMessage(kMsgUnknownManufacturer).data(),
         kMsgUnknownManufacturer, 0, false},
        {"unknown device", [](ProjectData& p) { p.deviceId = "0x11"; }, AuditStatus::Unmatched,
         BuiltInMessage(kMsgUnknownDevice).data(), kMsgUnknownDevice, 1, false},
        {"unknown module", [](ProjectData& p) { p.moduleId = "0x102"; }, AuditStatus::Unmatched,
         BuiltInMessage(kMsgUnknownModule).data(), kMsgUnknownModule, 2, false},
        {"a parameter missing", [](ProjectData& p) { p.parameters.pop_back(); },
         AuditStatus::Unmatched, BuiltInMessage(kMsgUnknownParameter).data(), kMsgUnknownParameter,
         3, false},
    };
    TempDir dir;
    CatalogData catalog;
    catalog.Load(kCatalog);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectData project = Verified();
        c.change(project);
        const std::string path = (dir.path() / "p.kfx").string();
        WriteProjectFile(project, path);
        const AuditEntry entry = AuditProject(catalog, path);
        EXPECT_EQ(entry.path, path);
        EXPECT_EQ(AuditStatusName(entry.status), AuditStatusName(c.status));
        EXPECT_EQ(Words(entry), c.detail);
        EXPECT_EQ(entry.message, c.message);
        EXPECT_EQ(entry.manufacturer.has_value(), c.namesMatched >= 1);
        EXPECT_EQ(entry.device.has_value(), c.namesMatched >= 2);
        EXPECT_EQ(entry.module.has_value(), c.namesMatched >= 3);
        EXPECT_TRUE(entry.fileRead);
        EXPECT_EQ(entry.storedCrcValid, project.crcValid);
        EXPECT_EQ(entry.storedCrc, project.crc);
        EXPECT_EQ(entry.opened, c.status != AuditStatus::Unmatched);
        EXPECT_EQ(entry.recomputed.has_value(), c.recomputed);
        // Ok exactly when the stored CRC is the one the values give and is kept.
        if (entry.recomputed && c.status == AuditStatus::Ok) {
            EXPECT_EQ(*entry.recomputed, project.crc);
        }
        // The same text in memory is classified alike.
        const AuditEntry fromText = AuditProjectText(catalog, path, ProjectFileText(project));
        EXPECT_EQ(fromText.status, entry.status);
        EXPECT_EQ(Words(fromText), Words(entry));
    }
}

TEST(AuditProject, UnreadableSaysWhy) {
    TempDir dir;
    const std::string verified = ProjectFileText(Verified());
    const std::string edited = verified.substr(0, verified.find("value=\"7\"")) + "value=\"8\"" +
                               verified.substr(verified.find("value=\"7\"") + 9);
    const std::pair<std::string, const char*> cases[] = {
        {(dir.path() / "missing.kfx").string(), "the file could not be read"},
        {WriteFile(dir.path() / "empty.kfx", ""), "the file could not be read"},
        {dir.path().string(), "the file could not be read"},
        {WriteFile(dir.path() / "catalog.kfx", kCatalog), "not a project file"},
        {WriteFile(dir.path() / "edited.kfx", edited),
         "changed outside the program: the digest does not match"},
    };
    CatalogData catalog;
    catalog.Load(kCatalog);
    for (const auto& [path, detail] : cases) {
        SCOPED_TRACE(path);
        const AuditEntry entry = AuditProject(catalog, path);
        EXPECT_EQ(entry.status, AuditStatus::Unreadable);
        EXPECT_EQ(Words(entry), detail);
        EXPECT_EQ(entry.message, kMsgProjectOpenFailed);
        EXPECT_FALSE(entry.fileRead);
        EXPECT_FALSE(entry.opened);
        EXPECT_FALSE(entry.manufacturer || entry.device || entry.module);
    }
}

std::vector<std::string> Paths(const std::vector<AuditTarget>& targets, const fs::path& base) {
    std::vector<std::string> paths;
    paths.reserve(targets.size());
    for (const AuditTarget& target : targets) {
        paths.push_back((target.unlistedFolder ? "!" : "") +
                        fs::path(target.path).lexically_relative(base).generic_string());
    }
    return paths;
}

TEST(AuditTargets, NamedFilesInTurnFoldersInByteOrderWithoutFollowingLinks) {
    TempDir dir;
    const fs::path plant = dir.path() / "plant";
    fs::create_directories(plant / "b" / "deep");
    fs::create_directories(plant / "a.d");
    fs::create_directories(dir.path() / "elsewhere");
    for (const char* file : {"z.kfx", "a.kfx", "B.kfx", "b/deep/x.kfx", "b/y.kfx", "a.d/w.kfx",
                             "notes.txt", "x.KFX", "x.kfx.bak"}) {
        WriteFile(plant / file, "x");
    }
    WriteFile(dir.path() / "elsewhere" / "outside.kfx", "x");
    fs::create_directory_symlink(dir.path() / "elsewhere", plant / "link");
    fs::create_directory_symlink(dir.path() / "elsewhere", plant / "link.kfx");
    fs::create_symlink(plant / "a.kfx", plant / "alias.kfx");
    const fs::path single = dir.path() / "elsewhere" / "outside.kfx";

    const std::vector<std::string> expected = {
        "elsewhere/outside.kfx",  // named first
        "plant/B.kfx",
        "plant/a.d/w.kfx",
        "plant/a.kfx",
        "plant/alias.kfx",
        "plant/b/deep/x.kfx",
        "plant/b/y.kfx",
        "plant/z.kfx",
        "missing.kfx",             // named, though it does not exist
        "plant/link/outside.kfx",  // a folder named through a link is walked
    };
    EXPECT_EQ(
        Paths(AuditTargets({single.string(), plant.string(), (dir.path() / "missing.kfx").string(),
                            (plant / "link").string()}),
              dir.path()),
        expected);
}

// Lists `folder` as a user who may not read its folder "closed"; as root, in a child process
// that gives up its rights first, since root reads every folder.
std::vector<std::string> ListedWithoutRights(const fs::path& folder) {
    const auto list = [&] { return Paths(AuditTargets({folder.string()}), folder); };
    if (::geteuid() != 0) {
        return list();
    }
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(2);
        }
        std::string text;
        for (const std::string& path : list()) {
            text += path + '\n';
        }
        const bool written =
            ::write(pipeEnds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(written ? 0 : 3);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::vector<std::string> paths;
    for (size_t begin = 0, end; (end = text.find('\n', begin)) != std::string::npos;
         begin = end + 1) {
        paths.push_back(text.substr(begin, end - begin));
    }
    return paths;
}

TEST(AuditTargets, AFolderThatCannotBeListedIsReported) {
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    fs::create_directories(dir.path() / "closed");
    WriteFile(dir.path() / "open.kfx", "x");
    WriteFile(dir.path() / "closed" / "hidden.kfx", "x");
    fs::permissions(dir.path() / "closed", fs::perms::none);
    const std::vector<std::string> paths = ListedWithoutRights(dir.path());
    fs::permissions(dir.path() / "closed", fs::perms::owner_all);
    EXPECT_EQ(paths, (std::vector<std::string>{"!closed", "open.kfx"}));
}

TEST(AuditAll, CountsEveryStatusOnce) {
    TempDir dir;
    ProjectData unverified = Verified();
    unverified.crcValid = false;
    ProjectData unmatched = Verified();
    unmatched.moduleId = "0x999";
    WriteProjectFile(Verified(), (dir.path() / "1.kfx").string());
    WriteProjectFile(Verified(), (dir.path() / "2.kfx").string());
    WriteProjectFile(unverified, (dir.path() / "3.kfx").string());
    WriteProjectFile(unmatched, (dir.path() / "4.kfx").string());
    WriteFile(dir.path() / "5.kfx", "x");
    CatalogData catalog;
    catalog.Load(kCatalog);
    const std::vector<AuditEntry> entries = AuditAll(catalog, AuditTargets({dir.path().string()}));
    ASSERT_EQ(entries.size(), 5u);
    const AuditSummary summary = Summarize(entries);
    EXPECT_EQ(summary.projects, 5u);
    EXPECT_EQ(summary.ok, 2u);
    EXPECT_EQ(summary.unverified, 1u);
    EXPECT_EQ(summary.stale, 0u);
    EXPECT_EQ(summary.unmatched, 1u);
    EXPECT_EQ(summary.unreadable, 1u);
    // A folder entry that could not be listed counts as unreadable.
    const std::vector<AuditEntry> folder = AuditAll(catalog, {{"closed", true}});
    EXPECT_EQ(folder.front().status, AuditStatus::Unreadable);
    EXPECT_EQ(Words(folder.front()), "the folder could not be listed");
}

}  // namespace
}  // namespace norvane
