#include "platform/sys/CodePage.h"

#include "platform/sys/Exceptions.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace corvane::codepage {
namespace {

struct KnownPage {
    const char* Number;
    const char* IconvName;
};

constexpr KnownPage kKnownPages[] = {
    {"936", "CP936"}, {"950", "CP950"},   {"437", "CP437"},
    {"1252", "CP1252"}, {"65001", "UTF-8"}, {"20127", "ASCII"},
};

// UTF-32 in the machine's byte order (glibc's wchar_t) is the pivot of every conversion; glibc
// converts it much faster than when it is named UTF-32LE.
constexpr const char* kPivot = "WCHAR_T";

// One iconv descriptor per direction, kept for the life of the thread so that
// converting many short texts does not open a descriptor each time.
class Converter {
public:
    Converter(const std::string& to, const std::string& from) : m_handle(iconv_open(to.c_str(), from.c_str())) {
        if (m_handle == reinterpret_cast<iconv_t>(-1)) {
            throw EConvertError("Cannot convert from " + from + " to " + to);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() { iconv_close(m_handle); }

    // Runs the conversion; on an invalid or unconvertible sequence, appends the
    // replacement and skips `skip` input bytes.
    void Run(std::string_view in, std::string& out, std::string_view replacement, size_t skip) {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        std::vector<char> buffer(in.size() * 4 + 16);
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            size_t outLeft = buffer.size();
            size_t rc = iconv(m_handle, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer.data(), buffer.size() - outLeft);
            if (rc != static_cast<size_t>(-1)) {
                break;
            }
            if (errno == E2BIG) {
                continue;
            }
            out.append(replacement);
            if (errno == EINVAL) {
                // The text ends in the middle of a character.
                break;
            }
            size_t step = std::min(skip, inLeft);
            inPtr += step;
            inLeft -= step;
        }
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        iconv(m_handle, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
    }

private:
    iconv_t m_handle;
};

Converter& ConverterFor(const std::string& to, const std::string& from) {
    thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Converter>> cache;
    auto& slot = cache[{to, from}];
    if (!slot) {
        slot = std::make_unique<Converter>(to, from);
    }
    return *slot;
}

const std::string_view kQuestionPivot("?\0\0\0", 4);

struct Extensions {
    std::mutex Lock;
    std::map<std::string, std::shared_ptr<const CodePageExtension>> ByName;
};

Extensions& TheExtensions() {
    static Extensions extensions;
    return extensions;
}

std::shared_ptr<const CodePageExtension> ExtensionFor(const std::string& iconvName) {
    Extensions& extensions = TheExtensions();
    std::lock_guard guard(extensions.Lock);
    auto it = extensions.ByName.find(iconvName);
    return it == extensions.ByName.end() ? nullptr : it->second;
}

void AppendPivot(std::string& pivot, char32_t c) {
    const char bytes[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                           static_cast<char>((c >> 16) & 0xFF), static_cast<char>((c >> 24) & 0xFF)};
    pivot.append(bytes, 4);
}

std::string ToPivot(std::string_view text, const std::string& fromName) {
    std::string pivot;
    pivot.reserve(text.size() * 4);
    const auto extension = ExtensionFor(fromName);
    if (!extension || !extension->Decode) {
        ConverterFor(kPivot, fromName).Run(text, pivot, kQuestionPivot, 1);
        return pivot;
    }
    // Characters the extension claims are decoded by it; runs between them by the system.
    size_t run = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80 || pos + 1 >= text.size()) {
            ++pos;
            continue;
        }
        char32_t decoded = 0;
        if (extension->Decode(lead, static_cast<unsigned char>(text[pos + 1]), decoded)) {
            ConverterFor(kPivot, fromName).Run(text.substr(run, pos - run), pivot, kQuestionPivot, 1);
            AppendPivot(pivot, decoded);
            run = pos + 2;
        }
        pos += 2;
    }
    ConverterFor(kPivot, fromName).Run(text.substr(run), pivot, kQuestionPivot, 1);
    return pivot;
}

std::string FromPivot(std::string_view pivot, const std::string& toName) {
    std::string out;
    out.reserve(pivot.size() / 2);
    const auto extension = ExtensionFor(toName);
    if (!extension || !extension->Encode) {
        ConverterFor(toName, kPivot).Run(pivot, out, "?", 4);
        return out;
    }
    size_t run = 0;
    for (size_t pos = 0; pos + 4 <= pivot.size(); pos += 4) {
        const char32_t c = static_cast<unsigned char>(pivot[pos]) | static_cast<unsigned char>(pivot[pos + 1]) << 8 |
                           static_cast<unsigned char>(pivot[pos + 2]) << 16 |
                           static_cast<char32_t>(static_cast<unsigned char>(pivot[pos + 3])) << 24;
        unsigned char lead = 0;
        unsigned char trail = 0;
        if (c >= 0x80 && extension->Encode(c, lead, trail)) {
            ConverterFor(toName, kPivot).Run(pivot.substr(run, pos - run), out, "?", 4);
            out.push_back(static_cast<char>(lead));
            out.push_back(static_cast<char>(trail));
            run = pos + 4;
        }
    }
    ConverterFor(toName, kPivot).Run(pivot.substr(run), out, "?", 4);
    return out;
}

bool IsAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string IconvName(std::string_view codePage) {
    for (const auto& page : kKnownPages) {
        if (codePage == page.Number) {
            return page.IconvName;
        }
    }
    throw EConvertError("Unsupported code page: " + std::string(codePage));
}

bool IsKnownCodePage(std::string_view codePage) {
    for (const auto& page : kKnownPages) {
        if (codePage == page.Number) {
            return true;
        }
    }
    return false;
}

std::string Convert(std::string_view text, std::string_view fromCodePage, std::string_view toCodePage) {
    const std::string from = IconvName(fromCodePage);
    const std::string to = IconvName(toCodePage);
    if (IsAscii(text)) {
        return std::string(text);
    }
    return FromPivot(ToPivot(text, from), to);
}

std::string ToUtf8(std::string_view text, std::string_view codePage) { return Convert(text, codePage, "65001"); }

std::string FromUtf8(std::string_view utf8, std::string_view codePage) { return Convert(utf8, "65001", codePage); }

std::u16string ToUtf16(std::string_view text, std::string_view codePage) {
    std::string pivot = ToPivot(text, IconvName(codePage));
    std::string utf16;
    ConverterFor("UTF-16LE", kPivot).Run(pivot, utf16, std::string_view("?\0", 2), 4);
    std::u16string out(utf16.size() / 2, u'\0');
    std::memcpy(out.data(), utf16.data(), out.size() * 2);
    return out;
}

std::string FromUtf16(std::u16string_view text, std::string_view codePage) {
    std::string_view bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    std::string pivot;
    ConverterFor(kPivot, "UTF-16LE").Run(bytes, pivot, kQuestionPivot, 2);
    return FromPivot(pivot, IconvName(codePage));
}

std::u16string Utf8ToUtf16(std::string_view utf8) { return ToUtf16(utf8, "65001"); }

std::string Utf16ToUtf8(std::u16string_view text) { return FromUtf16(text, "65001"); }

int SystemAnsiCodePage() {
    if (const char* acp = std::getenv("CORVANE_ACP"); acp && *acp) {
        return std::atoi(acp);
    }
    const char* locale = nullptr;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    if (locale) {
        std::string_view l(locale);
        for (std::string_view prefix : {"zh_CN", "zh_SG"}) {
            if (l.starts_with(prefix)) {
                return 936;
            }
        }
        for (std::string_view prefix : {"zh_TW", "zh_HK", "zh_MO"}) {
            if (l.starts_with(prefix)) {
                return 950;
            }
        }
    }
    return 1252;
}

void InstallExtension(std::string_view codePage, CodePageExtension extension) {
    Extensions& extensions = TheExtensions();
    std::lock_guard guard(extensions.Lock);
    extensions.ByName[IconvName(codePage)] = std::make_shared<const CodePageExtension>(std::move(extension));
}

void RemoveExtension(std::string_view codePage) {
    Extensions& extensions = TheExtensions();
    std::lock_guard guard(extensions.Lock);
    extensions.ByName.erase(IconvName(codePage));
}

} // namespace corvane::codepage
