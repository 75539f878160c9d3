#include "module/util/FormatText.h"

#include <cstdio>

namespace corvane {
namespace {

double NumberOf(const Variant& value) {
    try {
        return value.IsEmptyOrNull() ? 0 : value.ToDouble();
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace

std::string FormatText(std::string_view format, const std::vector<Variant>& args) {
    std::string out;
    size_t next = 0;
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        // %[-][width][.precision]type
        size_t j = i + 1;
        std::string spec = "%";
        if (j < format.size() && format[j] == '-') {
            spec += '-';
            ++j;
        }
        while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])) && spec.size() < 6) {
            spec += format[j++];
        }
        if (j < format.size() && format[j] == '.') {
            spec += format[j++];
            while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])) && spec.size() < 9) {
                spec += format[j++];
            }
        }
        if (j >= format.size() || std::string_view("sdufegxSDUFEGX").find(format[j]) == std::string_view::npos) {
            out += format.substr(i, j - i);
            i = j;
            continue;
        }
        const char type = static_cast<char>(std::tolower(static_cast<unsigned char>(format[j])));
        const Variant arg = next < args.size() ? args[next] : Variant();
        ++next;
        char buffer[512];
        if (type == 's') {
            const std::string text = VarToStr(arg);
            std::snprintf(buffer, sizeof buffer, (spec + "s").c_str(), text.c_str());
            out += text.size() >= sizeof buffer - 1 ? text : std::string(buffer);
        } else if (type == 'd' || type == 'u' || type == 'x') {
            const auto value = static_cast<long long>(NumberOf(arg));
            std::snprintf(buffer, sizeof buffer, (spec + (type == 'x' ? "llX" : "lld")).c_str(), value);
            out += buffer;
        } else {
            std::snprintf(buffer, sizeof buffer, (spec + type).c_str(), NumberOf(arg));
            out += buffer;
        }
        i = j + 1;
    }
    return out;
}

} // namespace corvane
