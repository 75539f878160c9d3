// Text, path and process facilities.

#include "platform/sys/SysUtils.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(SysUtils, CaseFoldingLeavesDoubleByteTextAlone) {
    const std::string chinese = test::Gb("身份类别");
    EXPECT_TRUE(SameText("ClientPath", "CLIENTPATH"));
    EXPECT_FALSE(SameText("abc", "abd"));
    EXPECT_EQ(UpperCase("na001" + chinese), "NA001" + chinese);
    EXPECT_EQ(LowerCase("NA001" + chinese), "na001" + chinese);
    EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
}

TEST(SysUtils, PathsFromSettings) {
    EXPECT_EQ(NativePath("C_PKG\\Sub\\"), "C_PKG/Sub/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/x"), "/opt/x/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/x/"), "/opt/x/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
    EXPECT_EQ(ExtractFilePath("/opt/x/ROVI18C.so"), "/opt/x/");
    EXPECT_EQ(ExtractFileName("C:\\pkg\\ROVI18C.dll"), "ROVI18C.dll");
}

TEST(SysUtils, FoldersAreMadeWithTheirParents) {
    test::TempDir dir;
    const std::string deep = dir.Folder() + "a/b/c";
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_FALSE(FileExists(deep));
    test::WriteFile(dir.Path() / "file", "x");
    EXPECT_FALSE(ForceDirectories(dir.Folder() + "file/sub"));
    EXPECT_FALSE(ForceDirectories(""));
}

TEST(SysUtils, ProcessAndModule) {
    EXPECT_FALSE(UserName().empty());
    EXPECT_EQ(ExtractFileName(ProgramFileName()), "platform_sys_tests");
    EXPECT_EQ(ProgramFolder(), ExtractFilePath(ProgramFileName()));
    // The shared library that holds the platform code, found from one of its functions.
    const std::string module = ModuleFileName(reinterpret_cast<const void*>(&NativePath));
    EXPECT_EQ(ExtractFileName(module), "libplatform_sys.so");
    test::ScopedEnv tmp("TMPDIR", "/var/tmp");
    EXPECT_EQ(TempFolder(), "/var/tmp/");
}

} // namespace
} // namespace corvane
