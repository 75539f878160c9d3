// Tokens, pads, replacement, decimals, variant code pages, button captions and
// the alert log.

#include "module/util/LibStrs.h"

#include "platform/sys/CodePage.h"
#include "platform/sys/DateTime.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace corvane {
namespace {

TEST(Tokens, CountNthAndCut) {
    struct Case {
        const char* Text;
        const char* Sep;
        int Count;
        const char* Second;
        const char* Third;
    } cases[] = {
        {"", ",", 0, "", ""},           {"A,B", ",", 2, "B", ""},         {"A,B,", ",", 3, "B", ""},
        {"a:b", ":", 2, "b", ""},        {"a:b:c:d", ":", 4, "b", "c"}, {"x||y||z", "||", 3, "y", "z"},
        {"no separator", ";", 1, "", ""}, {",,", ",", 3, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CountTokens(c.Text, c.Sep), c.Count) << c.Text;
        EXPECT_EQ(NthToken(c.Text, c.Sep, 2), c.Second) << c.Text;
        EXPECT_EQ(NthToken(c.Text, c.Sep, 3), c.Third) << c.Text;
    }
    EXPECT_EQ(NthToken("a:b", ":", 0), "");

    std::string text = "CdsMain:NA001;CdsBody1:NB002";
    EXPECT_EQ(CutToken(text, ";"), "CdsMain:NA001");
    EXPECT_EQ(text, "CdsBody1:NB002");
    EXPECT_EQ(CutToken(text, ";"), "CdsBody1:NB002");
    EXPECT_EQ(text, "");
}

TEST(Pads, PadToWidthAndLeaveLongerTexts) {
    EXPECT_EQ(PadLeft("7", 3, '0'), "007");
    EXPECT_EQ(PadRight("ab", 4), "ab  ");
    EXPECT_EQ(PadLeft("abcd", 3), "abcd");
    EXPECT_EQ(PadRight("abc", -1), "abc");
    EXPECT_EQ(ZeroPad(6, 42), "000042");
    EXPECT_EQ(ZeroPad(2, 1234), "1234");
    EXPECT_EQ(ZeroPad(3, -5), "-005");
}

TEST(ReplaceAll, ReplacesEveryOccurrenceAndEnds) {
    EXPECT_EQ(ReplaceAll("a.b.c", ".", "||"), "a||b||c");
    // A replacement that contains what it replaces is not scanned again.
    EXPECT_EQ(ReplaceAll("aXa", "a", "aa"), "aaXaa");
    // Texts equal without regard to case are left alone.
    EXPECT_EQ(ReplaceAll("abc", "B", "b"), "abc");
    EXPECT_EQ(ReplaceAll("$$PALNA", "$$", "DEMO.."), "DEMO..PALNA");
    EXPECT_EQ(ReplaceAll("  x y  ", "y", "z", true), "x z");
    EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
}

TEST(ButtonCaptions, LocalizedByName) {
    EXPECT_EQ(LocalizedButtonCaption("Yes"), test::Gb("是(&Y)"));
    EXPECT_EQ(LocalizedButtonCaption("Cancel"), test::Gb("取消"));
    EXPECT_EQ(LocalizedButtonCaption("NoToAll"), test::Gb("全否(&o)"));
    EXPECT_EQ(LocalizedButtonCaption("Help"), test::Gb("帮助(&H)"));
    EXPECT_EQ(LocalizedButtonCaption("Close"), "Close");
    EXPECT_EQ(LocalizedButtonCaption("yes"), "yes");
}

TEST(Decimals, RoundToAndCompareFloat) {
    struct Case {
        int Digits;
        double X, Expected;
    } cases[] = {{2, 2.675, 2.68}, {2, 1.005, 1.01}, {0, 0.5, 1}, {0, -0.5, -1}, {2, -2.675, -2.68},
                 {3, 0.1 + 0.2, 0.3}, {0, 0, 0},       {2, 1e6 + 0.125, 1000000.13}, {2, 12345.125, 12345.13}, {2, -12345.125, -12345.13},
                 {2, 12345.124999, 12345.12}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(RoundTo(c.Digits, c.X), c.Expected) << c.X;
    }
    EXPECT_FALSE(std::signbit(RoundTo(2, 0.0)));
    EXPECT_EQ(CompareFloat(0.1 + 0.2, 0.3), 0);
    EXPECT_EQ(CompareFloat(1.0, 1.0001), -1);
    EXPECT_EQ(CompareFloat(2.0, 1.0), 1);
}

TEST(VariantCodePages, ConvertsTextsInNestedArrays) {
    const std::u16string wide = u"身份";
    Variant grid = VarArrayCreate({0, 1, 0, 0});
    grid.At(0, 0) = wide;
    grid.At(1, 0) = 3;
    const Variant value = VarArrayOf({Variant(wide), 5, VarArrayOf({Variant(u"类别"), Variant::Null()}), grid});

    const Variant ansi = WideVariantToAnsi(value, "936");
    EXPECT_EQ(ansi.At(0), Variant(test::Gb("身份")));
    EXPECT_EQ(ansi.At(1), Variant(5));
    EXPECT_EQ(ansi.At(2).At(0), Variant(test::Gb("类别")));
    EXPECT_TRUE(ansi.At(2).At(1).IsNull());
    EXPECT_EQ(ansi.At(3).At(0, 0), Variant(test::Gb("身份")));
    EXPECT_EQ(AnsiVariantToWide(ansi, "936"), value);
    EXPECT_EQ(WideVariantToAnsi(Variant(u"身份"), "950"), Variant(codepage::FromUtf8("身份", "950")));
}

// An installation whose client path is a scratch folder, so logs can be read back.
class AlertLog : public testing::Test {
protected:
    AlertLog() {
        test::WriteFile(m_dir.Path() / "registry.ini", "[Software\\KTC\\Corvane]\nClientPath=" + m_dir.Folder() + "\n");
    }
    std::string LogText(const std::string& name) { return test::ReadFile(m_dir.Path() / "Log" / name); }

