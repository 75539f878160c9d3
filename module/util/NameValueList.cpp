#include "module/util/NameValueList.h"

#include "platform/sys/SysUtils.h"

#include <algorithm>

namespace corvane {

std::string NameValueList::Value(std::string_view name) const {
    for (const auto& [key, value] : m_lines) {
        if (SameText(key, name)) {
            return value;
        }
    }
    return {};
}

bool NameValueList::Contains(std::string_view name) const {
    return std::any_of(m_lines.begin(), m_lines.end(), [&](const auto& line) { return SameText(line.first, name); });
}

void NameValueList::SetValue(std::string_view name, std::string_view value) {
    auto it = std::find_if(m_lines.begin(), m_lines.end(), [&](const auto& line) { return SameText(line.first, name); });
    if (value.empty()) {
        if (it != m_lines.end()) {
            m_lines.erase(it);
        }
        return;
    }
    if (it != m_lines.end()) {
        it->second = std::string(value);
    } else {
        m_lines.emplace_back(std::string(name), std::string(value));
    }
}

void NameValueList::SetText(std::string_view text) {
    m_lines.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(start, end - start);
        if (!line.empty()) {
            const size_t eq = line.find('=');
            if (eq == std::string_view::npos) {
                m_lines.emplace_back(std::string(line), std::string());
            } else {
                m_lines.emplace_back(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
            }
        }
        start = end + 1;
    }
}

std::string NameValueList::Text() const {
    std::string text;
    for (const auto& [name, value] : m_lines) {
        text += name + "=" + value + "\r\n";
    }
    return text;
}

} // namespace corvane
