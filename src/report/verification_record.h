// The verification record: one self-contained HTML page, printable on A4, that states what a
// commissioning engineer verified (which module of which catalog, every parameter's value and
// mark, the CRC) with empty lines for the signature. It is made from a plain struct, so that
// the window and a saved project fill it the same way.
#pragma once

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

    std::vector<RecordParameter> parameters;
    uint32_t crc = 0;
};

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

// "2026-12-08T21:30:05+01:00": `local` is the broken-down local time, `offsetSeconds` its
// distance east of UTC.
std::string FormatIsoDateTime(const std::tm& local, long offsetSeconds);

// Program name and version, the current local time, login and host name of this process.
void FillRecordEnvironment(VerificationRecord& record, std::time_t now);

// Text for an HTML page in UTF-8, as the record writes every text: markup characters escaped,
// a byte that is not part of valid UTF-8 taken as Latin-1, a control byte written \xHH.
std::string HtmlText(std::string_view text);

}  // namespace norvane
