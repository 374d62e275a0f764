/* System time, file time, local time and the performance counter. */
#ifndef PLATFORM_WIN32_TIMEFN_H
#define PLATFORM_WIN32_TIMEFN_H

#include "types.h"

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth; /* 1..12 */
    WORD wDayOfWeek; /* 0 = Sunday */
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *LPSYSTEMTIME;

/* 100 ns intervals since 1601-01-01 00:00:00 UTC. */
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *LPFILETIME;

#ifdef __cplusplus
extern "C" {
#endif

PLATFORM_API void GetSystemTime(LPSYSTEMTIME st);
PLATFORM_API void GetLocalTime(LPSYSTEMTIME st);
PLATFORM_API void GetSystemTimeAsFileTime(LPFILETIME ft);
/* FALSE with ERROR_INVALID_PARAMETER for a field out of range or a year
 * outside 1601..30827. */
PLATFORM_API BOOL SystemTimeToFileTime(const SYSTEMTIME *st, LPFILETIME ft);
PLATFORM_API BOOL FileTimeToSystemTime(const FILETIME *ft, LPSYSTEMTIME st);
PLATFORM_API BOOL FileTimeToLocalFileTime(const FILETIME *ft, LPFILETIME local);
/* Monotonic counter in nanoseconds; the frequency is 1000000000. */
PLATFORM_API BOOL QueryPerformanceCounter(LARGE_INTEGER *count);
PLATFORM_API BOOL QueryPerformanceFrequency(LARGE_INTEGER *freq);
/* Milliseconds of the monotonic clock, wrapping at 2^32. */
PLATFORM_API DWORD GetTickCount(void);

#ifdef __cplusplus
}
#endif

#endif
