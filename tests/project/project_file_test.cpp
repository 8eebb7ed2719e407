#include "project/project_file.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "base/md5_digest.h"
#include "base/whole_file.h"
#include "support/temp_dir.h"

namespace norvane {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<Project xmlns=\"http://www.norvane.example/SafetyConfigurator/Project\">"
    "<FileVersion major=\"1\" minor=\"0\"/>";

// Written by hand from the format table.
constexpr const char* kSettings =
    "<Settings>"
    "<Manufacturer name=\"Norvane Automation\" id=\"0x0317\" accepted=\"1\"/>"
    "<Device name=\"NV-DP 200 PROFIBUS head\" id=\"0x0B1A\" accepted=\"1\"/>"
    "<Module name=\"F-DI 8x24VDC\" id=\"0x40A1\" accepted=\"0\"/>"
    "<Description text=\"Line 3\"/>"
    "<BusAddress value=\"-1\" accepted=\"1\"/>"
    "<CRC value=\"4294967295\" isValid=\"1\"/>"
    "<Parameters>"
    "<Parameter bitOffset=\"32\" bitLength=\"16\" selectedValue=\"-5\" accepted=\"1\"/>"
    "<Parameter bitOffset=\"48\" bitLength=\"16\" selectedValue=\"100\" accepted=\"0\"/>"
    "</Parameters>"
    "</Settings>";
constexpr const char* kParameters =
    "<Parameters>"
    "<Parameter bitOffset=\"32\" bitLength=\"16\" selectedValue=\"-5\" accepted=\"1\"/>"
    "<Parameter bitOffset=\"48\" bitLength=\"16\" selectedValue=\"100\" accepted=\"0\"/>"
    "</Parameters>";

ProjectData SampleProject() {
    ProjectData project;
    project.manufacturerName = "Norvane Automation";
    project.manufacturerId = "0x0317";
    project.deviceName = "NV-DP 200 PROFIBUS head";
    project.deviceId = "0x0B1A";
    project.moduleName = "F-DI 8x24VDC";
    project.moduleId = "0x40A1";
    project.description = "Line 3";
    project.busAddress = -1;
    project.manufacturerAccepted = true;
    project.deviceAccepted = true;
    project.busAddressAccepted = true;
    project.crc = 4294967295u;
    project.crcValid = true;
    project.parameters = {{32, 16, -5, true}, {48, 16, 100, false}};
    return project;
}

std::string FileWith(const std::string& settings, const std::string& digest) {
    return std::string(kHead) + "<Hash value=\"" + digest + "\"/>" + settings + "</Project>";
}

// A file whose digest fits its Settings text.
std::string Sealed(const std::string& settings) {
    return FileWith(settings, Md5Digest::DigestOf(settings));
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

TEST(WriteProjectFile, WritesTheFormatByteForByte) {
    // The digest of kSettings, computed apart from the program.
    const std::string expected = FileWith(kSettings, "f7dc4d22822a219cd1609053b1cc829c");
    EXPECT_EQ(ProjectFileText(SampleProject()), expected);

    TempDir dir;
    const std::string path = (dir.path() / "p.kfx").string();
    WriteProjectFile(SampleProject(), path);
    EXPECT_EQ(ReadFile(path), expected);  // no line break at the end either

    ProjectData bare = SampleProject();
    bare.parameters.clear();
    bare.description.clear();
    bare.crc = 0;
    bare.crcValid = false;
    bare.busAddress = 125;
    std::string bareSettings = Replace(kSettings, kParameters, "<Parameters/>");
    bareSettings = Replace(bareSettings, "\"Line 3\"", "\"\"");
    bareSettings = Replace(bareSettings, "\"4294967295\" isValid=\"1\"", "\"0\" isValid=\"0\"");
    bareSettings = Replace(bareSettings, "\"-1\"", "\"125\"");
    EXPECT_EQ(ProjectFileText(bare), Sealed(bareSettings));
    EXPECT_EQ(ReadProjectText(ProjectFileText(bare)), bare);
}

TEST(WriteProjectFile, RefusesProjectsThatCouldNotBeReadBack) {
    const std::pair<const char*, std::function<void(ProjectData&)>> cases[] = {
        {"quote in the description", [](ProjectData& p) { p.description = "a \"b\" c"; }},
        {"NUL in the description", [](ProjectData& p) { p.description = std::string("a\0b", 3); }},
        {"quote in a name", [](ProjectData& p) { p.deviceName = "12\" rack"; }},
        {"empty manufacturer name", [](ProjectData& p) { p.manufacturerName.clear(); }},
        {"empty device identifier", [](ProjectData& p) { p.deviceId.clear(); }},
        {"empty module identifier", [](ProjectData& p) { p.moduleId.clear(); }},
        {"bit offset beyond the signed range (a negative catalog offset)",
         [](ProjectData& p) { p.parameters[0].bitOffset = 4294962207u; }},
        {"bit length beyond the signed range",
         [](ProjectData& p) { p.parameters[0].bitLength = 2147483648u; }},
    };
    for (const auto& [name, change] : cases) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string path = WriteFile(dir.path() / "p.kfx", "old");
        ProjectData project = SampleProject();
        change(project);
        EXPECT_THROW(WriteProjectFile(project, path), ProjectFileFailure);
        EXPECT_EQ(ReadFile(path), "old");
    }
    // Other bytes are written as they are and come back unchanged.
    ProjectData odd = SampleProject();
    odd.description = "<tag> & 'x' \xe4\xf6 \xc3\xbc / > =";
    odd.moduleName = "F-DI <8>";
    EXPECT_EQ(ReadProjectText(ProjectFileText(odd)), odd);
}

class ProjectWriteFailureTest : public ::testing::Test {
  protected:
    void TearDown() override { ResetFileHooks(); }
};

TEST_F(ProjectWriteFailureTest, OldFileStaysAndNoTemporaryIsLeft) {
    struct Case {
        const char* name;
        std::function<void()> breakIt;
        bool needsNonRoot;
    };
    const Case cases[] = {
        {"full disk",
         [] {
             FileHooks().write = [](int, const void*, size_t) -> ssize_t {
                 errno = ENOSPC;
                 return -1;
             };
         },
         false},
        {"disk full on the flush",
         [] {
             FileHooks().fsync = [](int) {
                 errno = EIO;
                 return -1;
             };
         },
         false},
        {"rename fails",
         [] {
             FileHooks().rename = [](const char*, const char*) {
                 errno = EXDEV;
                 return -1;
             };
         },
         false},
        {"folder not writable", [] {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsNonRoot && ::geteuid() == 0) {
            continue;  // the super-user writes into any folder
        }
        TempDir dir;
        const std::string path = WriteFile(dir.path() / "work.kfx", "previous project");
        if (c.needsNonRoot) {
            ::chmod(dir.path().c_str(), 0555);
        }
        c.breakIt();
        EXPECT_THROW(WriteProjectFile(SampleProject(), path), ProjectFileFailure);
        ResetFileHooks();
        ::chmod(dir.path().c_str(), 0755);
        EXPECT_EQ(ReadFile(path), "previous project");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                                std::filesystem::directory_iterator()),
                  1);
    }
    TempDir dir;
    EXPECT_THROW(WriteProjectFile(SampleProject(), (dir.path() / "no" / "p.kfx").string()),
                 ProjectFileFailure);
    const std::string file = WriteFile(dir.path() / "file", "x");
    EXPECT_THROW(WriteProjectFile(SampleProject(), file + "/p.kfx"), ProjectFileFailure);
}

