/* Shared pieces of the platform library: the handle table and helpers. */
#ifndef PLATFORM_INTERNAL_H
#define PLATFORM_INTERNAL_H

/* Everything but the socket declarations, which the socket implementation
 * cannot see together with the system's socket headers. */
#include "../win32/kernel.h"
#include "../win32/sysinfo.h"
#include "../win32/timefn.h"
#include "../win32/types.h"

#include <pthread.h>

#include <memory>
#include <string>

namespace plat {

/* Anything a HANDLE can name. wait_fd() is a descriptor that polls readable
 * while the object is signalled, or -1 for objects that cannot be waited on. */
struct KObject {
    virtual ~KObject() = default;
    virtual int wait_fd() const { return -1; }
    /* Called after wait_fd() polled readable: true when this waiter owns the
     * signal (auto-reset events consume it here). */
    virtual bool take_signal() { return true; }
};

/* Handle values are never reused, so a closed handle stays invalid. */
HANDLE handle_insert(std::shared_ptr<KObject> obj);
std::shared_ptr<KObject> handle_get(HANDLE h);
bool handle_close(HANDLE h);

template <typename T> std::shared_ptr<T> handle_get_as(HANDLE h)
{
    return std::dynamic_pointer_cast<T>(handle_get(h));
}

/* Blocks thread cancellation (TerminateThread) for its lifetime; every
 * internal region that holds a lock across a cancellation point takes one. */
class NoCancel {
public:
    NoCancel() { pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &old_); }
    ~NoCancel() { pthread_setcancelstate(old_, nullptr); }
    NoCancel(const NoCancel &) = delete;
    NoCancel &operator=(const NoCancel &) = delete;

private:
    int old_ = 0;
};

/* Message queue of the calling thread / of a thread id. */
void queue_attach_current();
void queue_detach_current();

/* On a thread that owns windows, waits up to ms for fd (-1: none) to poll
 * readable while serving the calls other threads make to it: 1 when fd is
 * readable, 0 on time-out, 2 on a poll failure, -1 when the thread owns no
 * windows (the caller waits its own way). */
int serving_wait(int fd, DWORD ms);
/* Lets the window layer handle what Qt has pending (PeekMessageA). */
void ui_pump();

/* Milliseconds of CLOCK_MONOTONIC. */
uint64_t monotonic_ms();

/* Directory of this library (no trailing slash). */
std::string platform_dir();

} // namespace plat

#endif
