/* The hostrig entry: callbacks in their fixed order around the creation of
 * the main window (or the modal dialog), then the message loop. */
#include "internal.h"

#include <stdio.h>
#include <string.h>

namespace {

/* The one host of the process; the window procedure has no other way to
 * reach the callbacks. A second hostrig call replaces it. */
struct Host {
    int x, y, width, height;
    xwidget *widget;
    HostFunctionTable table;
    void *app_arg;
    AppCallback on_message;
    AppCallback on_pretranslate;
};
Host *host = nullptr;

void call(AppCallback cb, LONG_PTR a, LONG_PTR b, LONG_PTR c, LONG_PTR d, LONG_PTR e)
{
    if (cb != nullptr)
        cb(a, b, c, d, e);
}

/* Posts the quit code for WM_CLOSE and WM_DESTROY, hands every other message
 * to on_message. */
void route(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_DESTROY || msg == WM_CLOSE)
        PostQuitMessage(HOSTRIG_QUIT_CODE);
    else if (host != nullptr)
        call(host->on_message, reinterpret_cast<LONG_PTR>(hwnd), msg, static_cast<LONG_PTR>(wparam), lparam, 0);
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    route(hwnd, msg, wparam, lparam);
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

INT_PTR CALLBACK dialog_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    route(hwnd, msg, wparam, lparam);
    return 0;
}

int filter(HWND main_window, MSG *msg)
{
    if (host != nullptr)
        call(host->on_pretranslate, reinterpret_cast<LONG_PTR>(main_window), reinterpret_cast<LONG_PTR>(msg), 0, 0,
             0);
    return 0;
}

} // namespace

extern "C" HOSTRIG_API int hostrig(HINSTANCE instance, void *app_arg, int dialog_id, const AppCallbacks *callbacks)
{
    Host h;
    memset(&h, 0, sizeof h);
    host = &h;
    h.width = 640;
    h.height = 500;
    h.app_arg = app_arg;
    AppCallbacks cbs = {};
    if (callbacks != nullptr)
        cbs = *callbacks;
    h.on_message = cbs.on_message;
    h.on_pretranslate = cbs.on_pretranslate;
    if (host_load(&h.table) != 0) {
        host = nullptr;
        return -1;
    }

    const LONG_PTR app = reinterpret_cast<LONG_PTR>(app_arg);
    const LONG_PTR table = reinterpret_cast<LONG_PTR>(&h.table);
    const LONG_PTR inst = reinterpret_cast<LONG_PTR>(instance);
    const int d = dialog_id;
    call(cbs.on_init, app, table, 0, 0, d);
    if (h.table.new_xwidget == nullptr || h.table.new_xwidget(&h.widget) != 0 || h.widget == nullptr) {
        fputs("hostrig: panelkit has no new_xwidget\n", stderr);
        host = nullptr;
        return -1;
    }
    if (d == 0)
        h.widget->ops->register_class(h.widget, instance, window_proc, "hostrig");
    call(cbs.on_register, app, table, inst, 0, d);
    if (d == 0) {
        h.widget->ops->create_main(h.widget, "hostrig", 0, nullptr);
        h.widget->ops->move(h.widget, h.x, h.y, h.width, h.height);
    }
    const LONG_PTR main_window = reinterpret_cast<LONG_PTR>(d == 0 ? h.widget->hwnd : nullptr);
    call(cbs.on_create, app, table, inst, main_window, d);
    call(cbs.on_ready, app, table, inst, main_window, d);
    int result = 0;
    if (d != 0)
        result = static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(d & 0xFFFF), nullptr, dialog_proc, 0));
    else
        h.widget->ops->run_loop(h.widget, filter, nullptr, nullptr);
    /* the record goes with this call: windows that outlive it reach no
     * callback; the wrapper, which no caller ever saw, goes too */
    if (host == &h)
        host = nullptr;
    h.table.delete_xwidget(&h.widget);
    return result;
}
