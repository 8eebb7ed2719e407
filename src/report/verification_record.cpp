#include "report/verification_record.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/byte_text.h"
#include "base/md5_digest.h"
#include "base/program_version.h"
#include "base/utf8_text.h"
#include "safety/parameter_values.h"

namespace norvane {

namespace {

// The record's words. Where the window has a word for a thing, the record uses the same one
// (the language packs' labels, column heads and marks); a test holds the two together.
struct Texts {
    std::string_view htmlLanguage;
    std::string_view title;
    std::string_view program;
    std::string_view version;
    std::string_view dateTime;
    std::string_view user;
    std::string_view host;
    std::string_view mode;
    std::string_view editMode;
    std::string_view tciMode;  // followed by the TPF file's name
    std::string_view slot;
    std::string_view ipAddress;
    std::string_view projectFile;
    std::string_view catalog;
    std::string_view catalogMd5;
    std::string_view manufacturer;
    std::string_view device;
    std::string_view module;
    std::string_view ident;
    std::string_view description;
    std::string_view busAddress;
    std::string_view none;
    std::string_view parameters;
    std::string_view name;
    std::string_view value;
    std::string_view min;
    std::string_view max;
    std::string_view verifiedColumn;
    std::string_view verified;
    std::string_view notVerified;
    std::string_view crc;
    std::string_view hexadecimal;
    std::string_view decimal;
    std::string_view hexShort;
    std::string_view decShort;
    std::string_view verifiedBy;
    std::string_view date;
    std::string_view signature;
    std::string_view pageOf;
};

constexpr Texts kEnglish = {
    "en",
    "Verification record",
    "Program",
    "Version",
    "Date and time",
    "User",
    "Computer",
    "Mode",
    "Edit",
    "TCI, TPF file",
    "Slot",
    "IP address",
    "Project file",
    "Device catalog",
    "MD5 of the device catalog",
    "Vendor",
    "Device",
    "Module",
    "ident",
    "Description",
    "Bus-Address",
    "none",
    "Parameter",
    "Name",
    "Value",
    "min.",
    "max.",
    "Verified",
    "verified",
    "NOT verified",
    "CRC module",
    "hexadecimal",
    "decimal",
    "Hex",
    "Dec",
    "Verified by",
    "Date",
    "Signature",
    "Page %1 of %2",
};

constexpr Texts kGerman = {
    "de",
    "Verifikationsprotokoll",
    "Programm",
    "Version",
    "Datum und Uhrzeit",
    "Benutzer",
    "Rechner",
    "Betriebsart",
    "Bearbeiten",
    "TCI, TPF-Datei",
    "Steckplatz",
    "IP-Adresse",
    "Projektdatei",
    "Gerätekatalog",
    "MD5 des Gerätekatalogs",
    "Hersteller",
    "Gerät",
    "Baugruppe",
    "Kennung",
    "Beschreibung",
    "Busadresse",
    "keine",
    "Parameter",
    "Name",
    "Wert",
    "min.",
    "max.",
    "Verifiziert",
    "verifiziert",
    "NICHT verifiziert",
    "Baugruppen-CRC",
    "hexadezimal",
    "dezimal",
    "Hex",
    "Dez",
    "Verifiziert von",
    "Datum",
    "Unterschrift",
    "Seite %1 von %2",
};

const Texts& TextsFor(RecordLanguage language) {
    return language == RecordLanguage::German ? kGerman : kEnglish;
}

// Text for an HTML page in UTF-8. Names may come from a catalog in another encoding: a byte
// that is not part of valid UTF-8 is taken as Latin-1 (&#xE4; for E4), so the page stays
// valid and the byte recognisable. Control bytes, which HTML cannot show, become \xHH.
std::string Html(std::string_view text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        switch (byte) {
            case '&':
                out += "&amp;";
                ++i;
                continue;
            case '<':
                out += "&lt;";
                ++i;
                continue;
            case '>':
                out += "&gt;";
                ++i;
                continue;
            case '"':
                out += "&quot;";
                ++i;
                continue;
            case '\'':
                out += "&#39;";
                ++i;
                continue;
            default:
                break;
        }
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            AppendHexByte(out, byte, HexCase::Upper);
            ++i;
            continue;
        }
        const size_t length = Utf8SequenceLength(text.substr(i));
        if (length == 0) {
            out += "&#x";
            AppendHexByte(out, byte, HexCase::Upper);
            out += ';';
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

// The record's own rules, after those of every printed page.
constexpr std::string_view kStyle =
    "table.facts th { width: 35%; font-weight: normal; color: #333; }\n"
    "table.facts td.mark { width: 20%; white-space: nowrap; }\n"
    "table.parameters th, table.parameters td { border: 0.3mm solid #555; }\n"
    "table.parameters td.number { white-space: nowrap; }\n"
    "table.parameters thead { display: table-header-group; }\n"
    "table.parameters tr { page-break-inside: avoid; }\n"
    ".ident { color: #333; }\n"
    ".crc { font-family: monospace; font-size: 14pt; font-weight: bold; }\n"
    ".missing { font-weight: bold; }\n"
    ".signoff-block { page-break-inside: avoid; }\n"
    "table.signoff { margin-top: 8mm; }\n"
    "table.signoff th { width: 25%; font-weight: normal; padding-top: 10mm; "
    "vertical-align: bottom; }\n"
    "table.signoff td { border-bottom: 1px solid #000; padding-top: 10mm; }\n";

void FactTableHtml(std::string& out, const RecordFactTable& table) {
    if (!table.heading.empty()) {
        out += "<h2>" + Html(table.heading) + "</h2>\n";
    }
    out += "<table class=\"facts\"" + std::string(kPageTableAttributes) + ">\n";
    for (const RecordFact& fact : table.facts) {
        out += "<tr><th width=\"35%\">" + Html(fact.label) + "</th><td>";
        out += fact.crc ? "<span class=\"crc\">" + Html(fact.value) + "</span>" : Html(fact.value);
        if (!fact.note.empty()) {
            out += " <span class=\"ident\">" + Html(fact.note) + "</span>";
        }
        out += "</td>";
        if (!fact.mark.empty()) {
            // A mark that confirms carries a check mark, as the window's tree does.
            out +=
                fact.markMissing ? "<td class=\"mark missing\">" : "<td class=\"mark\">&#x2713; ";
            out += Html(fact.mark) + "</td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n";
}

std::string NoteOfIdent(const Texts& t, const std::string& ident) {
    return "(" + std::string(t.ident) + " " + ident + ")";
}

RecordFact MarkedFact(const Texts& t, std::string_view label, std::string value, std::string note,
                      bool verified) {
    return {std::string(label), std::move(value),
            std::move(note),    std::string(verified ? t.verified : t.notVerified),
            !verified,          false};
}

}  // namespace

RecordDocument MakeRecordDocument(const VerificationRecord& record, RecordLanguage language) {
    const Texts& t = TextsFor(language);
    RecordDocument document;
    document.language = t.htmlLanguage;
    document.title = t.title;
    const auto fact = [](std::string_view label, std::string value) {
        return RecordFact{std::string(label), std::move(value), {}, {}, false, false};
    };

    RecordFactTable run;
    run.facts.push_back(fact(t.program, record.programName + ", " + std::string(t.version) + " " +
                                            record.programVersion));
    run.facts.push_back(fact(t.dateTime, record.dateTime));
    run.facts.push_back(fact(t.user, record.loginName));
    run.facts.push_back(fact(t.host, record.hostName));
    run.facts.push_back(fact(t.mode, record.tciMode
                                         ? std::string(t.tciMode) + " " + record.tpfFileName
                                         : std::string(t.editMode)));
    run.facts.push_back(
        fact(t.projectFile, record.projectPath.empty() ? std::string(t.none) : record.projectPath));
    run.facts.push_back(fact(t.catalog, record.catalogFileName));
    run.facts.push_back(fact(t.catalogMd5, record.catalogMd5));
    document.sections.push_back(std::move(run));

    RecordFactTable module;
    module.heading = t.module;
    module.facts.push_back(MarkedFact(t, t.manufacturer, record.manufacturerName,
                                      NoteOfIdent(t, record.manufacturerIdent),
                                      record.manufacturerVerified));
    module.facts.push_back(MarkedFact(t, t.device, record.deviceName,
                                      NoteOfIdent(t, record.deviceIdent), record.deviceVerified));
    module.facts.push_back(fact(t.description, record.description));
    if (record.busAddress) {
        module.facts.push_back(
            MarkedFact(t, t.busAddress, *record.busAddress, {}, record.busAddressVerified));
    } else {
        // A device that does not use its address: nothing there to verify, unless the window
        // had the user confirm it all the same.
        RecordFact none = fact(t.busAddress, std::string(t.none));
        if (record.busAddressVerified) {
            none.mark = t.verified;
        }
        module.facts.push_back(std::move(none));
    }
    module.facts.push_back(MarkedFact(t, t.module, record.moduleName,
                                      NoteOfIdent(t, record.moduleIdent), record.moduleVerified));
    if (record.tciMode && record.slot) {
        module.facts.push_back(fact(t.slot, std::to_string(*record.slot)));
    }
    if (record.tciMode && !record.ipAddress.empty()) {
        module.facts.push_back(fact(t.ipAddress, record.ipAddress));
    }
    document.sections.push_back(std::move(module));

    document.parametersHeading = t.parameters;
    document.columns = {std::string(t.name), std::string(t.value), std::string(t.min),
                        std::string(t.max), std::string(t.verifiedColumn)};
    for (const RecordParameter& parameter : record.parameters) {
        document.rows.push_back({{parameter.name, parameter.value, parameter.min, parameter.max,
                                  std::string(parameter.verified ? t.verified : t.notVerified)},
                                 !parameter.verified});
    }
    document.noParameters = t.none;

    const std::string hex = FormatCrc(true, record.crc, 0);
    const std::string dec = FormatCrc(true, record.crc, 1);
    document.crc.heading = t.crc;
    document.crc.facts.push_back({std::string(t.hexadecimal), hex, {}, {}, false, true});
    document.crc.facts.push_back({std::string(t.decimal), dec, {}, {}, false, true});
    document.signature = {std::string(t.verifiedBy), std::string(t.date), std::string(t.signature)};
    document.footerModule = std::string(t.module) + " " + record.moduleName;
    document.footerCrc =
        "CRC " + hex + " " + std::string(t.hexShort) + " / " + dec + " " + std::string(t.decShort);
    document.pageOf = t.pageOf;
    return document;
}

std::string RecordPageNumber(const RecordDocument& document, size_t page, size_t pages) {
    std::string text = document.pageOf;
    for (const auto& [mark, number] :
         {std::pair<std::string_view, size_t>{"%1", page}, {"%2", pages}}) {
        if (const size_t at = text.find(mark); at != std::string::npos) {
            text.replace(at, mark.size(), std::to_string(number));
        }
    }
    return text;
}

std::string HtmlText(std::string_view text) {
    return Html(text);
}

std::string MakeVerificationRecordHtml(const VerificationRecord& record, RecordLanguage language) {
    const RecordDocument document = MakeRecordDocument(record, language);
    std::string out;
    out += "<!DOCTYPE html>\n<html lang=\"";
    out += document.language;
    out += "\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
    out += Html(document.title) + " - " + Html(record.moduleName);
    out += "</title>\n<style>\n";
    out += kPageStyle;
    out += kStyle;
    out += "</style>\n</head>\n<body>\n<h1>";
    out += Html(document.title);
    out += "</h1>\n";
    for (const RecordFactTable& section : document.sections) {
        FactTableHtml(out, section);
    }
    out += "<h2>" + Html(document.parametersHeading) + "</h2>\n";
    if (document.rows.empty()) {
        out += "<p>" + Html(document.noParameters) + "</p>\n";
    } else {
        out += "<table class=\"parameters\" border=\"1\"" + std::string(kPageTableAttributes) +
               ">\n<thead><tr>";
        for (const std::string& column : document.columns) {
            out += "<th>" + Html(column) + "</th>";
        }
        out += "</tr></thead>\n<tbody>\n";
        for (const RecordTableRow& row : document.rows) {
            out += "<tr><td>" + Html(row.cells[0]) + "</td>";
            for (size_t column = 1; column + 1 < kRecordColumns; ++column) {
                out += "<td class=\"number\">" + Html(row.cells[column]) + "</td>";
            }
            out += row.missing ? "<td class=\"missing\">" : "<td>&#x2713; ";
            out += Html(row.cells[kRecordColumns - 1]) + "</td></tr>\n";
        }
        out += "</tbody>\n</table>\n";
    }
    out += "<div class=\"signoff-block\">\n";
    FactTableHtml(out, document.crc);
    out += "<table class=\"signoff\"" + std::string(kPageTableAttributes) + ">\n";
    for (const std::string& label : document.signature) {
        // The label sits on the line that is signed on.
        out += "<tr valign=\"bottom\"><th width=\"25%\">" + Html(label) +
               "</th><td width=\"75%\">&nbsp;<br>&nbsp;</td></tr>\n";
    }
    out += "</table>\n</div>\n</body>\n</html>\n";
    return out;
}

RecordParameter MakeRecordParameter(const CatalogParameter& parameter,
                                    const std::vector<CatalogEnumItem>& items,
                                    std::string_view invalid) {
    OverviewCells cells = MakeOverviewCells(parameter, items, invalid);
    return {parameter.name, std::move(cells.value), std::move(cells.min), std::move(cells.max),
            parameter.verified != 0};
}

void FillRecordCatalog(VerificationRecord& record, const std::string& catalogPath,
                       std::string_view catalogText) {
    record.catalogFileName = std::filesystem::path(catalogPath).filename().string();
    record.catalogMd5 = Md5Digest::DigestOf(catalogText);
}

void FillRecordModule(VerificationRecord& record, const CatalogManufacturer& manufacturer,
                      const CatalogDevice& device, const CatalogModule& module,
                      const std::vector<CatalogParameter>& parameterList,
                      std::string_view invalid) {
    record.manufacturerName = manufacturer.name;
    record.manufacturerIdent = manufacturer.identNumber;
    record.deviceName = device.name;
    record.deviceIdent = device.identNumber;
    record.moduleName = module.name;
    record.moduleIdent = module.identNumber;
    record.description = device.description;
    // A device that does not use its address has nothing to verify there; the number it
    // happens to hold would only suggest otherwise.
    if (device.enableBusAddress != 0) {
        record.busAddress = std::to_string(device.busAddress);
    } else {
        record.busAddress.reset();
    }
    record.parameters.clear();
    for (const CatalogParameter& parameter : parameterList) {
        const std::vector<CatalogEnumItem> items = parameter.paramView == ParamView::Enum
                                                       ? ReadEnumItems(parameter.node)
                                                       : std::vector<CatalogEnumItem>();
        record.parameters.push_back(MakeRecordParameter(parameter, items, invalid));
    }
}

void FillRecordModule(VerificationRecord& record, const VerificationModel& model,
                      std::string_view invalid) {
    FillRecordModule(record, model.SelectedManufacturer(), model.SelectedDevice(),
                     model.SelectedModule(), model.Parameters(), invalid);
    if (record.busAddress && model.Bus() == BusKind::Profinet) {
        record.busAddress = model.BusAddressText();
    }
    record.manufacturerVerified = model.IsVerified({ItemKind::Vendor});
    record.deviceVerified = model.IsVerified({ItemKind::Device});
    record.busAddressVerified = model.IsVerified({ItemKind::BusAddress});
    record.moduleVerified = model.IsVerified({ItemKind::Module});
}

std::string RecordPdfFileName(const std::string& projectPath, const std::string& moduleName) {
    std::string stem =
        projectPath.empty() ? moduleName : std::filesystem::path(projectPath).stem().string();
    // A name the file system takes: no folder separators, no control bytes, not hidden.
    for (char& c : stem) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || byte < 0x20 || byte == 0x7F) {
            c = '_';
        }
    }
    while (!stem.empty() && (stem.front() == '.' || stem.front() == ' ' || stem.front() == '-')) {
        stem.erase(stem.begin());
    }
    if (stem.size() > 200) {
        stem.resize(200);  // may cut a UTF-8 sequence; the chooser shows it as it is
    }
    return (stem.empty() ? std::string("record") : stem) + ".pdf";
}

std::string FormatIsoDateTime(const std::tm& local, long offsetSeconds) {
    const char sign = offsetSeconds < 0 ? '-' : '+';
    const long magnitude = offsetSeconds < 0 ? -offsetSeconds : offsetSeconds;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, sign, magnitude / 3600, (magnitude % 3600) / 60);
    return text;
}

void FillRecordEnvironment(VerificationRecord& record, std::time_t now) {
    record.programName = std::string(kProgramName);
    record.programVersion = std::string(kProgramVersion);
    std::tm local{};
    if (localtime_r(&now, &local) != nullptr) {
        record.dateTime = FormatIsoDateTime(local, local.tm_gmtoff);
    }
    // The account the process runs as; the environment only when the account has no entry.
    record.loginName.clear();
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr) {
        record.loginName = found->pw_name;
    } else if (const char* user = std::getenv("USER"); user != nullptr) {
        record.loginName = user;
    }
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        record.hostName = host;
    }
}

}  // namespace norvane
