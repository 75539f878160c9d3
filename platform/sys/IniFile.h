// A reader of Windows-style INI files.
//
// The whole file is read when the reader is built. Sections and keys compare
// without regard to case; values are trimmed and lose one pair of enclosing
// quotes; lines starting with ";" are comments. A missing or unreadable file
// reads as an empty one, so every read answers its default. When a key stands
// twice in a section the first one counts; a section that stands twice is read
// as one. The texts are the file's bytes, in whatever code page it was written.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane {

class IniFile {
public:
    using Pair = std::pair<std::string, std::string>;

    // Reads the file at `path` (a path with "\" separators is taken as written with "/").
    explicit IniFile(std::string_view path);
    static IniFile FromText(std::string_view text);

    const std::string& FileName() const { return m_fileName; }
    // True when the file existed and was read.
    bool IsRead() const { return m_isRead; }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // Decimal (or "$"/"0x" hexadecimal) integers; anything else answers the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // "0" is false and any other integer true; a value that is no integer answers the default.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> ReadSections() const;
    // Key names of a section, in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    // Key and value pairs of a section, in file order.
    std::vector<Pair> ReadSectionValues(std::string_view section) const;

private:
    struct Section {
        std::string Name;
        std::vector<Pair> Entries;
    };

    IniFile() = default;
    void Parse(std::string_view text);
    const Section* FindSection(std::string_view name) const;
    const std::string* FindValue(std::string_view section, std::string_view key) const;

    std::string m_fileName;
    bool m_isRead = false;
    std::vector<Section> m_sections;
};

} // namespace corvane
