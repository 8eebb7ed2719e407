// `safetycrc crc`, inside: the steps the command takes, one file each. The options
// (cli_crc_options.cpp), the module they select (cli_crc_selection.cpp), the --set values
// (cli_crc_set.cpp), the warnings about values the image cannot hold as typed
// (cli_crc_warnings.cpp), and the image with its CRC (cli_crc_output.cpp); cli_crc.cpp runs
// them in order.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalog/catalog.h"

namespace norvane::cli {

struct CrcOptions {
    std::string file;
    std::optional<std::string> vendor;
    std::optional<std::string> device;
    std::optional<std::string> module;
    std::vector<std::pair<std::string, uint32_t>> sets;  // in the order given
    bool decimal = false;
};

// A --set value: decimal with an optional sign, or 0x and up to eight hex digits; the result
// is the 32-bit pattern. Values that do not fit 32 bits are refused rather than cut.
std::optional<uint32_t> ParseSetValue(std::string_view text);
// The options after "crc"; nothing after a usage error on `err`.
std::optional<CrcOptions> ReadCrcOptions(const std::vector<std::string>& args, std::ostream& err);

// What was chosen in the catalog; the catalog's parameterList is the module's.
struct CrcSelection {
    const CatalogDevice* device = nullptr;
    const CatalogModule* module = nullptr;
};
// Selects vendor, device and module as the window does (the named ones, else the first of
// each). kExitOk, or kExitUsage with the reason on `err`.
int SelectCrcModule(CatalogData& catalog, const CrcOptions& options, CrcSelection& selection,
                    std::ostream& err);
// A name that the catalog does not have (or, with no name, nothing to select there); returns
// kExitUsage.
int UnknownName(std::ostream& err, const CrcOptions& options, std::string_view what,
                const std::optional<std::string>& name);

// Every parameter at its default value, then the --set values in order (a later one wins).
// kExitOk, or kExitUsage when a --set names no parameter.
int ApplySetValues(std::vector<CatalogParameter>& parameters, const CrcOptions& options,
                   std::ostream& err);

// A warning on `err` for each --set value that is outside its limits or wider than its field.
void WarnAboutSetValues(const std::vector<CatalogParameter>& parameters, const CrcOptions& options,
                        std::ostream& err);

// Builds the image and prints it with its CRC: kExitOk, or kExitRefused when the image cannot
// be built or gives no CRC anyone can trust.
int PrintImageAndCrc(const CrcSelection& selection, const std::vector<CatalogParameter>& parameters,
                     bool decimal, std::ostream& out);

}  // namespace norvane::cli
