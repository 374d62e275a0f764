#include "win32.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

TEST(Event, AutoResetWakesOneWaitThenTimesOut)
{
    HANDLE e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(e));
    EXPECT_TRUE(SetEvent(e)) << "a second set before the wait is one signal";
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(e, 50), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(45));
    CloseHandle(e);
}

TEST(Event, ManualResetStaysSignalledUntilReset)
{
    HANDLE e = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
    CloseHandle(e);
}

TEST(Event, SetFromAnotherThreadWakesExactlyOneOfTwoWaiters)
{
    HANDLE e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 2; i++)
        waiters.emplace_back([&] {
            if (WaitForSingleObject(e, 300) == WAIT_OBJECT_0)
                woken++;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    SetEvent(e);
    for (auto &w : waiters)
        w.join();
    EXPECT_EQ(woken, 1);
    CloseHandle(e);
}

TEST(Event, ClosedOrUnknownHandles)
{
    HANDLE e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(e);
    EXPECT_EQ(WaitForSingleObject(e, 10), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(e));
    EXPECT_EQ(WaitForSingleObject(nullptr, 10), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(CreateEventA(nullptr, FALSE, FALSE, "named"), nullptr);
}

TEST(CriticalSection, RecursiveAndExclusive)
{
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EnterCriticalSection(&cs);
    std::atomic<bool> other_got{true};
    std::thread([&] { other_got = TryEnterCriticalSection(&cs); }).join();
    EXPECT_FALSE(other_got);
    LeaveCriticalSection(&cs);
    LeaveCriticalSection(&cs);

    long counter = 0;
    std::vector<std::thread> ts;
    for (int i = 0; i < 4; i++)
        ts.emplace_back([&] {
            for (int k = 0; k < 20000; k++) {
                EnterCriticalSection(&cs);
                counter++;
                LeaveCriticalSection(&cs);
            }
        });
    for (auto &t : ts)
        t.join();
    EXPECT_EQ(counter, 80000);
    DeleteCriticalSection(&cs);
}

TEST(Interlocked, CountsAcrossThreads)
{
    volatile LONG n = 0;
    std::vector<std::thread> ts;
    for (int i = 0; i < 4; i++)
        ts.emplace_back([&] {
            for (int k = 0; k < 10000; k++)
                InterlockedIncrement(&n);
        });
    for (auto &t : ts)
        t.join();
    EXPECT_EQ(n, 40000);
    EXPECT_EQ(InterlockedDecrement(&n), 39999);
    EXPECT_EQ(InterlockedExchange(&n, 5), 39999);
    EXPECT_EQ(InterlockedCompareExchange(&n, 9, 4), 5);
    EXPECT_EQ(InterlockedCompareExchange(&n, 9, 5), 5);
    EXPECT_EQ(n, 9);
}

TEST(Sleep, SleepsAboutTheTime)
{
    auto t0 = std::chrono::steady_clock::now();
    Sleep(30);
    EXPECT_EQ(SleepEx(20, FALSE), 0u);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_GE(ms, 50);
    EXPECT_LT(ms, 500);
}

TEST(DebugOutput, SilentByDefaultStandardErrorWhenAsked)
{
    unsetenv("TRAFVIEW_DEBUG_OUTPUT");
    testing::internal::CaptureStderr();
    OutputDebugStringA("hidden\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    for (const char *off : {"", "0"}) {
        setenv("TRAFVIEW_DEBUG_OUTPUT", off, 1);
        testing::internal::CaptureStderr();
        OutputDebugStringA("hidden\n");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
    setenv("TRAFVIEW_DEBUG_OUTPUT", "1", 1);
    testing::internal::CaptureStderr();
    OutputDebugStringA("Thread Create Fail\n");
    OutputDebugStringA(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Thread Create Fail\n");
    unsetenv("TRAFVIEW_DEBUG_OUTPUT");
}

} // namespace
