/* Per-thread message queues for PostThreadMessageA and PeekMessageA.
 *
 * A queue exists from the thread's first message call (or from its start,
 * for threads started by this layer) until the thread ends; posts to a thread
 * without one fail as on Windows. */
#include "internal.h"

#include <deque>
#include <mutex>
#include <unordered_map>

namespace {

struct Queue {
    std::mutex lock; /* guards msgs */
    std::deque<MSG> msgs;
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
    Registry &r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    auto it = r.queues.find(GetCurrentThreadId());
    if (it != r.queues.end() && it->second == holder.queue)
        r.queues.erase(it);
    holder.queue.reset();
}

} // namespace plat

extern "C" BOOL PostThreadMessageA(DWORD tid, UINT msg, WPARAM wparam, LPARAM lparam)
{
    std::shared_ptr<Queue> q;
    {
        Registry &r = registry();
        std::lock_guard<std::mutex> g(r.lock);
        auto it = r.queues.find(tid);
        if (it != r.queues.end())
            q = it->second;
    }
    if (!q) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    MSG m = {};
    m.message = msg;
    m.wParam = wparam;
    m.lParam = lparam;
    m.time = GetTickCount();
    std::lock_guard<std::mutex> g(q->lock);
    if (q->msgs.size() >= PLATFORM_QUEUE_LIMIT) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    q->msgs.push_back(m);
    return TRUE;
}

extern "C" BOOL PeekMessageA(LPMSG out, HWND hwnd, UINT min, UINT max, UINT remove)
{
    std::shared_ptr<Queue> q = current_queue();
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
