// Date-time values as the suite counts them: a double holding whole days since
// 30 December 1899 and, in its fraction, the time of day. 0 means no date.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

using TDateTime = double;

constexpr double kMSecsPerDay = 86400000.0;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);

// Years 1 to 9999. False (and `result` untouched) for an impossible date or time.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
// As the Try forms; throw EConvertError for an impossible date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);

void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);
void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& msec);

// The local date and time, and today's date without its time.
TDateTime Now();
TDateTime Today();

// Formats with the tokens yyyy, yy, mm, dd, hh, nn, ss and zzz; any other
// character is copied. "yyyy/mm/dd hh:nn:ss:zzz" gives 2001/07/23 09:05:03:007.
std::string FormatDateTime(std::string_view format, TDateTime value);

} // namespace corvane
