// The device catalog: manufacturers, their devices (bus heads), the modules that fit each
// device, and each module's safety parameters with the named values of enumerations.
//
// Records are built level by level from the catalog's element tree and refer to their
// element, through which the next level is read. Element names are compared exactly;
// attributes are found with the tree's case-insensitive prefix lookup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_tree.h"

namespace norvane {

enum class ParamType : uint16_t { None = 0, Bool = 1, Int = 2, UInt = 3 };
enum class ParamView : uint16_t { Decimal = 0, ValueHex = 1, Enum = 2 };
enum class DataFormat : int32_t { None = 0, Motorola = 1, Intel = 2 };

// Widths of the catalog's text fields, in bytes; longer texts are cut to them.
inline constexpr size_t kNameWidth = 79;        // names, descriptions, enumeration texts
inline constexpr size_t kIdentWidth = 31;       // identNumber
inline constexpr size_t kModuleTypeWidth = 19;  // module type

struct CatalogManufacturer {
    const XmlElement* node = nullptr;
    std::string name;
    std::string identNumber;
    int32_t index = 0;  // position of its entry in the vendor list
};

struct CatalogDevice {
    const XmlElement* node = nullptr;
    std::string description;  // never read from the catalog: the user's text for a selection
    std::string name;
    std::string identNumber;
    int32_t index = 0;
    uint16_t enableBusAddress = 0;
    int32_t busAddress = 0;
    int32_t minAddr = 0;
    int32_t maxAddr = 0;
    int32_t busSpeed = 0;
    uint16_t offsetModulParamStream = 0;
    DataFormat dataFormat = DataFormat::None;
};

struct CatalogModule {
    const XmlElement* node = nullptr;
    std::string name;
    std::string identNumber;
    uint16_t major = 0;
    uint16_t minor = 0;
    int32_t index = 0;
    std::string type;
    int32_t modulPlcAddress = 0;
    int32_t minAddr = 0;
    int32_t maxAddr = 0;
    uint16_t lenModulParam = 0;  // bytes taken from a TPF parameter stream
    uint16_t lenUserParam = 0;   // bytes covered by the safety CRC, from byte 4 of the record
    const XmlElement* parameterListElement = nullptr;
};

struct CatalogParameter {
    const XmlElement* node = nullptr;
    std::string name;
    ParamType type = ParamType::None;
    ParamView paramView = ParamView::Decimal;
    // The 32 bits of each number; read them signed for ParamType::Int (see AsSigned).
    uint32_t value = 0;  // the current value, set by the parameter view
    uint32_t defaultValue = 0;
    uint32_t min = 0;
    uint32_t max = 0;
    int32_t bitOffset = 0;
    int32_t bitLength = 0;
    uint16_t verified = 0;
};

struct CatalogEnumItem {
    const XmlElement* node = nullptr;
    std::string valueText;
    int32_t valueItem = 0;
};

struct CatalogFileVersion {
    bool found = false;
    int32_t major = 0;
    int32_t minor = 0;
};

inline int32_t AsSigned(uint32_t bits) {
    return static_cast<int32_t>(bits);
}

// Every Hersteller element of the tree, at any depth, in document order. A null root (a text
// that did not parse) gives none. The first FileVersion element found is reported in
// `version` when asked for.
std::vector<CatalogManufacturer> LoadCatalog(const XmlElement* root,
                                             CatalogFileVersion* version = nullptr);
// The direct Device children of a Hersteller element.
std::vector<CatalogDevice> ReadDevices(const XmlElement* manufacturer);
// The direct Modul children of a Device element.
std::vector<CatalogModule> ReadModules(const XmlElement* device);
// The direct Parameter children of a module's ParameterList element (null gives none).
std::vector<CatalogParameter> ReadParameters(const XmlElement* parameterList);
// The name of a known type as the catalog writes it ("Bool", "Int", "UInt"); empty for None.
std::string_view ParamTypeName(ParamType type);
// The direct Item children of a Parameter element.
std::vector<CatalogEnumItem> ReadEnumItems(const XmlElement* parameter);

// The first record of that exact name, or null. Records without a name have no list entry,
// so they can never be selected, and an empty name finds nothing.
template <class Record>
const Record* FindByName(const std::vector<Record>& list, std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    for (const Record& record : list) {
        if (record.name == name) {
            return &record;
        }
    }
    return nullptr;
}

// The loaded catalog and its record lists, which always describe the current selection:
// each load rebuilds its level from the first record of the given name one level up.
struct CatalogData {
    // The bytes that were loaded (a verification record names their digest). They live in the
    // tree, whose names and values point into them, or in unparsedText when they did not parse.
    std::string_view catalogText;
    XmlRoot catalogDoc;
    std::string unparsedText;
    CatalogFileVersion fileVersion;
    std::vector<CatalogManufacturer> manufacturerList;
    std::vector<CatalogDevice> deviceList;
    std::vector<CatalogModule> moduleList;
    std::vector<CatalogParameter> parameterList;
    std::vector<CatalogEnumItem> enumItemList;

    // Parses the catalog text and builds the manufacturer list; every other list is emptied.
    // A text that does not parse leaves no tree and no manufacturer.
    void Load(std::string text);
    // Each returns the record whose level it loaded, or null when there is no record of that
    // name (the loaded list is then empty).
    const CatalogManufacturer* LoadDevices(std::string_view manufacturerName);
    const CatalogDevice* LoadModules(std::string_view deviceName);
    const CatalogModule* LoadParameters(std::string_view moduleName);
    const CatalogParameter* LoadEnumItems(std::string_view parameterName);
    // The same for the record at a position of its list (manufacturerList, deviceList,
    // moduleList), so that a record is found as itself even when an earlier one has its name.
    const CatalogManufacturer* LoadDevicesAt(size_t manufacturer);
    const CatalogDevice* LoadModulesAt(size_t device);
    const CatalogModule* LoadParametersAt(size_t module);
    void Release();
};

}  // namespace norvane
