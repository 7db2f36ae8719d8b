// Checks that the run is set up as its name says, and the clock seam.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

#include "sys/Win.h"
#include "util/Clock.h"

// The Windows test programs run once per ANSI code page, chosen by LANG: zh_CN gives 936, others 1252.
// A run under the wrong one (LC_ALL or LC_CTYPE set, the zh_CN locale not generated) fails here.
TEST(Run, HasTheAnsiCodePageItWasStartedFor) {
    const char* lang = std::getenv("LANG");
    if (!lang) GTEST_SKIP() << "started without LANG";
    const UINT expected = std::string_view(lang).starts_with("zh_CN") ? 936 : 1252;
    EXPECT_EQ(GetACP(), expected) << "LANG=" << lang;
}

TEST(Clock, ReadsTheLocalWallClock) {
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    LocalTime t = ReadLocalClock();
    GetLocalTime(&after);
    auto same = [&t](const SYSTEMTIME& s) {
        return t.year == s.wYear && t.month == s.wMonth && t.day == s.wDay && t.hour == s.wHour &&
               t.minute == s.wMinute && t.second == s.wSecond;
    };
    EXPECT_TRUE(same(before) || same(after));
}
