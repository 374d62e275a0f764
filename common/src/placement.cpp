/* Window placement. Each keeps the window's size, changes no z-order (a null
 * insert-after window) and shows the window; the result is SetWindowPos's.
 * The window calls live in platform, which reaches the window layer when a
 * program has loaded it, so utilbox itself links no toolkit. */
#include "utilbox.h"

namespace {

int place(HWND hwnd, int x, int y, int width, int height, UINT flags)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height, flags | SWP_SHOWWINDOW);
}

LONG width_of(const RECT &r) { return r.right - r.left; }
LONG height_of(const RECT &r) { return r.bottom - r.top; }

} // namespace

/* Centres on the work area's right and bottom edges; its left and top are
 * not taken into account. */
extern "C" int on_sys_center(HWND hwnd)
{
    RECT work = {}, win = {};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) || !GetWindowRect(hwnd, &win))
        return 0;
    return place(hwnd, (work.right - width_of(win)) / 2, (work.bottom - height_of(win)) / 2, 0, 0, SWP_NOSIZE);
}

/* Centres within the parent's size, not offset by the parent's position:
 * right for child windows, whose position is relative to the parent. */
extern "C" int on_wnd_center(HWND parent, HWND hwnd)
{
    RECT outer = {}, win = {};
    if (!GetWindowRect(parent, &outer) || !GetWindowRect(hwnd, &win))
        return 0;
    return place(hwnd, (width_of(outer) - width_of(win)) / 2, (height_of(outer) - height_of(win)) / 2, 0, 0,
                 SWP_NOSIZE);
}

extern "C" int on_center(HWND parent, HWND hwnd) { return parent != nullptr ? on_wnd_center(parent, hwnd) : on_sys_center(hwnd); }

extern "C" int on_full_screen(HWND hwnd)
{
    RECT work = {};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return 0;
    return place(hwnd, work.left, work.top, work.right, work.bottom, 0);
}
