// `safetycrc md5`: a file's digest, as the settings file holds the digests it checks.
#include "base/md5_digest.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"

namespace norvane::cli {

namespace {

// What the usage lists for the command, and what "safetycrc help md5" adds.
constexpr std::string_view kUsage = "md5 FILE       print the MD5 digest of FILE\n";
constexpr std::string_view kHelp =
    "\n32 lowercase hexadecimal digits, as the settings file holds the digests of the catalogs\n"
    "and language packs.\n";

int Md5(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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

}  // namespace

constinit const Command kMd5Command = {"md5", kUsage, kHelp, Md5};

}  // namespace norvane::cli
