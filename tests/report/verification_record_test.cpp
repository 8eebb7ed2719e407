#include "report/verification_record.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "base/program_version.h"
#include "base/text_table.h"
#include "support/temp_dir.h"

namespace norvane {
namespace {

VerificationRecord Sample() {
    VerificationRecord record;
    record.programName = "Norvane Safety Configurator";
    record.programVersion = "0.1.0";
    record.dateTime = "2026-12-08T21:30:05+01:00";
    record.loginName = "engineer";
    record.hostName = "bench-7";
    record.catalogFileName = "SafetyConfiguratorEN.xml";
    record.catalogMd5 = "0123456789abcdef0123456789abcdef";
    record.manufacturerName = "Norvane Automation";
    record.manufacturerIdent = "0x0317";
    record.deviceName = "NV-DP 200 PROFIBUS head";
    record.deviceIdent = "0x0B1A";
    record.moduleName = "F-DI 8x24VDC";
    record.moduleIdent = "0x40A1";
    record.description = "Line 3, cabinet 2";
    record.busAddress = "3";
    record.manufacturerVerified = record.deviceVerified = true;
    record.busAddressVerified = record.moduleVerified = true;
    record.parameters = {{"F_Source_Add", "1", "1", "65534", true},
                         {"F_SIL", "SIL3", "SIL1", "SIL3", true}};
    record.crc = 0x0000ABCDu;
    return record;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(VerificationRecord, StatesEveryFactInEachLanguage) {
    struct Case {
        RecordLanguage language;
        std::vector<std::string> present;
        std::vector<std::string> absent;  // the other language's texts
    };
    const Case cases[] = {
        {RecordLanguage::English,
         {"<html lang=\"en\">", "<h1>Verification record</h1>",
          "<th width=\"35%\">Mode</th><td>Edit</td>",
          "<th width=\"35%\">Project file</th><td>none</td>",
          "<th width=\"35%\">Bus-Address</th><td>3</td><td class=\"mark\">&#x2713; verified</td>",
          ("<th width=\"35%\">Vendor</th><td>Norvane Automation <span class=\"ident\">(ident "
           "0x0317)</span></td><td class=\"mark\">&#x2713; verified</td>"),
          "<h2>Module</h2>", "<h2>CRC module</h2>",
          "<th width=\"25%\">Verified by</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "<th width=\"25%\">Date</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "<th width=\"25%\">Signature</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "<td>&#x2713; verified</td>", "Norvane Safety Configurator, Version 0.1.0"},
         {"verifiziert", "Unterschrift", "keine", "Baugruppe"}},
        {RecordLanguage::German,
         {"<html lang=\"de\">", "<h1>Verifikationsprotokoll</h1>",
          "<th width=\"35%\">Betriebsart</th><td>Bearbeiten</td>",
          "<th width=\"35%\">Projektdatei</th><td>keine</td>",
          ("<th width=\"35%\">Busadresse</th><td>3</td><td class=\"mark\">&#x2713; "
           "verifiziert</td>"),
          ("<th width=\"35%\">Baugruppe</th><td>F-DI 8x24VDC <span class=\"ident\">(Kennung "
           "0x40A1)</span></td>"),
          "<h2>Baugruppe</h2>", "<h2>Baugruppen-CRC</h2>",
          "<th width=\"25%\">Verifiziert von</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "<th width=\"25%\">Datum</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "<th width=\"25%\">Unterschrift</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "<td>&#x2713; verifiziert</td>", "Norvane Safety Configurator, Version 0.1.0"},
         {"Verified by", "Signature", ">none<", "Modul<", "geprüft"}},
    };
    for (const Case& c : cases) {
        const std::string html = MakeVerificationRecordHtml(Sample(), c.language);
        for (const std::string& part : std::vector<std::string>{
                 "2026-12-08T21:30:05+01:00", "engineer", "bench-7", "SafetyConfiguratorEN.xml",
                 "0123456789abcdef0123456789abcdef", "Norvane Automation", "0x0317",
                 "NV-DP 200 PROFIBUS head", "0x0B1A", "F-DI 8x24VDC", "0x40A1", "Line 3, cabinet 2",
                 ("<tr><td>F_Source_Add</td><td class=\"number\">1</td><td "
                  "class=\"number\">1</td><td class=\"number\">65534</td>"),
                 ("<tr><td>F_SIL</td><td class=\"number\">SIL3</td><td "
                  "class=\"number\">SIL1</td><td class=\"number\">SIL3</td>"),
                 // The CRC as the window shows it, in both forms.
                 "<span class=\"crc\">ABCD</span>", "<span class=\"crc\">43981</span>"}) {
            EXPECT_NE(html.find(part), std::string::npos) << part;
        }
        for (const std::string& part : c.present) {
            EXPECT_NE(html.find(part), std::string::npos) << part;
        }
        for (const std::string& part : c.absent) {
            EXPECT_EQ(html.find(part), std::string::npos) << part;
        }
        EXPECT_EQ(Count(html, "<tr><td>"), 2u);
        // Four header items and two parameters, all verified.
        EXPECT_EQ(Count(html, "&#x2713; "), 6u);
    }
}

// The record speaks the window's language: its labels, column heads and marks are the texts
// that the language pack gives the same things in the window.
TEST(VerificationRecord, UsesTheWindowsWords) {
    // A label as the window shows it, without mnemonic and colon.
    const auto spoken = [](std::string text) {
        std::erase(text, '&');
        while (!text.empty() && (text.back() == ':' || text.back() == ' ')) {
            text.pop_back();
        }
        return text;
    };
    for (const auto& [folder, language] :
         {std::pair{"en", RecordLanguage::English}, std::pair{"de", RecordLanguage::German}}) {
        const std::map<std::string, std::string> pack = ParseTextTable(testing::ReadFile(
            testing::SourcePath(std::string("resources/lang/") + folder + "/strings.txt")));
        ASSERT_FALSE(pack.empty()) << folder;
        VerificationRecord record = Sample();
        record.parameters[1].verified = false;
        const RecordDocument document = MakeRecordDocument(record, language);
        const RecordFactTable& module = document.sections.at(1);
        ASSERT_EQ(module.facts.size(), 5u);
        const std::pair<std::string, std::string> words[] = {
            {document.title, pack.at("text.record.title")},
            {module.heading, pack.at("text.module")},
            {module.facts[0].label, spoken(pack.at("control.1030"))},
            {module.facts[1].label, spoken(pack.at("control.1031"))},
            {module.facts[2].label, spoken(pack.at("control.1036"))},
            {module.facts[3].label, pack.at("string.114")},
            {module.facts[4].label, spoken(pack.at("control.1032"))},
            {module.facts[0].mark, pack.at("text.verified")},
            {document.parametersHeading, pack.at("control.1034")},
            {document.columns[0], pack.at("string.131")},
            {document.columns[1], pack.at("string.132")},
            {document.columns[2], pack.at("string.133")},
            {document.columns[3], pack.at("string.134")},
            {document.rows[0].cells[4], pack.at("text.verified")},
            {document.crc.heading, pack.at("control.1033")},
            {document.language, pack.at("text.record.language")},
        };
        for (const auto& [recordWord, windowWord] : words) {
            EXPECT_EQ(recordWord, windowWord) << folder;
        }
        EXPECT_TRUE(document.rows[1].missing);
        EXPECT_NE(document.rows[1].cells[4], document.rows[0].cells[4]);
    }
}

TEST(VerificationRecord, FooterAndPageNumbers) {
    const RecordDocument english = MakeRecordDocument(Sample(), RecordLanguage::English);
    EXPECT_EQ(english.footerModule, "Module F-DI 8x24VDC");
    EXPECT_EQ(english.footerCrc, "CRC ABCD Hex / 43981 Dec");
    EXPECT_EQ(RecordPageNumber(english, 2, 5), "Page 2 of 5");
    const RecordDocument german = MakeRecordDocument(Sample(), RecordLanguage::German);
    EXPECT_EQ(german.footerModule, "Baugruppe F-DI 8x24VDC");
    EXPECT_EQ(german.footerCrc, "CRC ABCD Hex / 43981 Dez");
    EXPECT_EQ(RecordPageNumber(german, 10, 12), "Seite 10 von 12");
}

TEST(VerificationRecord, ToolCallingFactsAndMissingMarks) {
    struct Case {
        std::optional<uint32_t> slot;
        std::string ipAddress;
        bool tci;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    };
    const Case cases[] = {
        {7, "", true, {"<th width=\"35%\">Slot</th><td>7</td>"}, {"IP address"}},
        {1,
         "192.168.0.41",
         true,
         {"<th width=\"35%\">Slot</th><td>1</td>",
          "<th width=\"35%\">IP address</th><td>192.168.0.41</td>"},
         {}},
        // Edit mode has no call to tell of, whatever the fields hold.
        {3, "10.0.0.1", false, {}, {"Slot", "IP address"}},
    };
    for (const Case& c : cases) {
        VerificationRecord record = Sample();
        record.tciMode = c.tci;
        record.slot = c.slot;
        record.ipAddress = c.ipAddress;
        record.deviceVerified = false;
        const std::string html = MakeVerificationRecordHtml(record, RecordLanguage::English);
        for (const std::string& part : c.present) {
            EXPECT_NE(html.find(part), std::string::npos) << part;
        }
        for (const std::string& part : c.absent) {
            EXPECT_EQ(html.find(part), std::string::npos) << part;
        }
        EXPECT_NE(html.find("(ident 0x0B1A)</span></td><td class=\"mark missing\">NOT "
                            "verified</td>"),
                  std::string::npos);
    }
}

TEST(VerificationRecord, ModeProjectBusAddressAndMarks) {
    VerificationRecord record = Sample();
    record.tciMode = true;
    record.tpfFileName = "call.tpf";
    record.projectPath = "/home/engineer/projects/line 3.kfx";
    record.busAddress.reset();
    record.busAddressVerified = false;
    record.parameters[1].verified = false;
    record.crc = 0xFFFFFFFFu;
    const std::string html = MakeVerificationRecordHtml(record, RecordLanguage::English);
    EXPECT_NE(html.find("<th width=\"35%\">Mode</th><td>TCI, TPF file call.tpf</td>"),
              std::string::npos);
    EXPECT_NE(html.find("<td>/home/engineer/projects/line 3.kfx</td>"), std::string::npos);
    // No address to verify: no mark either way.
    EXPECT_NE(html.find("<th width=\"35%\">Bus-Address</th><td>none</td></tr>"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"missing\">NOT verified</td>"), std::string::npos);
    EXPECT_EQ(Count(html, "<td>&#x2713; verified"), 1u);
    EXPECT_NE(html.find(">FFFFFFFF<"), std::string::npos);
    EXPECT_NE(html.find(">4294967295<"), std::string::npos);
}

TEST(VerificationRecord, EveryTextIsEscaped) {
    struct Case {
        std::string text;
        std::string html;
    };
    const Case cases[] = {
        {"<script>alert('x')</script>", "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"},
        {"A & B \"quoted\"", "A &amp; B &quot;quoted&quot;"},
        {"Ger\xc3\xa4t \xe2\x82\xac", "Ger\xc3\xa4t \xe2\x82\xac"},  // valid UTF-8 stays
        {"Ger\xe4t", "Ger&#xE4;t"},  // a Latin-1 byte is shown as that character
        {"cut \xe2\x82", "cut &#xE2;&#x82;"},
        {"line\nbreak\x7f", "line\\x0Abreak\\x7F"},
        {std::string("nul\0byte", 8), "nul\\x00byte"},
    };
    for (const Case& c : cases) {
        VerificationRecord record = Sample();
        record.programName = c.text;
        record.loginName = c.text;
        record.hostName = c.text;
        record.tciMode = true;
        record.tpfFileName = c.text;
        record.projectPath = c.text;
        record.catalogFileName = c.text;
        record.catalogMd5 = c.text;
        record.manufacturerName = c.text;
        record.manufacturerIdent = c.text;
        record.deviceName = c.text;
        record.deviceIdent = c.text;
        record.moduleName = c.text;
        record.moduleIdent = c.text;
        record.description = c.text;
        record.busAddress = c.text;
        record.parameters = {{c.text, c.text, c.text, c.text, true}};
        const std::string html = MakeVerificationRecordHtml(record, RecordLanguage::English);
        // program, title, login, host, TPF, project, catalog, MD5, three names and idents,
        // description, bus address and the four cells of the row.
        EXPECT_EQ(Count(html, c.html), 20u) << c.text;
        if (c.html != c.text) {
            EXPECT_EQ(html.find(c.text), std::string::npos) << c.text;
        }
    }
}

TEST(VerificationRecord, IsOneSelfContainedPrintablePage) {
    const std::string html = MakeVerificationRecordHtml(Sample(), RecordLanguage::English);
    EXPECT_EQ(html.rfind("<!DOCTYPE html>\n", 0), 0u);
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("size: A4"), std::string::npos);
    for (const char* external : {"src=", "href=", "url(", "@import", "<script", "<link"}) {
        EXPECT_EQ(html.find(external), std::string::npos) << external;
    }
    EXPECT_EQ(html.substr(html.size() - 8), "</html>\n");
}

TEST(VerificationRecord, IsoDateTimeWithOffset) {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 5;
    local.tm_hour = 7;
    local.tm_min = 8;
    local.tm_sec = 9;
    struct Case {
        long offset;
        const char* text;
    };
    const Case cases[] = {
        {0, "2026-01-05T07:08:09+00:00"},      {3600, "2026-01-05T07:08:09+01:00"},
        {-16200, "2026-01-05T07:08:09-04:30"}, {20700, "2026-01-05T07:08:09+05:45"},
        {-43200, "2026-01-05T07:08:09-12:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatIsoDateTime(local, c.offset), c.text) << c.offset;
    }

    VerificationRecord record;
    FillRecordEnvironment(record, std::time(nullptr));
    EXPECT_THAT(record.dateTime,
                ::testing::MatchesRegex(
                    "[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}[+-][0-9]{2}:[0-9]{2}"));
    EXPECT_EQ(record.programName, kProgramName);
    EXPECT_EQ(record.programVersion, kProgramVersion);
    EXPECT_FALSE(record.loginName.empty());
    EXPECT_FALSE(record.hostName.empty());
}

TEST(VerificationRecord, ParameterRowsAsTheOverviewShowsThem) {
    CatalogParameter hex;
    hex.name = "Mask";
    hex.paramView = ParamView::ValueHex;
    hex.value = 31;
    hex.min = 0;
    hex.max = 255;
    hex.verified = 1;
    CatalogParameter choice;
    choice.name = "SIL";
    choice.paramView = ParamView::Enum;
    choice.value = 7;
    const std::vector<CatalogEnumItem> items = {{nullptr, "SIL1", 0}, {nullptr, "SIL3", 2}};

    const RecordParameter mask = MakeRecordParameter(hex, {}, "Ungültig");
    EXPECT_EQ(mask.value, "0x0000001f");
    EXPECT_EQ(mask.max, "0x000000ff");
    EXPECT_TRUE(mask.verified);
    const RecordParameter sil = MakeRecordParameter(choice, items, "Ungültig");
    EXPECT_EQ(sil.value, "Ungültig");
    EXPECT_EQ(sil.min, "SIL1");
    EXPECT_EQ(sil.max, "SIL3");
    EXPECT_FALSE(sil.verified);
}

}  // namespace
}  // namespace norvane
