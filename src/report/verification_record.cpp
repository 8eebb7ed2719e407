#include "report/verification_record.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/program_version.h"
#include "base/utf8_text.h"
#include "safety/parameter_values.h"
#include "settings/md5_digest.h"

namespace norvane {

namespace {

struct Texts {
    std::string_view htmlLanguage;
    std::string_view title;
    std::string_view program;
    std::string_view dateTime;
    std::string_view user;
    std::string_view host;
    std::string_view mode;
    std::string_view editMode;
    std::string_view tciMode;  // followed by the TPF file's name
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
    std::string_view verifiedBy;
    std::string_view date;
    std::string_view signature;
};

constexpr Texts kEnglish = {
    "en",
    "Verification record",
    "Program",
    "Date and time",
    "User",
    "Computer",
    "Mode",
    "Edit",
    "TCI, TPF file",
    "Project file",
    "Device catalog",
    "MD5 of the device catalog",
    "Manufacturer",
    "Device",
    "Module",
    "ident",
    "Description",
    "Bus address",
    "none",
    "Parameters",
    "Name",
    "Value",
    "min.",
    "max.",
    "Verified",
    "verified",
    "NOT verified",
    "Safety CRC",
    "hexadecimal",
    "decimal",
    "Verified by",
    "Date",
    "Signature",
};

constexpr Texts kGerman = {
    "de",
    "Verifikationsprotokoll",
    "Programm",
    "Datum und Uhrzeit",
    "Benutzer",
    "Rechner",
    "Betriebsart",
    "Bearbeiten",
    "TCI, TPF-Datei",
    "Projektdatei",
    "Gerätekatalog",
    "MD5 des Gerätekatalogs",
    "Hersteller",
    "Gerät",
    "Modul",
    "Kennung",
    "Beschreibung",
    "Busadresse",
    "keine",
    "Parameter",
    "Name",
    "Wert",
    "min.",
    "max.",
    "Geprüft",
    "geprüft",
    "NICHT geprüft",
    "Sicherheits-CRC",
    "hexadezimal",
    "dezimal",
    "Geprüft von",
    "Datum",
    "Unterschrift",
};

// Text for an HTML page in UTF-8. Names may come from a catalog in another encoding: a byte
// that is not part of valid UTF-8 is taken as Latin-1 (&#xE4; for E4), so the page stays
// valid and the byte recognisable. Control bytes, which HTML cannot show, become \xHH.
std::string Html(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
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
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
            ++i;
            continue;
        }
        const size_t length = Utf8SequenceLength(text.substr(i));
        if (length == 0) {
            out += "&#x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
            out += ';';
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

void Row(std::string& out, std::string_view label, const std::string& valueHtml) {
    out += "<tr><th width=\"35%\">";
    out += Html(label);
    out += "</th><td>";
    out += valueHtml;
    out += "</td></tr>\n";
}

std::string NameAndIdent(const Texts& t, const std::string& name, const std::string& ident) {
    return Html(name) + " <span class=\"ident\">(" + Html(t.ident) + " " + Html(ident) + ")</span>";
}

// Widths and spacing as attributes as well as in the style: simple HTML renderers (such as a
// print preview's rich text) honour only the attributes, browsers both.
constexpr std::string_view kTableAttributes = " width=\"100%\" cellspacing=\"0\" cellpadding=\"4\"";

constexpr std::string_view kStyle =
    "@page { size: A4; margin: 18mm 16mm; }\n"
    "body { font-family: sans-serif; font-size: 10pt; color: #000; background: #fff; }\n"
    "h1 { font-size: 16pt; margin: 0 0 4mm 0; }\n"
    "h2 { font-size: 12pt; margin: 6mm 0 2mm 0; }\n"
    "table { border-collapse: collapse; width: 100%; }\n"
    "th, td { text-align: left; vertical-align: top; padding: 1mm 2mm; "
    "word-break: break-word; }\n"
    "table.facts th { width: 35%; font-weight: normal; color: #333; }\n"
    "table.parameters th, table.parameters td { border: 0.3mm solid #555; }\n"
    "table.parameters thead { display: table-header-group; }\n"
    "table.parameters tr { page-break-inside: avoid; }\n"
    ".ident { color: #333; }\n"
    ".crc { font-family: monospace; font-size: 14pt; font-weight: bold; }\n"
    ".missing { font-weight: bold; }\n"
    "table.signoff { margin-top: 8mm; page-break-inside: avoid; }\n"
    "table.signoff th { width: 25%; font-weight: normal; padding-top: 10mm; "
    "vertical-align: bottom; }\n"
    "table.signoff td { border-bottom: 1px solid #000; padding-top: 10mm; }\n";

}  // namespace

std::string HtmlText(std::string_view text) {
    return Html(text);
}

std::string MakeVerificationRecordHtml(const VerificationRecord& record, RecordLanguage language) {
    const Texts& t = language == RecordLanguage::German ? kGerman : kEnglish;
    std::string out;
    out += "<!DOCTYPE html>\n<html lang=\"";
    out += t.htmlLanguage;
    out += "\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
    out += Html(t.title) + " - " + Html(record.moduleName);
    out += "</title>\n<style>\n";
    out += kStyle;
    out += "</style>\n</head>\n<body>\n<h1>";
    out += Html(t.title);
    out += "</h1>\n<table class=\"facts\"" + std::string(kTableAttributes) + ">\n";
    Row(out, t.program, Html(record.programName) + " " + Html(record.programVersion));
    Row(out, t.dateTime, Html(record.dateTime));
    Row(out, t.user, Html(record.loginName));
    Row(out, t.host, Html(record.hostName));
    Row(out, t.mode,
        record.tciMode ? Html(t.tciMode) + " " + Html(record.tpfFileName) : Html(t.editMode));
    Row(out, t.projectFile, record.projectPath.empty() ? Html(t.none) : Html(record.projectPath));
    Row(out, t.catalog, Html(record.catalogFileName));
    Row(out, t.catalogMd5, Html(record.catalogMd5));
    out += "</table>\n<h2>";
    out += Html(t.module);
    out += "</h2>\n<table class=\"facts\"" + std::string(kTableAttributes) + ">\n";
    Row(out, t.manufacturer, NameAndIdent(t, record.manufacturerName, record.manufacturerIdent));
    Row(out, t.device, NameAndIdent(t, record.deviceName, record.deviceIdent));
    Row(out, t.module, NameAndIdent(t, record.moduleName, record.moduleIdent));
    Row(out, t.description, Html(record.description));
    Row(out, t.busAddress, record.busAddress ? Html(*record.busAddress) : Html(t.none));
    out += "</table>\n<h2>";
    out += Html(t.parameters);
    out += "</h2>\n<table class=\"parameters\" border=\"1\"" + std::string(kTableAttributes) +
           ">\n<thead><tr><th>";
    out += Html(t.name) + "</th><th>" + Html(t.value) + "</th><th>" + Html(t.min) + "</th><th>" +
           Html(t.max) + "</th><th>" + Html(t.verifiedColumn);
    out += "</th></tr></thead>\n<tbody>\n";
    for (const RecordParameter& parameter : record.parameters) {
        out += "<tr><td>" + Html(parameter.name) + "</td><td>" + Html(parameter.value) +
               "</td><td>" + Html(parameter.min) + "</td><td>" + Html(parameter.max) + "</td><td";
        out += parameter.verified ? ">&#x2713; " + Html(t.verified)
                                  : " class=\"missing\">" + Html(t.notVerified);
        out += "</td></tr>\n";
    }
    out += "</tbody>\n</table>\n<h2>";
    out += Html(t.crc);
    out += "</h2>\n<table class=\"facts\"" + std::string(kTableAttributes) + ">\n";
    Row(out, t.hexadecimal,
        "<span class=\"crc\">" + Html(FormatCrc(true, record.crc, 0)) + "</span>");
    Row(out, t.decimal, "<span class=\"crc\">" + Html(FormatCrc(true, record.crc, 1)) + "</span>");
    out += "</table>\n<table class=\"signoff\"" + std::string(kTableAttributes) + ">\n";
    for (const std::string_view label : {t.verifiedBy, t.date, t.signature}) {
        // The label sits on the line that is signed on.
        out += "<tr valign=\"bottom\"><th width=\"25%\">" + Html(label) +
               "</th><td width=\"75%\">&nbsp;<br>&nbsp;</td></tr>\n";
    }
    out += "</table>\n</body>\n</html>\n";
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
    record.programName = "Norvane Safety CRC Tool";
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
