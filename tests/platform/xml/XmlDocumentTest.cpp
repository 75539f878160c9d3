// XML documents: parsing with the parser's reason, XPath selection and editing.

#include "platform/xml/XmlDocument.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace corvane::xml {
namespace {

constexpr const char* kLanguage = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Language>
  <TfrmBase Caption="基础窗口">
    <miAdd Caption="新增(&amp;A)"/>
    <sFailedSave>保存失败</sFailedSave>
  </TfrmBase>
</Language>)xml";

TEST(XmlDocument, SelectsNodesAndAttributes) {
    const XmlDocument doc = XmlDocument::Parse(kLanguage);
    EXPECT_EQ(doc.DocumentElement().Name(), "Language");
    const XmlNode form = doc.SelectSingleNode("/Language/TfrmBase");
    ASSERT_FALSE(form.IsNull());
    EXPECT_EQ(form.Attribute("Caption"), "基础窗口");
    EXPECT_EQ(form.SelectSingleNode("miAdd").Attribute("Caption"), "新增(&A)");
    EXPECT_EQ(form.SelectSingleNode("sFailedSave").Text(), "保存失败");
    EXPECT_EQ(doc.SelectNodes("//*[@Caption]").size(), 2u);
    EXPECT_TRUE(doc.SelectSingleNode("/Language/Missing").IsNull());
    EXPECT_EQ(doc.SelectSingleNode("/Language/Missing").Attribute("x", "d"), "d");
}

TEST(XmlDocument, MalformedTextGivesTheParsersReason) {
    for (const char* text : {"", "<a>", "<a><b></a>", "not xml", "<a></b>", "<a b=c/>"}) {
        XmlDocument doc;
        EXPECT_FALSE(doc.LoadXml(text)) << text;
        EXPECT_FALSE(doc.ErrorText().empty());
        EXPECT_TRUE(doc.DocumentElement().IsNull());
        EXPECT_THROW(XmlDocument::Parse(text), EXmlError);
    }
}

TEST(XmlDocument, InvalidXPathIsAClearError) {
    const XmlDocument doc = XmlDocument::Parse("<a/>");
    try {
        doc.SelectSingleNode("//[");
        FAIL();
    } catch (const EXmlError& error) {
        EXPECT_NE(std::string(error.what()).find("//["), std::string::npos);
    }
}

TEST(XmlDocument, BuildsSavesAndLoadsFiles) {
    test::TempDir dir;
    XmlDocument doc;
    XmlNode root = doc.CreateRoot("Options");
    XmlNode item = root.AppendChild("Item");
    item.SetAttribute("Name", "KeepOnAdd");
    item.SetText("1");
    const std::string path = (dir.Path() / "options.xml").string();
    ASSERT_TRUE(doc.Save(path));
    const XmlDocument loaded = XmlDocument::ParseFile(path);
    EXPECT_EQ(loaded.SelectSingleNode("/Options/Item[@Name='KeepOnAdd']").Text(), "1");
    XmlDocument missing;
    EXPECT_FALSE(missing.Load((dir.Path() / "none.xml").string()));
    EXPECT_NE(missing.ErrorText().find("none.xml"), std::string::npos);
}

} // namespace
} // namespace corvane::xml
