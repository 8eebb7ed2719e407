#include "report/verification_record.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace norvane {
namespace {

VerificationRecord Sample() {
    VerificationRecord record;
    record.programName = "Norvane Safety CRC Tool";
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
          "<th width=\"35%\">Bus address</th><td>3</td>",
          "<th width=\"25%\">Verified by</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "<th width=\"25%\">Date</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "<th width=\"25%\">Signature</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "&#x2713; verified"},
         {"Geprüft", "Unterschrift", "keine"}},
        {RecordLanguage::German,
         {"<html lang=\"de\">", "<h1>Verifikationsprotokoll</h1>",
          "<th width=\"35%\">Betriebsart</th><td>Bearbeiten</td>",
          "<th width=\"35%\">Projektdatei</th><td>keine</td>",
          "<th width=\"35%\">Busadresse</th><td>3</td>",
          "<th width=\"25%\">Geprüft von</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "<th width=\"25%\">Datum</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "<th width=\"25%\">Unterschrift</th><td width=\"75%\">&nbsp;<br>&nbsp;</td>",
          "&#x2713; geprüft"},
         {"Verified by", "Signature", ">none<"}},
    };
    for (const Case& c : cases) {
        const std::string html = MakeVerificationRecordHtml(Sample(), c.language);
        for (const std::string& part : std::vector<std::string>{
                 "Norvane Safety CRC Tool 0.1.0", "2026-12-08T21:30:05+01:00", "engineer",
                 "bench-7", "SafetyConfiguratorEN.xml", "0123456789abcdef0123456789abcdef",
                 "Norvane Automation", "0x0317", "NV-DP 200 PROFIBUS head", "0x0B1A",
                 "F-DI 8x24VDC", "0x40A1", "Line 3, cabinet 2",
                 "<tr><td>F_Source_Add</td><td>1</td><td>1</td><td>65534</td>",
                 "<tr><td>F_SIL</td><td>SIL3</td><td>SIL1</td><td>SIL3</td>",
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
    }
}

TEST(VerificationRecord, ModeProjectBusAddressAndMarks) {
    VerificationRecord record = Sample();
    record.tciMode = true;
    record.tpfFileName = "call.tpf";
    record.projectPath = "/home/engineer/projects/line 3.kfx";
    record.busAddress.reset();
    record.parameters[1].verified = false;
    record.crc = 0xFFFFFFFFu;
    const std::string html = MakeVerificationRecordHtml(record, RecordLanguage::English);
    EXPECT_NE(html.find("<th width=\"35%\">Mode</th><td>TCI, TPF file call.tpf</td>"),
              std::string::npos);
    EXPECT_NE(html.find("<td>/home/engineer/projects/line 3.kfx</td>"), std::string::npos);
    EXPECT_NE(html.find("<th width=\"35%\">Bus address</th><td>none</td>"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"missing\">NOT verified</td>"), std::string::npos);
    EXPECT_EQ(Count(html, "&#x2713; verified"), 1u);
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
    EXPECT_TRUE(std::regex_match(record.dateTime,
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")))
        << record.dateTime;
    EXPECT_EQ(record.programName, "Norvane Safety CRC Tool");
    EXPECT_EQ(record.programVersion, NORVANE_VERSION);
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
