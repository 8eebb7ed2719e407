// The core's part of a start of the window, step by step, as the window takes the steps:
//
//   start_phases SETTINGS_FILE PROGRAM_DIR
//
// reads the settings, checks the language pack's and the catalog's digests, reads, checks and
// loads the catalog, and loads the first manufacturer, device and module as the window selects
// them; prints the wall and CPU time of each step in milliseconds. Run it in a fresh process
// (it is meant to be run once, like a start): a second run in the same process would find
// warm memory.
#include <time.h>  // NOLINT(modernize-deprecated-headers): POSIX clock_gettime

#include <cstdio>
#include <string>

#include "base/md5_digest.h"
#include "base/whole_file.h"
#include "catalog/catalog.h"
#include "settings/settings_file.h"

namespace {

double Now(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

class Step {
  public:
    explicit Step(const char* name)
        : name_(name), wall_(Now(CLOCK_MONOTONIC)), cpu_(Now(CLOCK_PROCESS_CPUTIME_ID)) {}
    ~Step() {
        std::printf("%-28s wall %7.2f ms  cpu %7.2f ms\n", name_, Now(CLOCK_MONOTONIC) - wall_,
                    Now(CLOCK_PROCESS_CPUTIME_ID) - cpu_);
    }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

  private:
    const char* name_;
    double wall_;
    double cpu_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: start_phases SETTINGS_FILE PROGRAM_DIR\n");
        return 2;
    }
    const std::string programDir = std::string(argv[2]) + "/";
    std::string catalogName;
    std::string packName;
    std::string catalogDigest;
    std::string packDigest;
    {
        const Step step("settings");
        const norvane::SettingsFile settings(argv[1], argv[1]);
        catalogName = settings.ReadConfigurationFile(1);
        packName = settings.ReadResourceDll(1);
        catalogDigest = settings.ReadMd5CheckSumConf(1);
        packDigest = settings.ReadMd5CheckSumDll(1);
    }
    {
        const Step step("language pack digest");
        if (!norvane::FileDigestMatches(programDir + packName, packDigest)) {
            std::fprintf(stderr, "start_phases: the language pack's digest does not match\n");
        }
    }
    std::string text;
    {
        const Step step("catalog read");
        text = norvane::ReadWholeFile(programDir + catalogName);
    }
    {
        // Of the bytes read, as the window takes it.
        const Step step("catalog digest");
        if (!norvane::DigestMatches(text, catalogDigest)) {
            std::fprintf(stderr, "start_phases: the catalog's digest does not match\n");
            return 1;
        }
    }
    norvane::CatalogData catalog;
    {
        const Step step("catalog parse and load");
        catalog.Load(std::move(text));
    }
    {
        const Step step("first selection loads");
        if (!catalog.manufacturerList.empty()) {
            catalog.LoadDevices(catalog.manufacturerList.front().name);
            if (!catalog.deviceList.empty()) {
                catalog.LoadModules(catalog.deviceList.front().name);
                if (!catalog.moduleList.empty()) {
                    catalog.LoadParameters(catalog.moduleList.front().name);
                }
            }
        }
    }
    return catalog.manufacturerList.empty() ? 1 : 0;
}
