// Date-time values counted in days since 30 December 1899.

#include "platform/sys/DateTime.h"
#include "platform/sys/Exceptions.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(DateTime, EncodesAndDecodesAroundTheEpoch) {
    struct Case {
        int Year, Month, Day;
        double Serial;
    } cases[] = {{1899, 12, 30, 0}, {1900, 1, 1, 2}, {2001, 7, 23, 37095}, {1752, 12, 31, -53689},
                 {2000, 2, 29, 36585}, {9999, 12, 31, 2958465}, {1, 1, 1, -693593}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(EncodeDate(c.Year, c.Month, c.Day), c.Serial) << c.Year << "-" << c.Month;
        int y = 0, m = 0, d = 0;
        DecodeDate(c.Serial, y, m, d);
        EXPECT_EQ(std::tie(y, m, d), std::tie(c.Year, c.Month, c.Day));
    }
}

TEST(DateTime, RejectsImpossibleDatesAndTimes) {
    double out = 0;
    EXPECT_FALSE(TryEncodeDate(2001, 2, 29, out));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, out));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, out));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, out));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, out));
    EXPECT_THROW(EncodeDate(2001, 13, 1), EConvertError);
}

TEST(DateTime, TimeOfDayToTheMillisecond) {
    const TDateTime value = EncodeDate(2001, 7, 23) + EncodeTime(9, 5, 3, 7);
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss:zzz", value), "2001/07/23 09:05:03:007");
    EXPECT_EQ(FormatDateTime("yyyymmdd", value), "20010723");
    // The last millisecond of a day does not round into the next day.
    const TDateTime late = EncodeDate(2001, 7, 23) + EncodeTime(23, 59, 59, 999);
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss:zzz", late), "2001/07/23 23:59:59:999");
}

} // namespace
} // namespace corvane
