#include "module/lang/CodeTables.h"

#include "module/settings/CorvaneINI.h"
#include "platform/sys/CodePage.h"
#include "platform/sys/MachineSettings.h"
#include "platform/sys/SysUtils.h"
#include "platform/ui/MessageDialog.h"

#include <fstream>
#include <mutex>

namespace corvane {
namespace {

constexpr unsigned char kGbEuro = 128;
constexpr unsigned char kBig5EuroLead = 163;
constexpr unsigned char kBig5EuroTrail = 225;

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Characters 2 to 5 of the value as a code; 0 when they are not hexadecimal.
uint16_t ParseCode(std::string_view line) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return 0;
    }
    const std::string_view value = line.substr(eq + 1);
    if (value.size() < 5) {
        return 0;
    }
    unsigned code = 0;
    for (size_t i = 1; i <= 4; ++i) {
        const int digit = HexValue(value[i]);
        if (digit < 0) {
            return 0;
        }
        code = code * 16 + static_cast<unsigned>(digit);
    }
    return static_cast<uint16_t>(code);
}

struct ProcessTables {
    std::mutex Lock;
    MappingTables Tables;
    bool Tried = false;
};

ProcessTables& TheTables() {
    static ProcessTables tables;
    return tables;
}

const MappingTables& LoadedTables() {
    ProcessTables& process = TheTables();
    std::lock_guard guard(process.Lock);
    if (process.Tables.GbToBig5.empty()) {
        const std::string clientPath = TCorvaneIniC().ClientPath;
        const std::string candidates[] = {clientPath.empty() ? std::string() : clientPath + "Language",
                                          ProgramFolder() + "Language"};
        bool found = false;
        for (const std::string& path : candidates) {
            if (!path.empty() && FileExists(path) && LoadMappingFile(path, process.Tables)) {
                found = true;
                break;
            }
        }
        if (!found && !process.Tried) {
            ui::MessageDialogRequest request;
            request.Text = "Can't find file Language !!";
            request.Buttons = {ui::mbOK};
            request.DefaultButton = ui::mbOK;
            ui::ShowMessageDialog(request);
        }
        process.Tried = true;
    }
    return process.Tables;
}

void AppendCode(std::string& out, uint16_t code) {
    out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
}

} // namespace

int GbIndex(unsigned char a, unsigned char t) {
    if (((a >= 161 && a <= 169) || (a >= 176 && a <= 247)) && t >= 161 && t <= 254) {
        return a * 94 + t - 15295;
    }
    const int offset = t - 64;
    if (a >= 129 && a <= 160 && offset >= 0 && offset <= 190) {
        return offset + a * 191 - 16461;
    }
    if (a >= 170 && a <= 254 && offset >= 0 && offset <= 96) {
        return offset + a * 97 - 2200;
    }
    if ((a == 168 || a == 169) && offset >= 0 && offset <= 96) {
        return offset + a * 97 + 6239;
    }
    return -1;
}

int Big5Index(unsigned char a, unsigned char t) {
    int index = -1;
    if (t >= 161 && t <= 254) {
        index = a * 157 + t - 25375;
    } else if (t >= 64 && t <= 126) {
        index = a * 157 + t - 25341;
    }
    return index < 0 ? -1 : index;
}

bool IsGbDoubleByte(unsigned char lead, unsigned char trail) { return lead >= 129 && trail != 127; }

bool IsBig5DoubleByte(unsigned char lead, unsigned char trail) {
    return lead >= 128 && ((trail >= 64 && trail <= 126) || (trail >= 161 && trail <= 254));
}

bool LoadMappingFile(const std::string& path, MappingTables& tables) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) {
        return false;
    }
    tables = {};
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == '[') {
            continue;
        }
        if (line.starts_with("BIG5")) {
            tables.Big5ToGb.push_back(ParseCode(line));
        } else if (line.starts_with("GB")) {
            tables.GbToBig5.push_back(ParseCode(line));
        }
    }
    return true;
}

