// Conversion between simplified and traditional Chinese: round trips through
// the converter and the table-driven functions, the edge cases of the tables,
// variant arrays, whole windows and the extended BIG5 mapping.

#include "module/lang/CodeConverter.h"
#include "module/lang/CodeTables.h"
#include "platform/sys/CodePage.h"
#include "platform/ui/Responder.h"

#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::Gb;

std::string Big5(std::string_view utf8) { return codepage::FromUtf8(utf8, "950"); }

// Characters with exactly one counterpart in the other script.
constexpr const char* kSimplified = "工资身份类别维护：员工与公司负担比例，津贴与扣款项目，金额的小数位数及进位方式。";
constexpr const char* kTraditional = "工資身份類別維護：員工與公司負擔比例，津貼與扣款項目，金額的小數位數及進位方式。";

MappingTables ShippedTables() {
    MappingTables tables;
    EXPECT_TRUE(LoadMappingFile(CORVANE_LANGUAGE_FILE, tables));
    return tables;
}

class Converter : public testing::Test {
protected:
    Converter() { converter.SetModes(2, 2); }
    test::TempDir dir;
    test::ScopedEnv store{"CORVANE_REGISTRY", (dir.Path() / "absent.ini").string()};
    TCodeConverter converter;
};

TEST_F(Converter, ParagraphRoundTripsThroughTheLibraryAndTheTables) {
    const std::string gb = Gb(kSimplified);
    const std::string big5 = Big5(kTraditional);
    EXPECT_EQ(converter.ConvertString(2, gb), big5);
    EXPECT_EQ(converter.ConvertString(1, big5), gb);

    const MappingTables tables = ShippedTables();
    EXPECT_EQ(GBToBig5(gb, tables), big5);
    EXPECT_EQ(Big5ToGB(big5, tables), gb);
}

TEST_F(Converter, TablesAgreeWithTheLibraryOnLongText) {
    // Every GB character the tables map goes back to itself.
    const MappingTables tables = ShippedTables();
    ASSERT_EQ(tables.GbToBig5.size(), 22729u);
    ASSERT_EQ(tables.Big5ToGb.size(), 14758u);
    size_t total = 0;
    size_t same = 0;
    for (unsigned lead = 0xB0; lead <= 0xD7; ++lead) {
        for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
            const std::string character{static_cast<char>(lead), static_cast<char>(trail)};
            ++total;
            same += Big5ToGB(GBToBig5(character, tables), tables) == character ? 1 : 0;
        }
    }
    // Characters that share a traditional form with another one do not come back; they are few.
    EXPECT_GT(same, total * 95 / 100);
}

struct TableCase {
    const char* Name;
    std::function<std::string(const MappingTables&)> Run;
    std::string Expected;
};

void PrintTo(const TableCase& c, std::ostream* os) { *os << c.Name; }

class TableEdges : public testing::TestWithParam<TableCase> {};

