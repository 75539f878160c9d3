#include "platform/sys/DateTime.h"

#include "platform/sys/Exceptions.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace corvane {
namespace {

// Days from 1 March of year 0 (proleptic Gregorian), after H. Hinnant's civil
// calendar algorithms; the serial of 30 December 1899 is subtracted below.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

const int64_t kEpoch = DaysFromCivil(1899, 12, 30);

// Whole days and milliseconds of the day. The time of a date before the epoch
// is its fraction taken without sign, as the platform counts it.
void Split(TDateTime value, int64_t& days, int64_t& msecs) {
    if (!std::isfinite(value)) {
        days = 0;
        msecs = 0;
        return;
    }
    if (value >= 0) {
        const auto total = static_cast<int64_t>(std::llround(value * kMSecsPerDay));
        days = total / static_cast<int64_t>(kMSecsPerDay);
        msecs = total % static_cast<int64_t>(kMSecsPerDay);
        return;
    }
    days = static_cast<int64_t>(std::trunc(value));
    msecs = std::llround(std::fabs(value - static_cast<double>(days)) * kMSecsPerDay);
    if (msecs >= static_cast<int64_t>(kMSecsPerDay)) {
        msecs = static_cast<int64_t>(kMSecsPerDay) - 1;
    }
}

} // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    if (!IsValidDate(year, month, day)) {
        return false;
    }
    result = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                                 kEpoch);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
        msec > 999) {
        return false;
    }
    result = ((hour * 3600.0 + minute * 60.0 + second) * 1000.0 + msec) / kMSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result)) {
        throw EConvertError("Invalid argument to date encode");
    }
    return result;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime result = 0;
    if (!TryEncodeTime(hour, minute, second, msec, result)) {
        throw EConvertError("Invalid argument to time encode");
    }
    return result;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    int64_t days = 0;
    int64_t msecs = 0;
    Split(value, days, msecs);
    CivilFromDays(days + kEpoch, year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec) {
    int64_t days = 0;
    int64_t msecs = 0;
    Split(value, days, msecs);
    hour = static_cast<int>(msecs / 3600000);
    minute = static_cast<int>(msecs / 60000 % 60);
    second = static_cast<int>(msecs / 1000 % 60);
    msec = static_cast<int>(msecs % 1000);
}

void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& msec) {
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, msec);
}

TDateTime Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto msec = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(msec));
}

TDateTime Today() { return std::floor(Now()); }

std::string FormatDateTime(std::string_view format, TDateTime value) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
    DecodeDateTime(value, year, month, day, hour, minute, second, msec);
    std::string out;
    char buffer[16];
    size_t i = 0;
    const auto take = [&](std::string_view token) {
        if (format.substr(i).starts_with(token)) {
            i += token.size();
            return true;
        }
        return false;
    };
    while (i < format.size()) {
        if (take("yyyy")) {
            std::snprintf(buffer, sizeof buffer, "%.4d", year);
        } else if (take("yy")) {
            std::snprintf(buffer, sizeof buffer, "%.2d", year % 100);
        } else if (take("mm")) {
            std::snprintf(buffer, sizeof buffer, "%.2d", month);
        } else if (take("dd")) {
            std::snprintf(buffer, sizeof buffer, "%.2d", day);
        } else if (take("hh")) {
            std::snprintf(buffer, sizeof buffer, "%.2d", hour);
        } else if (take("nn")) {
            std::snprintf(buffer, sizeof buffer, "%.2d", minute);
        } else if (take("ss")) {
            std::snprintf(buffer, sizeof buffer, "%.2d", second);
        } else if (take("zzz")) {
            std::snprintf(buffer, sizeof buffer, "%.3d", msec);
        } else {
            buffer[0] = format[i++];
            buffer[1] = '\0';
        }
        out += buffer;
    }
    return out;
}

} // namespace corvane
