// The suite's date formats, stored date texts, time stamps and durations.
//
// Dates are TDateTime values (days since 30 December 1899; 0 is no date).
// Stored dates are 8-character "YYYYMMDD" texts and time stamps 17-character
// "YYYYMMDDhhnnsszzz" texts. The date type in use comes from the program
// parameter SYS001 and the separator from SYS002; only the separator's first
// character counts. Every function is total.
#pragma once

#include "platform/sys/DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace corvane {

enum TDateType {
    dt_NoneCare = 0,
    dt_YYYYMMDD = 1,
    dt_MMDDYYYY = 2,
    dt_DDMMYYYY = 3,
    // Years counted from 1911, in two and three digits.
    dt_YYMMDD = 4,
    dt_YYYMMDD = 5,
};

// "" for date 0 or a type outside 1..5.
std::string FormatDateByType(int type, std::string_view sep, TDateTime date);
// The date part followed by " hh:nn:ss:zzz".
std::string FormatDateTimeByType(int type, std::string_view sep, TDateTime dateTime);
// Three pieces cut at the separator, in the type's order; a day past the end
// of the month runs into the next month. 0 when a piece is no positive number.
TDateTime ParseDateByType(std::string_view text, int type, std::string_view sep);
// The text as "YYYYMMDD" without a calendar check; "0" when it cannot be read.
// Without a separator the pieces are characters 1-4, 5-6 and 7-8.
std::string DateTextToYYYYMMDD(std::string_view text, int type, std::string_view sep);
// 0 unless the text is exactly 8 characters naming a real date.
TDateTime YYYYMMDDToDate(std::string_view text);
// "" is valid; otherwise a real date from 17530101 to 99991231.
bool IsValidYYYYMMDD(std::string_view text);
// The date and time of a 17-character stamp; the time alone when the date
// part is zero; 0 when the stamp cannot be read.
TDateTime StampToDateTime(std::string_view stamp);

// "[-]hhhh:nn:ss"; 0 gives "0000:00:00".
std::string FormatSeconds(long long seconds);
// [a + sign x b in seconds, its text]; [0, "000:00:00"] when a duration is not
// of the form hh..:nn:ss or sign is not 1 or -1.
std::pair<long long, std::string> AddDuration(std::string_view a, std::string_view b, int sign);

} // namespace corvane
