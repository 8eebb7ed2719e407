#include "catalog/catalog.h"

#include <utility>

#include "base/decimal_text.h"
#include "base/utf8_text.h"
#include "xml/xml_parser.h"

namespace norvane {

namespace {

// The attribute's value without its quotes, cut to `width`; empty when it is missing.
std::string Text(const XmlElement* element, std::string_view name, size_t width) {
    const XmlAttribute* attribute = XmlFindAttribute(element, name);
    if (attribute == nullptr) {
        return {};
    }
    std::optional<std::string> value = XmlStripQuotes(attribute->value);
    if (!value) {
        return {};
    }
    // A UTF-8 name cut inside a character would no longer be UTF-8 and would show garbled.
    return CutToWidth(*value, width);
}

bool Is(const XmlAttribute* attribute, std::string_view expected) {
    if (attribute == nullptr) {
        return false;
    }
    const std::optional<std::string> value = XmlStripQuotes(attribute->value);
    return value && *value == expected;
}

uint32_t Number(const XmlElement* element, std::string_view name) {
    const XmlAttribute* attribute = XmlFindAttribute(element, name);
    if (attribute == nullptr) {
        return 0;
    }
    const std::optional<std::string> value = XmlStripQuotes(attribute->value);
    return value ? ParseLeadingDecimal(*value) : 0;
}

int32_t Signed(const XmlElement* element, std::string_view name) {
    return AsSigned(Number(element, name));
}

uint16_t Short(const XmlElement* element, std::string_view name) {
    return static_cast<uint16_t>(Number(element, name));
}

// Visits the direct child elements of `element` that bear exactly `name`.
template <class Visit>
void ForEachChildNamed(const XmlElement* element, std::string_view name, Visit visit) {
    int32_t cursor = 0;
    while (const XmlElement* child = XmlNextElement(element, cursor)) {
        if (child->name == name) {
            visit(child);
        }
    }
}

// Named records get the next running number, which is the position of their list entry.
template <class Record>
void GiveIndex(Record& record, int32_t& counter) {
    if (!record.name.empty()) {
        record.index = counter++;
    }
}

// A new entry of a level (manufacturer, device or module) with what every level has: its
// element, name and ident number.
template <class Record>
Record& AddEntry(std::vector<Record>& records, const XmlElement* element) {
    Record& record = records.emplace_back();
    record.node = element;
    record.name = Text(element, "name", kNameWidth);
    record.identNumber = Text(element, "identNumber", kIdentWidth);
    return record;
}

}  // namespace

std::vector<CatalogManufacturer> LoadCatalog(const XmlElement* root, CatalogFileVersion* version) {
    std::vector<CatalogManufacturer> manufacturers;
    if (root == nullptr) {
        return manufacturers;
    }
    int32_t counter = 0;
    // Depth-first in document order with an explicit stack, whatever the nesting.
    struct Level {
        const XmlElement* element;
        int32_t cursor;
    };
    std::vector<Level> stack{{root, 0}};
    while (!stack.empty()) {
        const XmlElement* element = XmlNextElement(stack.back().element, stack.back().cursor);
        if (element == nullptr) {
            stack.pop_back();
            continue;
        }
        if (element->name == "FileVersion" && version != nullptr && !version->found) {
            version->found = true;
            version->major = Signed(element, "major");
            version->minor = Signed(element, "minor");
        }
        if (element->name == "Hersteller") {
            CatalogManufacturer& manufacturer = AddEntry(manufacturers, element);
            GiveIndex(manufacturer, counter);
        }
        stack.push_back({element, 0});
    }
    return manufacturers;
}

std::vector<CatalogDevice> ReadDevices(const XmlElement* manufacturer) {
    std::vector<CatalogDevice> devices;
    int32_t counter = 0;
    ForEachChildNamed(manufacturer, "Device", [&](const XmlElement* element) {
        CatalogDevice& device = AddEntry(devices, element);
        device.enableBusAddress = Is(XmlFindAttribute(element, "enableBusAddress"), "yes") ? 1 : 0;
        device.busAddress = Signed(element, "busAddress");
        device.busSpeed = Signed(element, "busSpeed");
        device.minAddr = Signed(element, "minAddr");
        device.maxAddr = Signed(element, "maxAddr");
        device.offsetModulParamStream = Short(element, "offsetModulParamStream");
        const XmlAttribute* format = XmlFindAttribute(element, "dataFormat");
        device.dataFormat = Is(format, "Motorola") ? DataFormat::Motorola
                            : Is(format, "Intel")  ? DataFormat::Intel
                                                   : DataFormat::None;
        GiveIndex(device, counter);
    });
    return devices;
}

std::vector<CatalogModule> ReadModules(const XmlElement* device) {
    std::vector<CatalogModule> modules;
    int32_t counter = 0;
    ForEachChildNamed(device, "Modul", [&](const XmlElement* element) {
        CatalogModule& module = AddEntry(modules, element);
        module.parameterListElement = XmlFindElement(element, "ParameterList");
        module.major = Short(element, "major");
        module.minor = Short(element, "minor");
        module.type = Text(element, "type", kModuleTypeWidth);
        module.modulPlcAddress = Signed(element, "modulPlcAddress");
        module.minAddr = Signed(element, "minAddr");
        module.maxAddr = Signed(element, "maxAddr");
        module.lenModulParam = Short(element, "lenModulParam");
        module.lenUserParam = Short(element, "lenUserParam");
        GiveIndex(module, counter);
    });
    return modules;
}

std::string_view ParamTypeName(ParamType type) {
    // Indexed by the enumeration's values: None 0, Bool 1, Int 2, UInt 3.
    constexpr std::string_view kNames[] = {{}, "Bool", "Int", "UInt"};
    const auto index = static_cast<size_t>(type);
    return index < std::size(kNames) ? kNames[index] : std::string_view();
}

std::vector<CatalogParameter> ReadParameters(const XmlElement* parameterList) {
    std::vector<CatalogParameter> parameters;
    ForEachChildNamed(parameterList, "Parameter", [&](const XmlElement* element) {
        CatalogParameter& parameter = parameters.emplace_back();
        parameter.node = element;
        parameter.name = Text(element, "name", kNameWidth);
        const XmlAttribute* type = XmlFindAttribute(element, "type");
        parameter.type = Is(type, "Bool")   ? ParamType::Bool
                         : Is(type, "Int")  ? ParamType::Int
                         : Is(type, "UInt") ? ParamType::UInt
                                            : ParamType::None;
        const XmlAttribute* view = XmlFindAttribute(element, "paramView");
        parameter.paramView = Is(view, "Enum")       ? ParamView::Enum
                              : Is(view, "ValueHex") ? ParamView::ValueHex
                                                     : ParamView::Decimal;
        // "%u" for Bool and UInt, "%d" for Int: the same 32 bits, read only for known types.
        if (parameter.type != ParamType::None) {
            parameter.defaultValue = Number(element, "defaultValue");
            parameter.min = Number(element, "min");
            parameter.max = Number(element, "max");
        }
        parameter.bitOffset = Signed(element, "bitOffset");
        parameter.bitLength = Signed(element, "bitLength");
    });
    return parameters;
}

std::vector<CatalogEnumItem> ReadEnumItems(const XmlElement* parameter) {
    std::vector<CatalogEnumItem> items;
    ForEachChildNamed(parameter, "Item", [&](const XmlElement* element) {
        CatalogEnumItem& item = items.emplace_back();
        item.node = element;
        item.valueText = Text(element, "valueText", kNameWidth);
        item.valueItem = Signed(element, "valueItem");
    });
    return items;
}

void CatalogData::Load(std::string text) {
    Release();
    // The tree takes the text over instead of copying it: a large catalog is held once.
    catalogDoc = XmlParseText(std::move(text));
    if (catalogDoc) {
        catalogText = XmlDocumentText(catalogDoc.get());
    } else {
        // A text that does not parse is given back to us, not taken over.
        unparsedText = std::move(text);  // NOLINT(bugprone-use-after-move)
        catalogText = unparsedText;
    }
    manufacturerList = LoadCatalog(catalogDoc.get(), &fileVersion);
}

const CatalogManufacturer* CatalogData::LoadDevices(std::string_view manufacturerName) {
    const CatalogManufacturer* manufacturer = FindByName(manufacturerList, manufacturerName);
    deviceList =
        manufacturer != nullptr ? ReadDevices(manufacturer->node) : std::vector<CatalogDevice>();
    return manufacturer;
}

const CatalogDevice* CatalogData::LoadModules(std::string_view deviceName) {
    const CatalogDevice* device = FindByName(deviceList, deviceName);
    moduleList = device != nullptr ? ReadModules(device->node) : std::vector<CatalogModule>();
    return device;
}

const CatalogModule* CatalogData::LoadParameters(std::string_view moduleName) {
    const CatalogModule* module = FindByName(moduleList, moduleName);
    parameterList = module != nullptr ? ReadParameters(module->parameterListElement)
                                      : std::vector<CatalogParameter>();
    enumItemList.clear();
    return module;
}

const CatalogParameter* CatalogData::LoadEnumItems(std::string_view parameterName) {
    const CatalogParameter* parameter = FindByName(parameterList, parameterName);
    enumItemList =
        parameter != nullptr ? ReadEnumItems(parameter->node) : std::vector<CatalogEnumItem>();
    return parameter;
}

const CatalogManufacturer* CatalogData::LoadDevicesAt(size_t manufacturer) {
    const CatalogManufacturer* record =
        manufacturer < manufacturerList.size() ? &manufacturerList[manufacturer] : nullptr;
    deviceList = record != nullptr ? ReadDevices(record->node) : std::vector<CatalogDevice>();
    return record;
}

const CatalogDevice* CatalogData::LoadModulesAt(size_t device) {
    const CatalogDevice* record = device < deviceList.size() ? &deviceList[device] : nullptr;
    moduleList = record != nullptr ? ReadModules(record->node) : std::vector<CatalogModule>();
    return record;
}

const CatalogModule* CatalogData::LoadParametersAt(size_t module) {
    const CatalogModule* record = module < moduleList.size() ? &moduleList[module] : nullptr;
    parameterList = record != nullptr ? ReadParameters(record->parameterListElement)
                                      : std::vector<CatalogParameter>();
    enumItemList.clear();
    return record;
}

void CatalogData::Release() {
    enumItemList.clear();
    parameterList.clear();
    moduleList.clear();
    deviceList.clear();
    manufacturerList.clear();
    fileVersion = {};
    catalogText = {};
    catalogDoc.reset();
    unparsedText.clear();
}

}  // namespace norvane
