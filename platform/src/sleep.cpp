/* Sleeping. A thread that owns windows serves calls while it sleeps. nanosleep is a cancellation point and no lock is held here, which
 * is where TerminateThread usually catches a polling worker. */
#include "internal.h"

#include <errno.h>
#include <time.h>

extern "C" DWORD SleepEx(DWORD ms, BOOL alertable)
{
    (void)alertable; /* there are no asynchronous procedure calls to run */
    if (plat::serving_wait(-1, ms) >= 0)
        return 0;
    if (ms == INFINITE) {
        for (;;) {
            struct timespec day = {86400, 0};
            nanosleep(&day, nullptr);
        }
    }
    struct timespec left = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
    return 0;
}

extern "C" void Sleep(DWORD ms) { SleepEx(ms, FALSE); }
