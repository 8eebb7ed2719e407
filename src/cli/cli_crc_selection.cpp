// `safetycrc crc`: the module it works on, chosen in the catalog as the window chooses.
#include "cli/cli_commands.h"
#include "cli/cli_crc.h"

namespace norvane::cli {

namespace {

// The name of the first record that has a list entry (a name), as the window's lists start.
template <class Record>
std::optional<std::string> FirstEntry(const std::vector<Record>& list) {
    for (const Record& record : list) {
        if (!record.name.empty()) {
            return record.name;
        }
    }
    return std::nullopt;
}

}  // namespace

int UnknownName(std::ostream& err, const CrcOptions& options, std::string_view what,
                const std::optional<std::string>& name) {
    err << "safetycrc: " << options.file << ": "
        << (name ? "unknown " + std::string(what) + " \"" + *name + "\""
                 : "no " + std::string(what) + " to select")
        << '\n';
    return kExitUsage;
}

int SelectCrcModule(CatalogData& catalog, const CrcOptions& options, CrcSelection& selection,
                    std::ostream& err) {
    const std::optional<std::string> vendor =
        options.vendor ? options.vendor : FirstEntry(catalog.manufacturerList);
    if (!vendor || catalog.LoadDevices(*vendor) == nullptr) {
        return UnknownName(err, options, "vendor", options.vendor);
    }
    const std::optional<std::string> device =
        options.device ? options.device : FirstEntry(catalog.deviceList);
    selection.device = device ? catalog.LoadModules(*device) : nullptr;
    if (selection.device == nullptr) {
        return UnknownName(err, options, "device", options.device);
    }
    const std::optional<std::string> module =
        options.module ? options.module : FirstEntry(catalog.moduleList);
    selection.module = module ? catalog.LoadParameters(*module) : nullptr;
    if (selection.module == nullptr) {
        return UnknownName(err, options, "module", options.module);
    }
    return kExitOk;
}

}  // namespace norvane::cli
