// `safetycrc audit`: every project file of a plant, opened against one catalog as the window's
// Open opens it, one line per project with its status.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"

namespace norvane::cli {

inline constexpr std::string_view kAuditUsage =
    "audit CATALOG PATH... [--dec] [--json|--csv]\n"
    "                 open every project file named, and every *.kfx below every folder\n"
    "                 named, as the window opens it; one line per project with its status\n";

inline constexpr std::string_view kAuditHelp =
    "\nFolders are searched below (links to folders are not followed), their files taken in\n"
    "byte order of the path; the catalog is read once. One line per project:\n"
    "  STATUS PATH MANUFACTURER DEVICE MODULE CRC RECOMPUTED DETAIL\n"
    "STATUS is one of\n"
    "  ok          it opens, every item is verified, the stored CRC is valid and the CRC of its\n"
    "              values\n"
    "  unverified  it opens, but not every item is verified or the stored CRC is not marked\n"
    "              valid\n"
    "  stale       the stored CRC is marked valid but the values give another (or none), or a\n"
    "              value marked verified no longer fits its limits, items or field\n"
    "  unmatched   it does not fit the catalog (messages 125 to 129)\n"
    "  unreadable  not a project file, changed outside the program (digest), or unreadable\n"
    "The names are the catalog's records the project was matched to (\\0 where matching did\n"
    "not get that far), CRC the stored one (N/A when not marked valid), RECOMPUTED the CRC its\n"
    "values give (\"error\" when none can be given, \\0 when it was not opened), both in\n"
    "hexadecimal (--dec: decimal). DETAIL says why the status is not ok, in words; a name in it\n"
    "is escaped as every field. The last line counts them:\n"
    "  projects N ok A unverified B stale C unmatched D unreadable E\n"
    "--json prints one object with the list \"projects\" and the counts in \"summary\"; --csv one\n"
    "row per project with a header row (RFC 4180, CRLF line ends; a field that is not valid\n"
    "UTF-8 is written escaped as in the text form). Exit status 0 when every project is ok,\n"
    "1 when one is not, 2 for a usage error or a catalog that cannot be read or parsed.\n";

int Audit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Reads and loads the catalog that an audit or a diff works against: kExitOk, or kExitUsage
// with the reason on `err` when the file cannot be read, does not parse or holds no
// manufacturer.
int LoadReportCatalog(const std::string& path, CatalogData& catalog, std::ostream& err);

// A field of a CSV row (RFC 4180): a text that is valid UTF-8 as it is, any other as the text
// form writes it (EscapeField); enclosed in double quotes (inner ones doubled) when it then
// holds a comma, a quote or a line break.
std::string CsvField(std::string_view text);

}  // namespace norvane::cli
