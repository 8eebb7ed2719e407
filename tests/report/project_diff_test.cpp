#include "report/project_diff.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "safety/param_stream.h"
#include "safety/parameter_values.h"

namespace norvane {
namespace {

constexpr const char* kCatalog =
    "<?xml version=\"1.0\"?><C>"
    "<Hersteller name=\"V\" identNumber=\"0x01\">"
    "<Device name=\"D\" identNumber=\"0x10\" enableBusAddress=\"yes\" busAddress=\"3\" "
    "minAddr=\"1\" maxAddr=\"125\" dataFormat=\"Motorola\">"
    "<Modul name=\"M\" identNumber=\"0x100\" lenModulParam=\"10\" lenUserParam=\"3\">"
    "<ParameterList>"
    "<Parameter name=\"A\" type=\"UInt\" defaultValue=\"1\" min=\"0\" max=\"1000\" "
    "bitOffset=\"32\" bitLength=\"16\"/>"
    "<Parameter name=\"B\" type=\"Int\" defaultValue=\"0\" min=\"-5\" max=\"5\" "
    "bitOffset=\"48\" bitLength=\"8\"/>"
    "</ParameterList></Modul>"
    "<Modul name=\"K\" identNumber=\"0x101\" lenModulParam=\"10\" lenUserParam=\"3\">"
    "<ParameterList>"
    "<Parameter name=\"B\" type=\"Int\" defaultValue=\"0\" min=\"-5\" max=\"5\" "
    "bitOffset=\"32\" bitLength=\"8\"/>"
    "<Parameter name=\"C\" type=\"UInt\" defaultValue=\"0\" min=\"0\" max=\"5\" "
    "bitOffset=\"40\" bitLength=\"8\"/>"
    "</ParameterList></Modul>"
    "</Device></Hersteller></C>";

uint32_t CrcOf(uint32_t a, int32_t b) {
    std::vector<CatalogParameter> parameters(2);
    parameters[0].type = ParamType::UInt;
    parameters[0].bitOffset = 32;
    parameters[0].bitLength = 16;
    parameters[0].value = a;
    parameters[1].type = ParamType::Int;
    parameters[1].bitOffset = 48;
    parameters[1].bitLength = 8;
    parameters[1].value = static_cast<uint32_t>(b);
    return ParameterImageCrc(DataFormat::Motorola, 3, parameters);
}

ProjectData Verified() {
    ProjectData project;
    project.manufacturerName = "V";
    project.manufacturerId = "0x01";
    project.deviceName = "D";
    project.deviceId = "0x10";
    project.moduleName = "M";
    project.moduleId = "0x100";
    project.description = "Line 1";
    project.busAddress = 7;
    project.manufacturerAccepted = project.deviceAccepted = project.moduleAccepted = true;
    project.busAddressAccepted = true;
    project.parameters = {{32, 16, 10, true}, {48, 8, -3, true}};
    project.crcValid = true;
    project.crc = CrcOf(10, -3);
    return project;
}

std::string Outline(const std::vector<ProjectDifference>& differences) {
    std::string text;
    for (const ProjectDifference& d : differences) {
        text += d.field;
        for (const std::string* part : {&d.parameter, &d.attribute}) {
            if (!part->empty()) {
                text += " " + *part;
            }
        }
        text += " " + d.before.value_or("-") + " " + d.after.value_or("-") + "\n";
    }
    return text;
}

// One row per field: the second project made from the first, and what the diff says.
TEST(DiffProjects, OneLinePerFieldThatDiffers) {
    const std::string crc = FormatCrc(true, CrcOf(10, -3), 0);
    struct Case {
        const char* name;
        std::function<void(ProjectData&)> change;
        std::string outline;
    };
    const Case cases[] = {
        {"the same", [](ProjectData&) {}, ""},
        {"description", [](ProjectData& p) { p.description = "Line 2"; },
         "description Line 1 Line 2\n"},
        {"bus address and its mark",
         [](ProjectData& p) {
             p.busAddress = 8;
             p.busAddressAccepted = false;
         },
         "busAddress value 7 8\nbusAddress accepted 1 0\ncrc " + crc + " N/A\n"},
        {"a value, verified again",
         [](ProjectData& p) {
             p.parameters[1].selectedValue = 4;
             p.crc = CrcOf(10, 4);
         },
         "parameter B value -3 4\ncrc " + crc + " " + FormatCrc(true, CrcOf(10, 4), 0) + "\n"},
        // Opened as the window opens it: a value outside the limits loses its mark.
        {"a value the catalog refuses",
         [](ProjectData& p) { p.parameters[0].selectedValue = 1001; },
         "parameter A value 10 1001\nparameter A accepted 1 0\ncrc " + crc + " N/A\n"},
        {"a header mark", [](ProjectData& p) { p.moduleAccepted = false; },
         "module accepted 1 0\ncrc " + crc + " N/A\n"},
        {"another module: parameters by name",
         [](ProjectData& p) {
             p.moduleId = "0x101";
             p.parameters = {{32, 8, -3, true}, {40, 8, 2, false}};
             p.crcValid = false;
         },
         "module name M K\nmodule ident 0x100 0x101\nparameter C value - 2\n"
         "parameter C accepted - 0\nparameter A value 10 -\nparameter A accepted 1 -\n"
         "crc " +
             crc + " N/A\n"},
    };
    CatalogData catalog;
    catalog.Load(kCatalog);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenedProject before(catalog);
        OpenProjectData(before, Verified());
        ProjectData changed = Verified();
        c.change(changed);
        OpenedProject after(catalog);
        OpenProjectData(after, changed);
        EXPECT_EQ(Outline(DiffProjects(before, after)), c.outline);
        // The other way round, the same lines with the sides exchanged.
        EXPECT_EQ(DiffProjects(after, before).size(), DiffProjects(before, after).size());
    }
}

}  // namespace
}  // namespace norvane
