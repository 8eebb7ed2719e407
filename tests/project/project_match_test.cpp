#include "project/project_match.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace norvane {
namespace {

constexpr const char* kCatalog =
    "<?xml version=\"1.0\"?><C>"
    "<Hersteller name=\"V\" identNumber=\"0x01\">"
    "<Device name=\"D\" identNumber=\"0x10\" enableBusAddress=\"yes\" busAddress=\"3\" "
    "dataFormat=\"Motorola\">"
    "<Modul name=\"M\" identNumber=\"0x100\" lenUserParam=\"2\"><ParameterList>"
    "<Parameter name=\"A\" type=\"UInt\" defaultValue=\"1\" min=\"0\" max=\"255\" "
    "bitOffset=\"32\" bitLength=\"8\"/>"
    "<Parameter name=\"B\" type=\"Int\" defaultValue=\"0\" min=\"-5\" max=\"5\" "
    "bitOffset=\"40\" bitLength=\"8\"/>"
    "</ParameterList></Modul>"
    "<Modul name=\"Bare\" identNumber=\"0x101\"><ParameterList/></Modul>"
    "</Device></Hersteller>"
    "<Hersteller name=\"V\" identNumber=\"0x02\"/>"
    "<Hersteller name=\"W\" identNumber=\"0x03\"/>"
    "</C>";

ProjectData Project() {
    ProjectData project;
    project.manufacturerName = "V";
    project.manufacturerId = "0x01";
    project.deviceName = "D";
    project.deviceId = "0x10";
    project.moduleName = "M";
    project.moduleId = "0x100";
    project.parameters = {{40, 8, -3, false}, {32, 8, 7, true}};
    return project;
}

TEST(MatchProject, FindsRecordsByIdentifierAndParametersByBitOffset) {
    struct Case {
        const char* name;
        std::function<void(ProjectData&)> change;
        int failure;  // 0: matched
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
        {"identifier hidden behind a record of the same name",
         [](ProjectData& p) { p.manufacturerId = "0x02"; }, kMsgUnknownManufacturer},
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
        ProjectData project = Project();
        c.change(project);
        if (c.failure != 0) {
            try {
                MatchProject(catalog, project);
                ADD_FAILURE() << "matched";
            } catch (const ProjectMatchFailure& failure) {
                EXPECT_EQ(failure.MessageId(), c.failure);
            }
            for (const CatalogParameter& parameter : catalog.parameterList) {
                EXPECT_EQ(parameter.verified, 0);
            }
            continue;
        }
        const ProjectMatch match = MatchProject(catalog, project);
        ASSERT_NE(match.module, nullptr);
        EXPECT_EQ(match.manufacturer->name, "V");
        EXPECT_EQ(match.device->identNumber, "0x10");
        EXPECT_EQ(match.module->name, "M");
        ASSERT_EQ(catalog.parameterList.size(), 2u);
        EXPECT_EQ(catalog.parameterList[0].value, 7u);
        EXPECT_EQ(catalog.parameterList[0].verified, 1);
        EXPECT_EQ(AsSigned(catalog.parameterList[1].value), -3);
        EXPECT_EQ(catalog.parameterList[1].verified, 0);
    }

    CatalogData empty;
    empty.Load("<C/>");
    try {
        MatchProject(empty, Project());
        ADD_FAILURE() << "matched without a catalog";
    } catch (const ProjectMatchFailure& failure) {
        EXPECT_EQ(failure.MessageId(), kMsgCatalogNotLoaded);
    }
}

TEST(ProjectDescription, CutsTo79BytesWithoutSplittingACharacter) {
    const std::string a78(78, 'a');
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {std::string(79, 'a'), std::string(79, 'a')},
        {std::string(200, 'a'), std::string(79, 'a')},
        {a78 + "\xc3\xbc", a78},                                // u-umlaut would end at byte 80
        {a78 + "x\xc3\xbc", a78 + "x"},                         // ends exactly at byte 79
        {a78.substr(1) + "\xe2\x82\xac" + "b", a78.substr(1)},  // euro sign over the edge
        {a78 + "\xbc\xbc\xbc\xbc", a78 + "\xbc"},               // not UTF-8: a plain cut
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ProjectDescription(text), expected) << text.size();
    }
}

}  // namespace
}  // namespace norvane
