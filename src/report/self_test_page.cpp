// The self-test's environment and its printable page.
#include <openssl/evp.h>
#include <sys/utsname.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "base/byte_text.h"
#include "base/source_revision.h"
#include "base/whole_file.h"
#include "report/self_test.h"
#include "report/verification_record.h"

namespace norvane {

namespace {

// "Debian GNU/Linux 12 (bookworm)" from the os-release file; empty when there is none.
std::string DistributionName() {
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::string text;
        try {
            text = ReadWholeFile(path);
        } catch (const FileError&) {
            continue;
        }
        constexpr std::string_view kKey = "PRETTY_NAME=";
        size_t line = 0;
        while (line < text.size()) {
            const size_t end = std::min(text.find('\n', line), text.size());
            std::string_view entry(text.data() + line, end - line);
            if (entry.starts_with(kKey)) {
                entry.remove_prefix(kKey.size());
                if (entry.size() >= 2 && (entry.front() == '"' || entry.front() == '\'') &&
                    entry.back() == entry.front()) {
                    entry = entry.substr(1, entry.size() - 2);
                }
                return std::string(entry);
            }
            line = end + 1;
        }
    }
    return {};
}

std::string OperatingSystem() {
    std::string text = DistributionName();
    utsname names{};
    if (uname(&names) == 0) {
        text += (text.empty() ? "" : ", ") + std::string(names.sysname) + " " + names.release +
                " " + names.version + " " + names.machine;
    }
    return text;
}

struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

void Fact(std::string& out, std::string_view label, std::string_view value) {
    out +=
        "<tr><th width=\"32%\">" + HtmlText(label) + "</th><td>" + HtmlText(value) + "</td></tr>\n";
}

// The page's own rules, after those of every printed page.
constexpr std::string_view kStyle =
    "table.facts th { font-weight: normal; color: #333; }\n"
    "table.checks th, table.checks td { border: 0.3mm solid #555; }\n"
    "table.checks thead { display: table-header-group; }\n"
    "table.checks tr { page-break-inside: avoid; }\n"
    ".digest { font-family: monospace; }\n"
    ".failed { font-weight: bold; }\n"
    ".summary { font-size: 12pt; font-weight: bold; margin-top: 4mm; }\n";

}  // namespace

std::string FileSha256(const std::string& path) {
    const std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
        return {};
    }
    try {
        RegularFileReader reader(path);
        char buffer[65536];
        while (const size_t count = reader.Read(buffer, sizeof buffer)) {
            if (EVP_DigestUpdate(context.get(), buffer, count) != 1) {
                return {};
            }
        }
    } catch (const FileError&) {
        return {};
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) {
        return {};
    }
    return HexBytes(std::span<const uint8_t>(digest, length));
}

SelfTestEnvironment CurrentSelfTestEnvironment(std::time_t now, std::string qtVersion) {
    VerificationRecord who;
    FillRecordEnvironment(who, now);
    SelfTestEnvironment environment;
    environment.programName = who.programName;
    environment.programVersion = who.programVersion;
    environment.sourceRevision = std::string(SourceRevision());
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    environment.executablePath = error ? std::string() : executable.string();
    environment.executableSha256 = FileSha256("/proc/self/exe");
    environment.operatingSystem = OperatingSystem();
    environment.qtVersion = std::move(qtVersion);
    environment.loginName = who.loginName;
    environment.hostName = who.hostName;
    environment.dateTime = who.dateTime;
    return environment;
}

std::string MakeSelfTestHtml(const SelfTestEnvironment& environment,
                             const std::vector<SelfTestCheck>& checks) {
    const size_t failed = FailedChecks(checks);
    std::string out;
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
    out += "Self-test - " + HtmlText(environment.programName);
    out += "</title>\n<style>\n";
    out += kPageStyle;
    out += kStyle;
    out += "</style>\n</head>\n<body>\n<h1>Self-test of the " + HtmlText(environment.programName) +
           "</h1>\n<table class=\"facts\"" + std::string(kPageTableAttributes) + ">\n";
    Fact(out, "Program", environment.programName + " " + environment.programVersion);
    Fact(out, "Source revision", environment.sourceRevision);
    Fact(out, "Executable", environment.executablePath);
    out += "<tr><th width=\"32%\">SHA-256 of the executable</th><td class=\"digest\">" +
           HtmlText(environment.executableSha256.empty() ? "could not be read"
                                                         : environment.executableSha256) +
           "</td></tr>\n";
    Fact(out, "Operating system", environment.operatingSystem);
    Fact(out, "Qt", environment.qtVersion);
    Fact(out, "User", environment.loginName);
    Fact(out, "Computer", environment.hostName);
    Fact(out, "Date and time", environment.dateTime);
    out += "</table>\n<h2>Checks</h2>\n<table class=\"checks\" border=\"1\"" +
           std::string(kPageTableAttributes) +
           ">\n<thead><tr><th>Check</th><th>What it shows</th><th>Result</th></tr></thead>\n"
           "<tbody>\n";
    for (const SelfTestCheck& check : checks) {
        out += "<tr><td>" + HtmlText(check.name) + "</td><td>" + HtmlText(check.description) +
               "</td><td";
        out += check.passed ? ">pass" : " class=\"failed\">FAIL: " + HtmlText(check.detail);
        out += "</td></tr>\n";
    }
    out += "</tbody>\n</table>\n<p class=\"summary\">" + std::to_string(checks.size() - failed) +
           " passed, " + std::to_string(failed) + " failed</p>\n</body>\n</html>\n";
    return out;
}

}  // namespace norvane
