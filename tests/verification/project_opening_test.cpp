#include "verification/project_opening.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/messages.h"
#include "safety/param_stream.h"

namespace norvane {
namespace {

constexpr const char* kCatalog =
    "<?xml version=\"1.0\"?><C>"
    "<Hersteller name=\"V\" identNumber=\"0x01\">"
    "<Device name=\"D\" identNumber=\"0x10\" enableBusAddress=\"yes\" busAddress=\"3\" "
    "minAddr=\"1\" maxAddr=\"125\" dataFormat=\"Motorola\">"
    "<Modul name=\"M\" identNumber=\"0x100\" lenModulParam=\"10\" lenUserParam=\"4\">"
    "<ParameterList>"
    "<Parameter name=\"A\" type=\"UInt\" defaultValue=\"1\" min=\"0\" max=\"100000\" "
    "bitOffset=\"32\" bitLength=\"16\"/>"
    "<Parameter name=\"B\" type=\"Int\" defaultValue=\"0\" min=\"-5\" max=\"5\" "
    "bitOffset=\"48\" bitLength=\"8\"/>"
    "<Parameter name=\"E\" type=\"UInt\" paramView=\"Enum\" defaultValue=\"1\" min=\"0\" "
    "max=\"3\" bitOffset=\"56\" bitLength=\"8\"><Item valueText=\"one\" valueItem=\"1\"/>"
    "<Item valueText=\"three\" valueItem=\"3\"/></Parameter>"
    "</ParameterList></Modul>"
    "<Modul name=\"Bare\" identNumber=\"0x101\"><ParameterList/></Modul>"
    "</Device></Hersteller>"
    "<Hersteller name=\"V\" identNumber=\"0x02\"/>"
    "<Hersteller name=\"W\" identNumber=\"0x03\"/>"
    "</C>";

// The CRC the values A, B, E give in the catalog's module (image of 8 bytes, Motorola).
uint32_t CrcOf(uint16_t a, int8_t b, uint8_t e) {
    std::vector<CatalogParameter> parameters(3);
    const int32_t offsets[] = {32, 48, 56};
    const int32_t lengths[] = {16, 8, 8};
    const uint32_t values[] = {a, static_cast<uint32_t>(int32_t{b}), e};
    for (size_t i = 0; i < 3; ++i) {
        parameters[i].type = i == 1 ? ParamType::Int : ParamType::UInt;
        parameters[i].bitOffset = offsets[i];
        parameters[i].bitLength = lengths[i];
        parameters[i].value = values[i];
    }
    return ParameterImageCrc(DataFormat::Motorola, 4, parameters);
}

// A project of the catalog's module with every item verified and its CRC valid.
ProjectData Project() {
    ProjectData project;
    project.manufacturerName = "V";
    project.manufacturerId = "0x01";
    project.deviceName = "D";
    project.deviceId = "0x10";
    project.moduleName = "M";
    project.moduleId = "0x100";
    project.busAddress = 7;
    project.manufacturerAccepted = project.deviceAccepted = project.moduleAccepted = true;
    project.busAddressAccepted = true;
    project.parameters = {{48, 8, -3, true}, {32, 16, 7, true}, {56, 8, 3, true}};
    project.crcValid = true;
    project.crc = CrcOf(7, -3, 3);
    return project;
}

TEST(OpenProjectData, FindsRecordsByIdentifierAndParametersByBitOffset) {
    struct Case {
        const char* name;
        std::function<void(ProjectData&)> change;
        int failure;  // 0: opened
    };
    const Case cases[] = {
        {"as written", [](ProjectData&) {}, 0},
        {"names are not compared",
         [](ProjectData& p) { p.manufacturerName = p.deviceName = p.moduleName = "other"; }, 0},
        {"extra parameters and other lengths",
         [](ProjectData& p) {
             p.parameters[0].bitLength = 3;
             p.parameters.push_back({99, 1, 1, true});
             p.parameters.push_back({32, 8, 9, false});  // a later duplicate is not used
         },
         0},
        {"identifier in other case", [](ProjectData& p) { p.manufacturerId = "0X01"; },
         kMsgUnknownManufacturer},
        // A record behind one of the same name is found as itself; this one has no device.
        {"identifier of a record behind one of the same name",
         [](ProjectData& p) { p.manufacturerId = "0x02"; }, kMsgUnknownDevice},
        {"unknown device", [](ProjectData& p) { p.deviceId = "0x11"; }, kMsgUnknownDevice},
        {"device of another manufacturer", [](ProjectData& p) { p.manufacturerId = "0x03"; },
         kMsgUnknownDevice},
        {"unknown module", [](ProjectData& p) { p.moduleId = "0x10"; }, kMsgUnknownModule},
        {"a parameter missing", [](ProjectData& p) { p.parameters.pop_back(); },
         kMsgUnknownParameter},
        {"module without parameters", [](ProjectData& p) { p.moduleId = "0x101"; },
         kMsgUnknownParameter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CatalogData catalog;
        catalog.Load(kCatalog);
        OpenedProject opened(catalog);
        ProjectData project = Project();
        c.change(project);
        if (c.failure != 0) {
            try {
                OpenProjectData(opened, project);
                ADD_FAILURE() << "opened";
            } catch (const ProjectMatchFailure& failure) {
                EXPECT_EQ(failure.MessageId(), c.failure);
            }
            for (const CatalogParameter& parameter : opened.model.Parameters()) {
                EXPECT_EQ(parameter.verified, 0);
            }
            EXPECT_FALSE(opened.model.Crc().valid);
            continue;
        }
        OpenProjectData(opened, project);
        const VerificationModel& model = opened.model;
        EXPECT_EQ(model.SelectedManufacturer().name, "V");
        EXPECT_EQ(model.SelectedDevice().identNumber, "0x10");
        EXPECT_EQ(model.SelectedModule().name, "M");
        ASSERT_EQ(model.Parameters().size(), 3u);
        EXPECT_EQ(model.Parameters()[0].value, 7u);
        EXPECT_EQ(AsSigned(model.Parameters()[1].value), -3);
        EXPECT_EQ(model.Parameters()[2].value, 3u);
        EXPECT_EQ(model.SelectedDevice().busAddress, 7);
        EXPECT_TRUE(model.AllVerified());
        EXPECT_EQ(model.Crc().valid, true);
        EXPECT_EQ(model.Crc().origin, CrcOrigin::Project);
        EXPECT_EQ(opened.crcMessage, 0);
    }

    CatalogData empty;
    empty.Load("<C/>");
    OpenedProject opened(empty);
    try {
        OpenProjectData(opened, Project());
        ADD_FAILURE() << "opened without a catalog";
    } catch (const ProjectMatchFailure& failure) {
        EXPECT_EQ(failure.MessageId(), kMsgCatalogNotLoaded);
    }
}

// Open restores only what could be verified, and keeps a stored CRC only when it is the CRC
// of the values shown and every item is verified.
TEST(OpenProjectData, RestoresOnlyWhatCanBeVerified) {
    struct Case {
        const char* name;
        std::function<void(ProjectData&)> change;
        const char* marks;  // A, B, E: 1 verified, 0 not
        bool busAddressMark;
        bool crcShown;
        int crcMessage;
    };
    const Case cases[] = {
        {"as saved", [](ProjectData&) {}, "111", true, true, 0},
        {"a value outside its limits",
         [](ProjectData& p) {
             p.parameters[0].selectedValue = -6;
             p.crc = CrcOf(7, -6, 3);
         },
         "101", true, false, kMsgStoredCrcNotValues},
        {"a value no item of its enumeration has",
         [](ProjectData& p) {
             p.parameters[2].selectedValue = 2;
             p.crc = CrcOf(7, -3, 2);
         },
         "110", true, false, kMsgStoredCrcNotValues},
        // Within the limits 0 to 100000 but not in its 16 bits: its CRC would be another's.
        {"a value wider than its field",
         [](ProjectData& p) {
             p.parameters[1].selectedValue = 65537;
             p.crc = CrcOf(1, -3, 3);
         },
         "011", true, false, kMsgStoredCrcNotValues},
        {"a CRC of other values (an older catalog)", [](ProjectData& p) { p.crc ^= 1; }, "111",
         true, false, kMsgStoredCrcNotValues},
        {"a parameter left unverified", [](ProjectData& p) { p.parameters[0].accepted = false; },
         "101", true, false, kMsgStoredCrcNotValues},
        {"a bus address outside the device's limits", [](ProjectData& p) { p.busAddress = 126; },
         "111", false, false, kMsgStoredCrcNotValues},
        {"no valid CRC stored: nothing to say",
         [](ProjectData& p) {
             p.crcValid = false;
             p.parameters[0].selectedValue = -6;
         },
         "101", true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CatalogData catalog;
        catalog.Load(kCatalog);
        OpenedProject opened(catalog);
        ProjectData project = Project();
        c.change(project);
        OpenProjectData(opened, project);
        const VerificationModel& model = opened.model;
        std::string marks;
        for (const CatalogParameter& parameter : model.Parameters()) {
            marks += parameter.verified != 0 ? '1' : '0';
        }
        EXPECT_EQ(marks, c.marks);
        EXPECT_EQ(model.IsVerified({ItemKind::BusAddress}), c.busAddressMark);
        EXPECT_EQ(model.Crc().valid, c.crcShown);
        EXPECT_EQ(opened.crcMessage, c.crcMessage);
        EXPECT_EQ(ProjectRecordRefusal(opened).empty(), c.crcShown);
        // Whatever is shown as valid is the CRC of the values shown.
        if (model.Crc().valid) {
            EXPECT_EQ(model.Crc().value, model.CurrentSafetyCrc().value());
        }
    }
}

TEST(OpenProjectData, DescriptionIsCutTo79BytesWithoutSplittingACharacter) {
    const std::string a78(78, 'a');
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {std::string(79, 'a'), std::string(79, 'a')},
        {std::string(200, 'a'), std::string(79, 'a')},
        {a78 + "\xc3\xbc", a78},                                // u-umlaut would end at byte 80
        {a78 + "x\xc3\xbc", a78 + "x"},                         // ends exactly at byte 79
        {a78.substr(1) + "\xe2\x82\xac" + "b", a78.substr(1)},  // euro sign over the edge
        {a78 + "\xbc\xbc\xbc\xbc", a78 + "\xbc"},               // not UTF-8: a plain cut
        {"M\xfcller", "M\xfcller"},                             // Latin-1 keeps its bytes
    };
    for (const auto& [text, expected] : cases) {
        CatalogData catalog;
        catalog.Load(kCatalog);
        OpenedProject opened(catalog);
        ProjectData project = Project();
        project.description = text;
        OpenProjectData(opened, project);
        EXPECT_EQ(opened.model.Description(), expected) << text.size();
        EXPECT_EQ(opened.model.Collect().description, expected);
    }
}

}  // namespace
}  // namespace norvane
