// Any bytes as a device catalog: parse, list the manufacturers, then walk every level the way
// the window's selection and the command-line tool do, building each module's image, and run
// the catalog checks over it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "catalog/catalog.h"
#include "lint/catalog_lint.h"
#include "safety/param_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    norvane::CatalogData catalog;
    catalog.Load(std::string(reinterpret_cast<const char*>(data), size));
    for (const norvane::CatalogManufacturer& vendor : catalog.manufacturerList) {
        catalog.LoadDevices(vendor.name);
        for (const norvane::CatalogDevice& device : norvane::ReadDevices(vendor.node)) {
            catalog.LoadModules(device.name);
            for (const norvane::CatalogModule& module : norvane::ReadModules(device.node)) {
                catalog.LoadParameters(module.name);
                for (norvane::CatalogParameter& parameter : catalog.parameterList) {
                    parameter.value = parameter.defaultValue;
                    catalog.LoadEnumItems(parameter.name);
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
    // The catalog checks walk the same levels again, with the raw attribute texts.
    (void)norvane::LintCatalog(catalog.catalogDoc.get());
    return 0;
}
