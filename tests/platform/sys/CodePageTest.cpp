// Code-page conversion: round trips of real text, and bad bytes that become
// "?" instead of a crash or a cut text.

#include "platform/sys/CodePage.h"
#include "platform/sys/Exceptions.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace corvane::codepage {
namespace {

TEST(CodePage, RoundTripsChineseTextInEachCodePage) {
    const std::string simplified = "工资身份类别：津贴与扣款项目，员工与公司负担比例。";
    const std::string traditional = "薪資身份類別：津貼與扣款項目，員工與公司負擔比例。";
    for (const auto& [text, page] : {std::pair{simplified, "936"}, std::pair{traditional, "950"}}) {
        const std::string bytes = FromUtf8(text, page);
        EXPECT_NE(bytes, text);
        EXPECT_EQ(ToUtf8(bytes, page), text) << page;
        EXPECT_EQ(FromUtf16(ToUtf16(bytes, page), page), bytes) << page;
    }
    EXPECT_EQ(ToUtf8(FromUtf8("Box-drawing ─│┌", "437"), "437"), "Box-drawing ─│┌");
}

struct BadBytes {
    std::string Input;
    const char* From;
    const char* To;
    std::string Expected;
};

void PrintTo(const BadBytes& c, std::ostream* os) { *os << c.From << " to " << c.To; }

class CodePageBadInput : public testing::TestWithParam<BadBytes> {};

TEST_P(CodePageBadInput, BecomesQuestionMarks) {
    const BadBytes& c = GetParam();
    EXPECT_EQ(Convert(c.Input, c.From, c.To), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodePageBadInput,
    testing::Values(
        // A lead byte at the end of the text.
        BadBytes{"ab\xB9", "936", "65001", "ab?"},
        // A lead byte followed by a byte that cannot trail it.
        BadBytes{"\xB9\x0A" "c", "936", "65001", "?\nc"},
        // Invalid UTF-8.
        BadBytes{"x\xFF\xFEy", "65001", "936", "x??y"},
        // A character the target code page does not have.
        BadBytes{"\xE2\x82\xAC" "1", "65001", "437", "?1"},
        BadBytes{"\xF0\x9F\x98\x80", "65001", "950", "?"},
        BadBytes{"", "936", "950", ""}));

TEST(CodePage, UnknownCodePageIsAClearError) {
    EXPECT_THROW(Convert("abc", "1234", "936"), EConvertError);
    EXPECT_FALSE(IsKnownCodePage("1234"));
    EXPECT_TRUE(IsKnownCodePage("950"));
}

TEST(CodePage, SystemCodePageFromTheEnvironmentOrLocale) {
    test::ScopedEnv lcAll("LC_ALL", std::nullopt);
    test::ScopedEnv lcType("LC_CTYPE", std::nullopt);
    {
        test::ScopedEnv acp("CORVANE_ACP", "950");
        EXPECT_EQ(SystemAnsiCodePage(), 950);
    }
    test::ScopedEnv acp("CORVANE_ACP", std::nullopt);
    for (const auto& [locale, page] : {std::pair{"zh_CN.UTF-8", 936}, std::pair{"zh_TW.Big5", 950},
                                       std::pair{"en_US.UTF-8", 1252}, std::pair{"C", 1252}}) {
        test::ScopedEnv lang("LANG", locale);
        EXPECT_EQ(SystemAnsiCodePage(), page) << locale;
    }
}

} // namespace
} // namespace corvane::codepage
