#include "safety/safety_crc.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

namespace norvane {
namespace {

// The definition itself, one bit at a time, to check the table-driven routine against.
uint32_t BitwiseCrc(const uint8_t* data, size_t length, uint32_t h) {
    for (size_t i = 0; i < length; ++i) {
        h ^= uint32_t{data[i]} << 24;
        for (int bit = 0; bit < 8; ++bit) {
            h = (h & 0x80000000u) ? (h << 1) ^ kSafetyCrcPolynomial : (h << 1);
        }
    }
    return h;
}

uint32_t Forward(std::string_view bytes, uint32_t initial = 0) {
    return SafetyCrc32(static_cast<uint32_t>(bytes.size()), initial,
                       reinterpret_cast<const uint8_t*>(bytes.data()), CrcDirection::Forward);
}

TEST(SafetyCrc, TableHasItsPublishedEntries) {
    const auto& table = SafetyCrcTable();
    EXPECT_EQ(table[0], 0u);
    EXPECT_EQ(table[1], 0xF4ACFB13u);
    EXPECT_EQ(table[2], 0x1DF50D35u);
    EXPECT_EQ(table[128], 0xAFF0A10Cu);
    EXPECT_EQ(table[255], 0x993B68F9u);
    for (uint32_t i = 0; i < 256; ++i) {
        const auto byte = static_cast<uint8_t>(i);
        ASSERT_EQ(table[i], BitwiseCrc(&byte, 1, 0)) << i;
    }
}

TEST(SafetyCrc, CheckValues) {
    EXPECT_EQ(Forward("\x01\x02\x03"), 0x1C563F9Eu);
    EXPECT_EQ(Forward("\x01\x02\x03"), 475414430u);
    EXPECT_EQ(Forward("123456789"), 0x6C9F84A8u);
    EXPECT_EQ(Forward("123456789"), 1822393512u);
    EXPECT_EQ(Forward("\xff"), 0x993B68F9u);
    EXPECT_EQ(Forward(std::string_view("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 17)), 0u);
    EXPECT_EQ(Forward(""), 0u);

    const uint8_t bytes[] = {1, 2, 3};
    EXPECT_EQ(SafetyCrc32(3, 0, bytes, CrcDirection::Backward), 0xAFD3B3D1u);
    EXPECT_EQ(SafetyCrc32(1, 0, bytes + 2, CrcDirection::Backward),
              SafetyCrc32(1, 0, bytes + 2, CrcDirection::Forward));
}

TEST(SafetyCrc, NoDataOrUnknownDirectionGivesTheInitialValue) {
    EXPECT_EQ(SafetyCrc32(10, 0x12345678u, nullptr, CrcDirection::Forward), 0x12345678u);
    const uint8_t byte = 0xFF;
    EXPECT_EQ(SafetyCrc32(1, 7, &byte, static_cast<CrcDirection>(2)), 7u);
}

TEST(SafetyCrc, AgreesWithTheBitwiseDefinitionForEveryLengthAndSplit) {
    std::mt19937 random(20261208);
    std::vector<uint8_t> data(300);
    for (uint8_t& byte : data) {
        byte = static_cast<uint8_t>(random());
    }
    for (uint32_t length = 0; length <= data.size(); ++length) {
        const uint32_t expected = BitwiseCrc(data.data(), length, 0x5A5A5A5Au);
        ASSERT_EQ(SafetyCrc32(length, 0x5A5A5A5Au, data.data(), CrcDirection::Forward), expected)
            << length;
        // Chunked input continues where the first part left off.
        const uint32_t split = length / 3;
        const uint32_t head = SafetyCrc32(split, 0x5A5A5A5Au, data.data(), CrcDirection::Forward);
        ASSERT_EQ(SafetyCrc32(length - split, head, data.data() + split, CrcDirection::Forward),
                  expected);
    }
    std::vector<uint8_t> reversed(data.rbegin(), data.rend());
    EXPECT_EQ(SafetyCrc32(300, 0, data.data(), CrcDirection::Backward),
              BitwiseCrc(reversed.data(), reversed.size(), 0));
}

TEST(SafetyCrc, BitwiseRoutineGivesTheCheckValuesAndAgreesWithTheTable) {
    struct Case {
        std::string_view bytes;
        uint32_t initial;
        uint32_t crc;
    };
    const Case cases[] = {
        {"\x01\x02\x03", 0, 0x1C563F9Eu}, {"123456789", 0, 0x6C9F84A8u},
        {"\xff", 0, 0x993B68F9u},         {"\x01", 0, 0xF4ACFB13u},
        {"\x80", 0, 0xAFF0A10Cu},         {std::string_view("\0\0\0\0\0\0\0", 7), 0, 0u},
        {"", 0x12345678u, 0x12345678u},
    };
    for (const Case& c : cases) {
        const auto* data = reinterpret_cast<const uint8_t*>(c.bytes.data());
        const auto length = static_cast<uint32_t>(c.bytes.size());
        EXPECT_EQ(SafetyCrc32Bitwise(length, c.initial, data), c.crc) << c.bytes;
        EXPECT_EQ(SafetyCrc32(length, c.initial, data, CrcDirection::Forward), c.crc) << c.bytes;
    }
    EXPECT_EQ(SafetyCrc32Bitwise(5, 0xCAFEu, nullptr), 0xCAFEu);

    // Every length from both ends of the table routine's eight-byte steps, random content.
    std::mt19937 random(7);
    std::vector<uint8_t> data(1030);
    for (uint8_t& byte : data) {
        byte = static_cast<uint8_t>(random());
    }
    for (uint32_t length = 0; length <= data.size(); ++length) {
        ASSERT_EQ(SafetyCrc32Bitwise(length, 0xA5A5A5A5u, data.data()),
                  SafetyCrc32(length, 0xA5A5A5A5u, data.data(), CrcDirection::Forward))
            << length;
    }
}

}  // namespace
}  // namespace norvane
