#include <time.h>

#include "util/Platform.h"

LocalTime PlatformLocalClock() {
    time_t now = time(nullptr);
    struct tm t{};
    localtime_r(&now, &t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}
