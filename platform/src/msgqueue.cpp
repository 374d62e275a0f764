/* Per-thread message queues: posted messages, calls from other threads
 * (what SendMessageA to a window of another thread becomes) and one wake
 * descriptor.
 *
 * A queue exists from the thread's first message call (or from its start,
 * for threads started by this layer) until the thread ends; posts to a thread
 * without one fail as on Windows. The wake descriptor is an eventfd that is
 * readable while a post or a call arrived that the thread has not looked at:
 * waits poll it, and platform_ui lets Qt's event loop watch it. */
#include "internal.h"
#include "ui_bridge.h"

#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <unordered_map>

namespace {

struct Queue;

struct Call {
    void (*fn)(void *);
    void *arg;
    std::shared_ptr<Queue> waiter;
    std::atomic<int> state{0}; /* 0 waiting, 1 done, 2 dropped */
};

struct Queue {
    int wake_fd = -1;
    std::atomic<bool> serving{false}; /* written by the owning thread only */
    std::mutex lock;                  /* guards msgs, calls and closed */
    std::deque<MSG> msgs;
    std::deque<std::shared_ptr<Call>> calls;
    bool closed = false;

    Queue() { wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }
    ~Queue()
    {
        if (wake_fd >= 0)
            close(wake_fd);
    }
    void wake() const
    {
        uint64_t one = 1;
        if (wake_fd >= 0 && write(wake_fd, &one, sizeof one) < 0 && errno != EAGAIN)
            OutputDebugStringA("message queue: wake failed\n");
    }
    void clear_wake() const
    {
        uint64_t v;
        if (wake_fd >= 0)
            while (read(wake_fd, &v, sizeof v) == static_cast<ssize_t>(sizeof v)) {
            }
    }
};

struct Registry {
    std::mutex lock; /* guards queues */
    std::unordered_map<DWORD, std::shared_ptr<Queue>> queues;
};

/* Never destroyed: threads may post while the process exits. */
Registry &registry()
{
    static Registry *r = new Registry;
    return *r;
}

/* Removes a foreign thread's queue when it ends (threads of this layer
 * detach explicitly before they report their end). */
struct Holder {
    std::shared_ptr<Queue> queue;
    ~Holder() { plat::queue_detach_current(); }
};
thread_local Holder holder;

std::shared_ptr<Queue> current_queue()
{
    if (!holder.queue) {
        auto q = std::make_shared<Queue>();
        Registry &r = registry();
        std::lock_guard<std::mutex> g(r.lock);
        r.queues[GetCurrentThreadId()] = q;
        holder.queue = q;
    }
    return holder.queue;
}

std::shared_ptr<Queue> find_queue(DWORD tid)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    auto it = r.queues.find(tid);
    return it == r.queues.end() ? nullptr : it->second;
}

void finish(const std::shared_ptr<Call> &c, int state)
{
    std::shared_ptr<Queue> waiter = c->waiter;
    c->state.store(state, std::memory_order_release);
    waiter->wake();
}

void serve(Queue &q)
{
    for (;;) {
        std::shared_ptr<Call> c;
        {
            std::lock_guard<std::mutex> g(q.lock);
            if (q.calls.empty())
                return;
            c = q.calls.front();
            q.calls.pop_front();
        }
        c->fn(c->arg);
        finish(c, 1);
    }
}

bool in_range(UINT msg, UINT min, UINT max)
{
    if (min == 0 && max == 0)
        return true;
    if (max == 0)
        return msg >= min;
    return msg >= min && msg <= max;
}

} // namespace

namespace plat {

void queue_attach_current() { current_queue(); }

void queue_detach_current()
{
    if (!holder.queue)
        return;
    std::shared_ptr<Queue> q = holder.queue;
    {
        Registry &r = registry();
        std::lock_guard<std::mutex> g(r.lock);
        auto it = r.queues.find(GetCurrentThreadId());
        if (it != r.queues.end() && it->second == q)
            r.queues.erase(it);
    }
    std::deque<std::shared_ptr<Call>> dropped;
    {
        std::lock_guard<std::mutex> g(q->lock);
        q->closed = true;
        dropped.swap(q->calls);
    }
    for (auto &c : dropped)
        finish(c, 2);
    holder.queue.reset();
}

int serving_wait(int fd, DWORD ms)
{
    std::shared_ptr<Queue> q = holder.queue;
    if (!q || !q->serving.load(std::memory_order_relaxed))
        return -1;
    const uint64_t deadline = monotonic_ms() + ms;
    for (;;) {
        int timeout = -1;
        if (ms != INFINITE) {
            uint64_t now = monotonic_ms();
            timeout = now >= deadline ? 0 : static_cast<int>(deadline - now);
        }
        struct pollfd p[2] = {{q->wake_fd, POLLIN, 0}, {fd, POLLIN, 0}};
        int n = poll(p, fd >= 0 ? 2 : 1, timeout);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? 2 : 0;
        if (p[0].revents) {
            q->clear_wake();
            serve(*q);
        }
        if (fd >= 0 && p[1].revents)
            return 1;
    }
}

} // namespace plat

