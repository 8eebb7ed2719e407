// `safetycrc crc`: the image of the module's values and its safety CRC, or why there is none.
#include "base/byte_text.h"
#include "cli/cli_commands.h"
#include "cli/cli_crc.h"
#include "cli/cli_support.h"
#include "safety/param_stream.h"
#include "safety/parameter_values.h"

namespace norvane::cli {

int PrintImageAndCrc(const CrcSelection& selection, const std::vector<CatalogParameter>& parameters,
                     bool decimal, std::ostream& out) {
    const CatalogModule& module = *selection.module;
    ParamStream image;
    try {
        image = BuildParamStream(selection.device->dataFormat, uint32_t{module.lenUserParam} + 4,
                                 parameters);
    } catch (const ParamStreamError& error) {
        return Refuse(out, "image " + std::string(error.what()));
    }
    std::optional<uint32_t> crc;
    try {
        crc = ImageSafetyCrc(image, module.lenUserParam, parameters);
    } catch (const ParamStreamError&) {
        // The image does not read back as the values, or the two CRC routines disagree: no
        // number at all rather than one nobody can trust.
    }
    out << "image " << HexBytes(image.data) << "\ncrc " << FormatCrcOrError(crc, decimal ? 1 : 0)
        << '\n';
    return crc ? kExitOk : kExitRefused;
}

}  // namespace norvane::cli
