/* Messages between threads: SendMessageA from workers runs on the window's
 * thread while they wait, also while that thread sleeps or waits; posts wake
 * GetMessageA. */
#include "ui_support.h"

#include <atomic>
#include <thread>
#include <vector>

namespace {

std::atomic<DWORD> handled_on{0};

LRESULT CALLBACK echo_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_USER) {
        handled_on = GetCurrentThreadId();
        return static_cast<LRESULT>(wparam * 2);
    }
    if (msg == WM_USER + 1) /* a message that sends again to its own window */
        return SendMessageA(hwnd, WM_USER, wparam, 0) + 1;
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

class Messages : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = echo_proc;
        wc.lpszClassName = "echo";
        RegisterClassExA(&wc);
        hwnd = CreateWindowExA(0, "echo", "echo", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
    }
    void TearDown() override { DestroyWindow(hwnd); }
    HWND hwnd = nullptr;
};

TEST_F(Messages, SendFromWorkersRunsOnWindowThreadWhileTheyWait)
{
    const DWORD me = GetCurrentThreadId();
    std::atomic<int> done{0};
    std::vector<LRESULT> results(2, 0);
    std::vector<std::thread> workers;
    for (int i = 0; i < 2; i++)
        workers.emplace_back([&, i] {
            for (int k = 0; k < 200; k++)
                results[i] += SendMessageA(hwnd, WM_USER, static_cast<WPARAM>(i + 1), 0);
            done++;
        });
    MSG m;
    const DWORD end = GetTickCount() + 10000;
    while (done < 2 && static_cast<int>(end - GetTickCount()) > 0)
        if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    for (auto &t : workers)
        t.join();
    EXPECT_EQ(results[0], 200 * 2);
    EXPECT_EQ(results[1], 200 * 4);
    EXPECT_EQ(handled_on.load(), me);
}

TEST_F(Messages, WindowThreadSendingToItselfCallsDirectly)
{
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 1, 5, 0), 11);
    EXPECT_EQ(handled_on.load(), GetCurrentThreadId());
}

/* The window thread serves a worker's send while it sleeps or waits on an
 * event the worker sets only after its send came back. */
TEST_F(Messages, SleepAndWaitServeSends)
{
    HANDLE ev = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<LRESULT> got{0};
    std::thread worker([&] {
        got = SendMessageA(hwnd, WM_USER, 21, 0);
        SetEvent(ev);
    });
    EXPECT_EQ(WaitForSingleObject(ev, 5000), WAIT_OBJECT_0);
    worker.join();
    EXPECT_EQ(got.load(), 42);

    std::thread sleeper_peer([&] { got = SendMessageA(hwnd, WM_USER, 4, 0); });
    const DWORD start = GetTickCount();
    while (got.load() != 8 && GetTickCount() - start < 5000)
        Sleep(10);
    sleeper_peer.join();
    EXPECT_EQ(got.load(), 8);
    CloseHandle(ev);
}

TEST_F(Messages, PostFromWorkerWakesGetMessage)
{
    std::thread worker([&] {
        Sleep(50);
        PostMessageA(hwnd, WM_USER + 7, 1, 2);
    });
    MSG m = {};
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    worker.join();
    EXPECT_EQ(m.hwnd, hwnd);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 7));
    EXPECT_EQ(m.wParam, 1u);
    PostQuitMessage(18);
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.wParam, 18u);
}

TEST_F(Messages, SendToDestroyedWindowFailsWithoutWaiting)
{
    HWND gone = CreateWindowExA(0, "echo", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    std::atomic<LRESULT> r{-1};
    std::thread worker([&] { r = SendMessageA(gone, WM_USER, 1, 0); });
    worker.join();
    EXPECT_EQ(r.load(), 0);
    EXPECT_EQ(PostMessageA(gone, WM_USER, 0, 0), FALSE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

} // namespace
