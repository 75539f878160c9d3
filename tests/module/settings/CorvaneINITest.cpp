// Client and server configuration, the password codec and the generator log.

#include "module/settings/CorvaneINI.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvane {
namespace {

// An installation in a scratch folder: the settings store, a client and a
// server folder; the system code page is set per test.
class Installation : public testing::Test {
protected:
    void WriteRegistry(const std::string& values) {
        test::WriteFile(m_dir.Path() / "registry.ini", "[Software\\KTC\\Corvane]\n" + values);
    }
    void WriteStandardRegistry(const std::string& profileType = "0") {
        WriteRegistry("ClientPath=" + Client() + "\nServerPath=" + Server() + "\nProfileType=" + profileType + "\n");
    }
    void WriteClientIni(const std::string& text) { test::WriteFile(m_dir.Path() / "client/CorvaneC.ini", text); }
    void WriteServerIni(const std::string& text) { test::WriteFile(m_dir.Path() / "server/CorvaneS.ini", text); }
    std::string Client() const { return m_dir.Folder() + "client/"; }
    std::string Server() const { return m_dir.Folder() + "server/"; }
    void SetSystemCodePage(const char* page) { m_acp.emplace("CORVANE_ACP", page); }

    test::TempDir m_dir;
    test::ScopedEnv m_store{"CORVANE_REGISTRY", (m_dir.Path() / "registry.ini").string()};
    std::optional<test::ScopedEnv> m_acp{std::in_place, "CORVANE_ACP", "936"};
};

TEST_F(Installation, MissingRegistryKeyGivesErrorAndDefaults) {
    SetSystemCodePage("1252");
    const TCorvaneIniC client;
    EXPECT_EQ(client.ErrorCode, "E;000015");
    EXPECT_EQ(client.SystemCodePage, "437");
    EXPECT_EQ(client.UICodePage, "437");
    EXPECT_EQ(client.DBCodePage, "936");
    EXPECT_EQ(client.UIConvertMode, 0);
    EXPECT_EQ(client.DBConvertMode, 0);
    EXPECT_TRUE(client.Servers.IsEmpty());
    EXPECT_FALSE(client.Success);
    const TCorvaneIniS server;
    EXPECT_EQ(server.ErrorCode, "E;000015");
    EXPECT_TRUE(server.DBSettings.At(0, 0).IsEmpty());
}

TEST_F(Installation, MissingClientFileGivesEveryDefault) {
    WriteStandardRegistry();
    const TCorvaneIniC client;
    EXPECT_EQ(client.ErrorCode, "");
    EXPECT_FALSE(client.Success);
    EXPECT_EQ(client.ClientPath, Client());
    EXPECT_EQ(client.IniFileName, Client() + "CorvaneC.ini");
    EXPECT_EQ(client.LangType, "ENG");
    EXPECT_EQ(client.CreateGifBeforeSendWD, "Y");
    EXPECT_EQ(client.UICodePage, "936");
    EXPECT_EQ(client.GridViewDataPath, Client() + "c_Data/");
    ASSERT_EQ(client.Servers.Length(2), 1);
    EXPECT_EQ(client.Servers.At(0, 0).ToString(), "127.0.0.1");
    EXPECT_EQ(client.Servers.At(1, 0).ToInt(), 211);
    EXPECT_EQ(client.WorkDLLPaths, std::vector<std::string>{Client() + "C_PKG/"});
    EXPECT_EQ(client.AutoCheckNewMsg, "1");
    EXPECT_EQ(client.LoginCheck, "0");
}

TEST_F(Installation, ReadsTheClientFile) {
    WriteRegistry("ClientPath=" + Client().substr(0, Client().size() - 1) + "\n");
    WriteClientIni("[Client Components]\nLangType=CHT\n"
                   "[ProductVersion]\nVersion=8.0\n"
                   "[Server Information]\nComputerName= alpha; beta; \nServerPort=300\nSupportCallBack=yes\n"
                   "[WorkDLLPath]\nA=C_PKG\nB=\\Sub\\Dir\\\nC=/opt/corvane/pkg\nD=C:\\Programs\n");
    const TCorvaneIniC client;
    EXPECT_TRUE(client.Success);
    EXPECT_EQ(client.ClientPath, Client());
    EXPECT_EQ(client.LangType, "CHT");
    EXPECT_EQ(client.ProductVersion, "8.0");
    EXPECT_TRUE(client.SupportCallBack);
    ASSERT_EQ(client.Servers.DimCount(), 2);
    ASSERT_EQ(client.Servers.Length(2), 2);
    EXPECT_EQ(client.Servers.At(0, 0).ToString(), "alpha");
    EXPECT_EQ(client.Servers.At(0, 1).ToString(), "beta");
    EXPECT_EQ(client.Servers.At(1, 0).ToInt(), 300);
    EXPECT_EQ(client.Servers.At(1, 1).ToInt(), 300);
    EXPECT_EQ(client.WorkDLLPaths, (std::vector<std::string>{Client() + "C_PKG/", Client() + "Sub/Dir/",
                                                              "/opt/corvane/pkg/", "C:\\Programs\\"}));
}

TEST_F(Installation, EmptyComputerNameGivesErrorAndNoServers) {
    WriteStandardRegistry();
    WriteClientIni("[Server Information]\nComputerName= ; \n");
    const TCorvaneIniC client;
    EXPECT_EQ(client.ErrorCode, "E;000016");
    EXPECT_TRUE(client.Servers.IsEmpty());
    EXPECT_FALSE(client.Success);
}

TEST_F(Installation, SupportCallBackValues) {
    WriteStandardRegistry();
    for (const auto& [value, expected] : {std::pair{"yes", true}, std::pair{"Y", true}, std::pair{"TRUE", true},
                                          std::pair{"1", true}, std::pair{"2", false}, std::pair{"no", false}}) {
        WriteClientIni(std::string("[Server Information]\nSupportCallBack=") + value + "\n");
        EXPECT_EQ(TCorvaneIniC().SupportCallBack, expected) << value;
    }
}

struct ModeCase {
    const char* System;
    const char* UI;
    const char* DB;
    int UIMode, DBMode;
};

class ConvertModes : public Installation, public testing::WithParamInterface<ModeCase> {};

TEST_P(ConvertModes, FollowTheCodePages) {
    const ModeCase& c = GetParam();
    SetSystemCodePage(c.System);
    WriteStandardRegistry();
    std::string text = "[CodePage]\n";
    if (*c.UI) {
        text += std::string("UICodePage=") + c.UI + "\n";
    }
    text += std::string("DBCodePage=") + c.DB + "\n";
    WriteClientIni(text);
    WriteServerIni(text);
    const TCorvaneIniC client;
    const TCorvaneIniS server;
    for (const TCorvaneIni* ini : {static_cast<const TCorvaneIni*>(&client), static_cast<const TCorvaneIni*>(&server)}) {
        EXPECT_EQ(ini->UIConvertMode, c.UIMode);
        EXPECT_EQ(ini->DBConvertMode, c.DBMode);
    }
}

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.System << "/" << c.UI << "/" << c.DB; }

