// What the tool knows of the engineering system that called it with a TPF file. Empty while
// the tool runs stand-alone.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace norvane {

inline constexpr std::string_view kBusCategoryProfibus = "036D1499-387B-11D4-86E1-00E0987270B9";
inline constexpr std::string_view kBusCategoryProfinet = "DFC98364-DAB8-493B-BB92-23B3F92FEBCD";

struct TciData {
    std::string busCategory;  // one of the two bus categories, or empty without a TPF file
    std::string ipAddress;    // of a PROFINET device, as the TPF file gives it
    int32_t busAddress = 0;
    std::array<uint8_t, 256> moduleRecord{};  // the selected module's parameter record
};

}  // namespace norvane
