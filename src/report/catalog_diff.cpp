#include "report/catalog_diff.h"

#include <tuple>
#include <utility>

#include "report/pairing.h"
#include "safety/parameter_values.h"
#include "verification/verification_model.h"
#include "xml/xml_tree.h"

namespace norvane {

namespace {

// A module by its position in the lists the window shows.
struct ModuleRef {
    size_t manufacturer = 0;
    size_t device = 0;
    size_t module = 0;
    std::string manufacturerName;
    std::string deviceName;
    std::string moduleName;
    std::tuple<std::string, std::string, std::string> key;  // the three identNumbers
};

std::vector<ModuleRef> ModulesOf(const CatalogData& catalog) {
    std::vector<ModuleRef> modules;
    for (size_t m = 0; m < catalog.manufacturerList.size(); ++m) {
        const CatalogManufacturer& manufacturer = catalog.manufacturerList[m];
        if (manufacturer.name.empty()) {
            continue;
        }
        const std::vector<CatalogDevice> devices = ReadDevices(manufacturer.node);
        for (size_t d = 0; d < devices.size(); ++d) {
            if (devices[d].name.empty()) {
                continue;
            }
            const std::vector<CatalogModule> list = ReadModules(devices[d].node);
            for (size_t k = 0; k < list.size(); ++k) {
                if (list[k].name.empty()) {
                    continue;
                }
                modules.push_back(
                    {m,
                     d,
                     k,
                     manufacturer.name,
                     devices[d].name,
                     list[k].name,
                     {manufacturer.identNumber, devices[d].identNumber, list[k].identNumber}});
            }
        }
    }
    return modules;
}

// A module as the verification model shows it once selected: parameters at their defaults.
struct ModuleView {
    CatalogDevice device;
    CatalogModule module;
    std::vector<CatalogParameter> parameters;
    std::vector<std::vector<CatalogEnumItem>> items;
    std::optional<uint32_t> defaultCrc;
};

ModuleView Select(VerificationModel& model, const ModuleRef& ref) {
    model.SelectManufacturer(ref.manufacturer);
    model.SelectDevice(ref.device);
    model.SelectModule(ref.module);
    ModuleView view;
    view.device = model.SelectedDevice();
    view.module = model.SelectedModule();
    view.parameters = model.Parameters();
    for (size_t i = 0; i < view.parameters.size(); ++i) {
        view.items.push_back(model.EnumItems(i));
    }
    view.defaultCrc = model.CurrentSafetyCrc();
    return view;
}

// The attribute's text as the file holds it; empty when it is missing.
std::string RawAttribute(const XmlElement* element, std::string_view name) {
    const XmlAttribute* attribute = element != nullptr ? XmlFindAttribute(element, name) : nullptr;
    if (attribute == nullptr) {
        return {};
    }
    return XmlStripQuotes(attribute->value).value_or(std::string());
}

std::string TypeName(const CatalogParameter& parameter) {
    const std::string_view known = ParamTypeName(parameter.type);
    return known.empty() ? RawAttribute(parameter.node, "type") : std::string(known);
}

std::string ViewName(ParamView view) {
    switch (view) {
        case ParamView::ValueHex:
            return "ValueHex";
        case ParamView::Enum:
            return "Enum";
        case ParamView::Decimal:
            break;
    }
    return "Decimal";
}

std::string FormatName(const CatalogDevice& device) {
    switch (device.dataFormat) {
        case DataFormat::Motorola:
            return "Motorola";
        case DataFormat::Intel:
            return "Intel";
        case DataFormat::None:
            break;
    }
    return RawAttribute(device.node, "dataFormat");
}

CatalogDifference::Presence Presence(const Paired& pair) {
    return !pair.before  ? CatalogDifference::Presence::Added
           : !pair.after ? CatalogDifference::Presence::Removed
                         : CatalogDifference::Presence::Both;
}

class Differences {
  public:
    void Add(CatalogDifference::Subject subject, std::string attribute, std::string before,
             std::string after, const std::string& parameter = {},
             std::optional<int32_t> item = std::nullopt) {
        if (before != after) {
            list.push_back({subject, parameter, item, CatalogDifference::Presence::Both,
                            std::move(attribute), std::move(before), std::move(after)});
        }
    }
    std::vector<CatalogDifference> list;
};

void CompareItems(Differences& out, const std::string& name,
                  const std::vector<CatalogEnumItem>& before,
                  const std::vector<CatalogEnumItem>& after) {
    for (const Paired& pair :
         PairByKey(before, after, [](const CatalogEnumItem& item) { return item.valueItem; })) {
        const CatalogEnumItem& some = pair.after ? after[*pair.after] : before[*pair.before];
        if (!pair.before || !pair.after) {
            out.list.push_back({CatalogDifference::Subject::Parameter,
                                name,
                                some.valueItem,
                                Presence(pair),
                                {},
                                pair.before ? some.valueText : std::string(),
                                pair.after ? some.valueText : std::string()});
            continue;
        }
        out.Add(CatalogDifference::Subject::Parameter, "valueText", before[*pair.before].valueText,
                after[*pair.after].valueText, name, some.valueItem);
    }
}

void CompareParameter(Differences& out, const CatalogParameter& a,
                      const std::vector<CatalogEnumItem>& aItems, const CatalogParameter& b,
                      const std::vector<CatalogEnumItem>& bItems) {
    using Subject = CatalogDifference::Subject;
    const std::string& name = b.name;
    out.Add(Subject::Parameter, "type", TypeName(a), TypeName(b), name);
    out.Add(Subject::Parameter, "paramView", ViewName(a.paramView), ViewName(b.paramView), name);
    out.Add(Subject::Parameter, "defaultValue", ParameterNumber(a.type, a.defaultValue),
            ParameterNumber(b.type, b.defaultValue), name);
    out.Add(Subject::Parameter, "min", ParameterNumber(a.type, a.min),
            ParameterNumber(b.type, b.min), name);
    out.Add(Subject::Parameter, "max", ParameterNumber(a.type, a.max),
            ParameterNumber(b.type, b.max), name);
    out.Add(Subject::Parameter, "bitOffset", std::to_string(a.bitOffset),
            std::to_string(b.bitOffset), name);
    out.Add(Subject::Parameter, "bitLength", std::to_string(a.bitLength),
            std::to_string(b.bitLength), name);
    CompareItems(out, name, aItems, bItems);
}

std::vector<CatalogDifference> CompareModules(const ModuleView& a, const ModuleView& b) {
    using Subject = CatalogDifference::Subject;
    Differences out;
    for (const Paired& pair :
         PairByKey(a.parameters, b.parameters, [](const CatalogParameter& p) { return p.name; })) {
        if (pair.before && pair.after) {
            CompareParameter(out, a.parameters[*pair.before], a.items[*pair.before],
                             b.parameters[*pair.after], b.items[*pair.after]);
            continue;
        }
        const std::string& name =
            pair.after ? b.parameters[*pair.after].name : a.parameters[*pair.before].name;
        out.list.push_back({Subject::Parameter, name, std::nullopt, Presence(pair), {}, {}, {}});
    }
    out.Add(Subject::Module, "lenModulParam", std::to_string(a.module.lenModulParam),
            std::to_string(b.module.lenModulParam));
    out.Add(Subject::Module, "lenUserParam", std::to_string(a.module.lenUserParam),
            std::to_string(b.module.lenUserParam));
    out.Add(Subject::Device, "dataFormat", FormatName(a.device), FormatName(b.device));
    out.Add(Subject::DefaultCrc, {}, FormatCrcOrError(a.defaultCrc, 0),
            FormatCrcOrError(b.defaultCrc, 0));
    return std::move(out.list);
}

ModuleDiff Named(ModuleChange change, const ModuleRef& ref) {
    ModuleDiff diff;
    diff.change = change;
    diff.manufacturer = ref.manufacturerName;
    diff.device = ref.deviceName;
    diff.module = ref.moduleName;
    std::tie(diff.manufacturerIdent, diff.deviceIdent, diff.moduleIdent) = ref.key;
    return diff;
}

}  // namespace

CatalogDiff DiffCatalogs(CatalogData& before, CatalogData& after) {
    const std::vector<ModuleRef> oldModules = ModulesOf(before);
    const std::vector<ModuleRef> newModules = ModulesOf(after);
    VerificationModel oldModel(before);
    VerificationModel newModel(after);
    CatalogDiff diff;
    for (const Paired& pair :
         PairByKey(oldModules, newModules, [](const ModuleRef& ref) { return ref.key; })) {
        if (!pair.before) {
            diff.modules.push_back(Named(ModuleChange::Added, newModules[*pair.after]));
            ++diff.added;
            continue;
        }
        if (!pair.after) {
            diff.modules.push_back(Named(ModuleChange::Removed, oldModules[*pair.before]));
            ++diff.removed;
            continue;
        }
        ModuleDiff module = Named(ModuleChange::Unchanged, newModules[*pair.after]);
        module.differences = CompareModules(Select(oldModel, oldModules[*pair.before]),
                                            Select(newModel, newModules[*pair.after]));
        if (module.differences.empty()) {
            ++diff.unchanged;
        } else {
            module.change = ModuleChange::Changed;
            ++diff.changed;
        }
        diff.modules.push_back(std::move(module));
    }
    return diff;
}

}  // namespace norvane
