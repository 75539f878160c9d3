// Readers of the client and server configuration, the password codec of the
// server file and the generator error log.
//
// Installation paths come from the machine settings key Software\KTC\Corvane
// (values ClientPath, ServerPath, ProfileType); the settings themselves from
// "CorvaneC.ini" (client) and "CorvaneS.ini" (server). Each reader does the
// whole read in its constructor and is meant to be built, read and dropped by
// whoever needs a value: nothing is cached between uses. Paths are kept in
// native form, with "/" separators and a trailing "/".
#pragma once

#include "platform/variant/Variant.h"

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

inline constexpr std::string_view kCorvaneKey = "Software\\KTC\\Corvane";

// Error codes of a configuration read, in the broker's type;code form.
inline constexpr std::string_view kErrRegistryKeyMissing = "E;000015";
inline constexpr std::string_view kErrNoServerName = "E;000016";

// The fields both readers share. Callers may hold either reader through this base.
class TCorvaneIni {
public:
    virtual ~TCorvaneIni() = default;
    TCorvaneIni(const TCorvaneIni&) = default;
    TCorvaneIni& operator=(const TCorvaneIni&) = default;

    std::string ProfileType = "0";
    std::string ProfileName = "Default";
    std::string ConfigDir;
    std::string IniFileName;
    std::string SystemCodePage;
    std::string UICodePage = "936";
    std::string DBCodePage = "936";
    // 0 none, 2 simplified to traditional, 4 the interface in simplified on a traditional system.
    uint8_t UIConvertMode = 0;
    // 0 none, 1 simplified interface over a traditional database, 2 the reverse.
    uint8_t DBConvertMode = 0;
    bool SupportCallBack = false;
    std::string ErrorCode;
    std::string ProductVersion;
    std::vector<std::string> WorkDLLPaths;
    // True when the configuration file was read (and, for the client, named a server).
    bool Success = false;

protected:
    TCorvaneIni();
    void ComputeConvertModes();
    // Steps shared by both readers: profile folder and configuration file name.
    void LocateConfigFile(const std::string& basePath, std::string_view fileName);
    void ReadWorkDLLPaths(const class IniFile& ini, const std::string& basePath, std::string_view defaultFolder);
};

class TCorvaneIniC : public TCorvaneIni {
public:
    TCorvaneIniC();

    std::string ClientPath;
    // 2 x n: row 0 the server names, row 1 their port.
    Variant Servers;
    std::string LangType;
    std::string CreateGifBeforeSendWD;
    std::string GridViewDataPath;
    std::string AutoCheckNewMsg;
    std::string CheckInterval;
    std::string PopupMsg;
    std::string LoginCheck;
};

class TCorvaneIniS : public TCorvaneIni {
public:
    TCorvaneIniS();

    std::string ServerPath;
    // 4 x 8 database settings; cells the file does not fill stay Empty.
    Variant DBSettings;
    std::string SystemControlAddress;
    std::string OtherSystemControlAddress;
    // 0, 1 for an Oracle main database, 2 for DB2.
    int DBKind = 0;
};

// A path with a drive letter, or an absolute "/" path, is returned as it is; a
// path starting with "\" is taken relative to `base`; any other path is
// appended to `base`. The result is in native form.
std::string ResolvePath(std::string_view path, std::string_view base);

std::string EncodePassword(std::string_view text);
std::string DecodePassword(std::string_view code);

// Appends one line to Log/Alert_ZORARGenerator_<YYYYMMDD>.log under the client
// (else server) path, else the temporary folder, else the program's folder.
// False when the line could not be written.
bool WriteGeneratorLog(std::string_view text);
// Writes an error block through WriteGeneratorLog; `error` may be null.
void LogException(const std::exception* error, std::string_view where, std::string_view note);

// The folder that holds the "Log" folder: the registry's ClientPath, else its
// ServerPath (native, with a trailing "/"), else empty.
std::string RegistryLogBase();

} // namespace corvane
