// The parameter image of a module: the bytes of its parameter record as the module receives
// them, built from the current values of the catalog's parameters. The safety CRC covers the
// image from its fifth byte on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "catalog/catalog.h"
#include "safety/safety_crc.h"

namespace norvane {

// A field that the image cannot hold, or a device whose data format is unknown. The image is
// then unusable: no CRC may be computed from it.
class ParamStreamError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The record's fields do not read back as the values they were made from: a value its field
// cannot hold, fields that overlap with different bits, a Bool whose bit the byte exchange
// moves. No CRC may be given for such values, whatever the CRC routines say.
class ReadBackError : public ParamStreamError {
  public:
    using ParamStreamError::ParamStreamError;
};

struct ParamStream {
    std::vector<uint8_t> data;
    uint32_t size = 0;
    DataFormat dataFormat = DataFormat::None;

    // Releases any previous bytes and provides `n` zero bytes.
    void Allocate(uint32_t n);
    // Sets or clears record bit `position`: bit (position mod 8) of its byte for Motorola,
    // bit 7 - (position mod 8) for Intel.
    void SetBit(uint32_t position, bool bit);
    // Places the low `bitLength` bits of `value` from record bit `bitOffset` upward, least
    // significant bit first. Checks the whole field before writing any bit of it.
    void PutBits(uint32_t bitOffset, uint32_t bitLength, uint32_t value);
};

// 16- and 32-bit fields are exchanged bytewise as a whole before they are placed (and after
// they are read); other lengths pass unchanged.
uint32_t SwapFieldBytes(uint32_t value, int32_t bitLength);

// Whether a field of `bitLength` bits (1 to 32) from bit `bitOffset` lies inside a record of
// `bytes` bytes.
bool FieldInside(int64_t bitOffset, int64_t bitLength, size_t bytes);

// The value of a field as the record holds it, the inverse of placing it in the image: its
// bits read from `bitOffset` upward in the data format's bit order (Motorola's for a format
// that is neither), the byte exchange of 16- and 32-bit fields undone, an Int sign-extended
// from its bitLength. A Bool is the one bit at `bitOffset`; a parameter of any other type
// reads 0. The field must lie inside `record` (FieldInside).
uint32_t ReadField(std::span<const uint8_t> record, DataFormat dataFormat, ParamType type,
                   uint32_t bitOffset, uint32_t bitLength);

// Whether a field of the parameter's type and bitLength gives `value` back unchanged, 32-bit
// pattern for 32-bit pattern: an Int within its signed range, a UInt below 2^bitLength, a Bool
// of 0, or 1 where the field is not byte-exchanged, 0 for any other type.
bool FieldHolds(ParamType type, int32_t bitLength, uint32_t value);

// The first parameter whose field in `image` does not read back as its value, or none when all
// do (a field outside the image never does).
std::optional<size_t> FirstUnreadParameter(std::span<const uint8_t> image, DataFormat dataFormat,
                                           const std::vector<CatalogParameter>& parameterList);

// The image of `size` bytes from the parameters' values, in list order; where fields overlap
// the later parameter wins. Throws ParamStreamError naming the parameter that does not fit.
ParamStream BuildParamStream(DataFormat dataFormat, uint32_t size,
                             const std::vector<CatalogParameter>& parameterList);

// The safety CRC over bytes 4 ... 4 + lenUserParam - 1 of a record of at least lenUserParam + 4
// bytes: the one routine through which every CRC that the tool shows or prints is computed.
// It is computed twice, by the table routine and by the bit-wise one, and given only when
// both agree. Throws ParamStreamError when the record is shorter than the bytes the CRC
// covers, or when the two routines disagree.
uint32_t RecordSafetyCrc(std::span<const uint8_t> record, uint16_t lenUserParam);

// The CRC of an image built from `parameterList`, given only when every field of the image
// reads back as the value it was built from. Throws ReadBackError when one does not, and
// ParamStreamError as RecordSafetyCrc does.
uint32_t ImageSafetyCrc(const ParamStream& image, uint16_t lenUserParam,
                        const std::vector<CatalogParameter>& parameterList);

// The CRC of a module's current values, as Calc-CRC gives it in edit mode: the image of
// lenUserParam + 4 bytes built from `parameterList`, through ImageSafetyCrc. Throws
// ParamStreamError when the image cannot be built or the routines disagree, ReadBackError
// when the image does not hold the values.
uint32_t ParameterImageCrc(DataFormat dataFormat, uint16_t lenUserParam,
                           const std::vector<CatalogParameter>& parameterList);

// A table CRC routine, such as SafetyCrc32.
using TableCrcRoutine = uint32_t (*)(uint32_t length, uint32_t initial, const uint8_t* data,
                                     CrcDirection direction);

#ifdef NORVANE_TEST_SEAMS
// The table routine that RecordSafetyCrc runs (SafetyCrc32 unless replaced). Tests replace it
// to make the two routines disagree; null puts SafetyCrc32 back. Returns the routine it
// replaced. Only builds with tests have it: in the program the routine is fixed.
TableCrcRoutine SetTableCrcRoutine(TableCrcRoutine routine);
#endif

}  // namespace norvane
