#include "runbase/TlvTime.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

struct TimeCase {
    SYSTEMTIME time;
    const char* text;
};

class TimeText : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeText, ConvertsValidTimesOnly)
{
    const CTlvTime time(GetParam().time);
    EXPECT_EQ(GetParam().text, time.ConvertToString());
    EXPECT_EQ(*GetParam().text != '\0', time.IsValid());
}

INSTANTIATE_TEST_SUITE_P(
    Times, TimeText,
    ::testing::Values(TimeCase{At(2004, 5, 17, 14, 3, 9), "2004-05-17 14:03:09"},
                      TimeCase{At(1, 1, 1, 0, 0, 0), "0001-01-01 00:00:00"},
                      TimeCase{At(9999, 12, 31, 23, 59, 59), "9999-12-31 23:59:59"},
                      TimeCase{At(2004, 2, 29, 12, 0, 0), "2004-02-29 12:00:00"}, // leap year
                      TimeCase{At(2000, 2, 29, 12, 0, 0), "2000-02-29 12:00:00"}, // every 400 years
                      TimeCase{At(1900, 2, 29, 12, 0, 0), ""},                    // not every 100
                      TimeCase{At(2003, 2, 29, 12, 0, 0), ""}, TimeCase{At(2004, 4, 31, 12, 0, 0), ""},
                      TimeCase{At(2004, 13, 1, 12, 0, 0), ""}, TimeCase{At(2004, 0, 1, 12, 0, 0), ""},
                      TimeCase{At(2004, 1, 0, 12, 0, 0), ""}, TimeCase{At(2004, 1, 1, 24, 0, 0), ""},
                      TimeCase{At(2004, 1, 1, 0, 60, 0), ""}, TimeCase{At(2004, 1, 1, 0, 0, 60), ""},
                      TimeCase{At(10000, 1, 1, 0, 0, 0), ""}, TimeCase{SYSTEMTIME{}, ""}));

TEST(Time, IgnoresDayOfWeekAndMilliseconds)
{
    SYSTEMTIME time = At(2004, 5, 17, 14, 3, 9);
    time.wDayOfWeek = 6;
    time.wMilliseconds = 999;
    EXPECT_EQ("2004-05-17 14:03:09", CTlvTime(time).ConvertToString());
}

} // namespace
