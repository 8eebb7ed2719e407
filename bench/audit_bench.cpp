// The audit of a plant: 10 000 project files against the demo catalog, as `safetycrc audit`
// runs it (the catalog read once, every file opened as the window opens it, one line each),
// and the core's part of it alone.
//
// The plant is made once per run in a temporary folder: 100 folders of 100 projects, each
// saved by the verification model after a walk, most of them verified, some left unverified,
// some with a CRC of other values, some of a module the catalog does not know, some changed
// outside the program. With NORVANE_AUDIT_PLANT=DIR the plant is made there (when DIR holds no
// plant yet) and kept, for timing the real program on it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "project/project_file.h"
#include "report/audit.h"
#include "support/model_walk.h"
#include "verification/verification_model.h"

namespace {

namespace fs = std::filesystem;
using norvane::AuditStatus;

constexpr int kFolders = 100;
constexpr int kPerFolder = 100;

std::string Catalog() {
    return std::string(NORVANE_EXAMPLES_DIR) + "/SafetyConfiguratorEN.xml";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The project of plant position `n`: which module, which values, which fate.
std::string ProjectText(norvane::VerificationModel& model, int n) {
    // The five modules of the demo catalog: (manufacturer, device, module).
    static constexpr int kModules[][3] = {{0, 0, 0}, {0, 0, 1}, {0, 0, 2}, {0, 1, 0}, {1, 0, 0}};
    const int* at = kModules[n % 5];
    model.SelectManufacturer(static_cast<size_t>(at[0]));
    model.SelectDevice(static_cast<size_t>(at[1]));
    model.SelectModule(static_cast<size_t>(at[2]));
    model.SetDescription("Line " + std::to_string(n / kPerFolder) + ", cabinet " +
                         std::to_string(n % kPerFolder));
    const std::map<std::string, std::string> typed = {
        {"F_Dest_Add", std::to_string(1 + n % 65000)}};
    const int fate =
        n % 100;  // 0-89 ok, 90-94 unverified, 95-96 stale, 97 unmatched, 98-99 changed
    norvane::testing::AcceptWalk(model, typed, std::to_string(1 + n % 125),
                                 fate >= 90 && fate < 95 ? 6 : static_cast<size_t>(-1));
    model.CalcSafetyCrc();
    norvane::ProjectData project = model.Collect();
    if (fate == 95 || fate == 96) {
        project.crcValid = true;
        project.crc ^= 0x00010000u;
    } else if (fate == 97) {
        project.moduleId = "0x7FFF";
    }
    std::string text = norvane::ProjectFileText(project);
    if (fate >= 98) {
        text.replace(text.find("cabinet"), 7, "Cabinet");
    }
    return text;
}

class Plant {
  public:
    Plant() {
        const char* chosen = std::getenv("NORVANE_AUDIT_PLANT");
        keep_ = chosen != nullptr;
        folder_ = keep_ ? fs::path(chosen) : fs::temp_directory_path() / "norvane-audit-plant";
        if (keep_ && fs::exists(folder_ / "line-00" / "cabinet-00.kfx")) {
            return;
        }
        fs::remove_all(folder_);
        norvane::CatalogData catalog;
        catalog.Load(ReadText(Catalog()));
        norvane::VerificationModel model(catalog);
        for (int n = 0; n < kFolders * kPerFolder; ++n) {
            char name[64];
            std::snprintf(name, sizeof name, "line-%02d/cabinet-%02d.kfx", n / kPerFolder,
                          n % kPerFolder);
            const fs::path path = folder_ / name;
            fs::create_directories(path.parent_path());
            std::ofstream(path, std::ios::binary) << ProjectText(model, n);
        }
    }
    Plant(const Plant&) = delete;
    Plant& operator=(const Plant&) = delete;
    ~Plant() {
        if (!keep_) {
            std::error_code ignored;
            fs::remove_all(folder_, ignored);
        }
    }
    std::string Folder() const { return folder_.string(); }

  private:
    fs::path folder_;
    bool keep_ = false;
};

const Plant& ThePlant() {
    static const Plant plant;
    return plant;
}

// `safetycrc audit CATALOG PLANT`, in process, its output written to memory.
void BM_AuditCommand(benchmark::State& state) {
    const std::string folder = ThePlant().Folder();
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = norvane::cli::Run({"audit", Catalog(), folder}, out, err);
        if (status != norvane::cli::kExitRefused ||
            out.str().find("projects 10000 ok 9000 unverified 500 stale 200 unmatched 100 "
                           "unreadable 200\n") == std::string::npos) {
            state.SkipWithError(
                ("unexpected audit: " + out.str().substr(out.str().rfind("projects")) + err.str())
                    .c_str());
            return;
        }
        benchmark::DoNotOptimize(out.str().data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kFolders * kPerFolder);
}
BENCHMARK(BM_AuditCommand)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The core alone: the walk of the folders and every project opened and classified, the
// catalog loaded before timing.
void BM_AuditProjects(benchmark::State& state) {
    const std::string folder = ThePlant().Folder();
    norvane::CatalogData catalog;
    catalog.Load(ReadText(Catalog()));
    for (auto _ : state) {
        const std::vector<norvane::AuditEntry> entries =
            norvane::AuditAll(catalog, norvane::AuditTargets({folder}));
        benchmark::DoNotOptimize(entries.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kFolders * kPerFolder);
}
BENCHMARK(BM_AuditProjects)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
