/* The one empty body behind thread_detach, microsleep and reg_delete:
 * callers call them at fixed points, so the names must exist. */
#include "utilbox.h"

extern "C" int thread_detach(unsigned tid)
{
    (void)tid;
    return 0;
}

extern "C" int microsleep(unsigned us) __attribute__((alias("thread_detach")));
/* The body reads no argument, so calling it with reg_delete's arguments is
 * sound on every calling convention this builds for. */
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattribute-alias"
extern "C" int reg_delete(HKEY root, const char *subkey, const char *name) __attribute__((alias("thread_detach")));
#pragma GCC diagnostic pop
