// A catalog for the command-line tests that list and compute: two manufacturers of one name
// (the second shadowed), devices of both data formats and one of neither, a module with a
// parameter of every type and view, one whose field does not fit its image.
#pragma once

namespace norvane::cli {

inline constexpr const char* kCatalog =
    "<?xml version=\"1.0\"?><Catalog>"
    "<Hersteller name=\"Vendor A\" identNumber=\"0x01\">"
    "<Device name=\"Head\" identNumber=\"0x0B\" enableBusAddress=\"yes\" busAddress=\"-3\""
    " minAddr=\"1\" maxAddr=\"125\" busSpeed=\"12000\" offsetModulParamStream=\"2\""
    " dataFormat=\"Motorola\">"
    "<Modul name=\"M1\" identNumber=\"0x40\" major=\"1\" minor=\"2\" type=\"F-DI\""
    " lenModulParam=\"7\" lenUserParam=\"3\"><ParameterList>"
    "<Parameter name=\"P1\" type=\"UInt\" paramView=\"ValueHex\" defaultValue=\"0x99\" min=\"0\""
    " max=\"4294967295\" bitOffset=\"32\" bitLength=\"16\"/>"
    "<Parameter name=\"P=2\" type=\"Bool\" defaultValue=\"1\" max=\"1\" bitOffset=\"48\""
    " bitLength=\"1\"/>"
    "<Parameter name=\"P3\" type=\"Int\" paramView=\"Enum\" defaultValue=\"-1\" min=\"-4\""
    " max=\"3\" bitOffset=\"49\" bitLength=\"3\"><Item valueText=\"minus one\" valueItem=\"-1\"/>"
    "<Item valueItem=\"2\"/></Parameter>"
    "</ParameterList></Modul>"
    "<Modul name=\"Wide\" lenUserParam=\"1\"><ParameterList>"
    "<Parameter name=\"W\" type=\"UInt\" bitOffset=\"32\" bitLength=\"16\"/>"
    "</ParameterList></Modul></Device>"
    "<Device name=\"Odd\" dataFormat=\"Big\"><Modul name=\"X\" lenUserParam=\"2\"><ParameterList>"
    "<Parameter name=\"Q\" type=\"UInt\" bitOffset=\"32\" bitLength=\"8\"/></ParameterList>"
    "</Modul></Device>"
    "</Hersteller><Hersteller/>"
    "<Hersteller name=\"Vendor A\"><Device name=\"Shadowed\"/></Hersteller></Catalog>";

}  // namespace norvane::cli
