// What changed between two versions of a device catalog, module by module: which modules came
// and went, and for a module in both, every difference that can change what an engineer
// verifies or the CRC that comes out: its parameters with their enumeration items, its
// lengths, its device's data format, and the CRC of its default values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalog/catalog.h"

namespace norvane {

// One difference of a module present in both catalogs.
struct CatalogDifference {
    enum class Subject { Parameter, Module, Device, DefaultCrc };
    // A parameter or item that both sides have, or that only the new (Added) or the old
    // (Removed) one has.
    enum class Presence { Both, Added, Removed };
    Subject subject = Subject::Parameter;
    std::string parameter;        // Subject::Parameter: the parameter's name
    std::optional<int32_t> item;  // an enumeration item of the parameter, by its valueItem
    Presence presence = Presence::Both;
    // The attribute as the catalog names it ("min", "bitLength", "lenUserParam", "dataFormat",
    // "valueText" for an item's text); empty for a parameter or item that one side lacks, and
    // for the default CRC.
    std::string attribute;
    // As the catalog means them (numbers of an Int signed; the default CRC in hexadecimal, or
    // "error" where none can be given). An item that one side lacks has its text on the other.
    std::string before;
    std::string after;
};

enum class ModuleChange { Added, Removed, Changed, Unchanged };

struct ModuleDiff {
    ModuleChange change = ModuleChange::Unchanged;
    // The names in the new catalog (the old one's for a removed module), and the identifiers
    // that matched it.
    std::string manufacturer;
    std::string device;
    std::string module;
    std::string manufacturerIdent;
    std::string deviceIdent;
    std::string moduleIdent;
    std::vector<CatalogDifference> differences;  // for a changed module
};

struct CatalogDiff {
    // Every module: in the new catalog's order, then the removed ones in the old one's order.
    std::vector<ModuleDiff> modules;
    size_t added = 0;
    size_t removed = 0;
    size_t changed = 0;
    size_t unchanged = 0;
};

// Modules are matched by manufacturer, device and module identNumber (the n-th module with an
// identifier in one catalog with the n-th in the other); records without a name, which no list
// shows, take no part. Each module is read as the window shows it when it is selected, so that
// its parameters, items and default CRC are those of the verification model.
CatalogDiff DiffCatalogs(CatalogData& before, CatalogData& after);

}  // namespace norvane
