/* The message loop calls and window messages across threads. */
#include "ui_internal.h"

#include <QCoreApplication>

extern "C" BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max)
{
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (hwnd != nullptr && hwnd != reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)) && !ui::find_or_fail(hwnd))
        return -1;
    for (;;) {
        if (PeekMessageA(msg, hwnd, min, max, PM_REMOVE))
            return msg->message != WM_QUIT;
        if (ui::on_gui_thread()) {
            /* widgets of destroyed windows go here, outside their handlers */
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        } else {
            plat_wait_wake(INFINITE);
        }
    }
}

extern "C" BOOL TranslateMessage(const MSG *msg)
{
    (void)msg; /* key messages are not queued here: nothing to translate */
    return FALSE;
}

extern "C" LRESULT DispatchMessageA(const MSG *msg)
{
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    std::shared_ptr<ui::Window> w = ui::find_or_fail(msg->hwnd);
    if (!w || w->thread != GetCurrentThreadId())
        return 0;
    return ui::deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

extern "C" void PostQuitMessage(int code)
{
    MSG m = {};
    m.message = WM_QUIT;
    m.wParam = static_cast<WPARAM>(code);
    plat_wake_fd(); /* gives the thread its queue if it has none yet */
    plat_post(GetCurrentThreadId(), &m);
}

extern "C" BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    DWORD tid = GetCurrentThreadId();
    if (hwnd != nullptr) {
        std::shared_ptr<ui::Window> w = ui::find_or_fail(hwnd);
        if (!w)
            return FALSE;
        tid = w->thread;
    } else {
        plat_wake_fd();
    }
    MSG m = {};
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wparam;
    m.lParam = lparam;
    return plat_post(tid, &m);
}

extern "C" LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    return ui::on_owner<LRESULT>(hwnd, 0, [&](ui::Window &w) { return ui::deliver(w.hwnd, msg, wparam, lparam); });
}