// ---- Reading ----

struct ReadCase {
    const char* name;
    std::string text;
    // The expected project, changed from SampleProject(); none when reading must fail.
    std::optional<std::function<void(ProjectData&)>> expected;
};

std::string SettingsWith(const std::string& from, const std::string& to) {
    return Replace(kSettings, from, to);
}

TEST(ReadProjectFile, AcceptsAndRefusesAsTheFormatSays) {
    const auto same = [](ProjectData&) {};
    const std::string sealed = Sealed(kSettings);
    const std::string digest = Md5Digest::DigestOf(std::string(kSettings));
    const ReadCase cases[] = {
        {"the file as written", sealed, same},
        {"no parameters", Sealed(SettingsWith(kParameters, "<Parameters/>")),
         [](ProjectData& p) { p.parameters.clear(); }},
        {"line breaks and indentation everywhere",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Project xmlns=\"x\">\n  <Hash value=\"" +
             digest + "\"/>\n  <Settings>\n    " +
             Replace(Replace(std::string(kSettings).substr(10), "/><Device", "/>\n\t<Device"),
                     "<Parameter bitOffset=\"48\"", "\n      <Parameter\n bitOffset=\"48\"") +
             "\n</Project>\n",
         same},
        {"FileVersion and xmlns changed",
         Replace(Replace(sealed, "major=\"1\"", "major=\"7\""), "http://", "urn:"), same},
        {"parameter under another name",
         Sealed(SettingsWith("<Parameter bitOffset=\"48\"", "<Entry bitOffset=\"48\"")), same},
        {"empty description", Sealed(SettingsWith("\"Line 3\"", "\"\"")),
         [](ProjectData& p) { p.description.clear(); }},
        {"numbers read leniently",
         Sealed(SettingsWith("value=\"-1\" accepted=\"1\"", "value=\" +12x\" accepted=\"3\"")),
         [](ProjectData& p) { p.busAddress = 12; }},
        {"number beyond the range",
         Sealed(SettingsWith("selectedValue=\"-5\"", "selectedValue=\"-99999999999\"")),
         [](ProjectData& p) { p.parameters[0].selectedValue = INT32_MIN; }},
        {"number without digits", Sealed(SettingsWith("bitLength=\"16\"", "bitLength=\"abc\"")),
         [](ProjectData& p) { p.parameters[0].bitLength = 0; }},
        {"even and odd booleans",
         Sealed(SettingsWith("id=\"0x0317\" accepted=\"1\"", "id=\"0x0317\" accepted=\"2\"")),
         [](ProjectData& p) { p.manufacturerAccepted = false; }},
        {"yes is false",
         Sealed(SettingsWith("id=\"0x40A1\" accepted=\"0\"", "id=\"0x40A1\" accepted=\"yes\"")),
         same},
        {"CRC with trailing letters", Sealed(SettingsWith("\"4294967295\"", "\" 12abc\"")),
         [](ProjectData& p) { p.crc = 12; }},
        {"CRC with leading zeros", Sealed(SettingsWith("\"4294967295\"", "\"0004294967295\"")),
         same},

        {"an accepted mark changed by hand",
         FileWith(SettingsWith("accepted=\"0\"/><Desc", "accepted=\"1\"/><Desc"), digest),
         std::nullopt},
        {"a name changed by hand", FileWith(SettingsWith("Line 3", "Line 4"), digest),
         std::nullopt},
        {"digest in capitals", FileWith(kSettings, "F7DC4D22822A219CD1609053B1CC829C"),
         std::nullopt},
        {"no declaration", sealed.substr(std::string_view(kHead).find("<Project")), std::nullopt},
        {"does not parse", Replace(sealed, "</Settings>", "</Setting>"), std::nullopt},
        {"no Hash value", Replace(sealed, "<Hash value=\"" + digest + "\"/>", "<Hash/>"),
         std::nullopt},
        {"empty Hash value", FileWith(kSettings, ""), std::nullopt},
        {"empty manufacturer name", Sealed(SettingsWith("\"Norvane Automation\"", "\"\"")),
         std::nullopt},
        {"empty device identifier", Sealed(SettingsWith("\"0x0B1A\"", "\"\"")), std::nullopt},
        {"module without accepted",
         Sealed(SettingsWith("id=\"0x40A1\" accepted=\"0\"", "id=\"0x40A1\"")), std::nullopt},
        {"no Description", Sealed(SettingsWith("<Description text=\"Line 3\"/>", "")),
         std::nullopt},
        {"Description without text",
         Sealed(SettingsWith("<Description text=\"Line 3\"/>", "<Description/>")), std::nullopt},
        {"empty bus address", Sealed(SettingsWith("value=\"-1\"", "value=\"\"")), std::nullopt},
        {"CRC too large", Sealed(SettingsWith("\"4294967295\"", "\"4294967296\"")), std::nullopt},
        {"CRC not a number", Sealed(SettingsWith("\"4294967295\"", "\"abc\"")), std::nullopt},
        {"CRC with a sign", Sealed(SettingsWith("\"4294967295\"", "\"-1\"")), std::nullopt},
        {"no Parameters", Sealed(SettingsWith("<Parameters>", "<Parameterz>")), std::nullopt},
        {"parameter without bitLength",
         Sealed(SettingsWith("bitLength=\"16\" selectedValue=\"-5\"", "selectedValue=\"-5\"")),
         std::nullopt},
        {"parameter with an empty value",
         Sealed(SettingsWith("selectedValue=\"100\"", "selectedValue=\"\"")), std::nullopt},
        {"empty text", "", std::nullopt},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.expected) {
            ProjectData expected = SampleProject();
            (*c.expected)(expected);
            EXPECT_EQ(ReadProjectText(c.text), expected);
        } else {
            EXPECT_THROW(ReadProjectText(c.text), ProjectFileFailure);
        }
    }
}

