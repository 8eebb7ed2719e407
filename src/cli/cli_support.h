// What the commands of safetycrc share: reading the arguments and the input files, the lines
// that say why an input is refused, and the output forms (JSON, CSV) that more than one command
// writes. Each command lives in a file of its own (cli_usage.h lists them).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "verification/project_opening.h"
#include "xml/xml_parser.h"

namespace norvane::cli {

// An option that a command takes: a flag, or an option followed by its value.
struct Option {
    std::string_view name;
    std::string_view value;  // empty for a flag, else what the value is called ("value", "FILE")
};
// Takes one option met among the arguments, with its value (empty for a flag). Returns the
// problem for a usage error, or an empty text.
using TakeOption = std::function<std::string(std::string_view option, const std::string& value)>;
// The files among the arguments after the command name, in order; each option of `options`
// that is met goes to `take`. Any other argument that starts with '-' (but "-" alone) is an
// unknown option; a file after the first `maxFiles` is refused with `tooMany`. A problem is
// reported as it is met, as a usage error on `err`, and then there are no files.
std::optional<std::vector<std::string>> ReadArguments(const std::vector<std::string>& args,
                                                      std::span<const Option> options,
                                                      const TakeOption& take, std::ostream& err,
                                                      size_t maxFiles = SIZE_MAX,
                                                      std::string_view tooMany = {});
// ReadArguments for a command whose one option is a flag: `given` says whether it was.
std::optional<std::vector<std::string>> ReadFilesAndFlag(const std::vector<std::string>& args,
                                                         std::string_view flag, bool& given,
                                                         std::ostream& err,
                                                         size_t maxFiles = SIZE_MAX,
                                                         std::string_view tooMany = {});
// The two files of a command that takes nothing else but --dec (tpf, project), and the form
// of its CRCs (FormatCrc's: 1 with --dec, else 0); nothing after a usage error on `err`
// (`wrongCount` when there are not two files).
struct TwoFiles {
    std::string first;
    std::string second;
    int32_t crcFormat = 0;
};
std::optional<TwoFiles> ReadTwoFilesAndFormat(const std::vector<std::string>& args,
                                              std::string_view wrongCount, std::ostream& err);
// The one FILE of a command that takes nothing else (tree, xml, md5, catalog); null after a
// usage error on `err`.
const std::string* OneFileArgument(const std::vector<std::string>& args, std::ostream& err);

// Says that `path` cannot be read; returns kExitUsage.
int Unreadable(std::ostream& err, const std::string& path);
// The whole file, or nothing when it cannot be read (missing, unreadable, empty, too large).
std::optional<std::string> ReadInput(const std::string& path);
// Reads and parses an XML file: kExitOk with `root` set, or the exit status with the reason
// written (Unreadable, or the parser's line).
int ReadXmlInput(const std::string& path, XmlRoot& root, std::ostream& out, std::ostream& err);
// For a command that takes one XML file and nothing else (tree, xml): reads and parses it and
// hands its root to `print`. The exit status, the reason written when it is not kExitOk.
int WithOneXmlFile(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::function<void(const XmlElement& root)>& print);
// Reads and loads a catalog, whatever it holds: kExitOk, or kExitUsage when it cannot be read.
int LoadCatalogFile(const std::string& path, CatalogData& catalog, std::ostream& err);
// Reads and loads a catalog that must parse: kExitOk, or the exit status with the reason
// written (Unreadable, or the parser's line).
int ReadCatalogInput(const std::string& path, CatalogData& catalog, std::ostream& out,
                     std::ostream& err);
// Reads and loads the catalog that an audit or a diff works against: kExitOk, or kExitUsage
// with the reason on `err` when the file cannot be read, does not parse or holds no
// manufacturer.
int LoadReportCatalog(const std::string& path, CatalogData& catalog, std::ostream& err);
// Opens the project file at `path` over the loaded catalog as the window's Open does: 0 with
// `opened` filled, or the message the window shows instead (123, 125 to 129).
int OpenProjectFile(CatalogData& catalog, const std::string& path,
                    std::optional<OpenedProject>& opened);
// Reads the catalog file and the project file and opens them as the window does, for every
// command that works on a saved project. kExitOk with `catalog` and `opened` filled; otherwise
// the exit status, the reason already written (unreadable catalog, or the message's line).
int OpenProjectWithCatalog(const std::string& projectPath, const std::string& catalogPath,
                           CatalogData& catalog, std::optional<OpenedProject>& opened,
                           std::ostream& out, std::ostream& err);

// Replaces the file at `path` with `text`: kExitOk, or kExitUsage with the reason on `err`.
int WriteOutputFile(std::string_view text, const std::string& path, std::ostream& err);

// Every refusal is one line on standard output: "error REASON".
std::string RefusalLine(std::string_view reason);
// Writes the refusal line; returns kExitRefused.
int Refuse(std::ostream& out, std::string_view reason);
// "ID TEXT": a message as the window would show it, with its arguments, its line breaks
// written as "\n" so that it stays on one line.
std::string MessageReason(int id, std::initializer_list<std::string_view> args = {});
// Refuses with the message the window would show; returns kExitRefused.
int RefuseWithMessage(std::ostream& out, int id, std::initializer_list<std::string_view> args = {});
// A text that does not parse: "error ID TEXT at LINE:COLUMN" with the parser's error and where
// it stopped; returns kExitRefused. The second form parses `text` to find out.
int RefuseUnparsed(std::ostream& out, const XmlResults& results);
int RefuseUnparsed(std::ostream& out, std::string_view text);

// `text` as a JSON string with its quotes: valid UTF-8 stays as it is; quote, backslash and
// control characters are escaped; every byte that is not part of valid UTF-8 becomes \u00XX
// with the byte's value, so that the output is always valid JSON and the byte stays known.
std::string JsonString(std::string_view text);
// A field of a CSV row (RFC 4180): a text that is valid UTF-8 as it is, any other as the text
// form writes it (EscapeField); enclosed in double quotes (inner ones doubled) when it then
// holds a comma, a quote or a line break.
std::string CsvField(std::string_view text);

}  // namespace norvane::cli
