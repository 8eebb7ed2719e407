#include "catalog_generator.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace norvane {

namespace {

// splitmix64: tiny, and the same numbers on every platform and standard library.
class Sequence {
  public:
    explicit Sequence(uint64_t seed) : state_(seed) {}

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    // Evenly from [low, high]; the modulo bias does not matter for benchmark input.
    int64_t Between(int64_t low, int64_t high) {
        return low + static_cast<int64_t>(Next() % static_cast<uint64_t>(high - low + 1));
    }
    template <class T, size_t N>
    const T& Pick(const std::array<T, N>& choices) {
        return choices[Next() % N];
    }

  private:
    uint64_t state_;
};

constexpr uint64_t kCatalogSeed = 0x4E4F5256414E4531u;

constexpr std::array<std::string_view, 12> kVendorWords = {
    "Norvane", "Kestrel",   "Halvard", "Brightwater", "Osprey",    "Tamsin",
    "Corvid",  "Lindqvist", "Aurel",   "Meridian",    "Stellwerk", "Vantor",
};
constexpr std::array<std::string_view, 12> kVendorShort = {
    "NV", "KS", "HV", "BW", "OS", "TM", "CV", "LQ", "AU", "MR", "SW", "VT",
};
constexpr std::array<std::string_view, 6> kVendorTrades = {
    "Automation", "Safety Systems", "Industrietechnik", "Controls", "Elektronik", "Fieldbus",
};
constexpr std::array<std::string_view, 6> kVendorForms = {"GmbH", "AG",   "Ltd.",
                                                          "Inc.", "S.A.", "AB"};

struct BusKind {
    std::string_view name;
    std::string_view head;
    bool addressed;  // a node address set on the device itself
    std::array<int32_t, 2> speeds;
};
constexpr std::array<BusKind, 5> kBuses = {{
    {"PROFIBUS", "DP", true, {1500, 12000}},
    {"PROFINET", "PN", false, {100000, 100000}},
    {"EtherCAT", "EC", false, {100000, 100000}},
    {"CANopen", "CO", true, {500, 1000}},
    {"Modbus TCP", "MB", false, {10000, 100000}},
}};

constexpr std::array<std::string_view, 8> kModuleTypes = {
    "F-DI", "F-DO", "F-AI", "F-AO", "F-PM", "F-DI/DO", "F-CNT", "F-RO",
};
constexpr std::array<std::string_view, 7> kSignals = {
    "24VDC", "24VDC/2A", "4..20mA", "0..10V", "230VAC", "Pt100", "0.5A PM",
};
constexpr std::array<int32_t, 4> kChannelCounts = {2, 4, 8, 16};
constexpr std::array<int32_t, 3> kModuleMaxAddr = {1022, 2047, 4095};
constexpr std::array<std::string_view, 4> kVariants = {"ST", "HF", "HS", "BA"};

constexpr std::array<std::string_view, 8> kBoolNames = {
    "activated",           "Wire-break detection",       "Short-circuit detection",
    "Diagnostics enabled", "Pulse test enabled",         "Sensor supply monitored",
    "Restart inhibit",     "Passivation on discrepancy",
};
constexpr std::array<std::string_view, 7> kUIntNames = {
    "Discrepancy time (ms)", "Readback time (ms)",
    "Filter time (ms)",      "Sensor supply test period (s)",
    "Dark period (us)",      "Start-up delay (ms)",
    "Hysteresis (%)",
};
constexpr std::array<std::string_view, 5> kHexNames = {
    "Channel mask", "Output mask", "Test pulse pattern", "F_iPar_CRC", "Diagnostic mask",
};
constexpr std::array<std::string_view, 5> kIntNames = {
    "Offset (uA)",       "Zero point correction",      "Upper alarm limit",
    "Lower alarm limit", "Temperature offset (0.1 K)",
};

struct EnumKind {
    std::string_view name;
    std::array<std::string_view, 5> items;  // the first `count` are used
    int32_t count;
};
constexpr std::array<EnumKind, 8> kEnums = {{
    {"Input delay", {"0.5 ms", "3 ms", "15 ms", "50 ms"}, 4},
    {"Measuring range", {"4..20 mA", "0..20 mA", "0..10 V", "+/-10 V", "1..5 V"}, 5},
    {"Smoothing", {"None", "Weak (4 samples)", "Medium (16 samples)", "Strong (64 samples)"}, 4},
    {"Sensor evaluation", {"1oo1 evaluation", "1oo2 equivalent", "1oo2 non-equivalent"}, 3},
    {"Test pulse period", {"1 s", "10 s", "1 min", "15 min", "1 h"}, 5},
    {"Behaviour after channel fault", {"Passivate channel", "Passivate module"}, 2},
    {"Reintegration", {"Manual", "Automatic", "Automatic after acknowledgement"}, 3},
    {"Temperature unit", {"Celsius", "Fahrenheit", "Kelvin"}, 3},
}};

void Indent(std::string& out, int32_t depth) {
    out.append(static_cast<size_t>(depth) * 2, ' ');
}

void Attribute(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    out += value;
    out += '"';
}

void Attribute(std::string& out, std::string_view name, int64_t value) {
    Attribute(out, name, std::to_string(value));
}

std::string Hex(uint32_t value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string text = "0x";
    bool started = false;
    for (int shift = 28; shift >= 0; shift -= 4) {
        const uint32_t digit = (value >> shift) & 0xFu;
        // At least four digits, as catalogs write identification numbers.
        if (digit != 0 || started || shift < 16) {
            text += kDigits[digit];
            started = true;
        }
    }
    return text;
}

// The fields of one parameter before they are written.
struct Field {
    std::string name;
    std::string_view type;
    std::string_view view;
    int64_t defaultValue = 0;
    int64_t min = 0;
    int64_t max = 0;
    int32_t bitLength = 1;
    const EnumKind* items = nullptr;
    int32_t itemCount = 0;
};

int32_t BitsFor(int64_t largest) {
    int32_t bits = 1;
    while ((int64_t{1} << bits) <= largest) {
        ++bits;
    }
    return bits;
}

Field RandomField(Sequence& random, int32_t number) {
    Field field;
    const std::string prefix = "Ch" + std::to_string(number) + ' ';
    const int64_t roll = random.Between(0, 99);
    if (roll < 30) {
        field.name = prefix + std::string(random.Pick(kBoolNames));
        field.type = "Bool";
        field.view = "Decimal";
        field.max = 1;
        field.defaultValue = random.Between(0, 1);
    } else if (roll < 50) {
        constexpr std::array<int32_t, 6> kLengths = {4, 6, 8, 10, 12, 16};
        field.bitLength = random.Pick(kLengths);
        field.name = prefix + std::string(random.Pick(kUIntNames));
        field.type = "UInt";
        field.view = "Decimal";
        const int64_t top = (int64_t{1} << field.bitLength) - 1;
        field.min = random.Between(0, 1);
        field.max = random.Between(top / 2 + 1, top);
        field.defaultValue = random.Between(field.min, field.max);
    } else if (roll < 60) {
        constexpr std::array<int32_t, 3> kLengths = {8, 16, 32};
        field.bitLength = random.Pick(kLengths);
        field.name = prefix + std::string(random.Pick(kHexNames));
        field.type = "UInt";
        field.view = "ValueHex";
        field.max = (int64_t{1} << field.bitLength) - 1;
        field.defaultValue = random.Between(0, field.max);
    } else if (roll < 85) {
        field.items = &random.Pick(kEnums);
        field.itemCount = static_cast<int32_t>(random.Between(2, field.items->count));
        field.name = prefix + std::string(field.items->name);
        field.type = "UInt";
        field.view = "Enum";
        field.max = field.itemCount - 1;
        // Some enumerations reserve a spare bit for later values.
        field.bitLength = BitsFor(field.max) + static_cast<int32_t>(random.Between(0, 1));
        field.defaultValue = random.Between(0, field.max);
    } else {
        constexpr std::array<int32_t, 3> kLengths = {8, 16, 32};
        field.bitLength = random.Pick(kLengths);
        field.name = prefix + std::string(random.Pick(kIntNames));
        field.type = "Int";
        field.view = "Decimal";
        // Signed limits stay well inside the field; 32-bit ones at realistic magnitudes.
        const int64_t limit = std::min<int64_t>((int64_t{1} << (field.bitLength - 1)) - 1, 2000000);
        field.max = random.Between(limit / 4, limit);
        field.min = -field.max;
        field.defaultValue = random.Between(field.min, field.max);
    }
    return field;
}

// The four F-parameters every safety module starts with, at fixed places.
void FixedFields(Sequence& random, std::vector<Field>& fields) {
    fields.push_back({"F_Source_Add", "UInt", "Decimal", 1, 1, 65534, 16, nullptr, 0});
    fields.push_back(
        {"F_Dest_Add", "UInt", "Decimal", random.Between(1, 65534), 1, 65534, 16, nullptr, 0});
    fields.push_back(
        {"F_WD_Time (ms)", "UInt", "Decimal", random.Between(50, 500), 10, 10000, 16, nullptr, 0});
    static constexpr EnumKind kSil = {"F_SIL", {"SIL1", "SIL2", "SIL3"}, 3};
    fields.push_back({"F_SIL", "UInt", "Enum", random.Between(1, 2), 0, 2, 2, &kSil, 3});
}

// Writes the module's parameter list into `out` and returns the record size in bytes.
int32_t WriteParameters(Sequence& random, const CatalogShape& shape, std::string& out) {
    std::vector<Field> fields;
    FixedFields(random, fields);
    const int64_t extra = random.Between(shape.minParameters, shape.maxParameters);
    for (int32_t k = 0; k < extra; ++k) {
        fields.push_back(RandomField(random, k));
    }

    int32_t bit = 32;  // the first four bytes of the record lie outside the safety CRC
    for (const Field& field : fields) {
        // Word-sized fields start on a byte, as module firmware reads them that way.
        if (field.bitLength >= 8) {
            bit = (bit + 7) / 8 * 8;
        }
        Indent(out, 5);
        out += "<Parameter";
        Attribute(out, "name", field.name);
        Attribute(out, "type", field.type);
        Attribute(out, "paramView", field.view);
        Attribute(out, "defaultValue", field.defaultValue);
        Attribute(out, "min", field.min);
        Attribute(out, "max", field.max);
        Attribute(out, "bitOffset", bit);
        Attribute(out, "bitLength", field.bitLength);
        bit += field.bitLength;
        if (field.items == nullptr) {
            out += "/>\n";
            continue;
        }
        out += ">\n";
        for (int32_t i = 0; i < field.itemCount; ++i) {
            Indent(out, 6);
            out += "<Item";
            Attribute(out, "valueText", field.items->items[static_cast<size_t>(i)]);
            Attribute(out, "valueItem", i);
            out += "/>\n";
        }
        Indent(out, 5);
        out += "</Parameter>\n";
    }
    return (bit + 7) / 8;
}

void WriteModule(Sequence& random, const CatalogShape& shape, std::string_view vendor,
                 int32_t manufacturer, int32_t device, int32_t module, std::string& out,
                 std::string& scratch) {
    scratch.clear();
    const int32_t recordBytes = WriteParameters(random, shape, scratch);
    const std::string_view type = random.Pick(kModuleTypes);
    std::string name = std::string(vendor) + ' ' + std::string(type) + ' ' +
                       std::to_string(random.Pick(kChannelCounts)) + 'x' +
                       std::string(random.Pick(kSignals)) + ' ' +
                       std::string(random.Pick(kVariants)) + " M" + std::to_string(manufacturer) +
                       '-' + std::to_string(device) + '-' + std::to_string(module);

    Indent(out, 3);
    out += "<Modul";
    Attribute(out, "name", name);
    Attribute(out, "identNumber", Hex(static_cast<uint32_t>(random.Between(0x4000, 0x7FFF))));
    Attribute(out, "major", random.Between(1, 4));
    Attribute(out, "minor", random.Between(0, 9));
    Attribute(out, "type", type);
    Attribute(out, "modulPlcAddress", 0);
    Attribute(out, "minAddr", random.Between(0, 1));
    Attribute(out, "maxAddr", random.Pick(kModuleMaxAddr));
    Attribute(out, "lenModulParam", recordBytes);
    Attribute(out, "lenUserParam", recordBytes - 4);
    out += ">\n";
    Indent(out, 4);
    out += "<ParameterList>\n";
    out += scratch;
    Indent(out, 4);
    out += "</ParameterList>\n";
    Indent(out, 3);
    out += "</Modul>\n";
}

void WriteDevice(Sequence& random, const CatalogShape& shape, std::string_view vendor,
                 int32_t manufacturer, int32_t device, std::string& out, std::string& scratch) {
    const BusKind& bus = random.Pick(kBuses);
    const std::string name = std::string(vendor) + '-' + std::string(bus.head) + ' ' +
                             std::to_string(random.Between(1, 9) * 100) + ' ' +
                             std::string(bus.name) + " head D" + std::to_string(manufacturer) +
                             '-' + std::to_string(device);
    Indent(out, 2);
    out += "<Device";
    Attribute(out, "name", name);
    Attribute(out, "identNumber", Hex(static_cast<uint32_t>(random.Between(0x0100, 0x3FFF))));
    Attribute(out, "enableBusAddress", bus.addressed ? "yes" : "no");
    Attribute(out, "busAddress", bus.addressed ? random.Between(1, 125) : 0);
    Attribute(out, "busSpeed", random.Pick(bus.speeds));
    Attribute(out, "minAddr", bus.addressed ? 1 : 0);
    Attribute(out, "maxAddr", bus.addressed ? 125 : 0);
    Attribute(out, "offsetModulParamStream", random.Between(0, 1) * 2);
    Attribute(out, "dataFormat", random.Between(0, 1) == 0 ? "Motorola" : "Intel");
    out += ">\n";
    for (int32_t module = 0; module < shape.modulesPerDevice; ++module) {
        WriteModule(random, shape, vendor, manufacturer, device, module, out, scratch);
    }
    Indent(out, 2);
    out += "</Device>\n";
}

void WriteManufacturer(const CatalogShape& shape, int32_t manufacturer, std::string& out,
                       std::string& scratch) {
    Sequence random(kCatalogSeed + static_cast<uint64_t>(manufacturer) * 0x100000001B3u);
    const size_t word = random.Next() % kVendorWords.size();
    const std::string name =
        std::string(kVendorWords[word]) + ' ' + std::string(random.Pick(kVendorTrades)) + ' ' +
        std::string(random.Pick(kVendorForms)) + " #" + std::to_string(manufacturer);
    out += "\n";
    Indent(out, 1);
    out += "<!-- Manufacturer " + std::to_string(manufacturer) + " -->\n";
    Indent(out, 1);
    out += "<Hersteller";
    Attribute(out, "name", name);
    Attribute(out, "identNumber", Hex(static_cast<uint32_t>(random.Between(0x0100, 0xFFFF))));
    out += ">\n";
    for (int32_t device = 0; device < shape.devicesPerManufacturer; ++device) {
        WriteDevice(random, shape, kVendorShort[word], manufacturer, device, out, scratch);
    }
    Indent(out, 1);
    out += "</Hersteller>\n";
}

}  // namespace

