/* Threads: start, end, termination, exit codes and priorities.
 *
 * Each thread started here is a detached pthread with a record shared by its
 * handles. The record's "running" flag is cleared under its lock before the
 * thread finishes, and TerminateThread cancels only under that lock while the
 * flag is set, so it never touches a thread that is gone. */
#include "internal.h"

#include <errno.h>
#include <stdlib.h>
#include <limits.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>

namespace {

struct Thread : plat::KObject {
    LPTHREAD_START_ROUTINE start = nullptr;
    void *arg = nullptr;
    int done_fd = -1; /* written once when the thread has ended */

    std::mutex lock; /* guards everything below */
    std::condition_variable started_cv;
    bool started = false;
    bool running = false;
    pthread_t pt{};
    DWORD tid = 0;
    DWORD exit_code = STILL_ACTIVE;
    bool terminated = false;
    DWORD terminate_code = 0;

    ~Thread() override
    {
        if (done_fd >= 0)
            close(done_fd);
    }
    int wait_fd() const override { return done_fd; }
};

thread_local Thread *current_thread = nullptr;
thread_local bool exit_code_set = false;
thread_local DWORD exit_code_value = 0;

/* Runs when the routine returns and when the thread is ended by ExitThread
 * or TerminateThread (the unwinding runs destructors). */
struct EndGuard {
    Thread *t;
    DWORD code = 0;
    ~EndGuard()
    {
        pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, nullptr);
        plat::queue_detach_current();
        {
            std::lock_guard<std::mutex> g(t->lock);
            t->running = false;
            if (t->terminated)
                t->exit_code = t->terminate_code;
            else
                t->exit_code = exit_code_set ? exit_code_value : code;
        }
        uint64_t one = 1;
        (void)!write(t->done_fd, &one, sizeof one);
        current_thread = nullptr;
    }
};

void *trampoline(void *p)
{
    std::shared_ptr<Thread> t = *static_cast<std::shared_ptr<Thread> *>(p);
    delete static_cast<std::shared_ptr<Thread> *>(p);
    current_thread = t.get();
    plat::queue_attach_current();
    {
        std::lock_guard<std::mutex> g(t->lock);
        t->tid = GetCurrentThreadId();
        t->started = true;
    }
    t->started_cv.notify_all();
    EndGuard guard{t.get()};
    guard.code = t->start(t->arg);
    return nullptr;
}

pid_t tid_of(HANDLE h)
{
    if (h == GetCurrentThread())
        return static_cast<pid_t>(GetCurrentThreadId());
    auto t = plat::handle_get_as<Thread>(h);
    if (!t)
        return 0;
    std::lock_guard<std::mutex> g(t->lock);
    return t->running ? static_cast<pid_t>(t->tid) : 0;
}

struct PriorityMap {
    int priority;
    int nice;
};
const PriorityMap kPriorities[] = {
    {THREAD_PRIORITY_IDLE, 19},        {THREAD_PRIORITY_LOWEST, 10},  {THREAD_PRIORITY_BELOW_NORMAL, 5},
    {THREAD_PRIORITY_NORMAL, 0},       {THREAD_PRIORITY_ABOVE_NORMAL, -5}, {THREAD_PRIORITY_HIGHEST, -10},
    {THREAD_PRIORITY_TIME_CRITICAL, -20},
};

} // namespace

extern "C" DWORD GetCurrentThreadId(void)
{
    static thread_local DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
    return id;
}

extern "C" DWORD GetCurrentProcessId(void) { return static_cast<DWORD>(getpid()); }

extern "C" HANDLE GetCurrentThread(void) { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2)); }

extern "C" HANDLE CreateThread(LPSECURITY_ATTRIBUTES sa, SIZE_T stack, LPTHREAD_START_ROUTINE start, LPVOID arg,
                               DWORD flags, LPDWORD tid)
{
    (void)sa;
    if (start == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (flags & CREATE_SUSPENDED) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto t = std::make_shared<Thread>();
    t->start = start;
    t->arg = arg;
    t->done_fd = eventfd(0, EFD_CLOEXEC);
    if (t->done_fd < 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    if (stack != 0)
        pthread_attr_setstacksize(&attr, stack < static_cast<SIZE_T>(PTHREAD_STACK_MIN) ? static_cast<SIZE_T>(PTHREAD_STACK_MIN) : stack);

    plat::NoCancel nc;
    auto *ref = new std::shared_ptr<Thread>(t);
    std::unique_lock<std::mutex> g(t->lock);
    t->running = true;
    int rc = pthread_create(&t->pt, &attr, trampoline, ref);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        t->running = false;
        g.unlock();
        delete ref;
        SetLastError(rc == EAGAIN ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    t->started_cv.wait(g, [&] { return t->started; });
    if (tid != nullptr)
        *tid = t->tid;
    g.unlock();
    return plat::handle_insert(t);
}

extern "C" void ExitThread(DWORD code)
{
    exit_code_set = true;
    exit_code_value = code;
    pthread_exit(nullptr);
}

extern "C" BOOL TerminateThread(HANDLE h, DWORD code)
{
    if (h == GetCurrentThread())
        ExitThread(code);
    auto t = plat::handle_get_as<Thread>(h);
    if (!t) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (t.get() == current_thread)
        ExitThread(code);
    std::lock_guard<std::mutex> g(t->lock);
    if (t->running && !t->terminated) {
        t->terminated = true;
        t->terminate_code = code;
        pthread_cancel(t->pt);
    }
    return TRUE;
}

extern "C" BOOL GetExitCodeThread(HANDLE h, LPDWORD code)
{
    auto t = plat::handle_get_as<Thread>(h);
    if (!t || code == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> g(t->lock);
    *code = t->exit_code;
    return TRUE;
}

extern "C" BOOL SetThreadPriority(HANDLE h, int priority)
{
    const PriorityMap *m = nullptr;
    for (const PriorityMap &p : kPriorities)
        if (p.priority == priority)
            m = &p;
    if (m == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    pid_t tid = tid_of(h);
    if (tid == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(tid), m->nice) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

extern "C" int GetThreadPriority(HANDLE h)
{
    pid_t tid = tid_of(h);
    if (tid == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    errno = 0;
    int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    if (nice == -1 && errno != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    /* nearest mapped level */
    const PriorityMap *best = &kPriorities[0];
    for (const PriorityMap &p : kPriorities)
        if (abs(p.nice - nice) < abs(best->nice - nice))
            best = &p;
    return best->priority;
}

extern "C" uintptr_t _beginthreadex(void *security, unsigned stack, _beginthreadex_proc_type start, void *arg,
                                    unsigned flags, unsigned *tid)
{
    DWORD id = 0;
    HANDLE h = CreateThread(static_cast<LPSECURITY_ATTRIBUTES>(security), stack,
                            reinterpret_cast<LPTHREAD_START_ROUTINE>(start), arg, flags, &id);
    if (h != nullptr && tid != nullptr)
        *tid = id;
    return reinterpret_cast<uintptr_t>(h);
}

extern "C" void _endthreadex(unsigned code) { ExitThread(code); }
