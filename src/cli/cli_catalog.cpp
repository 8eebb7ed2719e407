// `safetycrc catalog`: every record of a catalog with the values the window reads from it.
#include "base/byte_text.h"
#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "safety/parameter_values.h"

namespace norvane::cli {

namespace {

// What the usage lists for the command, and what "safetycrc help catalog" adds.
constexpr std::string_view kUsage =
    "catalog FILE   list every manufacturer, device, module, parameter and item of a catalog\n";
constexpr std::string_view kHelp =
    "\nOne record a line, in catalog order, with the values as the window reads them.\n";

std::string DeviceLine(const CatalogDevice& device) {
    return "  device " + EscapeField(device.name) + ' ' + EscapeField(device.identNumber) +
           " enableBusAddress=" + std::to_string(device.enableBusAddress) +
           " busAddress=" + std::to_string(device.busAddress) +
           " minAddr=" + std::to_string(device.minAddr) +
           " maxAddr=" + std::to_string(device.maxAddr) +
           " busSpeed=" + std::to_string(device.busSpeed) +
           " offsetModulParamStream=" + std::to_string(device.offsetModulParamStream) +
           " dataFormat=" + std::to_string(static_cast<int>(device.dataFormat)) + '\n';
}

std::string ModuleLine(const CatalogModule& module) {
    return "    module " + EscapeField(module.name) + ' ' + EscapeField(module.identNumber) +
           " major=" + std::to_string(module.major) + " minor=" + std::to_string(module.minor) +
           " type=" + EscapeField(module.type) +
           " modulPlcAddress=" + std::to_string(module.modulPlcAddress) +
           " minAddr=" + std::to_string(module.minAddr) +
           " maxAddr=" + std::to_string(module.maxAddr) +
           " lenModulParam=" + std::to_string(module.lenModulParam) +
           " lenUserParam=" + std::to_string(module.lenUserParam) + '\n';
}

std::string ParameterLine(const CatalogParameter& parameter) {
    return "      parameter " + EscapeField(parameter.name) +
           " type=" + std::to_string(static_cast<int>(parameter.type)) +
           " paramView=" + std::to_string(static_cast<int>(parameter.paramView)) +
           " defaultValue=" + ParameterNumber(parameter.type, parameter.defaultValue) +
           " min=" + ParameterNumber(parameter.type, parameter.min) +
           " max=" + ParameterNumber(parameter.type, parameter.max) +
           " bitOffset=" + std::to_string(parameter.bitOffset) +
           " bitLength=" + std::to_string(parameter.bitLength) + '\n';
}

int Catalog(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string* file = OneFileArgument(args, err);
    CatalogData catalog;
    const int status = file == nullptr ? kExitUsage : ReadCatalogInput(*file, catalog, out, err);
    if (status != kExitOk) {
        return status;
    }
    if (catalog.manufacturerList.empty()) {
        err << "safetycrc: " << *file << " holds no manufacturer\n";
        return kExitRefused;
    }
    std::string lines;
    for (const CatalogManufacturer& manufacturer : catalog.manufacturerList) {
        lines += "manufacturer " + EscapeField(manufacturer.name) + ' ' +
                 EscapeField(manufacturer.identNumber) + '\n';
        for (const CatalogDevice& device : ReadDevices(manufacturer.node)) {
            lines += DeviceLine(device);
            for (const CatalogModule& module : ReadModules(device.node)) {
                lines += ModuleLine(module);
                for (const CatalogParameter& parameter :
                     ReadParameters(module.parameterListElement)) {
                    lines += ParameterLine(parameter);
                    for (const CatalogEnumItem& item : ReadEnumItems(parameter.node)) {
                        lines += "        item " + EscapeField(item.valueText) +
                                 " valueItem=" + std::to_string(item.valueItem) + '\n';
                    }
                }
            }
        }
    }
    out << lines;
    return kExitOk;
}

}  // namespace

constinit const Command kCatalogCommand = {"catalog", kUsage, kHelp, Catalog};

}  // namespace norvane::cli
