// corvane-config: prints the client and server configuration as the module
// reads it from the machine settings store and the two configuration files.
// Useful to check an installation before starting the work center.

#include "module/settings/CorvaneINI.h"
#include "platform/sys/MachineSettings.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

void Line(std::string_view name, std::string_view value) {
    std::printf("  %-24s %.*s\n", std::string(name).c_str(), static_cast<int>(value.size()), value.data());
}

void PrintCommon(const corvane::TCorvaneIni& ini) {
    Line("ProfileType", ini.ProfileType);
    Line("ProfileName", ini.ProfileName);
    Line("IniFileName", ini.IniFileName);
    Line("SystemCodePage", ini.SystemCodePage);
    Line("UICodePage", ini.UICodePage);
    Line("DBCodePage", ini.DBCodePage);
    Line("UIConvertMode", std::to_string(ini.UIConvertMode));
    Line("DBConvertMode", std::to_string(ini.DBConvertMode));
    Line("SupportCallBack", ini.SupportCallBack ? "yes" : "no");
    Line("ProductVersion", ini.ProductVersion);
    for (const auto& path : ini.WorkDLLPaths) {
        Line("WorkDLLPath", path);
    }
    Line("ErrorCode", ini.ErrorCode.empty() ? "(none)" : ini.ErrorCode);
    Line("Read", ini.Success ? "yes" : "no");
}

} // namespace

int main() {
    std::printf("Machine settings store: %s\n\n", corvane::MachineSettingsPath().c_str());

    const corvane::TCorvaneIniC client;
    std::printf("Client configuration\n");
    Line("ClientPath", client.ClientPath);
    Line("LangType", client.LangType);
    Line("GridViewDataPath", client.GridViewDataPath);
    PrintCommon(client);
    if (client.Servers.IsArray()) {
        for (int i = client.Servers.LowBound(2); i <= client.Servers.HighBound(2); ++i) {
            Line("Server", client.Servers.At(0, i).ToString() + ":" + client.Servers.At(1, i).ToString());
        }
    }

    const corvane::TCorvaneIniS server;
    std::printf("\nServer configuration\n");
    Line("ServerPath", server.ServerPath);
    PrintCommon(server);
    Line("MainDBType", corvane::VarToStr(server.DBSettings.At(0, 3)));
    Line("MainDBName", corvane::VarToStr(server.DBSettings.At(0, 4)));
    Line("DBKind", std::to_string(server.DBKind));

    if (!client.ErrorCode.empty()) {
        std::fprintf(stderr, "\nThe client configuration is incomplete (%s).\n", client.ErrorCode.c_str());
        return 1;
    }
    return 0;
}
