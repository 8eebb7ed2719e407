// The verification record: what a commissioning engineer verified (which module of which
// catalog, the marks of vendor, device, bus address and module, every parameter's value and
// mark, the CRC) with empty lines for the signature. It is made from a plain struct, so that
// the window and a saved project fill it the same way, and worded once, as a RecordDocument,
// which the window lays out on printed pages and `safetycrc record` writes as one HTML page.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "verification/verification_model.h"

namespace norvane {

enum class RecordLanguage { English, German };

struct RecordParameter {
    std::string name;
    std::string value;  // as the overview shows it
    std::string min;
    std::string max;
    bool verified = false;
};

struct VerificationRecord {
    std::string programName;
    std::string programVersion;
    std::string dateTime;  // ISO 8601 with offset, see FormatIsoDateTime
    std::string loginName;
    std::string hostName;

    bool tciMode = false;     // false: edit mode
    std::string tpfFileName;  // TCI mode: the name of the TPF file the call came with
    std::string projectPath;  // empty when there is no project file
    std::string catalogFileName;
    std::string catalogMd5;

    std::string manufacturerName;
    std::string manufacturerIdent;
    std::string deviceName;
    std::string deviceIdent;
    std::string moduleName;
    std::string moduleIdent;
    std::string description;
    std::optional<std::string> busAddress;  // none: the record says so
    // The marks of the four header items of the window's tree.
    bool manufacturerVerified = false;
    bool deviceVerified = false;
    bool busAddressVerified = false;
    bool moduleVerified = false;
    // TCI mode: where the calling engineering system put the module.
    std::optional<uint32_t> slot;
    std::string ipAddress;  // of a PROFINET device; empty for PROFIBUS

    std::vector<RecordParameter> parameters;
    uint32_t crc = 0;
};

// One line of a table of facts: "Vendor | Norvane Automation (ident 0x0317) | verified".
struct RecordFact {
    std::string label;
    std::string value;
    std::string note;          // after the value, less prominent: "(ident 0x0317)"
    std::string mark;          // the verification mark, or empty for a fact without one
    bool markMissing = false;  // the mark says that the item was NOT verified
    bool crc = false;          // a CRC: shown large, in a fixed-width font
};

struct RecordFactTable {
    std::string heading;  // empty: none
    std::vector<RecordFact> facts;
};

inline constexpr size_t kRecordColumns = 5;  // name, value, min., max., mark

struct RecordTableRow {
    std::array<std::string, kRecordColumns> cells;
    bool missing = false;  // the parameter was NOT verified
};

// Every text of a record in one language, in reading order.
struct RecordDocument {
    std::string language;  // "en" or "de"
    std::string title;
    std::vector<RecordFactTable> sections;  // before the parameters: the run, the module
    std::string parametersHeading;
    std::array<std::string, kRecordColumns> columns;
    std::vector<RecordTableRow> rows;
    std::string noParameters;  // in place of the table for a module without parameters
    RecordFactTable crc;
    std::array<std::string, 3> signature;  // "Verified by", "Date", "Signature"
    // The footer of every printed page: the module, the CRC in both forms, the page.
    std::string footerModule;
    std::string footerCrc;
    std::string pageOf;  // with %1 for the page and %2 for the number of pages
};

RecordDocument MakeRecordDocument(const VerificationRecord& record, RecordLanguage language);

// "Page 2 of 5" in the document's language.
std::string RecordPageNumber(const RecordDocument& document, size_t page, size_t pages);

// The whole HTML document, every text from the record escaped, in the given language.
std::string MakeVerificationRecordHtml(const VerificationRecord& record, RecordLanguage language);

// A row as the overview shows the parameter; `items` are its enumeration items (for an Enum
// parameter) and `invalid` the overview's text for a value that matches none.
RecordParameter MakeRecordParameter(const CatalogParameter& parameter,
                                    const std::vector<CatalogEnumItem>& items,
                                    std::string_view invalid);

// The overview's text for an enumeration value that matches none of its items; the same in
// every language.
inline constexpr std::string_view kOverviewInvalidText = "Ungültig";

// The catalog as the record names it: the file's name (without its folder) and the MD5
// digest of `catalogText`, the bytes that were loaded, whatever the file holds by now.
void FillRecordCatalog(VerificationRecord& record, const std::string& catalogPath,
                       std::string_view catalogText);

// The module part of a record: manufacturer, device and module with their identifiers, the
// device's description, its bus address (none for a device that does not use one) and one
// row per parameter of `parameterList` as the overview shows it, `invalid` standing for an
// enumeration value that matches no item.
void FillRecordModule(VerificationRecord& record, const CatalogManufacturer& manufacturer,
                      const CatalogDevice& device, const CatalogModule& module,
                      const std::vector<CatalogParameter>& parameterList, std::string_view invalid);

// The module part of a record as the verification model holds it; a PROFINET call's device is
// addressed by the IP address of the call, as its tree line shows.
void FillRecordModule(VerificationRecord& record, const VerificationModel& model,
                      std::string_view invalid);
// The name a saved record is offered under: the project file's name with ".pdf", or the
// module's name when there is no project file; made safe as one name of a folder.
std::string RecordPdfFileName(const std::string& projectPath, const std::string& moduleName);

// "2026-12-08T21:30:05+01:00": `local` is the broken-down local time, `offsetSeconds` its
// distance east of UTC.
std::string FormatIsoDateTime(const std::tm& local, long offsetSeconds);

// Program name and version (as the About box and the window name them), the current local
// time, login and host name of this process.
void FillRecordEnvironment(VerificationRecord& record, std::time_t now);

// What every printed page of the program shares, so that the self-test page looks like the
// record: the table attributes (simple HTML renderers such as a print preview's rich text
// honour only those, browsers the style too) and the start of the style sheet (paper, fonts,
// headings, tables), to which each page adds its own rules.
inline constexpr std::string_view kPageTableAttributes =
    " width=\"100%\" cellspacing=\"0\" cellpadding=\"4\"";
inline constexpr std::string_view kPageStyle =
    "@page { size: A4; margin: 18mm 16mm; }\n"
    "body { font-family: sans-serif; font-size: 10pt; color: #000; background: #fff; }\n"
    "h1 { font-size: 16pt; margin: 0 0 4mm 0; }\n"
    "h2 { font-size: 12pt; margin: 6mm 0 2mm 0; }\n"
    "table { border-collapse: collapse; width: 100%; }\n"
    "th, td { text-align: left; vertical-align: top; padding: 1mm 2mm; "
    "word-break: break-word; }\n";

// Text for an HTML page in UTF-8, as the record writes every text: markup characters escaped,
// a byte that is not part of valid UTF-8 taken as Latin-1, a control byte written \xHH.
std::string HtmlText(std::string_view text);

}  // namespace norvane
