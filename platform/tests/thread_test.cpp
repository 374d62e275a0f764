#include "win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

DWORD WINAPI return_arg(LPVOID arg) { return static_cast<DWORD>(reinterpret_cast<uintptr_t>(arg)); }

DWORD WINAPI exit_early(LPVOID) { ExitThread(42); }

/* Waits for thread message 0x500 and returns its lParam. */
DWORD WINAPI wait_message(LPVOID) {
    MSG m;
    for (;;) {
        if (PeekMessageA(&m, reinterpret_cast<HWND>(-1), 0x500, 0x500, PM_REMOVE))
            return static_cast<DWORD>(m.lParam);
        Sleep(1);
    }
}

DWORD WINAPI sleep_forever(LPVOID) {
    for (;;)
        Sleep(5);
}

TEST(Thread, ExitCodesFromReturnAndExitThread)
{
    HANDLE a = CreateThread(nullptr, 0, return_arg, reinterpret_cast<LPVOID>(7), 0, nullptr);
    HANDLE b = CreateThread(nullptr, 0, exit_early, nullptr, 0, nullptr);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(WaitForSingleObject(a, 5000), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(b, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(a, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_TRUE(GetExitCodeThread(b, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_TRUE(CloseHandle(a));
    EXPECT_TRUE(CloseHandle(b));
    EXPECT_FALSE(CloseHandle(a)) << "a closed handle stays invalid";
    EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_FAILED);
}

TEST(Thread, QueueExistsBeforeCreateReturnsAndGoesWithTheThread)
{
    DWORD tid = 0;
    HANDLE h = CreateThread(nullptr, 0, wait_message, nullptr, 0, &tid);
    ASSERT_NE(h, nullptr);
    EXPECT_NE(tid, GetCurrentThreadId());
    EXPECT_TRUE(PostThreadMessageA(tid, 0x500, 0, 1234));
    ASSERT_EQ(WaitForSingleObject(h, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(h, &code);
    EXPECT_EQ(code, 1234u);
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageA(tid, 0x500, 0, 0)) << "the ended thread has no queue";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_THREAD_ID));
    CloseHandle(h);
}

TEST(Thread, PostToUnknownOrQueuelessThreadFails)
{
    EXPECT_FALSE(PostThreadMessageA(0x7ffffff0u, WM_USER, 0, 0));
    std::atomic<DWORD> tid{0};
    std::atomic<bool> go{false};
    std::thread t([&] {
        tid = GetCurrentThreadId();
        while (!go)
            std::this_thread::yield();
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE); /* the first message call makes the queue */
        go = false;
        while (!go)
            std::this_thread::yield();
    });
    while (tid == 0)
        std::this_thread::yield();
    EXPECT_FALSE(PostThreadMessageA(tid, WM_USER, 0, 0)) << "no message call yet, so no queue";
    go = true;
    while (go)
        std::this_thread::yield();
    EXPECT_TRUE(PostThreadMessageA(tid, WM_USER, 0, 0));
    go = true;
    t.join();
    EXPECT_FALSE(PostThreadMessageA(tid, WM_USER, 0, 0)) << "a foreign thread's queue goes when it ends";
}

TEST(Thread, PeekFilterRanges)
{
    struct Case {
        UINT min, max;
        UINT expect; /* first message taken from the queue 0x401, 0x405, 0x410; 0 = none */
    } cases[] = {
        {0, 0, 0x401},      {0x405, 0, 0x405},     {0x402, 0x404, 0},
        {0x405, 0x405, 0x405}, {0x411, 0, 0},      {0x400, 0x401, 0x401},
    };
    MSG msg = {};
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); /* makes this thread's queue */
    for (const Case &c : cases) {
        for (UINT m : {0x401u, 0x405u, 0x410u})
            ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), m, 0, 0));
        BOOL got = PeekMessageA(&msg, reinterpret_cast<HWND>(-1), c.min, c.max, PM_REMOVE);
        EXPECT_EQ(got ? msg.message : 0u, c.expect) << c.min << ".." << c.max;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}

TEST(Thread, NoRemoveLeavesTheMessageAndQueueIsBounded)
{
    DWORD me = GetCurrentThreadId();
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    ASSERT_TRUE(PostThreadMessageA(me, WM_USER + 1, 5, 6));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(m.wParam, 5u);
    EXPECT_EQ(m.lParam, 6);
    EXPECT_EQ(m.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));

    int posted = 0;
    while (PostThreadMessageA(me, WM_USER, 0, posted) && posted <= PLATFORM_QUEUE_LIMIT)
        posted++;
    EXPECT_EQ(posted, PLATFORM_QUEUE_LIMIT);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA));
    for (int i = 0; i < posted; i++) {
        ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
        ASSERT_EQ(m.lParam, i) << "order kept";
    }
}

TEST(Thread, TerminateEndsASleepingThreadWithTheGivenCode)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer does not follow locks taken while a cancelled thread unwinds";
#endif
    DWORD tid = 0;
    HANDLE h = CreateThread(nullptr, 0, sleep_forever, nullptr, 0, &tid);
    ASSERT_NE(h, nullptr);
    DWORD code = 0;
    GetExitCodeThread(h, &code);
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(h, 20), WAIT_TIMEOUT);
    EXPECT_TRUE(TerminateThread(h, 9));
    ASSERT_EQ(WaitForSingleObject(h, 5000), WAIT_OBJECT_0);
    GetExitCodeThread(h, &code);
    EXPECT_EQ(code, 9u);
    EXPECT_FALSE(PostThreadMessageA(tid, WM_USER, 0, 0));
    EXPECT_TRUE(TerminateThread(h, 10)) << "terminating an ended thread changes nothing";
    GetExitCodeThread(h, &code);
    EXPECT_EQ(code, 9u);
    CloseHandle(h);
}

TEST(Thread, SuspendedStartIsRefused)
{
    EXPECT_EQ(CreateThread(nullptr, 0, return_arg, nullptr, CREATE_SUSPENDED, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

TEST(Thread, PriorityLoweredAndReadBack)
{
    int seen = -100;
    std::thread t([&] {
        HANDLE self = GetCurrentThread();
        EXPECT_EQ(GetThreadPriority(self), THREAD_PRIORITY_NORMAL);
        EXPECT_TRUE(SetThreadPriority(self, THREAD_PRIORITY_LOWEST));
        seen = GetThreadPriority(self);
        EXPECT_FALSE(SetThreadPriority(self, 7)) << "not a priority level";
    });
    t.join();
    EXPECT_EQ(seen, THREAD_PRIORITY_LOWEST);
    EXPECT_EQ(GetThreadPriority(reinterpret_cast<HANDLE>(0x12345)), THREAD_PRIORITY_ERROR_RETURN);
}

} // namespace