INSTANTIATE_TEST_SUITE_P(Pages, ConvertModes,
                         testing::Values(ModeCase{"1252", "", "936", 0, 0}, ModeCase{"950", "936", "936", 4, 0},
                                         ModeCase{"936", "950", "936", 2, 2}, ModeCase{"936", "936", "950", 0, 1},
                                         ModeCase{"950", "", "950", 2, 0}, ModeCase{"936", "437", "936", 0, 0}));

TEST_F(Installation, ProfileFolderWhenTheUserHasOne) {
    WriteStandardRegistry("1");
    // Without a per-user file the shared one is read.
    WriteClientIni("[Client Components]\nLangType=CHS\n");
    const TCorvaneIniC shared;
    EXPECT_EQ(shared.IniFileName, Client() + "CorvaneC.ini");
    EXPECT_EQ(shared.LangType, "CHS");
    EXPECT_NE(shared.ProfileName, "Default");

    test::WriteFile(Client() + "Profile/" + shared.ProfileName + "/CorvaneC.ini", "[Client Components]\nLangType=CHT\n");
    const TCorvaneIniC own;
    EXPECT_EQ(own.ConfigDir, Client() + "Profile/" + shared.ProfileName + "/");
    EXPECT_EQ(own.LangType, "CHT");
}

TEST_F(Installation, ReadsTheServerFile) {
    WriteStandardRegistry();
    WriteServerIni("[DBE Setting]\nMainDBType=oracle\nMainServerName=dbhost\nXXXXXX=" + EncodePassword("secret") +
                   "\nTempPassword=" + EncodePassword("") + "\nEctPassword=" + EncodePassword("x") +
                   "\nMainCommandTimeOut=60\n"
                   "[DBPasswordCtrl]\nComputerName= app1 \nSupportCallBack=TRUE\n");
    const TCorvaneIniS server;
    EXPECT_TRUE(server.Success);
    const Variant& db = server.DBSettings;
    EXPECT_EQ(db.At(0, 0).ToString(), "Helmar");
    EXPECT_EQ(db.At(0, 2).ToString(), "secret");
    EXPECT_EQ(db.At(0, 3).ToString(), "oracle");
    EXPECT_EQ(db.At(0, 6).ToInt(), 300);
    EXPECT_EQ(db.At(0, 7).ToInt(), 60);
    EXPECT_EQ(db.At(1, 2).ToString(), "");
    EXPECT_EQ(db.At(1, 5).ToString(), "PostgreSQL");
    EXPECT_EQ(db.At(2, 0).ToString(), "app1");
    EXPECT_EQ(db.At(2, 1).ToInt(), 211);
    EXPECT_EQ(db.At(2, 2).ToInt(), 1024);
    EXPECT_EQ(db.At(2, 3).ToString(), "Chinese_Taiwan_Stroke_BIN");
    EXPECT_EQ(db.At(3, 2).ToString(), EncodePassword("x"));
    EXPECT_TRUE(db.At(2, 4).IsEmpty());
    EXPECT_TRUE(db.At(3, 7).IsEmpty());
    EXPECT_EQ(server.DBKind, 1);
    EXPECT_EQ(server.SystemControlAddress, "dbhost");
    EXPECT_EQ(server.OtherSystemControlAddress, "dbhost");
    EXPECT_TRUE(server.SupportCallBack);
    EXPECT_EQ(server.WorkDLLPaths, std::vector<std::string>{Server() + "S_PKG/"});
}

