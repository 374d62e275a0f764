/* What platform offers platform_ui: calls run on another thread while the
 * caller waits, posting with a window, the calling thread's wake descriptor,
 * and the hooks through which platform's own window calls and waits reach
 * the window layer. Not part of the Win32-shaped interface. */
#ifndef PLATFORM_UI_BRIDGE_H
#define PLATFORM_UI_BRIDGE_H

#include "../win32/kernel.h"
#include "../win32/user.h"

extern "C" {

struct PlatformUiHooks {
    BOOL (*set_window_pos)(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
    BOOL (*get_window_rect)(HWND hwnd, LPRECT rect);
    BOOL (*work_area)(LPRECT rect);
    /* Handles what Qt has pending, without waiting, when the calling thread
     * runs Qt; nothing otherwise. */
    void (*pump)(void);
};

/* Installed once by platform_ui when it is loaded; the table must stay. */
PLATFORM_API void plat_ui_install(const PlatformUiHooks *hooks);

/* Runs fn(arg) on thread tid and waits until it has run there. The waiting
 * thread serves calls made to it meanwhile; it cannot be cancelled while it
 * waits (arg may point into its stack). fn runs at once on the calling
 * thread when tid is the caller. FALSE (ERROR_INVALID_THREAD_ID) when tid has
 * no queue or ends before it served the call. */
PLATFORM_API BOOL plat_call_on_thread(DWORD tid, void (*fn)(void *arg), void *arg);
/* Runs the calls waiting for the calling thread. */
PLATFORM_API void plat_serve_calls(void);
/* Marks the calling thread as one that owns windows: its Sleep, SleepEx and
 * WaitForSingleObject serve calls while they wait. */
PLATFORM_API void plat_serve_while_waiting(void);
/* Posts a message (hwnd included) to a thread's queue; FALSE as
 * PostThreadMessageA. */
PLATFORM_API BOOL plat_post(DWORD tid, const MSG *msg);
/* Readable while the calling thread has a post or a call it has not seen;
 * platform_ui lets Qt's event loop watch it. Reading it clears it. */
PLATFORM_API int plat_wake_fd(void);
/* Waits up to ms for a post or a call, serving calls. */
PLATFORM_API void plat_wait_wake(DWORD ms);

} // extern "C"

#endif
