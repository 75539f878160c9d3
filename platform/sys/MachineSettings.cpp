#include "platform/sys/MachineSettings.h"

#include "platform/sys/SysUtils.h"

#include <cstdlib>

namespace corvane {
namespace {

std::string NormalizeKeyPath(std::string_view path) {
    std::string out;
    for (char c : path) {
        out += c == '/' ? '\\' : c;
    }
    while (!out.empty() && out.back() == '\\') {
        out.pop_back();
    }
    while (!out.empty() && out.front() == '\\') {
        out.erase(out.begin());
    }
    return out;
}

} // namespace

std::string MachineSettingsPath() {
    const char* path = std::getenv("CORVANE_REGISTRY");
    return path && *path ? std::string(path) : std::string("/etc/corvane/registry.ini");
}

std::optional<RegistryKey> RegistryKey::OpenReadOnly(std::string_view keyPath) {
    auto store = std::make_shared<const IniFile>(MachineSettingsPath());
    const std::string wanted = NormalizeKeyPath(keyPath);
    for (const auto& section : store->ReadSections()) {
        if (SameText(NormalizeKeyPath(section), wanted)) {
            return RegistryKey(std::move(store), section);
        }
    }
    return std::nullopt;
}

std::string RegistryKey::ReadString(std::string_view name) const { return m_store->ReadString(m_section, name, ""); }

bool RegistryKey::ValueExists(std::string_view name) const { return m_store->ValueExists(m_section, name); }

} // namespace corvane
