#include "platform/sys/IniFile.h"

#include "platform/sys/SysUtils.h"

#include <climits>
#include <fstream>
#include <sstream>

namespace corvane {
namespace {

std::string_view TrimView(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\0'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

} // namespace

IniFile::IniFile(std::string_view path) : m_fileName(NativePath(path)) {
    std::ifstream in(m_fileName, std::ios::binary);
    if (!in) {
        return;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        return;
    }
    m_isRead = true;
    Parse(buffer.str());
}

IniFile IniFile::FromText(std::string_view text) {
    IniFile file;
    file.m_isRead = true;
    file.Parse(text);
    return file;
}

void IniFile::Parse(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    Section* current = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = TrimView(text.substr(pos, end - pos));
        pos = end + 1;
        if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n') {
            ++pos;
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            size_t close = line.find(']');
            std::string_view name = TrimView(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
            current = const_cast<Section*>(FindSection(name));
            if (!current) {
                m_sections.push_back({std::string(name), {}});
                current = &m_sections.back();
            }
            continue;
        }
        size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos) {
            continue;
        }
        std::string_view key = TrimView(line.substr(0, eq));
        if (key.empty()) {
            continue;
        }
        bool duplicate = false;
        for (const auto& entry : current->Entries) {
            if (SameText(entry.first, key)) {
                duplicate = true;
                break;
            }
        }
        if (!duplicate) {
            current->Entries.emplace_back(std::string(key), std::string(Unquote(TrimView(line.substr(eq + 1)))));
        }
    }
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    for (const auto& section : m_sections) {
        if (SameText(section.Name, name)) {
            return &section;
        }
    }
    return nullptr;
}

const std::string* IniFile::FindValue(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (!found) {
        return nullptr;
    }
    for (const auto& entry : found->Entries) {
        if (SameText(entry.first, key)) {
            return &entry.second;
        }
    }
    return nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    const std::string* value = FindValue(section, key);
    return value ? *value : std::string(defaultValue);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const std::string* text = FindValue(section, key);
    long long value = 0;
    if (!text || !TryParseInt(*text, value) || value < INT_MIN || value > INT_MAX) {
        return defaultValue;
    }
    return static_cast<int>(value);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindValue(section, key) != nullptr;
}

std::vector<std::string> IniFile::ReadSections() const {
    std::vector<std::string> names;
    for (const auto& section : m_sections) {
        names.push_back(section.Name);
    }
    return names;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* found = FindSection(section)) {
        for (const auto& entry : found->Entries) {
            keys.push_back(entry.first);
        }
    }
    return keys;
}

std::vector<IniFile::Pair> IniFile::ReadSectionValues(std::string_view section) const {
    const Section* found = FindSection(section);
    return found ? found->Entries : std::vector<Pair>{};
}

} // namespace corvane
