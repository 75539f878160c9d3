// XmlValue answers the node text, an attribute, or the default.

#include "module/util/XmlUtils.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(XmlValue, NodeTextAttributeOrDefault) {
    const std::string xml = "<Root><Color Name='Red' Value='255'>row</Color><Empty/></Root>";
    struct Case {
        std::string Text, Path, Attr, Expected;
    } cases[] = {
        {xml, "Color", "", "row"},
        {xml, "Color", "Value", "255"},
        {xml, "Color", " Name ", "Red"},
        {xml, "Color", "Missing", "dflt"},
        {xml, "Empty", "", ""},
        {xml, "Nothing", "", "dflt"},
        {xml, "/Root/Color[@Name='Red']", "Value", "255"},
        {xml, "Color[", "", "dflt"},
        {"<Root><Open></Root>", "Open", "", "dflt"},
        {"", "Color", "", "dflt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(XmlValue(c.Text, c.Path, c.Attr, "dflt"), c.Expected) << c.Path << " " << c.Attr;
    }
}

TEST(XmlValue, DocumentsLoadFromText) {
    EXPECT_TRUE(NewXmlDocument().DocumentElement().IsNull());
    EXPECT_EQ(LoadXmlText("<a><b>1</b></a>").SelectSingleNode("/a/b").Text(), "1");
    EXPECT_TRUE(LoadXmlText("<a>").DocumentElement().IsNull());
}

} // namespace
} // namespace corvane
