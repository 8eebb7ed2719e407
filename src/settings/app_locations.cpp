#include "settings/app_locations.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

namespace norvane {

namespace {

std::optional<AppLocations>& Current() {
    static std::optional<AppLocations> locations;
    return locations;
}

}  // namespace

AppLocations LocationsOf(const std::string& executablePath) {
    const std::filesystem::path path(executablePath);
    AppLocations locations;
    locations.programDir = path.parent_path().string();
    if (locations.programDir.empty()) {
        // A bare name lives in the working folder; a lone '/' would send every file we look
        // for to the root folder instead.
        locations.programDir = "./";
    } else if (locations.programDir.back() != '/') {
        locations.programDir += '/';
    }
    locations.exeBaseName = path.stem().string();
    return locations;
}

const AppLocations& Locations() {
    if (!Current()) {
        std::error_code ec;
        std::string self = std::filesystem::read_symlink("/proc/self/exe", ec).string();
        // A program file replaced while it runs (an upgrade) is reported with this suffix; the
        // folder and name we want are those it was started as.
        constexpr std::string_view kDeleted = " (deleted)";
        if (self.size() > kDeleted.size() && self.ends_with(kDeleted)) {
            self.resize(self.size() - kDeleted.size());
        }
        Current() = LocationsOf(ec ? std::string("./NorvaneSafetyCRCTool") : self);
    }
    return *Current();
}

void SetLocations(AppLocations locations) {
    Current() = std::move(locations);
}

}  // namespace norvane
