/* System time, file time, local time and the performance counter. */
#include "internal.h"

#include <time.h>

namespace {

const int64_t kTicksPerSecond = 10000000; /* FILETIME ticks are 100 ns */

/* Days from 1970-01-01 to the given civil date (proleptic Gregorian). */
int64_t days_from_civil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

const int64_t kDays1601To1970 = -days_from_civil(1601, 1, 1);

bool leap(unsigned y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned days_in_month(unsigned y, unsigned m)
{
    static const unsigned days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : days[m - 1];
}

void from_tm(const struct tm &t, long nsec, SYSTEMTIME *st)
{
    st->wYear = static_cast<WORD>(t.tm_year + 1900);
    st->wMonth = static_cast<WORD>(t.tm_mon + 1);
    st->wDayOfWeek = static_cast<WORD>(t.tm_wday);
    st->wDay = static_cast<WORD>(t.tm_mday);
    st->wHour = static_cast<WORD>(t.tm_hour);
    st->wMinute = static_cast<WORD>(t.tm_min);
    st->wSecond = static_cast<WORD>(t.tm_sec);
    st->wMilliseconds = static_cast<WORD>(nsec / 1000000);
}

void set_filetime(uint64_t ticks, FILETIME *ft)
{
    ft->dwLowDateTime = static_cast<DWORD>(ticks);
    ft->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

uint64_t get_filetime(const FILETIME *ft)
{
    return (static_cast<uint64_t>(ft->dwHighDateTime) << 32) | ft->dwLowDateTime;
}

} // namespace

namespace plat {
uint64_t monotonic_ms()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}
} // namespace plat

extern "C" void GetSystemTime(LPSYSTEMTIME st)
{
    struct timespec ts;
    struct tm t;
    clock_gettime(CLOCK_REALTIME, &ts);
    gmtime_r(&ts.tv_sec, &t);
    from_tm(t, ts.tv_nsec, st);
}

extern "C" void GetLocalTime(LPSYSTEMTIME st)
{
    struct timespec ts;
    struct tm t;
    clock_gettime(CLOCK_REALTIME, &ts);
    localtime_r(&ts.tv_sec, &t);
    from_tm(t, ts.tv_nsec, st);
}

extern "C" void GetSystemTimeAsFileTime(LPFILETIME ft)
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    int64_t secs = static_cast<int64_t>(ts.tv_sec) + kDays1601To1970 * 86400;
    set_filetime(static_cast<uint64_t>(secs * kTicksPerSecond + ts.tv_nsec / 100), ft);
}

extern "C" BOOL SystemTimeToFileTime(const SYSTEMTIME *st, LPFILETIME ft)
{
    if (st == nullptr || ft == nullptr || st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 ||
        st->wMonth > 12 || st->wDay < 1 || st->wDay > days_in_month(st->wYear, st->wMonth) || st->wHour > 23 ||
        st->wMinute > 59 || st->wSecond > 59 || st->wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t days = days_from_civil(st->wYear, st->wMonth, st->wDay) + kDays1601To1970;
    int64_t secs = days * 86400 + st->wHour * 3600 + st->wMinute * 60 + st->wSecond;
    set_filetime(static_cast<uint64_t>(secs * kTicksPerSecond + st->wMilliseconds * 10000LL), ft);
    return TRUE;
}

extern "C" BOOL FileTimeToSystemTime(const FILETIME *ft, LPSYSTEMTIME st)
{
    uint64_t ticks = get_filetime(ft);
    if (ticks > 0x7FFFFFFFFFFFFFFFull) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t secs = static_cast<int64_t>(ticks / kTicksPerSecond) - kDays1601To1970 * 86400;
    time_t tt = static_cast<time_t>(secs);
    struct tm t;
    if (gmtime_r(&tt, &t) == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    from_tm(t, static_cast<long>(ticks % kTicksPerSecond) * 100, st);
    return TRUE;
}

extern "C" BOOL FileTimeToLocalFileTime(const FILETIME *ft, LPFILETIME local)
{
    uint64_t ticks = get_filetime(ft);
    time_t tt = static_cast<time_t>(static_cast<int64_t>(ticks / kTicksPerSecond) - kDays1601To1970 * 86400);
    struct tm t;
    if (localtime_r(&tt, &t) == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    set_filetime(static_cast<uint64_t>(static_cast<int64_t>(ticks) + t.tm_gmtoff * kTicksPerSecond), local);
    return TRUE;
}

extern "C" BOOL QueryPerformanceCounter(LARGE_INTEGER *count)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    count->QuadPart = static_cast<LONGLONG>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
    return TRUE;
}

extern "C" BOOL QueryPerformanceFrequency(LARGE_INTEGER *freq)
{
    freq->QuadPart = 1000000000LL;
    return TRUE;
}

extern "C" DWORD GetTickCount(void) { return static_cast<DWORD>(plat::monotonic_ms()); }