extern "C" BOOL plat_post(DWORD tid, const MSG *msg)
{
    std::shared_ptr<Queue> q = find_queue(tid);
    if (!q) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    MSG m = *msg;
    m.time = GetTickCount();
    {
        std::lock_guard<std::mutex> g(q->lock);
        if (q->msgs.size() >= PLATFORM_QUEUE_LIMIT) {
            SetLastError(ERROR_NOT_ENOUGH_QUOTA);
            return FALSE;
        }
        q->msgs.push_back(m);
    }
    q->wake();
    return TRUE;
}

extern "C" BOOL PostThreadMessageA(DWORD tid, UINT msg, WPARAM wparam, LPARAM lparam)
{
    MSG m = {};
    m.message = msg;
    m.wParam = wparam;
    m.lParam = lparam;
    return plat_post(tid, &m);
}

extern "C" BOOL plat_call_on_thread(DWORD tid, void (*fn)(void *), void *arg)
{
    if (tid == GetCurrentThreadId()) {
        fn(arg);
        return TRUE;
    }
    std::shared_ptr<Queue> target = find_queue(tid);
    if (!target) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    std::shared_ptr<Queue> me = current_queue();
    auto c = std::make_shared<Call>();
    c->fn = fn;
    c->arg = arg;
    c->waiter = me;
    {
        std::lock_guard<std::mutex> g(target->lock);
        if (target->closed) {
            SetLastError(ERROR_INVALID_THREAD_ID);
            return FALSE;
        }
        target->calls.push_back(c);
    }
    target->wake();
    plat::NoCancel nc;
    while (c->state.load(std::memory_order_acquire) == 0) {
        struct pollfd p = {me->wake_fd, POLLIN, 0};
        if (poll(&p, 1, -1) < 0 && errno != EINTR)
            break;
        me->clear_wake();
        serve(*me);
    }
    /* posts that arrived meanwhile must still wake whoever watches next */
    {
        std::lock_guard<std::mutex> g(me->lock);
        if (!me->msgs.empty())
            me->wake();
    }
    if (c->state.load(std::memory_order_acquire) != 1) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return TRUE;
}

extern "C" void plat_serve_calls(void) { serve(*current_queue()); }

extern "C" void plat_serve_while_waiting(void) { current_queue()->serving.store(true, std::memory_order_relaxed); }

extern "C" int plat_wake_fd(void) { return current_queue()->wake_fd; }

extern "C" void plat_wait_wake(DWORD ms)
{
    std::shared_ptr<Queue> q = current_queue();
    bool pending;
    {
        std::lock_guard<std::mutex> g(q->lock);
        pending = !q->msgs.empty() || !q->calls.empty();
    }
    if (!pending && ms != 0) {
        struct pollfd p = {q->wake_fd, POLLIN, 0};
        poll(&p, 1, ms == INFINITE ? -1 : static_cast<int>(ms));
    }
    q->clear_wake();
    serve(*q);
}

extern "C" BOOL PeekMessageA(LPMSG out, HWND hwnd, UINT min, UINT max, UINT remove)
{
    std::shared_ptr<Queue> q = current_queue();
    serve(*q);
    plat::ui_pump();
    std::lock_guard<std::mutex> g(q->lock);
    const HWND thread_only = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));
    for (auto it = q->msgs.begin(); it != q->msgs.end(); ++it) {
        if (hwnd == thread_only ? it->hwnd != nullptr : hwnd != nullptr && it->hwnd != hwnd)
            continue;
        if (!in_range(it->message, min, max))
            continue;
        if (out != nullptr)
            *out = *it;
        if (remove & PM_REMOVE)
            q->msgs.erase(it);
        return TRUE;
    }
    return FALSE;
}
