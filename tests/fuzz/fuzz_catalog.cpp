// Any bytes as a device catalog: parse, list the manufacturers, then walk every level the way
// the window's selection does (each record by its position, so that one whose name an earlier
// record has is reached too), building each module's image; select once by name as the command
// line does, and run the catalog checks over it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "catalog/catalog.h"
#include "lint/catalog_lint.h"
#include "safety/param_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    norvane::CatalogData catalog;
    catalog.Load(std::string(reinterpret_cast<const char*>(data), size));
    for (size_t vendor = 0; vendor < catalog.manufacturerList.size(); ++vendor) {
        catalog.LoadDevicesAt(vendor);
        for (size_t d = 0; d < catalog.deviceList.size(); ++d) {
            // Loading the modules and parameters leaves the device and module lists alone.
            const norvane::CatalogDevice& device = *catalog.LoadModulesAt(d);
            for (size_t m = 0; m < catalog.moduleList.size(); ++m) {
                const norvane::CatalogModule& module = *catalog.LoadParametersAt(m);
                // The window reads the items of each parameter from its own element.
                for (norvane::CatalogParameter& parameter : catalog.parameterList) {
                    parameter.value = parameter.defaultValue;
                    (void)norvane::ReadEnumItems(parameter.node);
                }
                try {
                    const norvane::ParamStream image = norvane::BuildParamStream(
                        device.dataFormat, uint32_t{module.lenUserParam} + 4,
                        catalog.parameterList);
                    (void)norvane::RecordSafetyCrc(image.data, module.lenUserParam);
                } catch (const norvane::ParamStreamError&) {
                }
            }
        }
    }
    // The command line selects by name, which finds the first record of that name: once down
    // the levels by the last name of each list, so that the lookup passes every record.
    if (!catalog.manufacturerList.empty() &&
        catalog.LoadDevices(catalog.manufacturerList.back().name) != nullptr &&
        !catalog.deviceList.empty() &&
        catalog.LoadModules(catalog.deviceList.back().name) != nullptr &&
        !catalog.moduleList.empty()) {
        catalog.LoadParameters(catalog.moduleList.back().name);
    }
    // The catalog checks walk the same levels again, with the raw attribute texts.
    (void)norvane::LintCatalog(catalog.catalogDoc.get());
    return 0;
}
