#include "utilbox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
long ms_since(Clock::time_point t0)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count());
}

const unsigned kStop = WM_USER + 77;
const unsigned kEnd = WM_USER + 78;

/* A worker as conduit writes them: acknowledge, poll the stop message once a
 * pass, acknowledge the end. */
struct Worker {
    unsigned tid = 0;
    unsigned owner = 0;
    unsigned char flag = 0;
    int passes = 0;
};

unsigned __stdcall worker_routine(void *arg)
{
    Worker *w = static_cast<Worker *>(arg);
    set_semaphore(&w->flag);
    for (;;) {
        int lp = 0;
        if (get_thread_status(1, kStop, &lp) == 0 && lp == -1)
            break;
        w->passes++;
    }
    set_semaphore(&w->flag);
    thread_exit(kEnd, w->owner);
    _endthreadex(0);
}

TEST(Worker, StartAndStopHandshakeEndToEnd)
{
    Worker w;
    w.owner = get_thread_id();
    EXPECT_EQ(thread_create(worker_routine, &w, &w.tid), 0);
    ASSERT_EQ(get_semaphore(1000, &w.flag), 0) << "the worker acknowledged its start";
    EXPECT_EQ(w.flag, 0) << "taking the flag resets it";
    EXPECT_NE(w.tid, 0u);
    EXPECT_NE(w.tid, w.owner);
    auto t0 = Clock::now();
    EXPECT_NE(thread_destroy(kStop, w.tid), 0);
    EXPECT_GE(ms_since(t0), 195);
    ASSERT_EQ(get_semaphore(1000, &w.flag), 0) << "the worker acknowledged its end";
    EXPECT_GT(w.passes, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(signal_post(w.tid, kStop, -1), 0) << "the ended worker has no queue";
}

TEST(Worker, DestroyTakesItsTimeEvenWhenThePostFails)
{
    auto t0 = Clock::now();
    EXPECT_EQ(thread_destroy(kStop, 0x7ffffff0u), 0);
    long ms = ms_since(t0);
    EXPECT_GE(ms, 195);
    EXPECT_LT(ms, 1000);
}

TEST(Signal, PeekTakesTheAwaitedMessageAndLosesOthers)
{
    unsigned me = get_thread_id();
    int lp = 55;
    EXPECT_EQ(signal_peek(0, kStop, &lp), 0) << "no tries: nothing polled";
    EXPECT_EQ(lp, 55);
    EXPECT_EQ(signal_peek(-3, kStop, &lp), 0);

    EXPECT_EQ(signal_peek(1, kStop, &lp), -1); /* first use makes the queue */
    EXPECT_NE(signal_post(me, kStop + 1, 1), 0);
    EXPECT_NE(signal_post(me, kStop, 2), 0);
    EXPECT_EQ(get_thread_status(5, kStop, &lp), 0);
    EXPECT_EQ(lp, 2);
    EXPECT_EQ(signal_peek(1, kStop + 1, &lp), -1) << "the other message was taken and lost";

    EXPECT_NE(signal_post(me, kStop, -1), 0);
    EXPECT_EQ(signal_peek(1, kStop, nullptr), 0) << "a null lParam pointer is allowed";

    auto t0 = Clock::now();
    EXPECT_EQ(signal_peek(30, kStop, &lp), -1);
    EXPECT_GE(ms_since(t0), 30) << "each try sleeps 1 ms";
    EXPECT_EQ(signal_post(0x7ffffff0u, kStop, 0), 0);
}

TEST(Semaphore, FlagCodes)
{
    unsigned char flag = 0;
    EXPECT_EQ(get_semaphore(0, &flag), -1);
    EXPECT_EQ(set_semaphore(&flag), 1);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(get_semaphore(0, &flag), -1) << "zero tries never look";
    EXPECT_EQ(get_semaphore(1, &flag), 0);
    EXPECT_EQ(flag, 0);
    auto t0 = Clock::now();
    EXPECT_EQ(get_semaphore(20, &flag), -1);
    EXPECT_GE(ms_since(t0), 20);
}

TEST(EventHelpers, AutoResetTimeoutAndNullOrClosedHandles)
{
    HANDLE ev = nullptr;
    EXPECT_EQ(create_event(&ev), 0);
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(wait_event(&ev, 10), -1);
    EXPECT_EQ(set_event(&ev), 0);
    EXPECT_EQ(wait_event(&ev, 10), 0);
    EXPECT_EQ(wait_event(&ev, 10), -1) << "auto-reset";
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        set_event(&ev);
    });
    EXPECT_EQ(wait_event(&ev, 2000), 0);
    setter.join();

    HANDLE copy = ev;
    EXPECT_EQ(destroy_event(&ev), 0);
    EXPECT_EQ(ev, nullptr);
    EXPECT_EQ(set_event(&ev), -1);
    EXPECT_EQ(wait_event(&copy, 10), 0) << "a closed handle is no time-out";
    EXPECT_EQ(wait_event(&ev, 10), 0);
}

