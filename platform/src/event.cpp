/* Events and WaitForSingleObject.
 *
 * An event is an eventfd: signalled while its counter is non-zero. Waiting is
 * a poll on the descriptor with no lock held, so a waiter can be ended by
 * TerminateThread and a handle closed meanwhile keeps the object alive until
 * the waiter lets go. An auto-reset event is consumed by the waiter whose
 * non-blocking read empties the counter; the others go back to waiting. */
#include "internal.h"

#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

struct Event : plat::KObject {
    int fd;
    bool manual;
    Event(int fd_, bool manual_) : fd(fd_), manual(manual_) {}
    ~Event() override { close(fd); }
    int wait_fd() const override { return fd; }
    bool take_signal() override
    {
        if (manual)
            return true;
        uint64_t v;
        return read(fd, &v, sizeof v) == static_cast<ssize_t>(sizeof v);
    }
    void reset()
    {
        uint64_t v;
        while (read(fd, &v, sizeof v) == static_cast<ssize_t>(sizeof v)) {
        }
    }
};

DWORD remaining(uint64_t deadline)
{
    uint64_t now = plat::monotonic_ms();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

} // namespace

extern "C" HANDLE CreateEventA(LPSECURITY_ATTRIBUTES sa, BOOL manual_reset, BOOL initial, LPCSTR name)
{
    (void)sa;
    if (name != nullptr) { /* named events are shared between processes on Windows; nothing here needs them */
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    int fd = eventfd(initial ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return plat::handle_insert(std::make_shared<Event>(fd, manual_reset != FALSE));
}

extern "C" BOOL SetEvent(HANDLE h)
{
    auto ev = plat::handle_get_as<Event>(h);
    if (!ev) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    uint64_t one = 1;
    if (write(ev->fd, &one, sizeof one) != static_cast<ssize_t>(sizeof one) && errno != EAGAIN) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

extern "C" BOOL ResetEvent(HANDLE h)
{
    auto ev = plat::handle_get_as<Event>(h);
    if (!ev) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ev->reset();
    return TRUE;
}

extern "C" DWORD WaitForSingleObject(HANDLE h, DWORD ms)
{
    auto obj = plat::handle_get(h);
    int fd = obj ? obj->wait_fd() : -1;
    if (fd < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    const uint64_t deadline = plat::monotonic_ms() + ms;
    for (;;) {
        int served = plat::serving_wait(fd, ms == INFINITE ? INFINITE : remaining(deadline));
        if (served == 0)
            return WAIT_TIMEOUT;
        if (served == 1) {
            if (obj->take_signal())
                return WAIT_OBJECT_0;
            continue;
        }
        int timeout = -1;
        if (ms != INFINITE) {
            uint64_t now = plat::monotonic_ms();
            timeout = now >= deadline ? 0 : static_cast<int>(deadline - now);
        }
        struct pollfd p = {fd, POLLIN, 0};
        int n = poll(&p, 1, timeout);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        if (n == 0)
            return WAIT_TIMEOUT;
        if (obj->take_signal())
            return WAIT_OBJECT_0;
        /* another waiter took the auto-reset signal first */
        if (ms != INFINITE && plat::monotonic_ms() >= deadline)
            return WAIT_TIMEOUT;
    }
}
