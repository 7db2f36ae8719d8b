#include "util/DateTime.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// Days between 1970-01-01 and the OLE epoch 1899-12-30.
constexpr int64_t kOleEpochToUnixDays = 25569;
constexpr int64_t kFirstDay = -657434;   // 100-01-01
constexpr int64_t kLastDay = 2958465;    // 9999-12-31
constexpr int64_t kSecondsPerDay = 86400;

// Proleptic Gregorian calendar (H. Hinnant's algorithms), days counted from 1970-01-01.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

}  // namespace

DateTime MakeDateTime(const LocalTime& t) {
    int64_t day = DaysFromCivil(t.year, t.month, t.day) + kOleEpochToUnixDays;
    double fraction = static_cast<double>(t.hour * 3600 + t.minute * 60 + t.second) / kSecondsPerDay;
    // Before the epoch the day count is negative while the fraction still counts forward in the day.
    return {day < 0 ? static_cast<double>(day) - fraction : static_cast<double>(day) + fraction};
}

DateTime Now() { return MakeDateTime(ReadLocalClock()); }

Text TimeText(DateTime d) {
    // Split into the calendar day and the time of day, clamping in calendar order: for negative
    // values a larger magnitude of the fraction is a later time, not an earlier one.
    int64_t day;
    int64_t seconds;
    double whole = std::trunc(d.days);
    if (std::isnan(d.days) || whole < static_cast<double>(kFirstDay)) {
        day = kFirstDay;
        seconds = 0;
    } else if (whole > static_cast<double>(kLastDay) || (whole == kLastDay && d.days != whole)) {
        day = kLastDay;
        seconds = 0;
    } else {
        day = static_cast<int64_t>(whole);
        seconds = std::llround(std::fabs(d.days - whole) * kSecondsPerDay);
        if (seconds >= kSecondsPerDay) {
            day++;
            seconds -= kSecondsPerDay;
        }
    }
    int year, month, dayOfMonth;
    CivilFromDays(day - kOleEpochToUnixDays, year, month, dayOfMonth);
    int hour = static_cast<int>(seconds / 3600), minute = static_cast<int>(seconds / 60 % 60),
        second = static_cast<int>(seconds % 60);

    // 年 月 日 时 分 秒 in code page 936.
    const char* kYear = "\xc4\xea";
    const char* kMonth = "\xd4\xc2";
    const char* kDay = "\xc8\xd5";
    const char* kHour = "\xca\xb1";
    const char* kMinute = "\xb7\xd6";
    const char* kSecond = "\xc3\xeb";
    char buf[64];
    int n = snprintf(buf, sizeof buf, "%d%s%d%s%d%s", year, kYear, month, kMonth, dayOfMonth, kDay);
    if (second != 0) {
        n += snprintf(buf + n, sizeof buf - n, "%d%s%d%s%d%s", hour, kHour, minute, kMinute, second, kSecond);
    } else if (minute != 0) {
        n += snprintf(buf + n, sizeof buf - n, "%d%s%d%s", hour, kHour, minute, kMinute);
    } else if (hour != 0) {
        n += snprintf(buf + n, sizeof buf - n, "%d%s", hour, kHour);
    }
    return Text::Of(std::string_view(buf, static_cast<size_t>(n)));
}
