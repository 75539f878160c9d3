// Published properties by name over QObject trees.

#include "module/util/PropUtils.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QPointer>

#include <gtest/gtest.h>

namespace corvane {
namespace {

class Sample : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER m_caption)
    Q_PROPERTY(int Tag MEMBER m_tag)
    Q_PROPERTY(bool Visible MEMBER m_visible)
    Q_PROPERTY(double Ratio MEMBER m_ratio)
    Q_PROPERTY(Alignment Align MEMBER m_align)
    Q_PROPERTY(Styles Style READ GetStyle WRITE SetStyle)
    Q_PROPERTY(QObject* Owner MEMBER m_owner)
    Q_PROPERTY(QFont Font MEMBER m_font)
    Q_PROPERTY(QString ReadOnly READ ReadOnly)

public:
    enum Alignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(Alignment)
    enum Style { fsBold = 1, fsItalic = 2, fsUnderline = 4 };
    Q_DECLARE_FLAGS(Styles, Style)
    Q_FLAG(Styles)

    QString ReadOnly() const { return "fixed"; }
    Styles GetStyle() const { return m_style; }
    void SetStyle(Styles style) { m_style = style; }

    QString m_caption;
    int m_tag = 0;
    bool m_visible = false;
    double m_ratio = 0;
    Alignment m_align = taLeftJustify;
    Styles m_style;
    QObject* m_owner = nullptr;
    QFont m_font;
};

TEST(PropUtils, ReadsAndWritesByNameWithoutRegardToCase) {
    Sample sample;
    sample.setProperty("DynamicNote", "dyn");
    EXPECT_TRUE(HasProp(&sample, "caption"));
    EXPECT_TRUE(HasProp(&sample, "dynamicnote"));
    EXPECT_FALSE(HasProp(&sample, "Missing"));
    EXPECT_FALSE(HasProp(nullptr, "Caption"));
    EXPECT_FALSE(HasProp(&sample, ""));

    SetStrPropByName(&sample, "CAPTION", QString::fromUtf8("身份类别"));
    EXPECT_EQ(sample.m_caption, QString::fromUtf8("身份类别"));
    EXPECT_EQ(GetStrPropByName(&sample, "caption"), QString::fromUtf8("身份类别"));
    EXPECT_EQ(GetStrPropByName(&sample, "DynamicNote"), "dyn");
    SetOrdPropByName(&sample, "tag", 42);
    SetOrdPropByName(&sample, "Visible", 1);
    SetOrdPropByName(&sample, "Align", 2);
    EXPECT_EQ(sample.m_tag, 42);
    EXPECT_TRUE(sample.m_visible);
    EXPECT_EQ(sample.m_align, Sample::taCenter);
    EXPECT_EQ(GetOrdPropByName(&sample, "Visible"), 1);
    EXPECT_EQ(GetOrdPropByName(&sample, "Align"), 2);

    // Missing components and properties change nothing and answer nothing.
    SetStrPropByName(nullptr, "Caption", "x");
    SetStrPropByName(&sample, "Missing", "x");
    EXPECT_EQ(GetStrPropByName(&sample, "Missing"), QString());
    EXPECT_EQ(GetOrdPropByName(nullptr, "Tag"), 0);
}

TEST(PropUtils, KindsOfProperties) {
    Sample sample;
    struct Case {
        const char* Name;
        TTypeKind Kind;
    } cases[] = {{"Caption", TTypeKind::tkString},  {"Tag", TTypeKind::tkInteger},
                 {"Visible", TTypeKind::tkBoolean}, {"Ratio", TTypeKind::tkFloat},
                 {"Align", TTypeKind::tkEnumeration}, {"Style", TTypeKind::tkSet},
                 {"Owner", TTypeKind::tkClass},     {"Font", TTypeKind::tkOther},
                 {"Missing", TTypeKind::tkUnknown}};
    for (const Case& c : cases) {
        EXPECT_EQ(PropKind(&sample, c.Name), c.Kind) << c.Name;
    }
}

TEST(PropUtils, SetPropByPathTable) {
    Sample owner;
    Sample sample;
    sample.m_owner = &owner;
    struct Case {
        const char* Path;
        const char* Value;
        bool Result;
    } cases[] = {
        {"Caption", "text", true},
        {"Tag", " 17 ", true},
        {"Tag", "17abc", false},
        {"Visible", "True", true},
        {"Visible", "maybe", false},
        {"Ratio", "2.5", true},
        {"Align", " taCenter ", true},
        {"Align", "taNowhere", false},
        {"Style", "[fsBold, fsUnderline]", true},
        {"Style", "[fsShadow]", false},
        {"Owner.Caption", "owner text", true},
        {"Owner.Tag", "5", true},
        {"Owner.Missing", "x", false},
        {"Font.Name", "WenQuanYi Zen Hei", true},
        {"Font.Size", "14", true},
        {"Font.Size", "big", false},
        {"Font.Charset", "134", false},
        {"Caption.Name", "x", false},
        {"ReadOnly", "x", false},
        {"Missing", "x", false},
        {"", "x", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SetPropByPath(&sample, c.Path, c.Value), c.Result) << c.Path << " = " << c.Value;
    }
    EXPECT_EQ(sample.m_caption, "text");
    EXPECT_EQ(sample.m_tag, 17);
    EXPECT_TRUE(sample.m_visible);
    EXPECT_DOUBLE_EQ(sample.m_ratio, 2.5);
    EXPECT_EQ(sample.m_align, Sample::taCenter);
    EXPECT_EQ(sample.m_style, Sample::Styles(Sample::fsBold | Sample::fsUnderline));
    EXPECT_EQ(owner.m_caption, "owner text");
    EXPECT_EQ(owner.m_tag, 5);
    EXPECT_EQ(sample.m_font.family(), "WenQuanYi Zen Hei");
    EXPECT_EQ(sample.m_font.pointSize(), 14);
    EXPECT_FALSE(SetPropByPath(nullptr, "Caption", "x"));
}

TEST(PropUtils, WorksOnWidgets) {
    int argc = 0;
    QApplication app(argc, nullptr);
    QLabel label;
    EXPECT_TRUE(SetPropByPath(&label, "text", QString::fromUtf8("代码")));
    EXPECT_TRUE(SetPropByPath(&label, "alignment", "AlignRight"));
    EXPECT_TRUE(SetPropByPath(&label, "font.Size", "20"));
    EXPECT_EQ(label.text(), QString::fromUtf8("代码"));
    EXPECT_EQ(label.alignment(), Qt::AlignRight);
    EXPECT_EQ(label.font().pointSize(), 20);
}

} // namespace
} // namespace corvane

#include "PropUtilsTest.moc"
