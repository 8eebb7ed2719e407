// `safetycrc crc`: the values of the image, the catalog's defaults changed by --set.
#include "cli/cli_commands.h"
#include "cli/cli_crc.h"

namespace norvane::cli {

int ApplySetValues(std::vector<CatalogParameter>& parameters, const CrcOptions& options,
                   std::ostream& err) {
    for (CatalogParameter& parameter : parameters) {
        parameter.value = parameter.defaultValue;
    }
    for (const auto& [name, number] : options.sets) {
        // The first parameter of that name takes it, as the window's lookup by name finds it.
        CatalogParameter* target = nullptr;
        for (CatalogParameter& parameter : parameters) {
            if (!name.empty() && parameter.name == name) {
                target = &parameter;
                break;
            }
        }
        if (target == nullptr) {
            return UnknownName(err, options, "parameter", name);
        }
        target->value = number;
    }
    return kExitOk;
}

}  // namespace norvane::cli
