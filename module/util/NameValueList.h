// A list of name=value lines, as the suite keeps program parameters, server
// information and kept values: names compare without regard to case, and
// assigning an empty value to a name removes its line.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane {

class NameValueList {
public:
    // The value of a name; empty when the name has no line.
    std::string Value(std::string_view name) const;
    bool Contains(std::string_view name) const;
    // Sets a name's value; an empty value removes the line.
    void SetValue(std::string_view name, std::string_view value);
    // Replaces the list with the lines of a text ("\r\n" or "\n" separated);
    // lines without "=" are names with an empty value, kept as they are.
    void SetText(std::string_view text);
    std::string Text() const;
    void Clear() { m_lines.clear(); }
    size_t Count() const { return m_lines.size(); }
    const std::vector<std::pair<std::string, std::string>>& Lines() const { return m_lines; }

private:
    std::vector<std::pair<std::string, std::string>> m_lines;
};

} // namespace corvane