TEST(ResolvePath, DriveRootedAndRelativePaths) {
    EXPECT_EQ(ResolvePath("C:\\Corvane\\", "/opt/client/"), "C:\\Corvane\\");
    EXPECT_EQ(ResolvePath("/srv/pkg/", "/opt/client/"), "/srv/pkg/");
    EXPECT_EQ(ResolvePath("/srv\\pkg\\", "/opt/client/"), "/srv/pkg/");
    EXPECT_EQ(ResolvePath("\\C_PKG\\", "/opt/client/"), "/opt/client/C_PKG/");
    EXPECT_EQ(ResolvePath("C_PKG\\", "/opt/client/"), "/opt/client/C_PKG/");
    EXPECT_EQ(ResolvePath("", "/opt/client/"), "/opt/client/");
}

TEST(PasswordCodec, EncodesAndRoundTrips) {
    EXPECT_EQ(EncodePassword("abc"), "B0986C");
    for (const std::string& text : std::vector<std::string>{"abc", "sa", "pässwörd", std::string("\x00\xff\x80", 3), "a longer password 123"}) {
        EXPECT_EQ(DecodePassword(EncodePassword(text)), text);
    }
    EXPECT_EQ(DecodePassword(""), "");
    EXPECT_EQ(DecodePassword(EncodePassword("")), "");
    // A single trailing digit is ignored.
    EXPECT_EQ(DecodePassword("B0986C7"), "abc");
}

TEST(PasswordCodec, NonHexadecimalCodeIsAnErrorAndIsLogged) {
    test::TempDir dir;
    test::WriteFile(dir.Path() / "registry.ini", "[Software\\KTC\\Corvane]\nClientPath=" + dir.Folder() + "\n");
    test::ScopedEnv store("CORVANE_REGISTRY", (dir.Path() / "registry.ini").string());
    EXPECT_EQ(DecodePassword("B0ZZ6C"), "KT_Say_Password_Error");

    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path() / "Log")) {
        EXPECT_TRUE(entry.path().filename().string().starts_with("Alert_ZORARGenerator_"));
        log = test::ReadFile(entry.path());
    }
    EXPECT_NE(log.find(std::string(34, '-') + std::string(34, '-')), std::string::npos);
    EXPECT_NE(log.find("Exception is EConvertError\nMessage 01: '$ZZ' is not a valid integer value"), std::string::npos);
    EXPECT_NE(log.find("ErrorMessage Count: 1"), std::string::npos);
    EXPECT_NE(log.find("Programer Message: " + test::Gb("解析 Sa 时发生错误!")), std::string::npos);
}

TEST(GeneratorLog, WritesErrorBlocksByKind) {
    test::TempDir dir;
    test::WriteFile(dir.Path() / "registry.ini", "[Software\\KTC\\Corvane]\nServerPath=" + dir.Folder() + "\n");
    test::ScopedEnv store("CORVANE_REGISTRY", (dir.Path() / "registry.ini").string());
    const EDBEngineError db("engine", {{10, "first"}, {20, "second"}});
    const EOSError os("denied", 5);
    LogException(&db, "Class BaseCD-302", "");
    LogException(&os, "", "note");
    LogException(nullptr, "  ", "  ");

    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path() / "Log")) {
        log = test::ReadFile(entry.path());
    }
    EXPECT_NE(log.find(std::string(34, '-') + " on Class BaseCD-302 " + std::string(34, '-')), std::string::npos);
    EXPECT_NE(log.find("EDBEngineError Error 01: Code: 10, Message: first"), std::string::npos);
    EXPECT_NE(log.find("EDBEngineError Error 02: Code: 20, Message: second"), std::string::npos);
    EXPECT_NE(log.find("ErrorMessage Count: 2"), std::string::npos);
    EXPECT_NE(log.find("EWin32Error Error 01: Code: 5, Message: denied"), std::string::npos);
    EXPECT_NE(log.find("Programer Message: note"), std::string::npos);
    // Each line starts with the time in brackets.
    EXPECT_EQ(log.front(), '[');
    EXPECT_EQ(log.find("\n\n"), std::string::npos);
}

TEST(GeneratorLog, FallsBackToTheTemporaryFolder) {
    test::TempDir dir;
    // The client path names a file, so no Log folder can be made under it.
    test::WriteFile(dir.Path() / "file", "x");
    test::WriteFile(dir.Path() / "registry.ini", "[Software\\KTC\\Corvane]\nClientPath=" + dir.Folder() + "file\n");
    test::ScopedEnv store("CORVANE_REGISTRY", (dir.Path() / "registry.ini").string());
    test::ScopedEnv tmp("TMPDIR", dir.Folder() + "tmp");
    EXPECT_TRUE(WriteGeneratorLog("to temp"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "tmp/Log"));
}

} // namespace
} // namespace corvane
