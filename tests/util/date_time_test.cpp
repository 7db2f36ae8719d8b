#include "util/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

// The expected texts are written in UTF-8 here and converted, so the table stays readable.
std::string Gbk(const std::string& utf8) {
    // Only the six characters of the date form occur.
    static const std::pair<const char*, const char*> kMap[] = {
        {"年", "\xC4\xEA"}, {"月", "\xD4\xC2"}, {"日", "\xC8\xD5"},
        {"时", "\xCA\xB1"}, {"分", "\xB7\xD6"}, {"秒", "\xC3\xEB"},
    };
    std::string out = utf8;
    for (auto [from, to] : kMap) {
        for (size_t at; (at = out.find(from)) != std::string::npos;) out.replace(at, strlen(from), to);
    }
    return out;
}

TEST(TimeTextTest, FieldsThatAreZeroAreLeftOff) {
    struct Case { int h, m, s; const char* expected; } cases[] = {
        {8, 46, 23, "2012年1月12日8时46分23秒"}, {8, 46, 0, "2012年1月12日8时46分"},
        {8, 0, 0, "2012年1月12日8时"},           {0, 0, 0, "2012年1月12日"},
        {0, 0, 5, "2012年1月12日0时0分5秒"},     {8, 0, 5, "2012年1月12日8时0分5秒"},
        {0, 5, 0, "2012年1月12日0时5分"},        {21, 9, 7, "2012年1月12日21时9分7秒"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeText(MakeDateTime({2012, 1, 12, c.h, c.m, c.s})).Str(), Gbk(c.expected));
    }
}

TEST(TimeTextTest, RangeIsClampedAndSecondsRounded) {
    struct Case { double days; const char* expected; } cases[] = {
        {0, "1899年12月30日"},
        {2958465.0, "9999年12月31日"},
        {2958465.5, "9999年12月31日"},           // later than the last moment
        {1e300, "9999年12月31日"},
        {-657434.0, "100年1月1日"},
        {-657435.0, "100年1月1日"},
        {-1e300, "100年1月1日"},
        {-657434.5, "100年1月1日12时"},          // the fraction is the time of day, not a step back
        {-1.25, "1899年12月29日6时"},
        {-0.5, "1899年12月30日12时"},
        {1.0 + 0.4 / 86400, "1899年12月31日"},   // rounds down
        {1.0 + 0.6 / 86400, "1899年12月31日0时0分1秒"},
        {2.0 - 0.2 / 86400, "1900年1月1日"},     // rounds up across midnight
        {-2.0 - 86399.7 / 86400, "1899年12月29日"},  // the same before the epoch
        {40920.365544, "2012年1月12日8时46分23秒"},
    };
    for (const auto& c : cases) EXPECT_EQ(TimeText({c.days}).Str(), Gbk(c.expected)) << c.days;
    EXPECT_LE(TimeText({2958464.999988}).Length(), 26);  // 9999年12月30日23时59分59秒
}

TEST(TimeTextTest, MakeDateTimeMatchesTheOleDate) {
    EXPECT_DOUBLE_EQ(MakeDateTime({1899, 12, 30, 0, 0, 0}).days, 0);
    EXPECT_DOUBLE_EQ(MakeDateTime({1900, 1, 1, 12, 0, 0}).days, 2.5);
    EXPECT_DOUBLE_EQ(MakeDateTime({1899, 12, 29, 6, 0, 0}).days, -1.25);
    EXPECT_DOUBLE_EQ(MakeDateTime({2012, 1, 12, 0, 0, 0}).days, 40920);
}

LocalTime FixedClock() { return {2012, 1, 12, 8, 46, 23}; }

TEST(TimeTextTest, NowReadsTheClockToTheSecond) {
    ClockFunction previous = SetClockForTesting(FixedClock);
    EXPECT_EQ(TimeText(Now()).Str(), Gbk("2012年1月12日8时46分23秒"));
    SetClockForTesting(previous);
    DateTime now = Now();
    double seconds = (now.days - std::floor(now.days)) * 86400;
    EXPECT_NEAR(seconds, std::round(seconds), 1e-4);
    EXPECT_GT(now.days, 45000);  // after 2023
}

}  // namespace
