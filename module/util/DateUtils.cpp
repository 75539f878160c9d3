#include "module/util/DateUtils.h"

#include "module/util/LibStrs.h"
#include "platform/sys/SysUtils.h"

#include <climits>
#include <cstdio>

namespace corvane {
namespace {

std::string FirstChar(std::string_view sep) { return sep.empty() ? std::string() : std::string(1, sep.front()); }

// A trimmed piece as an integer, -1 when it is no number.
int PieceValue(std::string_view piece) {
    const std::string trimmed = Trim(piece);
    if (trimmed.empty() || trimmed.size() > 9 || trimmed.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    return std::stoi(trimmed);
}

// The three pieces of a date text cut at the separator; the third runs to the end.
bool CutPieces(std::string_view text, std::string_view sep, int (&pieces)[3]) {
    const std::string s = FirstChar(sep);
    // Pieces 1 and 2 end at the next separator; piece 3 is the rest of the text.
    std::string rest(text);
    for (int i = 0; i < 3; ++i) {
        std::string head = i < 2 ? CutToken(rest, s) : rest;
        pieces[i] = PieceValue(head);
    }
    return pieces[0] > 0 && pieces[1] > 0 && pieces[2] > 0;
}

std::string Format3(const char* format, int a, std::string_view sep, int b, int c) {
    char buffer[64];
    const std::string s = FirstChar(sep);
    std::snprintf(buffer, sizeof buffer, format, a, s.c_str(), b, s.c_str(), c);
    return buffer;
}

} // namespace

std::string FormatDateByType(int type, std::string_view sep, TDateTime date) {
    if (date == 0 || type < dt_YYYYMMDD || type > dt_YYYMMDD) {
        return {};
    }
    int year = 0, month = 0, day = 0;
    DecodeDate(date, year, month, day);
    switch (type) {
    case dt_YYYYMMDD:
        return Format3("%.4d%s%.2d%s%.2d", year, sep, month, day);
    case dt_MMDDYYYY:
        return Format3("%.2d%s%.2d%s%.4d", month, sep, day, year);
    case dt_DDMMYYYY:
        return Format3("%.2d%s%.2d%s%.4d", day, sep, month, year);
    case dt_YYMMDD:
        return Format3("%.2d%s%.2d%s%.2d", year - 1911, sep, month, day);
    default:
        return Format3("%.3d%s%.2d%s%.2d", year - 1911, sep, month, day);
    }
}

std::string FormatDateTimeByType(int type, std::string_view sep, TDateTime dateTime) {
    const std::string date = FormatDateByType(type, sep, dateTime);
    if (date.empty()) {
        return date;
    }
    int hour = 0, minute = 0, second = 0, msec = 0;
    DecodeTime(dateTime, hour, minute, second, msec);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, " %.2d:%.2d:%.2d:%.3d", hour, minute, second, msec);
    return date + buffer;
}

TDateTime ParseDateByType(std::string_view text, int type, std::string_view sep) {
    int p[3];
    if (!CutPieces(text, sep, p) || type < dt_YYYYMMDD || type > dt_YYYMMDD) {
        return 0;
    }
    int year = 0, month = 0, day = 0;
    switch (type) {
    case dt_YYYYMMDD:
        year = p[0], month = p[1], day = p[2];
        break;
    case dt_MMDDYYYY:
        month = p[0], day = p[1], year = p[2];
        break;
    case dt_DDMMYYYY:
        day = p[0], month = p[1], year = p[2];
        break;
    default:
        year = p[0] + 1911, month = p[1], day = p[2];
        break;
    }
    TDateTime first = 0;
    if (!TryEncodeDate(year, month, 1, first)) {
        return 0;
    }
    return first + (day - 1);
}

std::string DateTextToYYYYMMDD(std::string_view text, int type, std::string_view sep) {
    if (text.empty()) {
        return "0";
    }
    int p[3];
    if (!sep.empty()) {
        if (!CutPieces(text, sep, p)) {
            return "0";
        }
    } else {
        p[0] = PieceValue(text.substr(0, 4));
        p[1] = PieceValue(text.size() > 4 ? text.substr(4, 2) : "");
        p[2] = PieceValue(text.size() > 6 ? text.substr(6, 2) : "");
        if (p[0] <= 0 || p[1] <= 0 || p[2] <= 0) {
            return "0";
        }
    }
    int year = p[0], month = p[1], day = p[2];
    switch (type) {
    case dt_MMDDYYYY:
        year = p[2], month = p[0], day = p[1];
        break;
    case dt_DDMMYYYY:
        year = p[2], month = p[1], day = p[0];
        break;
    case dt_YYMMDD:
    case dt_YYYMMDD:
        year = p[0] + 1911;
        break;
    default:
        break;
    }
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.4d%.2d%.2d", year, month, day);
    return buffer;
}

TDateTime YYYYMMDDToDate(std::string_view text) {
    if (text.size() != 8) {
        return 0;
    }
    const int year = PieceValue(text.substr(0, 4));
    const int month = PieceValue(text.substr(4, 2));
    const int day = PieceValue(text.substr(6, 2));
    TDateTime date = 0;
    return TryEncodeDate(year, month, day, date) ? date : 0;
}

bool IsValidYYYYMMDD(std::string_view text) {
    if (text.empty()) {
        return true;
    }
    return YYYYMMDDToDate(text) != 0 && text >= "17530101" && text <= "99991231";
}

TDateTime StampToDateTime(std::string_view stamp) {
    if (stamp.size() < 17) {
        return 0;
    }
    const int parts[] = {
        PieceValue(stamp.substr(0, 4)),  PieceValue(stamp.substr(4, 2)),  PieceValue(stamp.substr(6, 2)),
        PieceValue(stamp.substr(8, 2)),  PieceValue(stamp.substr(10, 2)), PieceValue(stamp.substr(12, 2)),
        PieceValue(stamp.substr(14, 3)),
    };
    for (int part : parts) {
        if (part < 0) {
            return 0;
        }
    }
    TDateTime time = 0;
    if (!TryEncodeTime(parts[3], parts[4], parts[5], parts[6], time)) {
        return 0;
    }
    if (parts[0] == 0 || parts[1] == 0 || parts[2] == 0) {
        return time;
    }
    TDateTime date = 0;
    return TryEncodeDate(parts[0], parts[1], parts[2], date) ? date + time : 0;
}

std::string FormatSeconds(long long seconds) {
    if (seconds == 0 || seconds == LLONG_MIN) {
        return "0000:00:00";
    }
    const unsigned long long magnitude = seconds < 0 ? 0ULL - static_cast<unsigned long long>(seconds)
                                                     : static_cast<unsigned long long>(seconds);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%.4llu:%.2llu:%.2llu", seconds < 0 ? "-" : "", magnitude / 3600,
                  magnitude / 60 % 60, magnitude % 60);
    return buffer;
}

std::pair<long long, std::string> AddDuration(std::string_view a, std::string_view b, int sign) {
    const std::pair<long long, std::string> start{0, "000:00:00"};
    const auto seconds = [](std::string_view text, long long& value) {
        const std::string t = Trim(text);
        if (t.size() < 8 || t.size() > 24 || CountTokens(t, ":") != 3 ||
            t.find_first_not_of("0123456789:") != std::string::npos) {
            return false;
        }
        std::string rest = t;
        const std::string hours = CutToken(rest, ":");
        const std::string minutes = CutToken(rest, ":");
        if (hours.empty() || minutes.empty() || rest.empty()) {
            return false;
        }
        if (hours.size() > 12 || minutes.size() > 12 || rest.size() > 12) {
            return false;
        }
        value = std::stoll(hours) * 3600 + std::stoll(minutes) * 60 + std::stoll(rest);
        return true;
    };
    long long first = 0;
    long long second = 0;
    if ((sign != 1 && sign != -1) || !seconds(a, first) || !seconds(b, second)) {
        return start;
    }
    const long long total = first + sign * second;
    return {total, FormatSeconds(total)};
}

} // namespace corvane