// Why a file is refused, for an audit that reports it: the reader says which rule it broke.
TEST(ReadProjectFile, SaysWhyItRefuses) {
    const std::string sealed = Sealed(kSettings);
    const std::string digest = Md5Digest::DigestOf(std::string(kSettings));
    const std::pair<std::string, ProjectFileProblem> cases[] = {
        {FileWith(SettingsWith("Line 3", "Line 4"), digest), ProjectFileProblem::Changed},
        {FileWith(kSettings, std::string(32, '0')), ProjectFileProblem::Changed},
        // The right digest in any other form than the writer's is a change too.
        {FileWith(kSettings, Upper(digest)), ProjectFileProblem::Changed},
        {FileWith(kSettings, digest + " "), ProjectFileProblem::Changed},
        {FileWith(kSettings, digest.substr(1)), ProjectFileProblem::Changed},
        {Replace(sealed, "</Settings>", "</Setting>"), ProjectFileProblem::NotAProject},
        {"plain text, no XML", ProjectFileProblem::NotAProject},
        {"<?xml version=\"1.0\"?><Catalog/>", ProjectFileProblem::NotAProject},
        {Sealed(SettingsWith("<Parameters>", "<Parameterz>")), ProjectFileProblem::NotAProject},
        // A missing attribute is found before the digest is compared.
        {FileWith(SettingsWith(" isValid=\"1\"", ""), digest), ProjectFileProblem::NotAProject},
    };
    for (const auto& [text, problem] : cases) {
        SCOPED_TRACE(text);
        try {
            ReadProjectText(text);
            ADD_FAILURE() << "read";
        } catch (const ProjectFileFailure& failure) {
            EXPECT_EQ(failure.Problem(), problem);
        }
    }
    TempDir dir;
    for (const std::string& path : {(dir.path() / "missing.kfx").string(),
                                    WriteFile(dir.path() / "empty.kfx", ""), dir.path().string()}) {
        SCOPED_TRACE(path);
        try {
            ReadProjectFile(path);
            ADD_FAILURE() << "read";
        } catch (const ProjectFileFailure& failure) {
            EXPECT_EQ(failure.Problem(), ProjectFileProblem::Unreadable);
        }
    }
}

