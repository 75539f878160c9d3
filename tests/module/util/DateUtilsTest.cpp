// The suite's date formats by date type, stored dates, stamps and durations.

#include "module/util/DateUtils.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

const TDateTime k20010723 = EncodeDate(2001, 7, 23);

TEST(DateFormats, FormatByType) {
    struct Case {
        int Type;
        const char* Sep;
        const char* Expected;
    } cases[] = {{1, "/", "2001/07/23"}, {1, "", "20010723"},  {2, "-", "07-23-2001"}, {3, ".", "23.07.2001"},
                 {4, "/", "90/07/23"},   {5, "/", "090/07/23"}, {1, "/-", "2001/07/23"}, {0, "/", ""},
                 {6, "/", ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(FormatDateByType(c.Type, c.Sep, k20010723), c.Expected) << c.Type << c.Sep;
    }
    EXPECT_EQ(FormatDateByType(1, "/", 0), "");
    EXPECT_EQ(FormatDateTimeByType(1, "/", k20010723 + EncodeTime(8, 5, 9, 12)), "2001/07/23 08:05:09:012");
    EXPECT_EQ(FormatDateTimeByType(5, "/", k20010723), "090/07/23 00:00:00:000");
}

TEST(DateFormats, ParseByType) {
    struct Case {
        const char* Text;
        int Type;
        const char* Sep;
        TDateTime Expected;
    } cases[] = {
        {"2001/07/23", 1, "/", k20010723},
        {" 2001 / 7 / 23 ", 1, "/", k20010723},
        {"2001/02/30", 1, "/", EncodeDate(2001, 3, 2)},
        {"07-23-2001", 2, "-", k20010723},
        {"23.07.2001", 3, ".", k20010723},
        {"90/7/23", 4, "/", k20010723},
        {"090/07/23", 5, "/", k20010723},
        {"2001/13/01", 1, "/", 0},
        {"2001/00/01", 1, "/", 0},
        {"2001/07", 1, "/", 0},
        {"2001/07/x", 1, "/", 0},
        {"2001/07/23/5", 1, "/", 0},
        {"2001/07/23", 0, "/", 0},
        {"", 1, "/", 0},
        {"20010723", 1, "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(ParseDateByType(c.Text, c.Type, c.Sep), c.Expected) << c.Text;
    }
}

TEST(DateFormats, DateTextToYYYYMMDD) {
    struct Case {
        const char* Text;
        int Type;
        const char* Sep;
        const char* Expected;
    } cases[] = {{"20010723", 1, "", "20010723"}, {"90/7/23", 4, "/", "20010723"}, {"7/23/2001", 2, "/", "20010723"},
                 {"23/7/2001", 3, "/", "20010723"}, {"2001/2/30", 1, "/", "20010230"}, {"", 1, "/", "0"},
                 {"2001/x/1", 1, "/", "0"},        {"2001", 1, "", "0"},            {"2001/07/23", 9, "/", "20010723"}};
    for (const Case& c : cases) {
        EXPECT_EQ(DateTextToYYYYMMDD(c.Text, c.Type, c.Sep), c.Expected) << c.Text;
    }
}

TEST(StoredDates, ValidityAndConversion) {
    EXPECT_TRUE(IsValidYYYYMMDD(""));
    EXPECT_TRUE(IsValidYYYYMMDD("17530101"));
    EXPECT_TRUE(IsValidYYYYMMDD("20000229"));
    EXPECT_FALSE(IsValidYYYYMMDD("17521231"));
    EXPECT_FALSE(IsValidYYYYMMDD("20010229"));
    EXPECT_FALSE(IsValidYYYYMMDD("2001072"));
    EXPECT_FALSE(IsValidYYYYMMDD("2001-7-2"));
    EXPECT_DOUBLE_EQ(YYYYMMDDToDate("20010723"), k20010723);
    EXPECT_DOUBLE_EQ(YYYYMMDDToDate("20010732"), 0);
    EXPECT_DOUBLE_EQ(YYYYMMDDToDate("2001072"), 0);
    EXPECT_DOUBLE_EQ(YYYYMMDDToDate("00000101"), 0);
}

TEST(StoredDates, Stamps) {
    EXPECT_DOUBLE_EQ(StampToDateTime("20010723080509012"), k20010723 + EncodeTime(8, 5, 9, 12));
    EXPECT_DOUBLE_EQ(StampToDateTime("00000000080509012"), EncodeTime(8, 5, 9, 12));
    EXPECT_DOUBLE_EQ(StampToDateTime("20010723250000000"), 0);
    EXPECT_DOUBLE_EQ(StampToDateTime("2001072308050901"), 0);
    EXPECT_DOUBLE_EQ(StampToDateTime("2001072308a509012"), 0);
    EXPECT_DOUBLE_EQ(StampToDateTime("20010230080509012"), 0);
}

TEST(Durations, FormatAndAdd) {
    EXPECT_EQ(FormatSeconds(0), "0000:00:00");
    EXPECT_EQ(FormatSeconds(-3661), "-0001:01:01");
    EXPECT_EQ(FormatSeconds(36000000), "10000:00:00");
    EXPECT_EQ(FormatSeconds(59), "0000:00:59");

    struct Case {
        const char* A;
        const char* B;
        int Sign;
        long long Seconds;
        const char* Text;
    } cases[] = {
        {"01:00:00", "00:30:00", -1, 1800, "0000:30:00"},
        {" 0001:00:00 ", "00:00:01", 1, 3601, "0001:00:01"},
        {"00:00:00", "01:00:01", -1, -3601, "-0001:00:01"},
        {"01:00:00", "00:3a:00", 1, 0, "000:00:00"},
        {"01:00:00", "00:30", 1, 0, "000:00:00"},
        {"1:0:0", "00:30:00", 1, 0, "000:00:00"},
        {"01:00:00:00", "00:30:00", 1, 0, "000:00:00"},
        {"01:00:00", "00:30:00", 2, 0, "000:00:00"},
        {"99999999999999999999:00:00", "00:00:00", 1, 0, "000:00:00"},
    };
    for (const Case& c : cases) {
        const auto [seconds, text] = AddDuration(c.A, c.B, c.Sign);
        EXPECT_EQ(seconds, c.Seconds) << c.A << " " << c.B;
        EXPECT_EQ(text, c.Text) << c.A << " " << c.B;
    }
}

} // namespace
} // namespace corvane
