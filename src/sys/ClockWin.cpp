#include "sys/Win.h"
#include "util/Platform.h"

LocalTime PlatformLocalClock() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}
