/* The window calls platform answers itself (utilbox's window placement must
 * not link Qt) and the pump PeekMessageA runs: all go to the hooks that
 * platform_ui installs when it loads. */
#include "internal.h"
#include "ui_bridge.h"

#include <atomic>

namespace {
std::atomic<const PlatformUiHooks *> installed{nullptr};

const PlatformUiHooks *hooks_or_fail()
{
    const PlatformUiHooks *h = installed.load(std::memory_order_acquire);
    if (h == nullptr)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return h;
}
} // namespace

extern "C" void plat_ui_install(const PlatformUiHooks *hooks) { installed.store(hooks, std::memory_order_release); }

namespace plat {
void ui_pump()
{
    const PlatformUiHooks *h = installed.load(std::memory_order_acquire);
    if (h != nullptr)
        h->pump();
}
} // namespace plat

extern "C" BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags)
{
    const PlatformUiHooks *h = hooks_or_fail();
    return h ? h->set_window_pos(hwnd, after, x, y, cx, cy, flags) : FALSE;
}

extern "C" BOOL GetWindowRect(HWND hwnd, LPRECT rect)
{
    const PlatformUiHooks *h = hooks_or_fail();
    return h ? h->get_window_rect(hwnd, rect) : FALSE;
}

extern "C" BOOL SystemParametersInfoA(UINT action, UINT uparam, LPVOID pvparam, UINT winini)
{
    (void)uparam;
    (void)winini;
    if (action != SPI_GETWORKAREA || pvparam == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const PlatformUiHooks *h = hooks_or_fail();
    return h ? h->work_area(static_cast<LPRECT>(pvparam)) : FALSE;
}
