#include "tci/tpf_reader.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "base/byte_text.h"
#include "base/decimal_text.h"
#include "base/utf8_text.h"
#include "base/whole_file.h"
#include "tci/tpf_file.h"
#include "xml/xml_parser.h"

namespace norvane {

namespace {

// Names from the engineering system are cut to their fields, never inside a character.
std::string Cut(const std::string& text, size_t width) {
    return CutToWidth(text, width);
}

// Converts one byte stream into the telegram. The telegram is cleared first, so a stream that
// follows another (a submodule's record after its module's) replaces it entirely instead of
// overwriting its first bytes only.
void ConvertStream(std::string_view hex, int32_t count, TciData& tci) {
    tci.telegram.fill(0);
    tci.convertedLength = HexToBytes(hex, count, tci.telegram) > 0 ? count : 0;
}

// An attribute's value without its quotes; empty when absent.
std::string AttributeText(const XmlElement* element, std::string_view name) {
    const XmlAttribute* attribute = XmlFindAttribute(element, name);
    if (attribute == nullptr) {
        return {};
    }
    return XmlStripQuotes(attribute->value).value_or(std::string());
}

bool Named(const XmlElement* element, std::string_view name) {
    return element != nullptr && element->name == name;
}

// A ParameterItem's name as written, quote characters included: the engineering systems that
// call us write Name="Slot", and that form alone is recognised.
bool ItemNamed(const XmlElement* item, std::string_view quotedName) {
    const XmlAttribute* name = XmlFindAttribute(item, "Name");
    return name != nullptr && name->value == quotedName;
}

// The texts after "0x" read as a hexadecimal number, low 16 bits; 0 without the prefix. Blanks
// and a sign may stand between the prefix and the digits.
uint16_t IdentFromText(std::string_view text) {
    if (text.substr(0, 2) != "0x") {
        return 0;
    }
    text.remove_prefix(2);
    while (!text.empty() && (text[0] == ' ' || (text[0] >= '\t' && text[0] <= '\r'))) {
        text.remove_prefix(1);
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    uint32_t value = 0;
    for (const char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            break;
        }
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return static_cast<uint16_t>(negative ? 0 - value : value);
}

// Half the text's length, which is what the file announces as the stream's size.
int32_t AnnouncedLength(std::string_view value) {
    const size_t pairs = value.size() / 2;
    return pairs > INT32_MAX ? INT32_MAX : static_cast<int32_t>(pairs);
}

// The items of a ParameterList, each with its recognised (quoted) name and present value.
template <class Visit>
void ForEachParameterItem(const XmlElement* list, Visit visit) {
    int32_t cursor = 0;
    while (const XmlElement* item = XmlNextElement(list, cursor)) {
        if (!Named(item, "ParameterItem") || XmlFindAttribute(item, "Name") == nullptr) {
            continue;
        }
        const std::string value = AttributeText(item, "Value");
        if (!value.empty()) {
            visit(item, value);
        }
    }
}

// A RecordDataObject of a module or submodule: converted only when it begins with the PROFINET
// record head 00 00 00 7D.
void ReadRecordDataObject(const std::string& value, TciData& tci, bool& recordRead) {
    const int32_t length = AnnouncedLength(value);
    tci.telegramLength = length;
    if (value.starts_with("0000007D") && length > 0) {
        ConvertStream(value, length, tci);
        recordRead = true;
    }
}

// IPAddress, BusAddress and the PROFIBUS parameter telegram of the device.
void ReadDeviceParameter(const XmlElement* item, const std::string& value, TciData& tci,
                         bool& recordRead) {
    if (ItemNamed(item, "\"IPAddress\"")) {
        tci.ipAddress = Cut(value, kTpfIpAddressWidth);
    } else if (ItemNamed(item, "\"BusAddress\"")) {
        tci.busAddress = static_cast<int32_t>(ParseLeadingDecimal(value));
    } else if (ItemNamed(item, "\"Prm-Telegram\"")) {
        const int32_t length = AnnouncedLength(value);
        tci.telegramLength = length;
        if (length > 0) {
            // Up to 15 characters a leading "0x" is taken as the first byte pair.
            tci.prmHexPrefix = length > 7 && value.starts_with("0x");
            if (tci.prmHexPrefix) {
                ConvertStream(std::string_view(value).substr(2), length - 1, tci);
            } else {
                ConvertStream(value, length, tci);
            }
            recordRead = true;
        }
    }
}

// Slot, IdentNumber and the PROFINET record of the selected module.
void ReadModuleParameter(const XmlElement* item, const std::string& value, TciData& tci,
                         bool& recordRead) {
    if (ItemNamed(item, "\"Slot\"")) {
        tci.slot = static_cast<uint8_t>(ParseLeadingDecimal(value));
    } else if (ItemNamed(item, "\"IdentNumber\"")) {
        tci.moduleIdentText = Cut(value, kTpfIdentWidth);
        tci.moduleIdent = IdentFromText(value);
    } else if (ItemNamed(item, "\"RecordDataObject\"")) {
        ReadRecordDataObject(value, tci, recordRead);
    }
}

// The selected ModuleItem's submodules: the last SubmoduleItem, and the last one's list.
void ReadSubmodules(const XmlElement* moduleItem, TciData& tci) {
    const XmlElement* submoduleList = XmlFindElement(moduleItem, "SubmoduleList");
    int32_t cursor = 0;
    while (const XmlElement* submodule = XmlNextElement(submoduleList, cursor)) {
        if (!Named(submodule, "SubmoduleItem")) {
            continue;
        }
        tci.submoduleItemElement = submodule;
        if (const XmlElement* list = XmlFindElement(submodule, "ParameterList")) {
            tci.submoduleParameterList = list;
        }
    }
}

// Scans one DeviceItem for its parameter list and the selected module; true when found.
bool ScanDeviceItem(const XmlElement* deviceItem, TciData& tci) {
    int32_t cursor = 0;
    while (const XmlElement* child = XmlNextElement(deviceItem, cursor)) {
        if (Named(child, "ParameterList")) {
            tci.deviceParameterList = child;
        }
        if (!Named(child, "ModuleList")) {
            continue;
        }
        int32_t moduleCursor = 0;
        while (const XmlElement* module = XmlNextElement(child, moduleCursor)) {
            bool found = false;
            if (Named(module, "ModuleItem") && AttributeText(module, "IsSelected") == "true") {
                tci.selectedModuleItem = module;
                tci.moduleItemSelected = true;
                found = true;
                ReadSubmodules(module, tci);
            }
            // The selected module's own list when it has one, else the nearest earlier one.
            if (const XmlElement* list = XmlFindElement(module, "ParameterList")) {
                tci.moduleParameterList = list;
            }
            if (found) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

BusKind BusKindOf(std::string_view busCategory) {
    if (busCategory.size() >= 2 && busCategory.front() == '{' && busCategory.back() == '}') {
        busCategory = busCategory.substr(1, busCategory.size() - 2);
    }
    for (const auto& [guid, kind] : {std::pair{kBusCategoryProfibus, BusKind::Profibus},
                                     std::pair{kBusCategoryProfinet, BusKind::Profinet}}) {
        if (XmlStartsWithNoCase(busCategory, guid) && busCategory.size() == guid.size()) {
            return kind;
        }
    }
    return BusKind::Unknown;
}

void CollectSubsystems(const XmlElement* element, std::vector<TpfSubsystem>& subsystemList) {
    int32_t cursor = 0;
    while (const XmlElement* child = XmlNextElement(element, cursor)) {
        if (Named(child, "SubsystemItem")) {
            TpfSubsystem subsystem;
            subsystem.element = child;
            subsystem.name = Cut(AttributeText(child, "Name"), kTpfNameWidth);
            subsystem.busCategory = Cut(AttributeText(child, "BusCategory"), kTpfBusCategoryWidth);
            subsystem.deviceList = XmlFindElement(child, "DeviceList");
            subsystemList.push_back(std::move(subsystem));
        }
        // The parser refuses trees deeper than kXmlMaxDepth, which bounds this recursion.
        CollectSubsystems(child, subsystemList);
    }
}

bool ReadTpfDevice(const std::vector<TpfSubsystem>& subsystemList, TciData& tci) {
    bool found = false;
    bool recordRead = false;
    tci.deviceItemElement = tci.deviceParameterList = tci.selectedModuleItem = nullptr;
    tci.moduleParameterList = tci.submoduleItemElement = tci.submoduleParameterList = nullptr;
    tci.telegramLength = 0;
    if (subsystemList.empty()) {
        return false;
    }

    for (const TpfSubsystem& subsystem : subsystemList) {
        if (found) {
            break;
        }
        tci = TciData();
        tci.busCategory = subsystem.busCategory;
        int32_t cursor = 0;
        while (!found) {
            const XmlNode* node = XmlNextNode(subsystem.deviceList, cursor);
            if (node == nullptr) {
                break;
            }
            // Another node after a DeviceItem would scan that same DeviceItem again, which
            // reads nothing new; scanning each DeviceItem once keeps large files linear.
            const XmlElement* element = node->AsElement();
            if (Named(element, "DeviceItem")) {
                tci.deviceItemElement = element;
                found = ScanDeviceItem(element, tci);
            }
        }
    }

    ForEachParameterItem(tci.deviceParameterList, [&](const XmlElement* item, const auto& value) {
        ReadDeviceParameter(item, value, tci, recordRead);
    });

    if (tci.deviceItemElement != nullptr) {
        tci.tpfDeviceName = Cut(AttributeText(tci.deviceItemElement, "Name"), kTpfNameWidth);
    }
    if (tci.selectedModuleItem != nullptr) {
        tci.tpfModuleName = Cut(AttributeText(tci.selectedModuleItem, "Name"), kTpfNameWidth);
    }

    ForEachParameterItem(tci.moduleParameterList, [&](const XmlElement* item, const auto& value) {
        ReadModuleParameter(item, value, tci, recordRead);
    });
    // A submodule's record is read after the module's and replaces it.
    ForEachParameterItem(tci.submoduleParameterList,
                         [&](const XmlElement* item, const auto& value) {
                             if (ItemNamed(item, "\"RecordDataObject\"")) {
                                 ReadRecordDataObject(value, tci, recordRead);
                             }
                         });

    if (!recordRead) {
        tci.telegramLength = 0;
    }
    return found;
}

int HexToBytes(std::string_view text, int64_t count, std::span<uint8_t> buffer) {
    if (count <= 0 || static_cast<uint64_t>(count) >= buffer.size()) {
        return 0;
    }
    const auto digit = [&](size_t index) {
        return index < text.size() ? HexDigitValue(text[index]) : -1;
    };
    const auto n = static_cast<size_t>(count);
    buffer[n] = 0;
    for (size_t i = 0; i < n; ++i) {
        const int high = digit(2 * i);
        const int low = digit(2 * i + 1);
        if (high < 0) {
            buffer[i] = 0;
        } else if (low < 0) {
            buffer[i] = static_cast<uint8_t>(high);
        } else {
            buffer[i] = static_cast<uint8_t>(high * 16 + low);
        }
    }
    return static_cast<int>(2 * n);
}

TpfReadStatus ReadTpfCall(const std::string& path, TpfDocument& tpf, TciData& tci) {
    tci = TciData();
    tpf = TpfDocument();
    try {
        if (!IsTpfFile(path)) {
            return TpfReadStatus::NotTpf;
        }
    } catch (const FileError&) {
        return TpfReadStatus::CannotOpen;
    } catch (const std::exception&) {
        // Any other failure of the test (no memory, a stream error) counts as not a TPF file.
        return TpfReadStatus::NotTpf;
    }
    try {
        tpf.text = ReadWholeFile(path);
    } catch (const std::exception&) {
        return TpfReadStatus::CannotRead;
    }
    if (tpf.text.empty()) {
        return TpfReadStatus::CannotRead;
    }
    std::string text = std::move(tpf.text);
    return ReadTpfText(std::move(text), tpf, tci) ? TpfReadStatus::Ok : TpfReadStatus::NotParsed;
}

bool ReadTpfText(std::string text, TpfDocument& tpf, TciData& tci) {
    tci = TciData();
    tpf = TpfDocument();
    tpf.text = std::move(text);
    XmlResults results;
    tpf.doc = XmlParseText(tpf.text, &results);
    if (!tpf.doc) {
        return false;
    }
    CollectSubsystems(tpf.doc.get(), tpf.subsystemList);
    ReadTpfDevice(tpf.subsystemList, tci);
    return true;
}

bool DeleteTpfFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::remove(path, error);
}

}  // namespace norvane