CatalogShape CatalogShapeForScale(int32_t scale) {
    CatalogShape shape;
    shape.manufacturers = 48 * scale;
    shape.devicesPerManufacturer = 6;
    shape.modulesPerDevice = 15;
    shape.minParameters = 8;
    shape.maxParameters = 28;
    return shape;
}

// The element names are the catalog's own, and none begins with the name of its parent: in this
// dialect such an element would close its parent instead of nesting in it.
std::string GenerateCatalog(const CatalogShape& shape) {
    std::string out;
    // About 5 kB a module; reserving avoids copying tens of megabytes while growing.
    out.reserve(static_cast<size_t>(shape.manufacturers) *
                static_cast<size_t>(shape.devicesPerManufacturer) *
                static_cast<size_t>(shape.modulesPerDevice) * 5200);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<!-- Generated device catalog for the benchmarks of the Norvane Safety CRC Tool. -->\n";
    out += "<SafetyConfigurator>\n";
    out += "  <FileVersion major=\"1\" minor=\"2\"/>\n";
    std::string scratch;
    for (int32_t manufacturer = 0; manufacturer < shape.manufacturers; ++manufacturer) {
        WriteManufacturer(shape, manufacturer, out, scratch);
    }
    out += "</SafetyConfigurator>\n";
    return out;
}

std::string GenerateWideElement(int32_t children) {
    std::string out;
    out.reserve(static_cast<size_t>(children) * 24 + 16);
    out += "<List>\n";
    for (int32_t k = 0; k < children; ++k) {
        out += "  <Entry v=\"";
        out += std::to_string(k);
        out += "\"/>\n";
    }
    out += "</List>\n";
    return out;
}

const std::string& CachedCatalog(int32_t scale) {
    static std::map<int32_t, std::string> cache;
    auto [entry, added] = cache.try_emplace(scale);
    if (added) {
        entry->second = GenerateCatalog(CatalogShapeForScale(scale));
    }
    return entry->second;
}

const std::string& CachedWideElement(int32_t children) {
    static std::map<int32_t, std::string> cache;
    auto [entry, added] = cache.try_emplace(children);
    if (added) {
        entry->second = GenerateWideElement(children);
    }
    return entry->second;
}

}  // namespace norvane
