// `safetycrc crc`: a warning for each --set value that the image does not hold as typed. The
// image is built all the same, as the core builds it; no CRC is given for it (the values do
// not read back), and the warning says why.
#include <algorithm>
#include <cstdio>

#include "base/byte_text.h"
#include "cli/cli_crc.h"
#include "safety/parameter_values.h"

namespace norvane::cli {

namespace {

// What the image holds of `value` in the parameter's field of 1 to 32 bits, and that field's
// bits alone.
struct HeldValue {
    uint32_t field;
    uint32_t held;
};

HeldValue HeldInField(const CatalogParameter& parameter, uint32_t value) {
    const auto bits = static_cast<uint32_t>(parameter.bitLength);
    const uint32_t mask = bits == 32 ? UINT32_MAX : (uint32_t{1} << bits) - 1;
    const uint32_t field = value & mask;
    // An Int field holds its value in two's complement: -3 fits three bits.
    uint32_t held = field;
    if (parameter.type == ParamType::Int && bits < 32 && (field >> (bits - 1)) != 0) {
        held |= ~mask;
    }
    return {field, held};
}

}  // namespace

void WarnAboutSetValues(const std::vector<CatalogParameter>& parameters, const CrcOptions& options,
                        std::ostream& err) {
    // Later --set of a parameter win, so only the values that reach the image are judged.
    for (const CatalogParameter& parameter : parameters) {
        const bool set =
            std::any_of(options.sets.begin(), options.sets.end(),
                        [&](const auto& entry) { return entry.first == parameter.name; });
        if (!set || parameter.bitLength < 1 || parameter.bitLength > 32) {
            continue;  // an impossible field is refused when the image is built
        }
        const uint32_t value = parameter.value;
        const HeldValue held = HeldInField(parameter, value);
        const bool wider = held.held != value;
        const bool outside = !WithinLimits(parameter.type, value, parameter.min, parameter.max);
        if (!wider && !outside) {
            continue;
        }
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%X", held.field);
        err << "warning: parameter " << EscapeField(parameter.name) << " value "
            << ParameterNumber(parameter.type, value) << " is "
            << (outside ? "outside its limits" : "within its limits") << ' '
            << ParameterNumber(parameter.type, parameter.min) << " to "
            << ParameterNumber(parameter.type, parameter.max)
            << (wider ? " and wider than its " : " and fits its ") << parameter.bitLength
            << "-bit field; the image holds " << ParameterNumber(parameter.type, held.held) << " ("
            << hex << ")\n";
    }
}

}  // namespace norvane::cli