std::string GBToBig5(std::string_view text, const MappingTables& tables) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[i]);
        if (a == kGbEuro) {
            out.push_back(static_cast<char>(kBig5EuroLead));
            out.push_back(static_cast<char>(kBig5EuroTrail));
            continue;
        }
        if (a < 129) {
            out.push_back(static_cast<char>(a));
            continue;
        }
        if (i + 1 >= text.size()) {
            // A text ending in a lead byte: the byte is converted alone.
            out += codepage::Convert(text.substr(i, 1), "936", "950");
            continue;
        }
        const auto t = static_cast<unsigned char>(text[i + 1]);
        if (!IsGbDoubleByte(a, t)) {
            out.push_back(static_cast<char>(a));
            continue;
        }
        const int index = GbIndex(a, t);
        const uint16_t code = index >= 0 && static_cast<size_t>(index) < tables.GbToBig5.size()
                                  ? tables.GbToBig5[static_cast<size_t>(index)]
                                  : 0;
        if (code) {
            AppendCode(out, code);
        } else {
            out += codepage::Convert(text.substr(i, 2), "936", "950");
        }
        ++i;
    }
    return out;
}

std::string Big5ToGB(std::string_view text, const MappingTables& tables) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[i]);
        if (a < 128) {
            out.push_back(static_cast<char>(a));
            continue;
        }
        if (i + 1 >= text.size()) {
            out += codepage::Convert(text.substr(i, 1), "950", "936");
            continue;
        }
        const auto t = static_cast<unsigned char>(text[i + 1]);
        if (a == kBig5EuroLead && t == kBig5EuroTrail) {
            out.push_back(static_cast<char>(kGbEuro));
            ++i;
            continue;
        }
        if (!IsBig5DoubleByte(a, t)) {
            out.push_back(static_cast<char>(a));
            continue;
        }
        const int index = Big5Index(a, t);
        const uint16_t code = index >= 0 && static_cast<size_t>(index) < tables.Big5ToGb.size()
                                  ? tables.Big5ToGb[static_cast<size_t>(index)]
                                  : 0;
        if (code) {
            AppendCode(out, code);
        } else {
            out += codepage::Convert(text.substr(i, 2), "950", "936");
        }
        ++i;
    }
    return out;
}

std::string GBToBig5(std::string_view text) { return GBToBig5(text, LoadedTables()); }

std::string Big5ToGB(std::string_view text) { return Big5ToGB(text, LoadedTables()); }

void ResetMappingTables() {
    ProcessTables& process = TheTables();
    std::lock_guard guard(process.Lock);
    process.Tables = {};
    process.Tried = false;
}

bool ExtendedBig5Decode(unsigned char lead, unsigned char trail, char32_t& out) {
    if (lead >= 129 && trail >= 128 && trail <= 160) {
        out = static_cast<char32_t>((trail + 32) << 8 | (lead - 128));
        return true;
    }
    if (lead == 163 && ((trail >= 192 && trail <= 223) || (trail >= 225 && trail <= 254))) {
        out = static_cast<char32_t>(0xC100 | (trail - 191));
        return true;
    }
    return false;
}

bool ExtendedBig5Encode(char32_t in, unsigned char& lead, unsigned char& trail) {
    const unsigned high = (in >> 8) & 0xFF;
    const unsigned low = in & 0xFF;
    if (in > 0xFFFF) {
        return false;
    }
    if (high >= 160 && high <= 192 && low >= 1 && low <= 126) {
        lead = static_cast<unsigned char>(low + 128);
        trail = static_cast<unsigned char>(high - 32);
        return true;
    }
    if (high == 0xC1 && ((low >= 1 && low <= 32) || (low >= 34 && low <= 63))) {
        lead = 163;
        trail = static_cast<unsigned char>(low + 191);
        return true;
    }
    return false;
}

bool InstallExtendedBig5IfConfigured() {
    if (codepage::SystemAnsiCodePage() != 950) {
        return false;
    }
    auto key = RegistryKey::OpenReadOnly(kCorvaneKey);
    if (key && key->ValueExists("UseKBIG5") && Trim(key->ReadString("UseKBIG5")) == "0") {
        return false;
    }
    codepage::InstallExtension("950", {&ExtendedBig5Decode, &ExtendedBig5Encode});
    return true;
}

void RemoveExtendedBig5() { codepage::RemoveExtension("950"); }

} // namespace corvane
