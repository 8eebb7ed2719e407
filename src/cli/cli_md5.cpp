// `safetycrc md5`: a file's digest, as the settings file holds the digests it checks.
#include "base/md5_digest.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"

namespace norvane::cli {

int RunMd5(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string* file = OneFileArgument(args, err);
    if (file == nullptr) {
        return kExitUsage;
    }
    const std::optional<std::string> digest = FileMd5(*file);
    if (!digest) {
        err << "safetycrc: cannot read " << *file << '\n';
        return kExitUsage;
    }
    out << *digest << '\n';
    return kExitOk;
}

}  // namespace norvane::cli
