#include "appserver/SqlDialect.h"

#include "platform/sys/SysUtils.h"

#include <cctype>

namespace corvane::server {
namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool MatchesWordAt(std::string_view text, size_t pos, std::string_view word) {
    if (pos + word.size() > text.size() || !SameText(text.substr(pos, word.size()), word)) {
        return false;
    }
    const bool startOk = pos == 0 || !IsWordChar(text[pos - 1]);
    const bool endOk = pos + word.size() == text.size() || !IsWordChar(text[pos + word.size()]);
    return startOk && endOk;
}

} // namespace

std::string RewriteDialect(std::string_view sql, std::string_view dbName) {
    std::string out;
    out.reserve(sql.size());
    const std::string prefix = std::string(dbName) + "..";
    size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            // Copy the quoted text with its doubled quotes.
            const size_t start = i++;
            while (i < sql.size()) {
                if (sql[i] == c) {
                    if (i + 1 < sql.size() && sql[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.append(sql.substr(start, i - start));
            continue;
        }
        if (c == '$' && i + 1 < sql.size() && sql[i + 1] == '$') {
            i += 2;
            continue;
        }
        if (!dbName.empty() && MatchesWordAt(sql, i, dbName) && sql.substr(i + dbName.size(), 2) == "..") {
            i += prefix.size();
            continue;
        }
        out += c;
        ++i;
    }
    // select top N -> select ... limit N, for a statement that starts with it.
    size_t start = out.find_first_not_of(" \t\r\n");
    if (start != std::string::npos && MatchesWordAt(out, start, "select")) {
        size_t top = out.find_first_not_of(" \t\r\n", start + 6);
        if (top != std::string::npos && MatchesWordAt(out, top, "top")) {
            size_t number = out.find_first_not_of(" \t\r\n", top + 3);
            size_t end = number;
            while (end < out.size() && std::isdigit(static_cast<unsigned char>(out[end]))) {
                ++end;
            }
            if (number != std::string::npos && end > number) {
                const std::string count = out.substr(number, end - number);
                std::string rest = out.substr(end);
                while (!rest.empty() && (rest.back() == ';' || std::isspace(static_cast<unsigned char>(rest.back())))) {
                    rest.pop_back();
                }
                out = out.substr(0, start + 6) + rest + " LIMIT " + count;
            }
        }
    }
    return out;
}

} // namespace corvane::server
