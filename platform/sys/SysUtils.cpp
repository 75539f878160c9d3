#include "platform/sys/SysUtils.h"

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace corvane {
namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

} // namespace

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), AsciiUpper);
    return out;
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), AsciiLower);
    return out;
}

std::string TrimLeft(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && IsTrimmed(text[start])) {
        ++start;
    }
    return std::string(text.substr(start));
}

std::string TrimRight(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && IsTrimmed(text[end - 1])) {
        --end;
    }
    return std::string(text.substr(0, end));
}

std::string Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

std::string NativePath(std::string_view path) {
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string out(path);
    if (!out.empty() && out.back() != '/' && out.back() != '\\') {
        out += '/';
    }
    return out;
}

std::string ExtractFilePath(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string ExtractFileName(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool FileExists(std::string_view path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(NativePath(path), ec);
}

bool DirectoryExists(std::string_view path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(NativePath(path), ec);
}

bool ForceDirectories(std::string_view path) {
    if (path.empty()) {
        return false;
    }
    std::error_code ec;
    std::filesystem::path native(NativePath(path));
    std::filesystem::create_directories(native, ec);
    return std::filesystem::is_directory(native, ec);
}

std::string UserName() {
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_name) {
        return entry->pw_name;
    }
    const char* user = std::getenv("USER");
    return user ? user : "";
}

std::string ProgramFileName() {
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

std::string ProgramFolder() { return ExtractFilePath(ProgramFileName()); }

std::string ModuleFileName(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname) {
        return {};
    }
    std::error_code ec;
    auto path = std::filesystem::canonical(info.dli_fname, ec);
    return ec ? std::string(info.dli_fname) : path.string();
}

std::string TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return IncludeTrailingPathDelimiter(tmp && *tmp ? tmp : "/tmp");
}

bool TryParseInt(std::string_view text, long long& value) {
    while (!text.empty() && IsTrimmed(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsTrimmed(text.back())) {
        text.remove_suffix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with('$')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) {
        return false;
    }
    unsigned long long magnitude = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (ec != std::errc() || ptr != text.data() + text.size()) {
        return false;
    }
    if (magnitude > static_cast<unsigned long long>(LLONG_MAX) + (negative ? 1 : 0)) {
        return false;
    }
    value = negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
    return true;
}

} // namespace corvane
