// Conversion of 8-bit text between the code pages the suite uses.
//
// A code page is named by its decimal text, as the suite's settings name it:
// "936" (simplified Chinese, GBK), "950" (traditional Chinese, BIG5), "437"
// (English), "1252" (Western) and "65001" (UTF-8). Conversions go through
// iconv. They are total: a byte sequence that is not valid in the source code
// page, and a character the target code page cannot hold, each become one "?";
// a text that ends in the middle of a character gets a "?" for that character.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace corvane::codepage {

// The iconv name of a code page; throws EConvertError for a code page we do not know.
std::string IconvName(std::string_view codePage);

// True for the code pages IconvName accepts.
bool IsKnownCodePage(std::string_view codePage);

std::string Convert(std::string_view text, std::string_view fromCodePage, std::string_view toCodePage);
std::string ToUtf8(std::string_view text, std::string_view codePage);
std::string FromUtf8(std::string_view utf8, std::string_view codePage);
std::u16string ToUtf16(std::string_view text, std::string_view codePage);
std::string FromUtf16(std::u16string_view text, std::string_view codePage);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

// The system's 8-bit ("ANSI") code page. Linux has none, so it is taken from
// $CORVANE_ACP when set, else from the locale: zh_CN and zh_SG give 936,
// zh_TW, zh_HK and zh_MO give 950, anything else 1252.
int SystemAnsiCodePage();

// A process-wide amendment of the conversions between one code page and
// Unicode: the characters it claims are converted by it, the rest by the
// system. A module installs it at load and removes it at unload.
struct CodePageExtension {
    // Decodes a double-byte character; false leaves it to the system.
    std::function<bool(unsigned char lead, unsigned char trail, char32_t& out)> Decode;
    // Encodes a character as two bytes; false leaves it to the system.
    std::function<bool(char32_t in, unsigned char& lead, unsigned char& trail)> Encode;
};

void InstallExtension(std::string_view codePage, CodePageExtension extension);
void RemoveExtension(std::string_view codePage);

} // namespace corvane::codepage
