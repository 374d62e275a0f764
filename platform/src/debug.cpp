/* OutputDebugStringA: the debugger channel, routed to standard error on demand. */
#include "internal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

extern "C" void OutputDebugStringA(LPCSTR text)
{
    const char *on = getenv("TRAFVIEW_DEBUG_OUTPUT");
    if (text == nullptr || on == nullptr || on[0] == '\0' || strcmp(on, "0") == 0)
        return;
    fputs(text, stderr);
    fflush(stderr);
}
