#include "win32.h"

#include <gtest/gtest.h>

#include <time.h>

namespace {

uint64_t ticks(const FILETIME &ft) { return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

TEST(Time, SystemTimeToFileTimeKnownDates)
{
    struct Case {
        SYSTEMTIME st;
        uint64_t expect;
    } cases[] = {
        {{1601, 1, 1, 1, 0, 0, 0, 0}, 0},
        {{1970, 1, 0, 1, 0, 0, 0, 0}, 116444736000000000ull},
        {{2000, 2, 2, 29, 12, 30, 15, 250}, 125963010152500000ull},
    };
    for (const Case &c : cases) {
        FILETIME ft;
        ASSERT_TRUE(SystemTimeToFileTime(&c.st, &ft)) << c.st.wYear;
        EXPECT_EQ(ticks(ft), c.expect) << c.st.wYear;
        SYSTEMTIME back;
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
        EXPECT_EQ(back.wYear, c.st.wYear);
        EXPECT_EQ(back.wMonth, c.st.wMonth);
        EXPECT_EQ(back.wDay, c.st.wDay);
        EXPECT_EQ(back.wSecond, c.st.wSecond);
        EXPECT_EQ(back.wMilliseconds, c.st.wMilliseconds);
    }
}

TEST(Time, InvalidSystemTimesAreRefused)
{
    SYSTEMTIME bad[] = {
        {1600, 12, 0, 31, 0, 0, 0, 0}, {2001, 2, 0, 29, 0, 0, 0, 0}, {2000, 13, 0, 1, 0, 0, 0, 0},
        {2000, 1, 0, 1, 24, 0, 0, 0},  {2000, 1, 0, 0, 0, 0, 0, 0},
    };
    for (const SYSTEMTIME &st : bad) {
        FILETIME ft;
        EXPECT_FALSE(SystemTimeToFileTime(&st, &ft)) << st.wYear << "-" << st.wMonth << "-" << st.wDay;
    }
}

TEST(Time, SystemTimeMatchesTheClock)
{
    SYSTEMTIME st;
    FILETIME ft, now;
    GetSystemTime(&st);
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    GetSystemTimeAsFileTime(&now);
    int64_t unix_secs = static_cast<int64_t>((ticks(ft) - 116444736000000000ull) / 10000000ull);
    EXPECT_LE(std::llabs(unix_secs - static_cast<int64_t>(time(nullptr))), 2);
    EXPECT_LE(ticks(ft), ticks(now) + 10000);
}

TEST(Time, PerformanceCounterIsMonotonicNanoseconds)
{
    LARGE_INTEGER f, a, b;
    ASSERT_TRUE(QueryPerformanceFrequency(&f));
    EXPECT_EQ(f.QuadPart, 1000000000LL);
    QueryPerformanceCounter(&a);
    Sleep(10);
    QueryPerformanceCounter(&b);
    EXPECT_GE(b.QuadPart - a.QuadPart, 9000000LL);
}

} // namespace
