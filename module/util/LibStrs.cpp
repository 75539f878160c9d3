#include "module/util/LibStrs.h"

#include "module/settings/CorvaneINI.h"
#include "module/settings/GbText.h"
#include "platform/sys/CodePage.h"
#include "platform/sys/DateTime.h"
#include "platform/sys/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace corvane {
namespace {

// Normalises a double through its shortest decimal text (15 significant
// digits), so that sums like 0.1 + 0.2 compare and round as written.
double Normalised(double x) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", x);
    return std::strtod(buffer, nullptr);
}

Variant ConvertTexts(const Variant& value, bool toAnsi, std::string_view codePage) {
    if (value.IsArray()) {
        Variant copy = value;
        for (Variant& element : copy.Array().Elements()) {
            element = ConvertTexts(element, toAnsi, codePage);
        }
        return copy;
    }
    if (toAnsi && value.Type() == VarType::WideString) {
        return Variant(WideToAnsi(value.ToWideString(), codePage));
    }
    if (!toAnsi && value.Type() == VarType::String) {
        return Variant(AnsiToWide(value.ToString(), codePage));
    }
    return value;
}

Variant GuardedConvert(const Variant& value, bool toAnsi, std::string_view codePage, std::string_view line) {
    try {
        return ConvertTexts(value, toAnsi, codePage);
    } catch (const std::exception& error) {
        WriteAlertLog("libstrs", std::string(line) + error.what(), "D");
        return value;
    }
}

} // namespace

bool WriteAlertLog(std::string_view where, std::string_view text, std::string_view period) {
    try {
        std::string folder = RegistryLogBase();
        if (folder.empty()) {
            folder = ProgramFolder();
        }
        const std::string logFolder = IncludeTrailingPathDelimiter(folder) + "Log/";
        if (!ForceDirectories(logFolder)) {
            return false;
        }
        const TDateTime now = Now();
        const char* dateFormat = period == "M" ? "yyyymm" : period == "Y" ? "yyyy" : "yyyymmdd";
        std::string fileName = "Alert_" + std::string(where) + "_" + FormatDateTime(dateFormat, now);
        if (where.find('.') == std::string_view::npos) {
            fileName += ".log";
        }
        std::ofstream out(logFolder + fileName, std::ios::app | std::ios::binary);
        if (!out) {
            return false;
        }
        out << "[" << FormatDateTime("yyyy/mm/dd hh:nn:ss:zzz", now) << "] " << text << '\n';
        out.flush();
        return static_cast<bool>(out);
    } catch (...) {
        return false;
    }
}

std::string PadLeft(std::string_view text, int width, char fill) {
    const auto size = static_cast<int>(text.size());
    return size >= width ? std::string(text) : std::string(static_cast<size_t>(width - size), fill) + std::string(text);
}

std::string PadRight(std::string_view text, int width, char fill) {
    const auto size = static_cast<int>(text.size());
    return size >= width ? std::string(text) : std::string(text) + std::string(static_cast<size_t>(width - size), fill);
}

std::string ZeroPad(int width, long long value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*lld", std::clamp(width, 0, 40), value);
    return buffer;
}

std::string NthToken(std::string_view text, std::string_view sep, int n) {
    if (n < 1) {
        return {};
    }
    if (sep.empty()) {
        return n == 1 ? std::string(text) : std::string();
    }
    size_t start = 0;
    for (int piece = 1; piece < n; ++piece) {
        const size_t found = text.find(sep, start);
        if (found == std::string_view::npos) {
            return {};
        }
        start = found + sep.size();
    }
    const size_t end = text.find(sep, start);
    return std::string(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
}

int CountTokens(std::string_view text, std::string_view sep) {
    if (text.empty()) {
        return 0;
    }
    if (sep.empty()) {
        return 1;
    }
    int count = 1;
    for (size_t found = text.find(sep); found != std::string_view::npos; found = text.find(sep, found + sep.size())) {
        ++count;
    }
    return count;
}

std::string CutToken(std::string& text, std::string_view sep) {
    const size_t found = sep.empty() ? std::string::npos : text.find(sep);
    if (found == std::string::npos) {
        std::string head = std::move(text);
        text.clear();
        return head;
    }
    std::string head = text.substr(0, found);
    text.erase(0, found + sep.size());
    return head;
}

std::string ReplaceAll(std::string_view text, std::string_view oldText, std::string_view newText, bool trim) {
    std::string out(text);
    if (!oldText.empty() && !SameText(oldText, newText)) {
        out.clear();
        size_t start = 0;
        for (size_t found = text.find(oldText); found != std::string_view::npos;
             found = text.find(oldText, start)) {
            out.append(text.substr(start, found - start));
            out.append(newText);
            start = found + oldText.size();
        }
        out.append(text.substr(start));
    }
    return trim ? Trim(out) : out;
}

std::string LocalizedButtonCaption(std::string_view name) {
    static const std::pair<std::string_view, std::string_view> kCaptions[] = {
        {"Yes", "是(&Y)"},      {"No", "否(&N)"},      {"OK", "确定"},           {"Cancel", "取消"},
        {"Abort", "中断(&A)"},  {"Retry", "重试(&R)"}, {"Ignore", "忽略(&I)"},   {"All", "全部(&A)"},
        {"NoToAll", "全否(&o)"}, {"YesToAll", "全是(&A)"}, {"Help", "帮助(&H)"},
    };
    for (const auto& [button, caption] : kCaptions) {
        if (name == button) {
            return GbText(caption);
        }
    }
    return std::string(name);
}

double RoundTo(int digits, double x) {
    if (!std::isfinite(x)) {
        return x;
    }
    double value = Normalised(x);
    // The nudge of 1e-12 away from zero settles halves written in decimal but
    // stored just below them. Past 1e3 it is smaller than the spacing of
    // doubles and would do nothing, so 12345.125 would round down; the nudge
    // then grows with the value, staying below the 15-digit resolution of the
    // normalised text.
    const double nudge = std::max(1e-12, std::fabs(value) * 1e-15);
    value += value > 0 ? nudge : -nudge;
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp(digits, 0, 20), value);
    // Adding 0.0 turns a rounded negative zero into zero.
    return std::strtod(buffer, nullptr) + 0.0;
}

int CompareFloat(double x, double y) {
    const double a = Normalised(x);
    const double b = Normalised(y);
    if (std::fabs(a - b) < 1e-10) {
        return 0;
    }
    return a < b ? -1 : 1;
}

bool IsEmptyOrNull(const Variant& value) { return value.IsEmptyOrNull(); }

std::string WideToAnsi(std::u16string_view text, std::string_view codePage) {
    return codepage::FromUtf16(text, codePage);
}

std::u16string AnsiToWide(std::string_view text, std::string_view codePage) {
    return codepage::ToUtf16(text, codePage);
}

Variant WideVariantToAnsi(const Variant& value, std::string_view codePage) {
    return GuardedConvert(value, true, codePage, "LINE[2735] ");
}

Variant AnsiVariantToWide(const Variant& value, std::string_view codePage) {
    return GuardedConvert(value, false, codePage, "LINE[115] ");
}

bool IsLocalAddress(std::string_view address) { return address == "127.0.0.1"; }

} // namespace corvane