TEST_P(TableEdges, Convert) {
    MappingTables tables = ShippedTables();
    EXPECT_EQ(GetParam().Run(tables), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableEdges,
    testing::Values(
        TableCase{"euro to BIG5", [](const MappingTables& t) { return GBToBig5("\x80" "5", t); }, "\xA3\xE1" "5"},
        TableCase{"euro to GB", [](const MappingTables& t) { return Big5ToGB("5\xA3\xE1", t); }, "5\x80"},
        TableCase{"index equal to the table size uses the system",
                  [](const MappingTables& t) {
                      MappingTables shorter = t;
                      const int index = GbIndex(0xB0, 0xA1);
                      shorter.GbToBig5.resize(static_cast<size_t>(index));
                      return GBToBig5("\xB0\xA1", shorter);
                  },
                  codepage::Convert("\xB0\xA1", "936", "950")},
        TableCase{"blank entry uses the system",
                  [](const MappingTables& t) {
                      MappingTables blank = t;
                      blank.GbToBig5[static_cast<size_t>(GbIndex(0xB0, 0xA1))] = 0;
                      return GBToBig5("\xB0\xA1", blank);
                  },
                  codepage::Convert("\xB0\xA1", "936", "950")},
        TableCase{"text ending in a lead byte", [](const MappingTables& t) { return GBToBig5("ab\xB0", t); }, "ab?"},
        TableCase{"BIG5 text ending in a lead byte", [](const MappingTables& t) { return Big5ToGB("a\xA4", t); }, "a?"},
        TableCase{"ASCII stays", [](const MappingTables& t) { return GBToBig5("NA001 = '01'", t); }, "NA001 = '01'"},
        TableCase{"no tables at all", [](const MappingTables&) { return GBToBig5(Gb("类别"), MappingTables{}); },
                  Big5("类别")}),
    [](const testing::TestParamInfo<TableCase>& info) {
        std::string name = info.param.Name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(CodeTableIndexes, FormulasOfThePart) {
    EXPECT_EQ(GbIndex(161, 161), 0);
    EXPECT_EQ(GbIndex(129, 64), 8178);
    EXPECT_EQ(GbIndex(170, 64), 14290);
    EXPECT_EQ(GbIndex(168, 64), 22535);
    EXPECT_EQ(GbIndex(168, 161), 168 * 94 + 161 - 15295);
    EXPECT_EQ(GbIndex(128, 64), -1);
    EXPECT_EQ(Big5Index(161, 64), 0);
    EXPECT_EQ(Big5Index(161, 161), 63);
    EXPECT_EQ(Big5Index(161, 130), -1);
    EXPECT_EQ(Big5Index(129, 64), -1);
}

TEST(MappingFile, MalformedLinesReadAsBlankEntries) {
    test::TempDir dir;
    test::WriteFile(dir.Path() / "Language",
                    "[BIG5]\r\nBIG5A140=$A1A1\r\nBIG5A141=$zz\r\nBIG5A142\r\n\r\nnoise\r\nBIG5A143=$a1a1\r\n"
                    "[GB]\nGBB0A1=$B0A2\nGB=\nGB" + std::string(200000, 'x') + "\n");
    MappingTables tables;
    ASSERT_TRUE(LoadMappingFile((dir.Path() / "Language").string(), tables));
    EXPECT_EQ(tables.Big5ToGb, (std::vector<uint16_t>{0xA1A1, 0, 0, 0}));
    ASSERT_EQ(tables.GbToBig5.size(), 3u);
    EXPECT_EQ(tables.GbToBig5[0], 0xB0A2);
    EXPECT_EQ(tables.GbToBig5[2], 0);
    EXPECT_FALSE(LoadMappingFile((dir.Path() / "missing").string(), tables));
}

TEST(MappingFile, MissingFileShowsItsMessageAndFallsBack) {
    test::TempDir dir;
    test::ScopedEnv store("CORVANE_REGISTRY", (dir.Path() / "absent.ini").string());
    std::vector<QString> messages;
    ui::ScopedMessageResponder responder([&](const ui::MessageDialogRequest& request) {
        messages.push_back(request.Text);
        return ui::mrOk;
    });
    ResetMappingTables();
    EXPECT_EQ(GBToBig5(Gb("类别")), Big5("类别"));
    EXPECT_EQ(GBToBig5(Gb("类别")), Big5("类别"));
    EXPECT_EQ(messages, std::vector<QString>{"Can't find file Language !!"});
    ResetMappingTables();
}

TEST_F(Converter, VariantsAtEveryLevel) {
    const Variant nested = VarArrayOf({Gb("类别"), VarArrayOf({Gb("员工"), 5, VarArrayOf({Gb("金额")})}), Variant::Null()});
    const Variant converted = converter.ConvertText(2, nested);
    EXPECT_EQ(converted.At(0).ToString(), Big5("類別"));
    EXPECT_EQ(converted.At(1).At(0).ToString(), Big5("員工"));
    EXPECT_EQ(converted.At(1).At(1).ToInt(), 5);
    EXPECT_EQ(converted.At(1).At(2).At(0).ToString(), Big5("金額"));
    EXPECT_TRUE(converted.At(2).IsNull());

    Variant grid = VarArrayCreate({0, 1, 1, 2});
    grid.At(1, 2) = Gb("项目");
    EXPECT_EQ(converter.ConvertText(2, grid).At(1, 2).ToString(), Big5("項目"));
    EXPECT_EQ(converter.ConvertText(2, Variant(u"类别")).ToWideString(), u"類別");

    // Mode 4 only chooses fonts; modes 0 and 3 convert nothing either.
    for (int mode : {0, 3, 4}) {
        EXPECT_EQ(converter.ConvertText(mode, nested), nested) << mode;
    }
    // The interface converts simplified to traditional, so storage is the reverse.
    EXPECT_EQ(converter.ToStorage(Variant(Big5("類別"))).ToString(), Gb("类别"));
    EXPECT_EQ(converter.ToDisplay(Variant(Gb("类别"))).ToString(), Big5("類別"));
    EXPECT_EQ(converter.DisplayToDB(Variant(Big5("類別"))).ToString(), Gb("类别"));
    EXPECT_EQ(converter.GBToBig5Text(""), "");
    EXPECT_EQ(converter.Big5ToGBText(Big5("類別")), Gb("类别"));
}

TEST(ConverterWithoutTranslator, LeavesEverythingAsItIs) {
    test::TempDir dir;
    test::ScopedEnv store("CORVANE_REGISTRY", (dir.Path() / "absent.ini").string());
    TCodeConverter converter;
    EXPECT_FALSE(converter.HasTranslator());
    const Variant text = Gb("类别");
    EXPECT_EQ(converter.ConvertText(1, text), text);
    EXPECT_EQ(converter.ConvertText(2, text), text);
    // The direct library calls need no interface conversion.
    EXPECT_EQ(converter.GBToBig5Text(Gb("类别")), Big5("類別"));
}

TEST(ModeFonts, SimSunWithTheModesCharacterSet) {
    for (const auto& [mode, charset] : {std::pair{0, 134}, std::pair{1, 134}, std::pair{2, 136}, std::pair{3, 136},
                                        std::pair{4, 134}}) {
        QFont font("Arial");
        TCodeConverter::SetModeFont(mode, font);
        EXPECT_EQ(font.family(), "SimSun");
        EXPECT_EQ(TCodeConverter::ModeCharset(mode), charset);
    }
}

// A window with the kinds of components the converter visits.
struct SampleForm {
    SampleForm() {
        form.setWindowTitle(QString::fromUtf8("身份类别"));
        label->setObjectName("lblCode");
        label->setToolTip(QString::fromUtf8("类别代码"));
        button->setObjectName("btnSave");
        combo->setObjectName("cboKind");
        combo->addItems({QString::fromUtf8("津贴"), QString::fromUtf8("扣款"), QString::fromUtf8("福利")});
        combo->setCurrentIndex(2);
        list->setObjectName("lvItems");
        list->setHeaderLabels({QString::fromUtf8("项目"), QString::fromUtf8("金额")});
        list->addTopLevelItem(new QTreeWidgetItem({QString::fromUtf8("员工"), QString::fromUtf8("负担")}));
        tree->setObjectName("tvTypes");
        auto* parent = new QTreeWidgetItem({QString::fromUtf8("类别")});
        parent->addChild(new QTreeWidgetItem({QString::fromUtf8("员工")}));
        tree->addTopLevelItem(parent);
    }
    QWidget form;
    QLabel* label = new QLabel(QString::fromUtf8("代码"), &form);
    QPushButton* button = new QPushButton(QString::fromUtf8("保存"), &form);
    QComboBox* combo = new QComboBox(&form);
    QTreeWidget* list = new QTreeWidget(&form);
    QTreeWidget* tree = new QTreeWidget(&form);
};

TEST_F(Converter, WholeFormIsConvertedAndKeepsItsSelection) {
    SampleForm sample;
    converter.SystemCodePage = "950";
    converter.ConvertForm(&sample.form, false, true);
    EXPECT_EQ(sample.form.windowTitle(), QString::fromUtf8("身份類別"));
    EXPECT_EQ(sample.label->text(), QString::fromUtf8("代碼"));
    EXPECT_EQ(sample.label->toolTip(), QString::fromUtf8("類別代碼"));
    EXPECT_EQ(sample.label->font().family(), "SimSun");
    EXPECT_EQ(sample.button->text(), QString::fromUtf8("保存"));
    EXPECT_EQ(sample.combo->itemText(0), QString::fromUtf8("津貼"));
    EXPECT_EQ(sample.combo->currentIndex(), 2);
    EXPECT_EQ(sample.list->headerItem()->text(0), QString::fromUtf8("項目"));
    EXPECT_EQ(sample.list->topLevelItem(0)->text(1), QString::fromUtf8("負擔"));
    EXPECT_EQ(sample.tree->topLevelItem(0)->child(0)->text(0), QString::fromUtf8("員工"));
}

TEST_F(Converter, ExclusionLinesLeaveWhatTheyName) {
    SampleForm sample;
    const Variant data = VarArrayOf({VarArrayOf({"lblCode", "Caption"}), "cboKind"});
    converter.ConvertFormWithData(&sample.form, data, true);
    ASSERT_EQ(converter.ExclusionList.size(), 2u);
    EXPECT_EQ(converter.ExclusionList[0], "lblCode\x03" "Caption");
    // The caption stays; the hint is converted.
    EXPECT_EQ(sample.label->text(), QString::fromUtf8("代码"));
    EXPECT_EQ(sample.label->toolTip(), QString::fromUtf8("類別代碼"));
    // A line with only the name converts nothing on that component.
    EXPECT_EQ(sample.combo->itemText(0), QString::fromUtf8("津贴"));
    EXPECT_EQ(sample.button->text(), QString::fromUtf8("保存"));
}

TEST_F(Converter, ConvertedDialogCarriesCaptionAndSpaces) {
    QWidget form;
    form.setWindowTitle("Identity types");
    std::vector<ui::MessageDialogRequest> shown;
    ui::ScopedMessageResponder responder([&](const ui::MessageDialogRequest& request) {
        shown.push_back(request);
        return ui::mrOk;
    });
    EXPECT_EQ(converter.ShowConvertedDialog(&form, "", ui::MsgDlgType::Error, {ui::mbOK}), ui::mrNone);
    converter.UICodePage = "950";
    converter.SystemCodePage = "936";
    EXPECT_EQ(converter.ShowConvertedDialog(&form, Big5("保存失敗"), ui::MsgDlgType::Error, {ui::mbOK}), ui::mrOk);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, QString::fromUtf8("保存失敗      "));
    EXPECT_EQ(shown[0].Caption, "Identity types");
    EXPECT_EQ(shown[0].FontCharset, "BIG5");
}

TEST(ExtendedBig5, RulesInBothDirections) {
    struct Case {
        unsigned char Lead, Trail;
        char32_t Unicode;
    } cases[] = {{129, 128, 0xA001}, {254, 160, 0xC07E}, {163, 192, 0xC101}, {163, 223, 0xC120}, {163, 254, 0xC13F}};
    for (const Case& c : cases) {
        char32_t decoded = 0;
        ASSERT_TRUE(ExtendedBig5Decode(c.Lead, c.Trail, decoded));
        EXPECT_EQ(decoded, c.Unicode);
        unsigned char lead = 0;
        unsigned char trail = 0;
        ASSERT_TRUE(ExtendedBig5Encode(c.Unicode, lead, trail));
        EXPECT_EQ(lead, c.Lead);
        EXPECT_EQ(trail, c.Trail);
    }
    char32_t decoded = 0;
    EXPECT_FALSE(ExtendedBig5Decode(163, 224, decoded));
    EXPECT_FALSE(ExtendedBig5Decode(0xA4, 0x40, decoded));
    unsigned char lead = 0;
    unsigned char trail = 0;
    EXPECT_FALSE(ExtendedBig5Encode(0xC121, lead, trail));
    EXPECT_FALSE(ExtendedBig5Encode(0x4E00, lead, trail));
}

TEST(ExtendedBig5, InstalledOnlyOnATraditionalSystemThatAllowsIt) {
    test::TempDir dir;
    test::WriteFile(dir.Path() / "registry.ini", "[Software\\KTC\\Corvane]\nUseKBIG5=0\n");
    test::ScopedEnv store("CORVANE_REGISTRY", (dir.Path() / "registry.ini").string());
    {
        test::ScopedEnv acp("CORVANE_ACP", "936");
        EXPECT_FALSE(InstallExtendedBig5IfConfigured());
    }
    test::ScopedEnv acp("CORVANE_ACP", "950");
    EXPECT_FALSE(InstallExtendedBig5IfConfigured());
    test::WriteFile(dir.Path() / "registry.ini", "[Software\\KTC\\Corvane]\nClientPath=/x\n");
    const std::string userDefined = "\x81\x80";
    const std::u16string bySystem = codepage::ToUtf16(userDefined, "950");
    EXPECT_NE(bySystem, u"\xA001");
    ASSERT_TRUE(InstallExtendedBig5IfConfigured());
    // Every BIG5 conversion of the process now knows the user-defined characters.
    EXPECT_EQ(codepage::ToUtf16("a" + userDefined + Big5("類"), "950"), u"a\xA001類");
    EXPECT_EQ(codepage::FromUtf16(u"\xA001\xC101", "950"), "\x81\x80\xA3\xC0");
    RemoveExtendedBig5();
    EXPECT_EQ(codepage::ToUtf16(userDefined, "950"), bySystem);
}

} // namespace
} // namespace corvane
