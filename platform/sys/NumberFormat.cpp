#include "platform/sys/NumberFormat.h"

#include "platform/sys/SysUtils.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace corvane {
namespace {

struct Section {
    std::string Prefix;
    std::string Suffix;
    int IntZeros = 0;
    int DecZeros = 0;
    int DecDigits = 0; // "0" and "#" after the point
    bool Thousands = false;
    bool HasDigits = false;
};

std::vector<std::string> SplitSections(std::string_view format) {
    std::vector<std::string> sections(1);
    char quote = 0;
    for (char c : format) {
        if (quote) {
            if (c == quote) {
                quote = 0;
            }
            sections.back() += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            sections.back() += c;
        } else if (c == ';') {
            sections.emplace_back();
        } else {
            sections.back() += c;
        }
    }
    return sections;
}

Section ParseSection(const std::string& text) {
    Section section;
    bool afterPoint = false;
    bool seenDigit = false;
    char quote = 0;
    for (char c : text) {
        if (quote) {
            if (c == quote) {
                quote = 0;
            } else {
                (seenDigit ? section.Suffix : section.Prefix) += c;
            }
            continue;
        }
        switch (c) {
        case '"':
        case '\'':
            quote = c;
            break;
        case '0':
        case '#':
            seenDigit = true;
            section.HasDigits = true;
            if (afterPoint) {
                ++section.DecDigits;
                if (c == '0') {
                    section.DecZeros = section.DecDigits;
                }
            } else if (c == '0') {
                ++section.IntZeros;
            }
            break;
        case '.':
            if (!afterPoint) {
                afterPoint = true;
                seenDigit = true;
            } else {
                section.Suffix += c;
            }
            break;
        case ',':
            if (!afterPoint) {
                section.Thousands = true;
            }
            break;
        default:
            (seenDigit ? section.Suffix : section.Prefix) += c;
            break;
        }
    }
    return section;
}

// The digits of |value| rounded half up at `decimals` places: integer digits and decimals.
void RoundedDigits(double value, int decimals, std::string& intPart, std::string& decPart) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    // buffer: d.dddddddddddddde[+-]xx
    std::string digits;
    digits += buffer[0];
    digits.append(buffer + 2, 14);
    const int exponent = std::atoi(buffer + 17);
    // Position of the decimal point within digits.
    int point = exponent + 1;
    if (point < 0) {
        digits.insert(0, static_cast<size_t>(-point), '0');
        point = 0;
    }
    if (static_cast<int>(digits.size()) < point + decimals + 1) {
        digits.append(static_cast<size_t>(point + decimals + 1 - static_cast<int>(digits.size())), '0');
    }
    const int keep = point + decimals;
    const bool roundUp = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    if (roundUp) {
        int i = keep - 1;
        for (; i >= 0; --i) {
            if (digits[static_cast<size_t>(i)] == '9') {
                digits[static_cast<size_t>(i)] = '0';
            } else {
                ++digits[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            ++point;
        }
    }
    intPart = digits.substr(0, static_cast<size_t>(point));
    decPart = digits.substr(static_cast<size_t>(point));
    const size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? std::string() : intPart.substr(firstNonZero);
}

std::string Group(const std::string& digits) {
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return out;
}

std::string Apply(const Section& section, double value, bool withSign) {
    if (!section.HasDigits) {
        return section.Prefix + section.Suffix;
    }
    std::string intPart;
    std::string decPart;
    RoundedDigits(value, section.DecDigits, intPart, decPart);
    while (static_cast<int>(decPart.size()) > section.DecZeros && !decPart.empty() && decPart.back() == '0') {
        decPart.pop_back();
    }
    if (static_cast<int>(intPart.size()) < section.IntZeros) {
        intPart.insert(0, static_cast<size_t>(section.IntZeros - static_cast<int>(intPart.size())), '0');
    }
    if (section.Thousands) {
        intPart = Group(intPart);
    }
    std::string number = intPart;
    if (!decPart.empty()) {
        number += '.' + decPart;
    }
    const bool nonZero = number.find_first_of("123456789") != std::string::npos;
    return (withSign && value < 0 && nonZero ? "-" : "") + section.Prefix + number + section.Suffix;
}

} // namespace

std::string FormatFloat(std::string_view format, double value) {
    if (format.empty() || !std::isfinite(value)) {
        return FloatToStr(value);
    }
    const std::vector<std::string> texts = SplitSections(format);
    std::vector<Section> sections;
    for (const std::string& text : texts) {
        sections.push_back(ParseSection(text));
    }
    const Section& positive = sections[0];
    // The zero section applies when the value rounds to zero in the positive section.
    if (sections.size() >= 3 && !texts[2].empty()) {
        std::string intPart;
        std::string decPart;
        RoundedDigits(value, positive.DecDigits, intPart, decPart);
        if ((intPart + decPart).find_first_not_of('0') == std::string::npos) {
            return Apply(sections[2], 0.0, false);
        }
    }
    if (value < 0 && sections.size() >= 2 && !texts[1].empty()) {
        return Apply(sections[1], -value, false);
    }
    return Apply(positive, value, true);
}

std::string DecimalText(double value, int decimals, int minDecimals) {
    std::string format = "0";
    if (decimals > 0) {
        format += '.' + std::string(static_cast<size_t>(std::min(minDecimals, decimals)), '0') +
                  std::string(static_cast<size_t>(decimals - std::min(minDecimals, decimals)), '#');
    }
    return FormatFloat(format, value);
}

std::string FloatToStr(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "INF" : "-INF";
    }
    if (value == 0) {
        return "0";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text(buffer);
    // The platform writes the exponent without "+" and leading zeros.
    size_t e = text.find('E');
    if (e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        std::string exponent = text.substr(e + 1);
        bool negative = exponent.front() == '-';
        exponent.erase(0, exponent.find_first_not_of("+-"));
        exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
        text = mantissa + "E" + (negative ? "-" : "") + exponent;
    }
    return text;
}

bool TryStrToFloat(std::string_view text, double& value) {
    std::string s = Trim(text);
    if (s.empty()) {
        return false;
    }
    if (s.find_first_not_of("0123456789+-.eE") != std::string::npos) {
        return false;
    }
    const char* begin = s.data();
    if (*begin == '+') {
        ++begin;
    }
    double parsed = 0;
    auto [ptr, ec] = std::from_chars(begin, s.data() + s.size(), parsed);
    if (ec != std::errc() || ptr != s.data() + s.size()) {
        return false;
    }
    value = parsed;
    return true;
}

bool TryStrToInt64(std::string_view text, int64_t& value) {
    long long parsed = 0;
    if (!TryParseInt(text, parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

} // namespace corvane
