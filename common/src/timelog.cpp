/* Wall-clock time, the interval timer, local time stamps, console logging and
 * the framework's version text. */
#include "utilbox.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

extern "C" int64_t system_time(int64_t *t)
{
    SYSTEMTIME st;
    FILETIME ft;
    GetSystemTime(&st);
    if (!SystemTimeToFileTime(&st, &ft))
        return t != nullptr ? *t : 0;
    uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    int64_t secs = static_cast<int64_t>((ticks - 116444736000000000ull) / 10000000ull);
    if (t != nullptr)
        *t = secs;
    return secs;
}

extern "C" int64_t timer_start(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

extern "C" int64_t timer_stop(void) __attribute__((alias("timer_start")));

extern "C" double timer_elapsed(int64_t start, int64_t stop)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return static_cast<double>((stop - start) / freq.QuadPart);
}

/* The text stays valid for the calling thread until its next call. */
extern "C" char *get_curr_time(const char *date_sep, const char *mid_sep, const char *time_sep, int *year,
                               int *month, int *day, int *hour, int *minute, int *second)
{
    static thread_local char text[256];
    time_t now = time(nullptr);
    struct tm t;
    if (localtime_r(&now, &t) == nullptr)
        memset(&t, 0, sizeof t);
    if (year != nullptr)
        *year = t.tm_year + 1900;
    if (month != nullptr)
        *month = t.tm_mon + 1;
    if (day != nullptr)
        *day = t.tm_mday;
    if (hour != nullptr)
        *hour = t.tm_hour;
    if (minute != nullptr)
        *minute = t.tm_min;
    if (second != nullptr)
        *second = t.tm_sec;
    const char *ds = date_sep ? date_sep : "", *ms = mid_sep ? mid_sep : "", *ts = time_sep ? time_sep : "";
    snprintf(text, sizeof text, "%4d%s%02d%s%02d%s%02d%s%02d%s%02d", t.tm_year + 1900, ds, t.tm_mon + 1, ds,
             t.tm_mday, ms, t.tm_hour, ts, t.tm_min, ts, t.tm_sec);
    return text;
}

extern "C" int log_printf(const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    int n = vprintf(fmt, ap);
    va_end(ap);
    fflush(stdout);
    return n;
}

extern "C" int version(char *out)
{
    strcpy(out, "2.0");
    return 0;
}
