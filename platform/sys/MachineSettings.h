// The machine-wide settings store, which stands in for the system registry.
//
// The store is an INI file: $CORVANE_REGISTRY when set, else
// /etc/corvane/registry.ini. A registry key is a section named by its path
// (for example [Software\KTC\Corvane]); its values are the section's keys. Key
// paths compare without regard to case and accept "/" for "\". A missing store
// is a store without keys.
#pragma once

#include "platform/sys/IniFile.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

class RegistryKey {
public:
    // Opens a key for reading; empty when the store or the key does not exist.
    static std::optional<RegistryKey> OpenReadOnly(std::string_view keyPath);

    // The value's text; empty when the value is missing.
    std::string ReadString(std::string_view name) const;
    bool ValueExists(std::string_view name) const;

private:
    RegistryKey(std::shared_ptr<const IniFile> store, std::string section)
        : m_store(std::move(store)), m_section(std::move(section)) {}

    std::shared_ptr<const IniFile> m_store;
    std::string m_section;
};

// The path of the settings store file.
std::string MachineSettingsPath();

} // namespace corvane