    test::TempDir m_dir;
    test::ScopedEnv m_store{"CORVANE_REGISTRY", (m_dir.Path() / "registry.ini").string()};
};

TEST_F(AlertLog, WritesOneStampedLinePerCallIntoTheDailyFile) {
    ASSERT_TRUE(WriteAlertLog("Class BaseCD-302", "first", "D"));
    ASSERT_TRUE(WriteAlertLog("Class BaseCD-302", "second", "D"));
    const std::string today = FormatDateTime("yyyymmdd", Now());
    const std::string text = LogText("Alert_Class BaseCD-302_" + today + ".log");
    ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    // [YYYY/MM/DD hh:nn:ss:zzz] text
    ASSERT_GE(text.size(), 26u);
    EXPECT_EQ(text[0], '[');
    EXPECT_EQ(text.substr(0, 5), "[" + today.substr(0, 4));
    EXPECT_EQ(text[5], '/');
    EXPECT_EQ(text[20], ':');
    EXPECT_EQ(text.substr(24, 8), "] first\n");
}

TEST_F(AlertLog, PeriodsAndDottedTags) {
    const std::string today = FormatDateTime("yyyymmdd", Now());
    ASSERT_TRUE(WriteAlertLog("ROVI18", "m", "M"));
    ASSERT_TRUE(WriteAlertLog("ROVI18", "y", "Y"));
    ASSERT_TRUE(WriteAlertLog("trace.txt", "t", "X"));
    EXPECT_NE(LogText("Alert_ROVI18_" + today.substr(0, 6) + ".log").find("] m"), std::string::npos);
    EXPECT_NE(LogText("Alert_ROVI18_" + today.substr(0, 4) + ".log").find("] y"), std::string::npos);
    EXPECT_NE(LogText("Alert_trace.txt_" + today).find("] t"), std::string::npos);
}

TEST_F(AlertLog, GuardedVariantConversionLogsAndKeepsTheValue) {
    const Variant value = VarArrayOf({Variant(u"abc")});
    EXPECT_EQ(WideVariantToAnsi(value, "12345"), value);
    const std::string text = LogText("Alert_libstrs_" + FormatDateTime("yyyymmdd", Now()) + ".log");
    EXPECT_NE(text.find("] LINE[2735] Unsupported code page: 12345"), std::string::npos);
}

TEST(AlertLogFailure, AnUnwritableFolderAnswersFalse) {
    test::TempDir dir;
    test::WriteFile(dir.Path() / "file", "x");
    test::WriteFile(dir.Path() / "registry.ini", "[Software\\KTC\\Corvane]\nClientPath=" + dir.Folder() + "file\n");
    test::ScopedEnv store("CORVANE_REGISTRY", (dir.Path() / "registry.ini").string());
    EXPECT_FALSE(WriteAlertLog("x", "y", "D"));
}

TEST(Network, OnlyTheLoopbackAddressIsLocal) {
    EXPECT_TRUE(IsLocalAddress("127.0.0.1"));
    EXPECT_FALSE(IsLocalAddress("localhost"));
    EXPECT_FALSE(IsLocalAddress("127.0.0.2"));
}

} // namespace
} // namespace corvane
