// Numbers as text: the platform's shortest double text, strict parses, and
// formatting by pattern as the suite's display formats write it.
//
// A pattern has up to three sections separated by ";": positive, negative
// and zero values. In a section "0" is a digit that is always written, "#" a
// digit written when needed, "." the decimal point, "," anywhere before the
// point turns on thousands separators, and text in quotes and other
// characters before or after the digits are copied. Values are rounded half
// away from zero on their 15-digit decimal form, so 2.675 with "0.00" gives
// "2.68".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// The double text of the platform's FloatToStr: up to 15 significant digits,
// scientific form ("1E-5", "1E15") only where the fixed one would be longer.
std::string FloatToStr(double value);
// Strict number parses of trimmed text with "." as decimal separator.
bool TryStrToFloat(std::string_view text, double& value);
bool TryStrToInt64(std::string_view text, int64_t& value);


std::string FormatFloat(std::string_view format, double value);

// The value rounded to `decimals` places (half away from zero) as plain text
// without trailing zeros beyond `minDecimals`.
std::string DecimalText(double value, int decimals, int minDecimals);

} // namespace corvane
