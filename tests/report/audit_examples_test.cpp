// The project files in examples/audit/ are what the verification model saves after a user's
// walk, one of each audit status. This test makes them again from the models and compares them
// with the files in the tree; with NORVANE_WRITE_EXAMPLES=1 it writes them instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "project/project_file.h"
#include "report/audit.h"
#include "support/model_walk.h"
#include "support/temp_dir.h"
#include "verification/verification_model.h"

namespace norvane {
namespace {

using norvane::testing::AcceptWalk;
using norvane::testing::ReadFile;
using norvane::testing::SourcePath;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at == std::string::npos) {
        ADD_FAILURE() << "not in the catalog: " << from;
        return text;
    }
    return text.replace(at, from.size(), to);
}

struct Example {
    const char* file;
    AuditStatus status;
    // The catalog the project was saved with: the demo catalog as it is, or an older version.
    std::function<std::string(std::string)> catalogThen;
    size_t device;
    size_t module;
    const char* description;
    const char* busAddress;
    std::map<std::string, std::string> typed;
    size_t accepted;  // items accepted before saving
    // A change made to the saved file afterwards, outside the program.
    std::function<std::string(std::string)> edited;
};

std::string AsItIs(std::string text) {
    return text;
}

const size_t kAll = static_cast<size_t>(-1);

std::string SavedProject(const Example& example) {
    CatalogData catalog;
    catalog.Load(example.catalogThen(ReadFile(SourcePath("examples/SafetyConfiguratorEN.xml"))));
    VerificationModel model(catalog);
    EXPECT_TRUE(model.SelectManufacturer(0));
    EXPECT_TRUE(model.SelectDevice(example.device));
    EXPECT_TRUE(model.SelectModule(example.module));
    model.SetDescription(example.description);
    const size_t accepted = AcceptWalk(model, example.typed, example.busAddress, example.accepted);
    EXPECT_EQ(accepted, example.accepted == kAll ? model.Items().size() : example.accepted);
    EXPECT_EQ(model.CalcSafetyCrc(), 0);
    return example.edited(ProjectFileText(model.Collect()));
}

TEST(AuditExamples, AreWhatTheModelsSave) {
    const Example examples[] = {
        {"ok.kfx",
         AuditStatus::Ok,
         AsItIs,
         0,
         2,
         "Line 4, cabinet 1",
         "12",
         {{"F_Dest_Add", "1030"}, {"Channel 1 offset (uA)", "-40"}},
         kAll,
         AsItIs},
        {"cabinet-2/unverified.kfx",
         AuditStatus::Unverified,
         AsItIs,
         0,
         1,
         "Line 4, cabinet 2",
         "13",
         {{"F_Dest_Add", "1031"}},
         7,
         AsItIs},
        // Saved while the catalog still allowed a watchdog time of up to 20 s; the sample
        // project with that one value changed.
        {"stale.kfx",
         AuditStatus::Stale,
         [](std::string text) {
             return Replaced(std::move(text),
                             "defaultValue=\"150\" min=\"10\" max=\"10000\" bitOffset=\"64\"",
                             "defaultValue=\"150\" min=\"10\" max=\"20000\" bitOffset=\"64\"");
         },
         0,
         0,
         "Line 3, cabinet 2",
         "3",
         {{"F_Dest_Add", "1022"}, {"F_WD_Time (ms)", "15000"}},
         kAll,
         AsItIs},
        // Saved with a module that this catalog no longer knows by its identifier.
        {"unmatched.kfx",
         AuditStatus::Unmatched,
         [](std::string text) {
             return Replaced(std::move(text), "identNumber=\"0x40A1\"", "identNumber=\"0x40A4\"");
         },
         0,
         0,
         "Line 5, cabinet 1",
         "5",
         {},
         kAll,
         AsItIs},
        // Verified and saved, then its description changed in a text editor.
        {"unreadable.kfx",
         AuditStatus::Unreadable,
         AsItIs,
         1,
         0,
         "Line 6, cabinet 1",
         "",
         {{"F_Dest_Add", "1040"}},
         kAll,
         [](std::string text) {
             return Replaced(std::move(text), "Line 6, cabinet 1", "Line 6, cabinet 4");
         }},
    };
    const bool write = std::getenv("NORVANE_WRITE_EXAMPLES") != nullptr;
    CatalogData demo;
    demo.Load(ReadFile(SourcePath("examples/SafetyConfiguratorEN.xml")));
    for (const Example& example : examples) {
        SCOPED_TRACE(example.file);
        const std::string text = SavedProject(example);
        const std::filesystem::path path = SourcePath("examples/audit") / example.file;
        if (write) {
            std::filesystem::create_directories(path.parent_path());
            norvane::testing::WriteFile(path, text);
        }
        EXPECT_EQ(ReadFile(path), text) << "made again with NORVANE_WRITE_EXAMPLES=1";
        EXPECT_EQ(AuditProject(demo, path.string()).status, example.status);
    }
}

}  // namespace
}  // namespace norvane