TEST(ReadProjectFile, NamesMatchByPrefixWithoutRegardToCase) {
    std::string settings = kSettings;
    for (const auto& [from, to] :
         {std::pair{"<Settings>", "<settingsX>"}, std::pair{"</Settings>", "</settingsX>"},
          std::pair{"<Device name", "<DEVICES NAME"}, std::pair{"<CRC value", "<crc VALUE"}}) {
        settings = Replace(settings, from, to);
    }
    // The digest covers the names as they stand in the file.
    const std::string text = Replace(Replace(Sealed(settings), "<Project xmlns", "<project xmlns"),
                                     "</Project>", "</project>");
    EXPECT_EQ(ReadProjectText(text), SampleProject());
}

TEST(ReadProjectFile, FileThatIsMissingOrEmptyFails) {
    TempDir dir;
    EXPECT_THROW(ReadProjectFile((dir.path() / "missing.kfx").string()), ProjectFileFailure);
    EXPECT_THROW(ReadProjectFile(WriteFile(dir.path() / "empty.kfx", "")), ProjectFileFailure);
    EXPECT_THROW(ReadProjectFile(dir.path().string()), ProjectFileFailure);
    const std::string path = WriteFile(dir.path() / "p.kfx", Sealed(kSettings));
    EXPECT_EQ(ReadProjectFile(path), SampleProject());
}

TEST(CollectProject, TakesTheSelectionMarksValuesAndCrc) {
    CatalogManufacturer manufacturer;
    manufacturer.name = "Norvane Automation";
    manufacturer.identNumber = "0x0317";
    CatalogDevice device;
    device.name = "NV-DP 200 PROFIBUS head";
    device.identNumber = "0x0B1A";
    device.description = "Line 3";
    device.busAddress = -1;
    CatalogModule module;
    module.name = "F-DI 8x24VDC";
    module.identNumber = "0x40A1";
    std::vector<CatalogParameter> parameters(2);
    parameters[0].bitOffset = 32;
    parameters[0].bitLength = 16;
    parameters[0].value = static_cast<uint32_t>(-5);
    parameters[0].verified = 3;  // only bit 0 counts
    parameters[1].bitOffset = 48;
    parameters[1].bitLength = 16;
    parameters[1].value = 100;
    parameters[1].verified = 2;
    const ProjectData project = CollectProject(
        manufacturer, device, module, {true, true, false, true}, parameters, true, 4294967295u);
    EXPECT_EQ(project, SampleProject());
}

TEST(DeleteProjectFile, RemovesOnlyAnExistingFile) {
    TempDir dir;
    const std::string path = WriteFile(dir.path() / "p.kfx", "x");
    EXPECT_TRUE(DeleteProjectFile(path));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(DeleteProjectFile(path));
    EXPECT_FALSE(DeleteProjectFile(dir.path().string()));
    EXPECT_FALSE(DeleteProjectFile(""));
}

}  // namespace
}  // namespace norvane