TEST(LockHelpers, RecursiveForTheOwner)
{
    CRITICAL_SECTION cs;
    EXPECT_EQ(lock_init(&cs), 0);
    EXPECT_EQ(lock(&cs), 0);
    EXPECT_EQ(lock(&cs), 0);
    bool other = true;
    std::thread([&] { other = TryEnterCriticalSection(&cs); }).join();
    EXPECT_FALSE(other);
    EXPECT_EQ(unlock(&cs), 0);
    EXPECT_EQ(unlock(&cs), 0);
    std::thread([&] {
        other = TryEnterCriticalSection(&cs);
        if (other)
            LeaveCriticalSection(&cs);
    }).join();
    EXPECT_TRUE(other);
    EXPECT_EQ(lock_final(&cs), 0);
}

TEST(SharedBodies, EmptyExportsShareOneBodyAndDoNothing)
{
    HMODULE h = LoadLibraryA("./utilbox.dll");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetProcAddress(h, "thread_detach"), GetProcAddress(h, "microsleep"));
    EXPECT_EQ(GetProcAddress(h, "thread_detach"), GetProcAddress(h, "reg_delete"));
    EXPECT_NE(GetProcAddress(h, "thread_exit"), GetProcAddress(h, "thread_detach"));
    EXPECT_EQ(GetProcAddress(h, "timer_start"), GetProcAddress(h, "timer_stop"));
    EXPECT_EQ(GetProcAddress(h, "signal_peek"), GetProcAddress(h, "get_thread_status"));
    FreeLibrary(h);

    EXPECT_EQ(thread_detach(get_thread_id()), 0);
    auto t0 = Clock::now();
    EXPECT_EQ(microsleep(500000), 0);
    EXPECT_LT(ms_since(t0), 100) << "microsleep does not sleep";
    EXPECT_EQ(reg_delete(HKEY_CURRENT_USER, "x", "y"), 0);
    thread_exit(kEnd, get_thread_id());
    EXPECT_EQ(msleep(0), 0);
}

TEST(Priority, HelpersPassThrough)
{
    int got = 0;
    std::thread([&] {
        EXPECT_NE(set_thread_priority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL), 0);
        got = get_thread_priority(GetCurrentThread());
    }).join();
    EXPECT_EQ(got, THREAD_PRIORITY_BELOW_NORMAL);
}

DWORD WINAPI spin_sleep(LPVOID)
{
    for (;;)
        msleep(2);
}

TEST(Terminate, EndsAThreadAndReturnsZero)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer does not follow locks taken while a cancelled thread unwinds";
#endif
    HANDLE h = CreateThread(nullptr, 0, spin_sleep, nullptr, 0, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(thread_terminate(h), 0);
    EXPECT_EQ(WaitForSingleObject(h, 5000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeThread(h, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(h);
    EXPECT_EQ(thread_terminate(h), 0) << "a closed handle is harmless";
}

} // namespace
