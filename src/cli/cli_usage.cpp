#include "cli/cli_usage.h"

#include "cli/cli_commands.h"

namespace norvane::cli {

namespace {

constexpr Command kCommands[] = {
    {"tree", "tree FILE      parse FILE and list its element tree\n",
     "\nOne node a line, indented two blanks a level: elements with their names, attributes\n"
     "with their values as written (quotes included), texts and clear sections.\n",
     RunTree},
    {"xml", "xml FILE       parse FILE and write it back on one line\n",
     "\nThe one-line form in which the tool writes every XML file.\n", RunXml},
    {"md5", "md5 FILE       print the MD5 digest of FILE\n",
     "\n32 lowercase hexadecimal digits, as the settings file holds the digests of the catalogs\n"
     "and language packs.\n",
     RunMd5},
    {"catalog",
     "catalog FILE   list every manufacturer, device, module, parameter and item of a catalog\n",
     "\nOne record a line, in catalog order, with the values as the window reads them.\n",
     RunCatalog},
    {"crc",
     "crc FILE [--vendor NAME] [--device NAME] [--module NAME] [--set PARAM=VALUE]... [--dec]\n"
     "                 build a module's parameter image from its default values (changed by\n"
     "                 --set; VALUE is decimal or 0x-hex) and print the image and its safety CRC\n",
     "\nVendor, device and module are chosen as the window does (by default the first of each);\n"
     "every parameter starts at its default value. --dec prints the CRC in decimal.\n"
     "A --set value outside the parameter's limits or wider than its field gets a warning on\n"
     "standard error; when the image does not read back as the values (a value its field\n"
     "cannot hold, overlapping fields) the CRC line is \"crc error\" and the exit status 1.\n",
     RunCrc},
    {"tpf",
     "tpf TPF CATALOG [--dec]\n"
     "                 read a TPF file as a call by an engineering system does, find its module\n"
     "                 in CATALOG and print the decoded record, values and safety CRC\n",
     "\nThe TPF file is never deleted. A refused call prints one line \"error ID TEXT\" with the\n"
     "message the window would show. --dec prints the CRC in decimal.\n",
     RunTpf},
    {"lint",
     "lint FILE [--json]\n"
     "                 check a catalog for mistakes that reach the safety CRC or keep a module\n"
     "                 from being verified; one finding a line\n",
     "\nEach finding is one line, in catalog order:\n"
     "  LEVEL CODE MANUFACTURER DEVICE MODULE PARAMETER: TEXT\n"
     "with as many names as the finding concerns (two for a device, four for a parameter),\n"
     "escaped as in the other commands. --json prints the findings as one JSON array of objects\n"
     "(level, code, manufacturer, device, module, parameter, text; names that do not apply are\n"
     "left out; a byte that is not part of valid UTF-8 is written \\u00XX with its value).\n"
     "Exit status 1 when there is an error, 0 for warnings alone or none; a catalog that does\n"
     "not parse gives the parser's error line and 1.\n"
     "\ncodes:\n"
     "  error    no-manufacturers           the catalog holds no Hersteller element\n"
     "  error    number-out-of-range        an integer attribute does not fit the field it is\n"
     "                                      read into (it would be read as another number)\n"
     "  error    missing-name               a manufacturer, device, module or parameter has no "
     "name\n"
     "  error    missing-ident              a manufacturer, device or module has no identNumber\n"
     "  error    duplicate-ident            siblings share an identNumber\n"
     "  warning  duplicate-name             siblings (parameters of one module too) share a name\n"
     "  error    data-format                a device's dataFormat is neither Motorola nor Intel\n"
     "  error    bus-address-unverifiable   enableBusAddress with a negative busAddress\n"
     "  warning  bus-address-outside-limits busAddress outside minAddr to maxAddr\n"
     "  warning  tci-record-too-long        lenUserParam + 4 above 256: no CRC in TCI mode\n"
     "  warning  no-parameters              a module without parameters\n"
     "  error    bit-length                 bitLength 0 or above 32\n"
     "  error    unknown-type               a type other than Bool, Int and UInt\n"
     "  warning  bool-bit-length            a Bool parameter whose bitLength is not 1 (an error\n"
     "                                      for 16 and 32 bits: the byte exchange moves its bit)\n"
     "  error    field-outside-image        a field ends at or beyond 8 x (lenUserParam + 4)\n"
     "  error    field-not-covered          a field lies (partly) below bit 32, outside the CRC\n"
     "  error    field-overlap              two parameters of one module share a bit\n"
     "  error    limits-reversed            min greater than max\n"
     "  error    default-outside-limits     the default lies outside min to max\n"
     "  error    limit-exceeds-field        min or max cannot be held by bitLength bits\n"
     "  error    enum-default-not-item      an enumeration's default is no item's valueItem\n"
     "  warning  enum-item-outside-limits   an enumeration item outside min to max\n"
     "  warning  enum-duplicate-value       two items of one enumeration share a valueItem\n",
     RunLint},
    {"project",
     "project KFX CATALOG [--dec]\n"
     "                 read a project file (digest checked), match it against CATALOG as the\n"
     "                 window opens it and print what the window would show\n",
     "\nManufacturer, device and module are found by identifier, parameters by bitOffset.\n"
     "A project that cannot be read prints error 123; one that does not fit the catalog\n"
     "error 125 to 129. \"recomputed\" is the CRC over the restored values (--dec: decimal).\n",
     RunProject},
    {"record",
     "record KFX CATALOG [-o FILE] [--lang en|de]\n"
     "                 write the verification record of a verified project file as HTML\n",
     "\nThe project is read and matched against CATALOG as \"safetycrc project\" does, with the\n"
     "same error lines. A record is made only when the project holds a valid CRC, every item is\n"
     "verified and the stored CRC is the one its values give; otherwise one line\n"
     "\"error record TEXT\" and exit status 1. The page goes to standard output, or replaces FILE\n"
     "with -o. --lang de writes it in German (default: English).\n",
     RunRecord},
    {"audit",
     "audit CATALOG PATH... [--dec] [--json|--csv]\n"
     "                 open every project file named, and every *.kfx below every folder\n"
     "                 named, as the window opens it; one line per project with its status\n",
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
     "--json prints one object with the list \"projects\" and the counts in \"summary\"; --csv "
     "one\n"
     "row per project with a header row (RFC 4180, CRLF line ends; a field that is not valid\n"
     "UTF-8 is written escaped as in the text form). Exit status 0 when every project is ok,\n"
     "1 when one is not, 2 for a usage error or a catalog that cannot be read or parsed.\n",
     RunAudit},
    {"diff",
     "diff OLD NEW [--json] | diff A.kfx B.kfx CATALOG [--json]\n"
     "                 what changed between two catalogs (module by module), or between two\n"
     "                 project files opened against one catalog\n",
     "\nTwo catalogs: modules are matched by manufacturer, device and module identNumber. In\n"
     "NEW's order, then the removed ones in OLD's order:\n"
     "  added MANUFACTURER DEVICE MODULE\n"
     "  removed MANUFACTURER DEVICE MODULE\n"
     "  changed MANUFACTURER DEVICE MODULE\n"
     "followed, for a changed module, by one line per difference:\n"
     "    parameter NAME ATTRIBUTE OLD NEW     type, paramView, defaultValue, min, max,\n"
     "                                         bitOffset, bitLength\n"
     "    parameter NAME added | removed\n"
     "    parameter NAME item VALUE valueText OLD NEW\n"
     "    parameter NAME item VALUE added | removed\n"
     "    module ATTRIBUTE OLD NEW             lenModulParam, lenUserParam\n"
     "    device ATTRIBUTE OLD NEW             dataFormat\n"
     "    default-crc OLD NEW                  the CRC of the default values (\"error\": none)\n"
     "Parameters are matched by name, items by valueItem; records without a name take no part.\n"
     "The last line: modules N added A removed R changed C unchanged U.\n"
     "\nTwo project files and a catalog: both are opened as the window opens them; one line per\n"
     "difference, FIELD OLD NEW, where FIELD is manufacturer, device or module with name, ident\n"
     "or accepted; description; busAddress value or accepted; parameter NAME value or accepted;\n"
     "crc (as the window shows it, N/A when not valid). Parameters are matched by name; a side\n"
     "without the parameter shows \\0. The last line: differences N. A project that cannot be\n"
     "opened prints \"error PATH ID TEXT\".\n"
     "\n--json prints the same as one JSON object. Exit status 0 when nothing differs, 1 when\n"
     "something does (or a project cannot be opened), 2 for a usage error or a catalog that\n"
     "cannot be read or parsed.\n",
     RunDiff},
    {"selftest",
     "selftest [--report FILE]\n"
     "                 check the CRC routines, the parameter image, XML, MD5 and the bundled\n"
     "                 demo catalogs and sample project on this machine\n",
     "\nOne line per check, \"pass NAME\" or \"fail NAME DETAIL\", then\n"
     "  selftest N passed, M failed\n"
     "The checks: the CRC's parameters (width 32, polynomial 0xF4ACFB13, initial value 0, no\n"
     "reflection, no final XOR) and its check value over \"123456789\" (6C9F84A8), for the table\n"
     "and the bit-wise routine; the CRC of a parameter record; both routines against each other\n"
     "on 10000 seeded random images of 0 to 65535 bytes; image and read-back for seeded random\n"
     "modules of both data formats and every type, and no CRC for values their fields cannot\n"
     "hold; the XML writer and parser round trip on the demo catalogs and on random project\n"
     "files; MD5 of the texts of RFC 1321; the demo catalogs built into the program without a\n"
     "lint finding, and the sample project ok in each.\n"
     "--report FILE also writes the results as an HTML page with the program version, the source\n"
     "revision, the SHA-256 of this executable, the operating system, user, computer and time,\n"
     "to file with the verification records. Exit status 0 when every check passed, 1 when one\n"
     "failed, 2 for a usage error or a report that cannot be written.\n",
     RunSelfTest},
};

}  // namespace

std::span<const Command> Commands() {
    return kCommands;
}

void WriteUsage(std::ostream& out) {
    out << "usage: safetycrc COMMAND ARGS...\n\ncommands:\n";
    for (const Command& command : kCommands) {
        out << "  " << command.usage;
    }
    out << "\n"
           "exit status: 0 success, 1 input refused (reason on standard output),\n"
           "             2 usage error or unreadable file (reason on standard error)\n";
}

int Usage(std::ostream& err, std::string_view problem) {
    err << "safetycrc: " << problem << "\n\n";
    WriteUsage(err);
    return kExitUsage;
}

}  // namespace norvane::cli
