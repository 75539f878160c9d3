// Language packages applied to component trees, message texts with their
// defaults, and malformed language files.

#include "module/lang/LanguageController.h"
#include "platform/sys/CodePage.h"

#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::Gb;

// An installation whose interface code page is set per test, with a language folder.
class Installation : public testing::Test {
protected:
    Installation() {
        test::WriteFile(m_dir.Path() / "registry.ini", "[Software\\KTC\\Corvane]\nClientPath=" + m_dir.Folder() + "\n");
        SetInterface("936");
    }
    void SetInterface(const std::string& codePage) {
        test::WriteFile(m_dir.Path() / "CorvaneC.ini", "[CodePage]\nUICodePage=" + codePage + "\n");
    }
    void WriteLanguageFile(const std::string& code, const std::string& name, const std::string& text) {
        test::WriteFile(m_dir.Path() / "MultiLanguage" / code / (name + ".Lng"), text);
    }
    std::string Folder(const std::string& code) { return m_dir.Folder() + "MultiLanguage/" + code + "/"; }

    test::TempDir m_dir;
    test::ScopedEnv m_store{"CORVANE_REGISTRY", (m_dir.Path() / "registry.ini").string()};
};

TEST_F(Installation, LanguageFolderByInterfaceCodePage) {
    EXPECT_EQ(LanguageFolder(TDesignType::dtClient), "");
    for (const auto& [page, code] : {std::pair{"936", "CHS"}, std::pair{"950", "CHT"}, std::pair{"437", "ENG"}}) {
        SetInterface(page);
        WriteLanguageFile(code, "x", "<x/>");
        EXPECT_EQ(LanguageFolder(TDesignType::dtClient), Folder(code)) << page;
    }
    SetInterface("1252");
    EXPECT_EQ(LanguageFolder(TDesignType::dtClient), "");
    EXPECT_EQ(LanguageCode("1252"), "");
}

TEST_F(Installation, GetLangTextFromTheMessageFileOrTheDefault) {
    TCodeConverter converter;
    const std::string fallback = Gb("保存失败");
    EXPECT_EQ(GetLangText(converter, "TdmSingle", "sFailedSave", false, fallback), fallback);
    WriteLanguageFile("CHS", "TdmSingle",
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><TdmSingle><sOther Msg=\"x\"/>"
                      "<Group><sFailedSave Msg=\"保存不成功\"/></Group></TdmSingle>");
    EXPECT_EQ(GetLangText(converter, "TdmSingle", "sFailedSave", false, fallback), Gb("保存不成功"));
    EXPECT_EQ(GetLangText(converter, "TdmSingle", "sMissing", false, fallback), fallback);
    EXPECT_EQ(GetLangText(converter, "TdmSingle", "sOther", false, fallback), "x");
    // A file in a Chinese code page is read in that code page.
    WriteLanguageFile("CHS", "TdmBase", "<?xml version=\"1.0\" encoding=\"GB2312\"?><TdmBase><sKey Msg=\"" + Gb("笔数") +
                                            "\"/></TdmBase>");
    EXPECT_EQ(GetLangText(converter, "TdmBase", "sKey", false, fallback), Gb("笔数"));
    WriteLanguageFile("CHS", "TdmDouble", "<TdmDouble><sKey Msg=\"unclosed\"></TdmDouble>");
    EXPECT_EQ(GetLangText(converter, "TdmDouble", "sKey", false, fallback), fallback);
    EXPECT_EQ(GetLangText(converter, "TdmSingle", "not a tag", false, fallback), fallback);
}

TEST_F(Installation, DefaultsPassThroughTheConverterWhenAsked) {
    SetInterface("950");
    TCodeConverter converter;
    ASSERT_EQ(converter.UIConvertMode, 2);
    EXPECT_EQ(GetLangText(converter, "TdmSingle", "sFailedSave", true, Gb("保存失败")),
              codepage::FromUtf8("保存失敗", "950"));
    EXPECT_EQ(GetLangText(converter, "TdmSingle", "sFailedSave", false, Gb("保存失败")), Gb("保存失败"));
}

