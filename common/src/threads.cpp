/* Threads, thread signals, acknowledgement flags, events, locks, sleeping. */
#include "utilbox.h"

/* The acknowledgement flag is one byte with one writer of 1 (the worker) and
 * one reader that resets it (the owner). Its accesses are atomic byte
 * accesses with acquire/release order, so what the worker wrote before
 * setting the flag is visible to the owner that sees it. */
static unsigned char flag_load(unsigned char *flag) { return __atomic_load_n(flag, __ATOMIC_ACQUIRE); }
static void flag_store(unsigned char *flag, unsigned char v) { __atomic_store_n(flag, v, __ATOMIC_RELEASE); }

extern "C" int thread_create(thread_routine start, void *arg, unsigned *tid)
{
    uintptr_t h = _beginthreadex(nullptr, 0, start, arg, 0, tid);
    if (h != 0)
        CloseHandle(reinterpret_cast<HANDLE>(h));
    return 0;
}

extern "C" int thread_destroy(unsigned msg, unsigned tid)
{
    BOOL posted = PostThreadMessageA(tid, msg, 0, -1);
    SleepEx(200, FALSE);
    return posted;
}

extern "C" int thread_terminate(HANDLE thread)
{
    TerminateThread(thread, 0);
    return 0;
}

extern "C" void thread_exit(unsigned msg, unsigned tid)
{
    (void)msg;
    (void)tid;
}

extern "C" unsigned get_thread_id(void) { return GetCurrentThreadId(); }

extern "C" int set_thread_priority(HANDLE thread, int priority) { return SetThreadPriority(thread, priority); }

extern "C" int get_thread_priority(HANDLE thread) { return GetThreadPriority(thread); }

extern "C" int signal_post(unsigned tid, unsigned msg, int lparam)
{
    return PostThreadMessageA(tid, msg, 0, static_cast<LPARAM>(lparam));
}

/* One try: a peek (which removes whatever thread message it finds at or above
 * the awaited number) and a 1 ms sleep when that was not the one. */
extern "C" int signal_peek(int tries, unsigned msg, int *lparam)
{
    const HWND thread_only = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));
    for (int polls = 0; polls < tries;) {
        MSG m;
        if (PeekMessageA(&m, thread_only, msg, 0, PM_REMOVE) && m.message == msg) {
            if (lparam != nullptr)
                *lparam = static_cast<int>(m.lParam);
            return 0;
        }
        Sleep(1);
        if (++polls >= tries)
            return -1;
    }
    return 0;
}

extern "C" int get_thread_status(int tries, unsigned msg, int *lparam) __attribute__((alias("signal_peek")));

extern "C" int get_semaphore(int tries, unsigned char *flag)
{
    for (int polls = 0; polls < tries;) {
        if (flag_load(flag) == 1) {
            flag_store(flag, 0);
            return 0;
        }
        SleepEx(1, FALSE);
        ++polls;
    }
    return -1;
}

extern "C" int set_semaphore(unsigned char *flag)
{
    flag_store(flag, 1);
    return 1;
}

extern "C" int create_event(HANDLE *event)
{
    *event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return 0;
}

extern "C" int destroy_event(HANDLE *event)
{
    if (*event != nullptr)
        CloseHandle(*event);
    *event = nullptr;
    return 0;
}

extern "C" int set_event(HANDLE *event)
{
    if (*event == nullptr)
        return -1;
    SetEvent(*event);
    return 0;
}

extern "C" int wait_event(HANDLE *event, unsigned ms)
{
    return WaitForSingleObject(*event, ms) == WAIT_TIMEOUT ? -1 : 0;
}

extern "C" int lock_init(CRITICAL_SECTION *cs)
{
    InitializeCriticalSection(cs);
    return 0;
}

extern "C" int lock_final(CRITICAL_SECTION *cs)
{
    DeleteCriticalSection(cs);
    return 0;
}

extern "C" int lock(CRITICAL_SECTION *cs)
{
    EnterCriticalSection(cs);
    return 0;
}

extern "C" int unlock(CRITICAL_SECTION *cs)
{
    LeaveCriticalSection(cs);
    return 0;
}

extern "C" int msleep(unsigned ms)
{
    SleepEx(ms, FALSE);
    return 0;
}
