// The suite's shared free functions: the alert log, token and pad routines,
// decimal rounding, variant and code-page helpers and localized dialog-button
// captions. Dates and durations are in DateUtils.h, properties by name in
// PropUtils.h and the XML routines in XmlUtils.h.
//
// Every function is total: a failure gives the documented empty value, 0 or
// default, never an exception. Texts are 8-bit; a "character" is a byte.
#pragma once

#include "platform/variant/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace corvane {

// Appends "[YYYY/MM/DD hh:nn:ss:zzz] text" to Log/Alert_<where>_<date>.log under
// the client (else server) path, else the program's folder. The date is
// YYYYMMDD, or YYYYMM for period "M" and YYYY for period "Y"; ".log" is left
// off when `where` holds a ".". False when the line could not be written.
bool WriteAlertLog(std::string_view where, std::string_view text, std::string_view period = "D");

std::string PadLeft(std::string_view text, int width, char fill = ' ');
std::string PadRight(std::string_view text, int width, char fill = ' ');
// The integer with at least `width` digits, zeros in front.
std::string ZeroPad(int width, long long value);

// The n-th piece (from 1) of `text` split at `sep`; the last piece runs to the
// end of the text; fewer pieces give "". NthToken("a:b:c", ":", 2) is "b".
std::string NthToken(std::string_view text, std::string_view sep, int n);
// 0 for "", else the number of separators plus one.
int CountTokens(std::string_view text, std::string_view sep);
// Answers the text before the first separator and leaves what follows it in
// `text`; without a separator answers the whole text and empties `text`.
std::string CutToken(std::string& text, std::string_view sep);
// Replaces every occurrence of `oldText` (case-sensitive) unless the two are
// equal ignoring case; `trim` trims the result.
std::string ReplaceAll(std::string_view text, std::string_view oldText, std::string_view newText, bool trim = false);

// The caption of a dialog button by its name ("Yes", "Cancel" ...), in the
// module's simplified Chinese; an unknown name answers itself.
std::string LocalizedButtonCaption(std::string_view name);

// `x` rounded to `digits` decimals after normalising it through its shortest
// decimal text, so that 2.675 rounds to 2.68.
double RoundTo(int digits, double x);
// 0 when the two differ by less than 1e-10, else -1 or 1.
int CompareFloat(double x, double y);

template <typename T>
T IfThen(bool condition, T a, T b) {
    return condition ? std::move(a) : std::move(b);
}
bool IsEmptyOrNull(const Variant& value);

// Conversion of texts between UTF-16 and an 8-bit code page ("936", "950", "437" ...).
std::string WideToAnsi(std::u16string_view text, std::string_view codePage);
std::u16string AnsiToWide(std::string_view text, std::string_view codePage);
// Every wide text in `value` (a text, or nested one- or two-dimensional arrays)
// becomes 8-bit text in `codePage`; other values stay. On an error the value
// is answered unchanged and the error is written to the alert log.
Variant WideVariantToAnsi(const Variant& value, std::string_view codePage);
// The reverse: every 8-bit text becomes a wide text.
Variant AnsiVariantToWide(const Variant& value, std::string_view codePage);

// True when the application server address is this machine ("127.0.0.1").
bool IsLocalAddress(std::string_view address);

} // namespace corvane
