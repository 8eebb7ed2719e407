#include "catalog_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "catalog/catalog.h"
#include "safety/param_stream.h"
#include "xml/xml_parser.h"

namespace norvane {
namespace {

CatalogShape SmallShape(int32_t manufacturers) {
    CatalogShape shape;
    shape.manufacturers = manufacturers;
    shape.devicesPerManufacturer = 3;
    shape.modulesPerDevice = 5;
    shape.minParameters = 0;
    shape.maxParameters = 40;
    return shape;
}

void ExpectSoundParameter(const CatalogParameter& parameter, CatalogData& catalog) {
    SCOPED_TRACE(parameter.name);
    ASSERT_NE(parameter.type, ParamType::None);
    EXPECT_GE(parameter.bitOffset, 32);  // outside the record's first four bytes
    ASSERT_GE(parameter.bitLength, 1);
    ASSERT_LE(parameter.bitLength, 32);
    if (parameter.type == ParamType::Int) {
        const int64_t limit = (int64_t{1} << (parameter.bitLength - 1)) - 1;
        EXPECT_LE(AsSigned(parameter.min), AsSigned(parameter.defaultValue));
        EXPECT_LE(AsSigned(parameter.defaultValue), AsSigned(parameter.max));
        EXPECT_LE(AsSigned(parameter.max), limit);
        EXPECT_GE(AsSigned(parameter.min), -limit - 1);
    } else {
        EXPECT_LE(parameter.min, parameter.defaultValue);
        EXPECT_LE(parameter.defaultValue, parameter.max);
        EXPECT_LE(uint64_t{parameter.max}, (uint64_t{1} << parameter.bitLength) - 1);
    }
    catalog.LoadEnumItems(parameter.name);
    if (parameter.paramView != ParamView::Enum) {
        EXPECT_TRUE(catalog.enumItemList.empty());
        return;
    }
    // One item per value from min to max, so the default always names an item.
    ASSERT_EQ(catalog.enumItemList.size(), size_t{parameter.max} + 1);
    for (size_t i = 0; i < catalog.enumItemList.size(); ++i) {
        EXPECT_EQ(catalog.enumItemList[i].valueItem, static_cast<int32_t>(i));
        EXPECT_FALSE(catalog.enumItemList[i].valueText.empty());
    }
}

// Selecting every record by name reaches the whole catalog (names are unique per level and
// nothing is swallowed by the dialect's nesting rule), and every module's image can be built
// from its defaults in a record sized to its last field.
TEST(CatalogGenerator, EveryRecordIsReachableAndEveryModuleBuildsItsImage) {
    const CatalogShape shape = SmallShape(4);
    CatalogData catalog;
    catalog.Load(GenerateCatalog(shape));
    ASSERT_NE(catalog.catalogDoc, nullptr);
    EXPECT_TRUE(catalog.fileVersion.found);
    ASSERT_EQ(catalog.manufacturerList.size(), size_t(shape.manufacturers));
    bool sawEnum = false;
    bool sawInt = false;
    bool sawHex = false;
    for (const CatalogManufacturer& manufacturer : catalog.manufacturerList) {
        ASSERT_NE(catalog.LoadDevices(manufacturer.name), nullptr);
        ASSERT_EQ(catalog.deviceList.size(), size_t(shape.devicesPerManufacturer));
        for (const CatalogDevice& device : catalog.deviceList) {
            ASSERT_NE(catalog.LoadModules(device.name), nullptr);
            ASSERT_EQ(catalog.moduleList.size(), size_t(shape.modulesPerDevice));
            EXPECT_NE(device.dataFormat, DataFormat::None);
            for (const CatalogModule& module : catalog.moduleList) {
                SCOPED_TRACE(module.name);
                ASSERT_NE(catalog.LoadParameters(module.name), nullptr);
                EXPECT_GE(catalog.parameterList.size(), size_t(4 + shape.minParameters));
                EXPECT_LE(catalog.parameterList.size(), size_t(4 + shape.maxParameters));
                EXPECT_EQ(module.lenModulParam, module.lenUserParam + 4);
                int32_t lastBit = 0;
                for (CatalogParameter& parameter : catalog.parameterList) {
                    ExpectSoundParameter(parameter, catalog);
                    lastBit = std::max(lastBit, parameter.bitOffset + parameter.bitLength);
                    parameter.value = parameter.defaultValue;
                    sawEnum = sawEnum || parameter.paramView == ParamView::Enum;
                    sawInt = sawInt || parameter.type == ParamType::Int;
                    sawHex = sawHex || parameter.paramView == ParamView::ValueHex;
                }
                EXPECT_EQ(module.lenModulParam, (lastBit + 7) / 8);
                EXPECT_NO_THROW(BuildParamStream(device.dataFormat, module.lenModulParam,
                                                 catalog.parameterList));
            }
        }
    }
    EXPECT_TRUE(sawEnum && sawInt && sawHex);
}

// The benchmarks compare sizes 1x and 2x, so the larger catalog must be the smaller one and as
// much again, byte for byte, and every run must produce the same text.
TEST(CatalogGenerator, IsDeterministicAndGrowsByAppending) {
    const std::string small = GenerateCatalog(SmallShape(3));
    const std::string large = GenerateCatalog(SmallShape(6));
    EXPECT_EQ(small, GenerateCatalog(SmallShape(3)));
    const std::string closing = "</SafetyConfigurator>\n";
    ASSERT_TRUE(small.ends_with(closing));
    EXPECT_TRUE(large.starts_with(small.substr(0, small.size() - closing.size())));
    const double ratio = static_cast<double>(large.size()) / static_cast<double>(small.size());
    EXPECT_GT(ratio, 1.6);
    EXPECT_LT(ratio, 2.4);
}

TEST(CatalogGenerator, WideElementHoldsExactlyTheRequestedChildren) {
    for (const int32_t children : {0, 1, 1000}) {
        const XmlRoot root = XmlParseText(GenerateWideElement(children));
        const XmlElement* list = XmlFindElement(root.get(), "List");
        ASSERT_NE(list, nullptr);
        int32_t cursor = 0;
        int32_t count = 0;
        while (const XmlElement* entry = XmlNextElement(list, cursor)) {
            EXPECT_EQ(entry->name, "Entry");
            const XmlAttribute* value = XmlFindAttribute(entry, "v");
            ASSERT_NE(value, nullptr);
            EXPECT_EQ(value->value, '"' + std::to_string(count) + '"');
            ++count;
        }
        EXPECT_EQ(count, children);
    }
}

}  // namespace
}  // namespace norvane