class TfrmSample : public QWidget {
    Q_OBJECT

public:
    TfrmSample() {
        setObjectName("frmSample");
        panel->setObjectName("pnlHead");
        label->setObjectName("lblCode");
        combo->setObjectName("cboKind");
        combo->addItems({"one", "two"});
        combo->setCurrentIndex(1);
        list->setObjectName("lvItems");
        list->setColumnCount(3);
        list->addTopLevelItem(new QTreeWidgetItem({"first"}));
        tree->setObjectName("tvTypes");
        auto* root = new QTreeWidgetItem({"root"});
        root->addChild(new QTreeWidgetItem({"child"}));
        tree->addTopLevelItem(root);
        tree->addTopLevelItem(new QTreeWidgetItem({"second root"}));
        inner->setObjectName("lblInner");
    }
    QWidget* panel = new QWidget(this);
    QLabel* label = new QLabel("code", this);
    QComboBox* combo = new QComboBox(this);
    QTreeWidget* list = new QTreeWidget(this);
    QTreeWidget* tree = new QTreeWidget(this);
    QLabel* inner = new QLabel("inner", panel);
};

class TfrmDerived : public TfrmSample {
    Q_OBJECT
};

constexpr const char* kPackage = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<frmSample Caption="身份类别" Hint="form hint">
  <lblCode Caption="代码" Font.Name="WenQuanYi Zen Hei" Font.Size="11" Alignment="AlignRight" Missing="x"/>
  <cboKind Items_5="六" Items_0="一"/>
  <lvItems Columns_1.Caption="金额" Columns_9.Caption="ignored" Items_0.Caption="第一" Items_7.Caption="none"/>
  <tvTypes Items_1.Text="子" Items_2.Text="第二根"/>
  <pnlHead Hint="excluded"/>
  <lblInner Caption="内层"/>
</frmSample>)xml";

TEST(LanguagePackage, AppliesToTheFormAndItsComponents) {
    TfrmSample form;
    xml::XmlDocument document = xml::XmlDocument::Parse(kPackage);
    TLangReader reader(document, {" PNLHEAD "});
    std::vector<std::string> loaded;
    reader.AfterLoadComponent = [&](QObject* component, const xml::XmlNode&) {
        loaded.push_back(component->objectName().toStdString());
    };
    reader.ReadComponent(&form);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("身份类别"));
    EXPECT_EQ(form.toolTip(), "form hint");
    EXPECT_EQ(form.label->text(), QString::fromUtf8("代码"));
    EXPECT_EQ(form.label->font().family(), "WenQuanYi Zen Hei");
    EXPECT_EQ(form.label->font().pointSize(), 11);
    EXPECT_EQ(form.label->alignment(), Qt::AlignRight);
    // Items_5 on a two-item list adds three empty lines and sets the sixth; the selection stays.
    ASSERT_EQ(form.combo->count(), 6);
    EXPECT_EQ(form.combo->itemText(0), QString::fromUtf8("一"));
    EXPECT_EQ(form.combo->itemText(2), "");
    EXPECT_EQ(form.combo->itemText(5), QString::fromUtf8("六"));
    EXPECT_EQ(form.combo->currentIndex(), 1);
    EXPECT_EQ(form.list->headerItem()->text(1), QString::fromUtf8("金额"));
    EXPECT_EQ(form.list->columnCount(), 3);
    EXPECT_EQ(form.list->topLevelItem(0)->text(0), QString::fromUtf8("第一"));
    EXPECT_EQ(form.tree->topLevelItem(0)->child(0)->text(0), QString::fromUtf8("子"));
    EXPECT_EQ(form.tree->topLevelItem(1)->text(0), QString::fromUtf8("第二根"));
    // The excluded panel is untouched; what it owns is still read.
    EXPECT_EQ(form.panel->toolTip(), "");
    EXPECT_EQ(form.inner->text(), QString::fromUtf8("内层"));
    EXPECT_EQ(loaded, (std::vector<std::string>{"frmSample", "frmSample", "lblInner", "lblCode", "cboKind", "lvItems",
                                                "tvTypes"}));
}

