#include "safety/safety_crc.h"

#include <cstddef>

namespace norvane {

namespace {

using Table = std::array<uint32_t, 256>;

// Tables[0] is the byte table; Tables[k][i] is the CRC of byte i followed by k zero bytes,
// which lets the forward loop take eight bytes per step with one lookup per byte.
constexpr std::array<Table, 8> MakeTables() {
    std::array<Table, 8> tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t word = i << 24;
        for (int step = 0; step < 8; ++step) {
            word = (word & 0x80000000u) ? (word << 1) ^ kSafetyCrcPolynomial : (word << 1);
        }
        tables[0][i] = word;
    }
    for (std::size_t k = 1; k < tables.size(); ++k) {
        for (uint32_t i = 0; i < 256; ++i) {
            const uint32_t previous = tables[k - 1][i];
            tables[k][i] = (previous << 8) ^ tables[0][previous >> 24];
        }
    }
    return tables;
}

constexpr std::array<Table, 8> kTables = MakeTables();

static_assert(kTables[0][1] == 0xF4ACFB13u);
static_assert(kTables[0][2] == 0x1DF50D35u);
static_assert(kTables[0][128] == 0xAFF0A10Cu);
static_assert(kTables[0][255] == 0x993B68F9u);

inline uint32_t Step(uint32_t h, uint8_t byte) {
    return (h << 8) ^ kTables[0][((h >> 24) ^ byte) & 0xFFu];
}

uint32_t Forward(uint32_t h, const uint8_t* p, uint32_t length) {
    const Table& t0 = kTables[0];
    const Table& t1 = kTables[1];
    const Table& t2 = kTables[2];
    const Table& t3 = kTables[3];
    const Table& t4 = kTables[4];
    const Table& t5 = kTables[5];
    const Table& t6 = kTables[6];
    const Table& t7 = kTables[7];
    for (; length >= 8; length -= 8, p += 8) {
        const uint32_t a = h ^ (uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 |
                                uint32_t{p[3]});
        h = t7[a >> 24] ^ t6[(a >> 16) & 0xFFu] ^ t5[(a >> 8) & 0xFFu] ^ t4[a & 0xFFu] ^ t3[p[4]] ^
            t2[p[5]] ^ t1[p[6]] ^ t0[p[7]];
    }
    for (; length > 0; --length) {
        h = Step(h, *p++);
    }
    return h;
}

}  // namespace

const std::array<uint32_t, 256>& SafetyCrcTable() {
    return kTables[0];
}

uint32_t SafetyCrc32(uint32_t length, uint32_t initial, const uint8_t* data,
                     CrcDirection direction) {
    if (data == nullptr) {
        return initial;
    }
    switch (direction) {
        case CrcDirection::Forward:
            return Forward(initial, data, length);
        case CrcDirection::Backward: {
            uint32_t h = initial;
            for (uint32_t i = length; i > 0; --i) {
                h = Step(h, data[i - 1]);
            }
            return h;
        }
    }
    return initial;
}

uint32_t SafetyCrc32Bitwise(uint32_t length, uint32_t initial, const uint8_t* data) {
    if (data == nullptr) {
        return initial;
    }
    uint32_t h = initial;
    for (uint32_t i = 0; i < length; ++i) {
        h ^= uint32_t{data[i]} << 24;
        for (int bit = 0; bit < 8; ++bit) {
            const uint32_t top = h >> 31;
            // 0 - top is all ones when the top bit was set: the polynomial goes in without a
            // branch that the bit pattern could make slow.
            h = (h << 1) ^ (kSafetyCrcPolynomial & (0u - top));
        }
    }
    return h;
}

}  // namespace norvane
