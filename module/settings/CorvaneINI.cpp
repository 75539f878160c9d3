#include "module/settings/CorvaneINI.h"

#include "module/settings/GbText.h"
#include "platform/sys/CodePage.h"
#include "platform/sys/DateTime.h"
#include "platform/sys/IniFile.h"
#include "platform/sys/MachineSettings.h"
#include "platform/sys/SysUtils.h"

#include <cctype>
#include <cstdio>
#include <fstream>

namespace corvane {
namespace {

constexpr std::string_view kEmptyPasswordMarker = "KT_Say_NoPassWord_ThePassWordIsEmpty";
constexpr std::string_view kPasswordError = "KT_Say_Password_Error";
constexpr size_t kMaxProfileNameLength = 32;

std::string SystemCodePageText() {
    const std::string page = std::to_string(codepage::SystemAnsiCodePage());
    return page == "936" || page == "950" ? page : std::string("437");
}

bool IsTrueText(std::string_view value) {
    const std::string upper = UpperCase(Trim(value));
    return upper == "1" || upper == "Y" || upper == "YES" || upper == "TRUE";
}

std::string PathSetting(std::string_view value) { return IncludeTrailingPathDelimiter(NativePath(value)); }

uint8_t RotateRight(uint8_t byte, unsigned bits) {
    bits %= 8;
    return bits == 0 ? byte : static_cast<uint8_t>((byte >> bits) | (byte << (8 - bits)));
}

uint8_t RotateLeft(uint8_t byte, unsigned bits) {
    bits %= 8;
    return bits == 0 ? byte : static_cast<uint8_t>((byte << bits) | (byte >> (8 - bits)));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool AppendLine(const std::string& folder, const std::string& fileName, std::string_view line) {
    if (folder.empty()) {
        return false;
    }
    const std::string logFolder = IncludeTrailingPathDelimiter(folder) + "Log/";
    if (!ForceDirectories(logFolder)) {
        return false;
    }
    std::ofstream out(logFolder + fileName, std::ios::app | std::ios::binary);
    if (!out) {
        return false;
    }
    out << line << '\n';
    out.flush();
    return static_cast<bool>(out);
}

} // namespace

std::string RegistryLogBase() {
    auto key = RegistryKey::OpenReadOnly(kCorvaneKey);
    if (!key) {
        return {};
    }
    std::string base = Trim(key->ReadString("ClientPath"));
    if (base.empty()) {
        base = Trim(key->ReadString("ServerPath"));
    }
    return base.empty() ? std::string() : PathSetting(base);
}

TCorvaneIni::TCorvaneIni() : SystemCodePage(SystemCodePageText()) {
    UICodePage = SystemCodePage;
    ComputeConvertModes();
}

void TCorvaneIni::ComputeConvertModes() {
    if (UICodePage == "950") {
        UIConvertMode = 2;
    } else if (UICodePage == "936" && SystemCodePage == "950") {
        UIConvertMode = 4;
    } else {
        UIConvertMode = 0;
    }
    if (UICodePage == "950" && DBCodePage == "936") {
        DBConvertMode = 2;
    } else if (UICodePage == "936" && DBCodePage == "950") {
        DBConvertMode = 1;
    } else {
        DBConvertMode = 0;
    }
}

void TCorvaneIni::LocateConfigFile(const std::string& basePath, std::string_view fileName) {
    ConfigDir = basePath;
    if (!ProfileType.empty() && ProfileType != "0") {
        ProfileName = UserName().substr(0, kMaxProfileNameLength);
        const std::string profileDir = basePath + "Profile/" + ProfileName + "/";
        if (FileExists(profileDir + std::string(fileName))) {
            ConfigDir = profileDir;
        }
    }
    IniFileName = ConfigDir + std::string(fileName);
}

void TCorvaneIni::ReadWorkDLLPaths(const IniFile& ini, const std::string& basePath,
                                   std::string_view defaultFolder) {
    WorkDLLPaths.clear();
    for (const auto& [name, value] : ini.ReadSectionValues("WorkDLLPath")) {
        std::string folder = value;
        if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') {
            folder += '\\';
        }
        WorkDLLPaths.push_back(ResolvePath(folder, basePath));
    }
    if (WorkDLLPaths.empty()) {
        WorkDLLPaths.push_back(basePath + std::string(defaultFolder));
    }
}

TCorvaneIniC::TCorvaneIniC() {
    auto key = RegistryKey::OpenReadOnly(kCorvaneKey);
    if (!key) {
        ErrorCode = kErrRegistryKeyMissing;
        return;
    }
    ClientPath = Trim(key->ReadString("ClientPath"));
    const std::string profileType = key->ReadString("ProfileType");
    if (!profileType.empty()) {
        ProfileType = profileType;
    }
    if (ClientPath.empty()) {
        return;
    }
    ClientPath = PathSetting(ClientPath);
    LocateConfigFile(ClientPath, "CorvaneC.ini");

    const IniFile ini(IniFileName);
    LangType = ini.ReadString("Client Components", "LangType", "ENG");
    ProductVersion = ini.ReadString("ProductVersion", "Version", "");
    CreateGifBeforeSendWD = ini.ReadString("UserDefine", "CreateGifBeforeSendWD", "Y");
    UICodePage = ini.ReadString("CodePage", "UICodePage", SystemCodePage);
    DBCodePage = ini.ReadString("CodePage", "DBCodePage", "936");
    SupportCallBack = IsTrueText(ini.ReadString("Server Information", "SupportCallBack", "0"));
    AutoCheckNewMsg = ini.ReadString("TaskMessageCenter Setting", "AutoCheckNewMsg", "1");
    CheckInterval = ini.ReadString("TaskMessageCenter Setting", "CheckInterval", "1");
    PopupMsg = ini.ReadString("TaskMessageCenter Setting", "PopupMsg", "1");
    LoginCheck = ini.ReadString("TaskMessageCenter Setting", "LoginCheck", "0");
    GridViewDataPath = PathSetting(ini.ReadString("Client Components", "GridViewDataPath", ClientPath + "c_Data/"));
    ComputeConvertModes();

    std::string names = Trim(ini.ReadString("Server Information", "ComputerName", "127.0.0.1"));
    if (!names.empty() && names.back() == ';') {
        names.pop_back();
    }
    if (names.empty()) {
        ErrorCode = kErrNoServerName;
        return;
    }
    const int port = ini.ReadInteger("Server Information", "ServerPort", 211);
    std::vector<std::string> entries;
    for (size_t start = 0;;) {
        const size_t semicolon = names.find(';', start);
        entries.push_back(Trim(names.substr(start, semicolon - start)));
        if (semicolon == std::string::npos) {
            break;
        }
        start = semicolon + 1;
    }
    Servers = VarArrayCreate({0, 1, 0, static_cast<int>(entries.size()) - 1});
    for (size_t i = 0; i < entries.size(); ++i) {
        Servers.At(0, static_cast<int>(i)) = entries[i];
        Servers.At(1, static_cast<int>(i)) = port;
    }

    ReadWorkDLLPaths(ini, ClientPath, "C_PKG/");
    Success = ini.IsRead();
}

TCorvaneIniS::TCorvaneIniS() {
    DBSettings = VarArrayCreate({0, 3, 0, 7});
    auto key = RegistryKey::OpenReadOnly(kCorvaneKey);
    if (!key) {
        ErrorCode = kErrRegistryKeyMissing;
        return;
    }
    ServerPath = Trim(key->ReadString("ServerPath"));
    const std::string profileType = key->ReadString("ProfileType");
    if (!profileType.empty()) {
        ProfileType = profileType;
    }
    if (ServerPath.empty()) {
        // Without a server folder there is no file to read; every value keeps its default.
        return;
    }
    ServerPath = PathSetting(ServerPath);
    LocateConfigFile(ServerPath, "CorvaneS.ini");

    const IniFile ini(IniFileName);
    constexpr std::string_view dbe = "DBE Setting";
    constexpr std::string_view ctrl = "DBPasswordCtrl";
    auto put = [this](int row, int col, Variant value) { DBSettings.At(row, col) = std::move(value); };
    put(0, 0, ini.ReadString(dbe, "MainAlias", "Helmar"));
    put(0, 1, ini.ReadString(dbe, "MainUserName", "sa"));
    put(0, 2, DecodePassword(ini.ReadString(dbe, "XXXXXX", "")));
    put(0, 3, ini.ReadString(dbe, "MainDBType", "MSSQL"));
    put(0, 4, ini.ReadString(dbe, "MainDBName", ""));
    put(0, 5, ini.ReadString(dbe, "MainServerName", ""));
    put(0, 6, ini.ReadInteger(dbe, "MainConnectionTimeOut", 300));
    put(0, 7, ini.ReadInteger(dbe, "MainCommandTimeOut", 3000));
    put(1, 0, ini.ReadString(dbe, "TempAlias", "HelmarTemp"));
    put(1, 1, ini.ReadString(dbe, "TempUserName", "sa"));
    put(1, 2, DecodePassword(ini.ReadString(dbe, "TempPassword", "")));
    put(1, 3, ini.ReadString(dbe, "TempDBType", "PARADOX"));
    put(1, 4, ini.ReadString(dbe, "TempDBName", ""));
    put(1, 5, ini.ReadString(dbe, "TempDriverName", "PostgreSQL"));
    put(1, 6, ini.ReadInteger(dbe, "TempConnectionTimeOut", 300));
    put(1, 7, ini.ReadInteger(dbe, "TempCommandTimeOut", 3000));
    put(2, 0, Trim(ini.ReadString(ctrl, "ComputerName", "")));
    put(2, 1, ini.ReadInteger(ctrl, "ServerPort", 211));
    put(2, 2, ini.ReadInteger(ctrl, "ClientSocketPort", 1024));
    put(2, 3, ini.ReadString(dbe, "DataBaseCodeOrder", "Chinese_Taiwan_Stroke_BIN"));
    put(3, 0, ini.ReadString(dbe, "EctAlias", "EDIDATA"));
    put(3, 1, ini.ReadString(dbe, "EctUserName", "sa"));
    put(3, 2, ini.ReadString(dbe, "EctPassword", ""));

    const std::string mainServer = DBSettings.At(0, 5).ToString();
    SystemControlAddress = Trim(ini.ReadString(dbe, "SystemControlAddress", ""));
    if (SystemControlAddress.empty()) {
        SystemControlAddress = mainServer;
    }
    OtherSystemControlAddress = Trim(ini.ReadString(dbe, "OtherSystemControlAddress", ""));
    if (OtherSystemControlAddress.empty()) {
        OtherSystemControlAddress = mainServer;
    }
    const std::string dbType = DBSettings.At(0, 3).ToString();
    DBKind = SameText(dbType, "ORACLE") ? 1 : SameText(dbType, "DB2") ? 2 : 0;

    SupportCallBack = IsTrueText(ini.ReadString(ctrl, "SupportCallBack", "0"));
    UICodePage = ini.ReadString("CodePage", "UICodePage", SystemCodePage);
    DBCodePage = ini.ReadString("CodePage", "DBCodePage", "936");
    ProductVersion = ini.ReadString("ProductVersion", "Version", "");
    ComputeConvertModes();
    ReadWorkDLLPaths(ini, ServerPath, "S_PKG/");
    Success = ini.IsRead();
}

std::string ResolvePath(std::string_view path, std::string_view base) {
    const bool hasDrive = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    if (hasDrive) {
        return std::string(path);
    }
    if (path.starts_with('/')) {
        return NativePath(path);
    }
    if (path.starts_with('\\')) {
        path.remove_prefix(1);
    }
    return NativePath(std::string(base) + std::string(path));
}

std::string EncodePassword(std::string_view text) {
    if (text.empty()) {
        text = kEmptyPasswordMarker;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string code;
    code.reserve(text.size() * 2);
    for (size_t k = 1; k <= text.size(); ++k) {
        const uint8_t byte = RotateRight(static_cast<uint8_t>(text[k - 1]), static_cast<unsigned>(k));
        code += kHex[byte >> 4];
        code += kHex[byte & 0x0F];
    }
    return code;
}

std::string DecodePassword(std::string_view code) {
    std::string text;
    for (size_t k = 1; code.size() >= 2 * k; ++k) {
        const char high = code[2 * k - 2];
        const char low = code[2 * k - 1];
        if (HexDigit(high) < 0 || HexDigit(low) < 0) {
            const EConvertError error("'$" + std::string{high, low} + "' is not a valid integer value");
            LogException(&error, "", GbText("解析 Sa 时发生错误!"));
            return std::string(kPasswordError);
        }
        const auto byte = static_cast<uint8_t>(HexDigit(high) * 16 + HexDigit(low));
        text += static_cast<char>(RotateLeft(byte, static_cast<unsigned>(k)));
    }
    return text == kEmptyPasswordMarker ? std::string() : text;
}

bool WriteGeneratorLog(std::string_view text) {
    try {
        const std::string fileName = "Alert_ZORARGenerator_" + FormatDateTime("yyyymmdd", Now()) + ".log";
        const std::string line = "[" + FormatDateTime("yyyy/mm/dd hh:nn:ss", Now()) + "] " + std::string(text);
        for (const std::string& folder : {RegistryLogBase(), TempFolder(), ProgramFolder()}) {
            if (AppendLine(folder, fileName, line)) {
                return true;
            }
        }
    } catch (...) {
        // The log is a last resort: its own failures are not reported.
    }
    return false;
}

void LogException(const std::exception* error, std::string_view where, std::string_view note) {
    const std::string hyphens(34, '-');
    std::string header = hyphens;
    if (!Trim(where).empty()) {
        header += " on " + std::string(where) + " ";
    }
    WriteGeneratorLog(header + hyphens);

    if (error) {
        WriteGeneratorLog(GbText("讯息信息:"));
        char buffer[64];
        int lines = 0;
        const auto writeItem = [&](const char* kind, int number, int code, const std::string& message) {
            std::snprintf(buffer, sizeof buffer, "%s Error %.2d: Code: %d, Message: ", kind, number, code);
            WriteGeneratorLog(buffer + message);
            ++lines;
        };
        if (const auto* db = dynamic_cast<const EDBEngineError*>(error)) {
            for (size_t i = 0; i < db->Errors.size(); ++i) {
                writeItem("EDBEngineError", static_cast<int>(i + 1), db->Errors[i].Code, db->Errors[i].Message);
            }
        } else if (const auto* os = dynamic_cast<const EOSError*>(error)) {
            writeItem("EWin32Error", 1, os->ErrorCode, os->what());
        } else if (const auto* io = dynamic_cast<const EInOutError*>(error)) {
            writeItem("EInOutError", 1, io->ErrorCode, io->what());
        } else {
            std::snprintf(buffer, sizeof buffer, "\nMessage %.2d: ", 1);
            WriteGeneratorLog("Exception is " + ExceptionClassName(*error) + buffer + error->what());
            lines = 1;
        }
        std::snprintf(buffer, sizeof buffer, "ErrorMessage Count: %d", lines);
        WriteGeneratorLog(buffer);
    }
    if (!Trim(note).empty()) {
        WriteGeneratorLog("Programer Message: " + std::string(note));
    }
}

} // namespace corvane
