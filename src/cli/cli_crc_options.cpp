// `safetycrc crc`: reading its options.
#include "cli/cli_crc.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "safety/parameter_values.h"

namespace norvane::cli {

namespace {

constexpr Option kCrcOptions[] = {
    {"--vendor", "value"}, {"--device", "value"}, {"--module", "value"},
    {"--set", "value"},    {"--dec", {}},
};

// A --set assignment PARAM=VALUE; the name may hold '=' itself, the value cannot.
std::string TakeSet(CrcOptions& options, const std::string& assignment) {
    const size_t equals = assignment.rfind('=');
    if (equals == std::string::npos) {
        return "--set needs PARAM=VALUE, not \"" + assignment + "\"";
    }
    const std::optional<uint32_t> number = ParseSetValue(assignment.substr(equals + 1));
    if (!number) {
        return "--set " + assignment +
               ": VALUE must be a 32-bit decimal number or 0x followed by up to 8 hex digits";
    }
    options.sets.emplace_back(assignment.substr(0, equals), *number);
    return {};
}

}  // namespace

std::optional<uint32_t> ParseSetValue(std::string_view text) {
    // The core reads a value as the window's field takes it; that also takes blanks around the
    // number and any number of leading zeros, which a --set value does not have.
    if (text.find_first_of(" \t") != std::string_view::npos) {
        return std::nullopt;
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ReadHexInput(text);
    }
    const bool hasSign = !text.empty() && (text[0] == '+' || text[0] == '-');
    if (text.size() > (hasSign ? 11u : 10u)) {
        return std::nullopt;
    }
    const std::optional<int64_t> number = ReadDecimalInput(text);
    if (!number) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(*number);
}

std::optional<CrcOptions> ReadCrcOptions(const std::vector<std::string>& args, std::ostream& err) {
    CrcOptions options;
    const auto take = [&](std::string_view option, const std::string& value) -> std::string {
        if (option == "--set") {
            return TakeSet(options, value);
        }
        if (option == "--dec") {
            options.decimal = true;
        } else {
            (option == "--vendor"   ? options.vendor
             : option == "--device" ? options.device
                                    : options.module) = value;
        }
        return {};
    };
    const std::optional<std::vector<std::string>> files =
        ReadArguments(args, kCrcOptions, take, err, 1, "crc takes exactly one FILE");
    if (!files) {
        return std::nullopt;
    }
    if (files->empty()) {
        Usage(err, "crc needs a catalog FILE");
        return std::nullopt;
    }
    options.file = files->front();
    return options;
}

}  // namespace norvane::cli
