// The module's safety CRC: a 32-bit CRC with the PROFIsafe polynomial 0xF4ACFB13, processed
// most significant bit first, without reflection and without a final XOR.
#pragma once

#include <array>
#include <cstdint>

namespace norvane {

inline constexpr uint32_t kSafetyCrcPolynomial = 0xF4ACFB13u;

enum class CrcDirection : int32_t { Forward = 0, Backward = 1 };

// The byte table: entry i is i placed in the top byte and run through eight shift steps.
const std::array<uint32_t, 256>& SafetyCrcTable();

// CRC over `length` bytes of `data`, first to last (Forward) or last to first (Backward),
// starting from `initial`. Without data, or for any other direction, `initial` comes back.
uint32_t SafetyCrc32(uint32_t length, uint32_t initial, const uint8_t* data,
                     CrcDirection direction);

// The same CRC, first byte to last, worked out one bit at a time from the polynomial alone: no
// table, no multi-byte steps. It shares no code with SafetyCrc32, so that a fault in either
// (a corrupted table, a miscompiled loop) shows as a disagreement between the two.
uint32_t SafetyCrc32Bitwise(uint32_t length, uint32_t initial, const uint8_t* data);

}  // namespace norvane
