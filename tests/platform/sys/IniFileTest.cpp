// INI files: sections and keys without regard to case, and malformed files
// that read as far as they can and answer defaults for the rest.

#include "platform/sys/IniFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(IniFile, ReadsSectionsAndKeysWithoutRegardToCase) {
    const IniFile ini = IniFile::FromText("; comment\r\n"
                                          "[Server Information]\r\n"
                                          "  ComputerName =  host1;host2  \r\n"
                                          "ServerPort=300\r\n"
                                          "Quoted=\" spaced \"\r\n"
                                          "[WorkDLLPath]\n"
                                          "A=C_PKG\\\n"
                                          "B=\\other\n");
    EXPECT_EQ(ini.ReadString("server information", "COMPUTERNAME", ""), "host1;host2");
    EXPECT_EQ(ini.ReadInteger("Server Information", "serverport", 211), 300);
    EXPECT_EQ(ini.ReadString("Server Information", "Quoted", ""), " spaced ");
    EXPECT_EQ(ini.ReadString("Server Information", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadSection("workdllpath"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ini.ReadSectionValues("WorkDLLPath")[1].second, "\\other");
}

TEST(IniFile, MissingFileAnswersEveryDefault) {
    const IniFile ini("/nonexistent/folder/CorvaneC.ini");
    EXPECT_FALSE(ini.IsRead());
    EXPECT_EQ(ini.ReadString("CodePage", "UICodePage", "936"), "936");
    EXPECT_EQ(ini.ReadInteger("Server Information", "ServerPort", 211), 211);
    EXPECT_TRUE(ini.ReadSections().empty());
}

struct Malformed {
    const char* Name;
    std::string Text;
    std::string Section, Key, Expected;
};

void PrintTo(const Malformed& c, std::ostream* os) { *os << c.Name; }

class IniFileMalformed : public testing::TestWithParam<Malformed> {};

TEST_P(IniFileMalformed, ReadsWhatItCanAndDefaultsTheRest) {
    const Malformed& c = GetParam();
    test::TempDir dir;
    test::WriteFile(dir.Path() / "bad.ini", c.Text);
    const IniFile ini((dir.Path() / "bad.ini").string());
    EXPECT_TRUE(ini.IsRead());
    EXPECT_EQ(ini.ReadString(c.Section, c.Key, "default"), c.Expected) << c.Name;
}

const std::string kLongValue(1 << 20, 'x');

INSTANTIATE_TEST_SUITE_P(
    Files, IniFileMalformed,
    testing::Values(Malformed{"no sections", "Key=value\nOther=1\n", "", "Key", "default"},
                    Malformed{"duplicate keys keep the first", "[S]\nKey=first\nkey=second\n", "S", "Key", "first"},
                    Malformed{"repeated section is merged", "[S]\nA=1\n[T]\nB=2\n[s]\nC=3\n", "S", "C", "3"},
                    Malformed{"binary bytes", std::string("[S]\nKey=a\x01\xff\x80z\n\0\0\0[T]\n", 22), "S", "Key",
                              "a\x01\xff\x80z"},
                    Malformed{"unterminated last line", "[S]\nKey=tail", "S", "Key", "tail"},
                    Malformed{"unterminated section header", "[S\nKey=v\n", "S", "Key", "v"},
                    Malformed{"line without equals sign", "[S]\njunk line\nKey=v\n", "S", "junk line", "default"},
                    Malformed{"empty key", "[S]\n=v\n", "S", "", "default"},
                    Malformed{"carriage returns only", "[S]\rKey=v\rNext=w\r", "S", "Next", "w"},
                    Malformed{"byte order mark", "\xEF\xBB\xBF[S]\nKey=v\n", "S", "Key", "v"},
                    Malformed{"one megabyte line", "[S]\nKey=" + kLongValue + "\nNext=n\n", "S", "Key", kLongValue},
                    Malformed{"empty file", "", "S", "Key", "default"}),
    [](const testing::TestParamInfo<Malformed>& info) {
        std::string name = info.param.Name;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        return name;
    });

TEST(IniFile, IntegersAndBooleans) {
    const IniFile ini = IniFile::FromText("[S]\nHex=$1F\nBig=99999999999\nText=12abc\nZero=0\nTwo=2\nNeg= -4 \n");
    EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "Big", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "Text", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "Neg", 0), -4);
    EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("S", "Two", false));
    EXPECT_TRUE(ini.ReadBool("S", "Text", true));
}

} // namespace
} // namespace corvane
