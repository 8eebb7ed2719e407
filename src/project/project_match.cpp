#include "project/project_match.h"

namespace norvane {

std::string ProjectDescription(std::string_view description) {
    if (description.size() <= kNameWidth) {
        return std::string(description);
    }
    const auto continuation = [&](size_t i) {
        return (static_cast<unsigned char>(description[i]) & 0xC0) == 0x80;
    };
    // When the first byte left out continues a character, that character goes as a whole: back
    // to its lead byte, at most three steps (further back the text is not UTF-8 anyway).
    size_t end = kNameWidth;
    for (size_t step = 0; step < 3 && continuation(end); ++step) {
        if (!continuation(end - 1)) {
            const bool lead = static_cast<unsigned char>(description[end - 1]) >= 0xC0;
            return std::string(description.substr(0, lead ? end - 1 : kNameWidth));
        }
        --end;
    }
    return std::string(description.substr(0, kNameWidth));
}

bool RestoreParameters(std::vector<CatalogParameter>& parameterList, const ProjectData& project) {
    if (parameterList.empty()) {
        return false;
    }
    for (CatalogParameter& parameter : parameterList) {
        const ProjectParameter* match = nullptr;
        for (const ProjectParameter& entry : project.parameters) {
            if (entry.bitOffset == static_cast<uint32_t>(parameter.bitOffset)) {
                match = &entry;
                break;
            }
        }
        if (match == nullptr) {
            return false;
        }
        parameter.value = static_cast<uint32_t>(match->selectedValue);
        parameter.verified = match->accepted ? 1 : 0;
    }
    return true;
}

ProjectMatch MatchProject(CatalogData& catalog, const ProjectData& project) {
    if (catalog.manufacturerList.empty()) {
        throw ProjectMatchFailure(kMsgCatalogNotLoaded);
    }
    ProjectMatch match;
    const CatalogManufacturer* manufacturer =
        FindSelectableById(catalog.manufacturerList, project.manufacturerId);
    match.manufacturer = manufacturer ? catalog.LoadDevices(manufacturer->name) : nullptr;
    if (match.manufacturer == nullptr) {
        throw ProjectMatchFailure(kMsgUnknownManufacturer);
    }
    const CatalogDevice* device = FindSelectableById(catalog.deviceList, project.deviceId);
    match.device = device ? catalog.LoadModules(device->name) : nullptr;
    if (match.device == nullptr) {
        throw ProjectMatchFailure(kMsgUnknownDevice);
    }
    const CatalogModule* module = FindSelectableById(catalog.moduleList, project.moduleId);
    match.module = module ? catalog.LoadParameters(module->name) : nullptr;
    if (match.module == nullptr) {
        throw ProjectMatchFailure(kMsgUnknownModule);
    }
    if (!RestoreParameters(catalog.parameterList, project)) {
        for (CatalogParameter& parameter : catalog.parameterList) {
            parameter.verified = 0;
        }
        throw ProjectMatchFailure(kMsgUnknownParameter);
    }
    return match;
}

}  // namespace norvane
