// What the tool knows of the engineering system that called it with a TPF file. Empty while
// the tool runs stand-alone.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "xml/xml_tree.h"

namespace norvane {

inline constexpr std::string_view kBusCategoryProfibus = "036D1499-387B-11D4-86E1-00E0987270B9";
inline constexpr std::string_view kBusCategoryProfinet = "DFC98364-DAB8-493B-BB92-23B3F92FEBCD";

enum class BusKind { Unknown, Profibus, Profinet };

// The bus a TPF file's BusCategory names. Engineering systems write the GUID in either case and
// sometimes in braces, so the comparison ignores ASCII letter case and one pair of enclosing
// braces.
BusKind BusKindOf(std::string_view busCategory);

// Widths of the texts taken from a TPF file, in bytes; longer texts are cut to them.
inline constexpr size_t kTpfNameWidth = 79;          // subsystem, device and module names
inline constexpr size_t kTpfBusCategoryWidth = 127;  // bus category
inline constexpr size_t kTpfIpAddressWidth = 15;     // IP address
inline constexpr size_t kTpfIdentWidth = 31;         // the module's IdentNumber text

inline constexpr size_t kTelegramSize = 512;
inline constexpr size_t kModuleRecordSize = 256;

struct TciData {
    std::string busCategory;  // one of the two bus categories, or empty without a TPF file

    // Elements of the TPF tree; they live as long as the tree they were read from.
    const XmlElement* deviceItemElement = nullptr;
    const XmlElement* deviceParameterList = nullptr;
    const XmlElement* selectedModuleItem = nullptr;
    const XmlElement* moduleParameterList = nullptr;
    const XmlElement* submoduleItemElement = nullptr;
    const XmlElement* submoduleParameterList = nullptr;

    std::string tpfDeviceName;
    std::string ipAddress;  // of a PROFINET device, as the TPF file gives it
    int32_t busAddress = 0;
    bool moduleItemSelected = false;
    std::string tpfModuleName;
    std::string moduleIdentText;  // the IdentNumber text, compared with the catalog's
    bool moduleFound = false;     // the catalog module was found and shown
    bool prmHexPrefix = false;    // the Prm-Telegram text began with "0x"
    uint16_t moduleIdent = 0;
    uint8_t slot = 0;
    std::array<uint8_t, kTelegramSize> telegram{};          // the last byte stream converted
    std::array<uint8_t, kModuleRecordSize> moduleRecord{};  // the selected module's record
    int32_t telegramLength = 0;  // bytes announced by the hexadecimal text (half its length)
    // Bytes of `telegram` that the last stream filled; 0 when it was not converted (a stream of
    // 512 bytes or more). Nothing beyond them came from the engineering system.
    int32_t convertedLength = 0;
};

}  // namespace norvane