TEST(LanguagePackage, AttributePathsThatCannotBeFollowedAreIgnored) {
    TfrmSample form;
    struct Case {
        const char* Path;
        bool Applied;
    } cases[] = {{"Caption", false},        {"Columns_9.Caption", false}, {"Columns_1.Width", false},
                 {"Items_x", false},        {"Font.Charset", false},      {"Nothing.Deep.Path", false},
                 {"Items_0.Caption", true}, {"toolTip", true}};
    for (const Case& c : cases) {
        EXPECT_EQ(ApplyLanguageAttribute(form.list, c.Path, "v"), c.Applied) << c.Path;
    }
}

TEST_F(Installation, LoadLanguageOverTheClassChain) {
    WriteLanguageFile("CHS", "TfrmSample", "<frmSample Caption=\"from the base class\"><lblCode Caption=\"base\"/></frmSample>");
    WriteLanguageFile("CHS", "TfrmDerived", "<frmSample Caption=\"from the derived class\"/>");
    TfrmDerived form;
    EXPECT_EQ(ClassChain(&form), (std::vector<std::string>{"TfrmSample", "TfrmDerived"}));
    TKtLangController controller;
    std::vector<std::string> opened;
    controller.AfterOpen = [&](QObject*) { opened.push_back(controller.LangPackageName()); };
    LoadLanguage(controller, &form);
    EXPECT_EQ(opened, (std::vector<std::string>{"TfrmSample", "TfrmDerived"}));
    EXPECT_EQ(form.windowTitle(), "from the derived class");
    EXPECT_EQ(form.label->text(), "base");
}

TEST_F(Installation, ControllerActivationAndErrors) {
    TKtLangController controller;
    EXPECT_FALSE(controller.Active());
    EXPECT_THROW(controller.ReadComponent(nullptr), Exception);
    EXPECT_THROW(controller.SetActive(true), Exception);
    controller.SetLangPackageName("TfrmMissing");
    // Without a language folder the name stands alone, relative to the current folder.
    EXPECT_EQ(controller.FileName(), "TfrmMissing.Lng");
    EXPECT_THROW(controller.SetActive(true), Exception);

    WriteLanguageFile("CHS", "TfrmBad", "<frmBad Caption=\"x\"");
    controller.SetLangPackageName("TfrmBad");
    EXPECT_THROW(controller.SetActive(true), xml::EXmlError);
    EXPECT_FALSE(controller.Active());

    WriteLanguageFile("CHS", "TfrmGood", "<frmGood/>");
    controller.SetLangPackageName("TfrmGood");
    controller.SetActive(true);
    EXPECT_TRUE(controller.Active());
    int closes = 0;
    controller.AfterClose = [&](QObject*) { ++closes; };
    // The same name again does nothing; a new name deactivates.
    controller.SetLangPackageName("TfrmGood");
    EXPECT_TRUE(controller.Active());
    controller.SetLangPackageName("TfrmOther");
    EXPECT_FALSE(controller.Active());
    EXPECT_EQ(closes, 1);

    controller.DocumentText = "<frmSample Caption=\"from memory\"/>";
    controller.SetActive(true);
    TfrmSample form;
    controller.ReadComponent(&form);
    EXPECT_EQ(form.windowTitle(), "from memory");
}

TEST_F(Installation, HugeAndDamagedPackagesDoNotCrash) {
    std::string huge = "<frmSample>";
    for (int i = 0; i < 20000; ++i) {
        huge += "<n" + std::to_string(i) + " Caption=\"x\"/>";
    }
    huge += "<lblCode Caption=\"found\"/></frmSample>";
    TKtLangController controller;
    controller.DocumentText = huge;
    controller.SetActive(true);
    TfrmSample form;
    controller.ReadComponent(&form);
    EXPECT_EQ(form.label->text(), "found");

    for (const char* damaged : {"", "<", "<a><b></a>", "\xff\xfe\x00<", "<frmSample Caption='x' Caption='y'/>"}) {
        TKtLangController other;
        other.DocumentText = damaged;
        if (std::string(damaged).empty()) {
            EXPECT_THROW(other.SetActive(true), Exception);
            continue;
        }
        try {
            other.SetActive(true);
            other.ReadComponent(&form);
        } catch (const Exception&) {
            EXPECT_FALSE(other.Active());
        }
    }
}

} // namespace
} // namespace corvane

#include "LanguageControllerTest.moc"
