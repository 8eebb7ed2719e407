// A demo catalog with one more module of the first device: 64 parameters of every kind, with
// short and long names and long enumeration texts, for the record's pages.
#pragma once

#include <string>

namespace norvane::testing {

inline constexpr const char* kBigModuleName = "F-DI 32x24VDC HF (64 parameters)";

// `demoCatalog` with the 64-parameter module inserted as the first device's first module.
inline std::string WithBigModule(const std::string& demoCatalog) {
    std::string module = std::string("<Modul name=\"") + kBigModuleName +
                         "\" identNumber=\"0x40F4\" major=\"1\" minor=\"0\" type=\"F-DI\" "
                         "modulPlcAddress=\"0\" minAddr=\"1\" maxAddr=\"1022\" "
                         "lenModulParam=\"112\" lenUserParam=\"106\"><ParameterList>\n";
    const auto parameter = [&module](const std::string& name, const std::string& attributes,
                                     const std::string& items = {}) {
        module += "<Parameter name=\"" + name + "\" " + attributes +
                  (items.empty() ? "/>\n" : ">" + items + "</Parameter>\n");
    };
    parameter("F_Source_Add",
              "type=\"UInt\" paramView=\"Decimal\" defaultValue=\"1\" min=\"1\" "
              "max=\"65534\" bitOffset=\"32\" bitLength=\"16\"");
    parameter("F_Dest_Add",
              "type=\"UInt\" paramView=\"Decimal\" defaultValue=\"100\" min=\"1\" "
              "max=\"65534\" bitOffset=\"48\" bitLength=\"16\"");
    parameter("F_WD_Time (ms)",
              "type=\"UInt\" paramView=\"Decimal\" defaultValue=\"150\" "
              "min=\"10\" max=\"10000\" bitOffset=\"64\" bitLength=\"16\"");
    parameter("F_SIL",
              "type=\"UInt\" paramView=\"Enum\" defaultValue=\"2\" min=\"0\" max=\"2\" "
              "bitOffset=\"80\" bitLength=\"8\"",
              "<Item valueText=\"SIL1\" valueItem=\"0\"/><Item valueText=\"SIL2\" "
              "valueItem=\"1\"/><Item valueText=\"SIL3\" valueItem=\"2\"/>");
    int bit = 88;
    for (int channel = 0; channel < 30; ++channel) {
        const std::string n = std::to_string(channel);
        if (channel % 3 == 0) {
            parameter("Channel " + n + " sensor supply test with discrepancy evaluation",
                      "type=\"UInt\" paramView=\"Enum\" defaultValue=\"1\" min=\"0\" max=\"2\" "
                      "bitOffset=\"" +
                          std::to_string(bit) + "\" bitLength=\"4\"",
                      "<Item valueText=\"off\" valueItem=\"0\"/><Item valueText=\"1oo2 "
                      "evaluation, equivalent, sensor supply tested\" valueItem=\"1\"/><Item "
                      "valueText=\"1oo1\" valueItem=\"2\"/>");
            bit += 4;
        } else {
            parameter("Channel " + n + " activated",
                      "type=\"Bool\" paramView=\"Decimal\" defaultValue=\"1\" min=\"0\" "
                      "max=\"1\" bitOffset=\"" +
                          std::to_string(bit) + "\" bitLength=\"1\"");
            bit += 4;
        }
        const bool hex = channel % 2 == 0;
        parameter("Ch" + n + (hex ? " mask" : " delay (ms)"),
                  std::string("type=\"UInt\" paramView=\"") + (hex ? "ValueHex" : "Decimal") +
                      "\" defaultValue=\"" + (hex ? "255" : "20") + "\" min=\"0\" max=\"" +
                      (hex ? "4294967295" : "1000") + "\" bitOffset=\"" + std::to_string(bit) +
                      "\" bitLength=\"" + (hex ? "32" : "12") + "\"");
        bit += hex ? 32 : 12;
    }
    module += "</ParameterList></Modul>\n";
    std::string catalog = demoCatalog;
    const std::string anchor = "<Modul name=\"F-DI 8x24VDC\"";
    catalog.insert(catalog.find(anchor), module);
    return catalog;
}

}  // namespace norvane::testing
