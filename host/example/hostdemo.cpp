/* hostdemo: a window hosted by hostrig, with a few controls and a lamp.
 *
 *   hostdemo               shows the window until it is closed
 *   hostdemo --grab FILE   also turns the lamp green from a worker thread,
 *                          writes the window as a PNG and closes it
 *
 * Everything is reached through the host's function table, as the monitor
 * does: the program links only the platform layer. */
#include "hostrig.h"

#include <stdio.h>
#include <string.h>

#include <initializer_list>
#include <thread>

namespace {

enum { ID_PROTOCOL = 101, ID_ADDRESS, ID_TOGGLE, ID_ECHO, ID_PROGRESS, ID_LOG, ID_LAMP };
enum { MSG_START = WM_USER + 1, MSG_GRAB };

struct Demo {
    const HostFunctionTable *host;
    HWND main;
    xled *lamp;
    int look;
    const char *grab_file;
    std::thread worker;
    xwidget *controls[8];
    int count;
};
Demo *demo = nullptr;

int draw_lamp(UINT id, DRAWITEMSTRUCT *item)
{
    if (demo->lamp != nullptr && id == ID_LAMP)
        demo->lamp->ops->draw(demo->lamp, item);
    return 0;
}

xwidget *control(const char *cls, DWORD style, int id, int x, int y, int w, int h)
{
    xwidget *c = nullptr;
    demo->host->new_xwidget(&c);
    demo->controls[demo->count++] = c;
    c->ops->create(c, 0, cls, nullptr, WS_CHILD | WS_VISIBLE | style, x, y, w, h, demo->main,
                   reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr);
    return c;
}

int on_message(LONG_PTR hwnd, LONG_PTR msg, LONG_PTR wparam, LONG_PTR lparam, LONG_PTR)
{
    if (demo == nullptr || reinterpret_cast<HWND>(hwnd) != demo->main)
        return 0;
    switch (msg) {
    case WM_DRAWITEM:
        draw_lamp(static_cast<UINT>(wparam), reinterpret_cast<DRAWITEMSTRUCT *>(lparam));
        break;
    case WM_COMMAND:
        if (LOWORD(wparam) == ID_TOGGLE && HIWORD(wparam) == BN_CLICKED) {
            demo->look = (demo->look + 1) % XLED_LOOKS;
            demo->lamp->ops->set_state(demo->lamp, demo->look, draw_lamp);
        }
        break;
    case MSG_START: /* a channel thread would do this: the window thread serves its messages */
        demo->worker = std::thread([] {
            demo->lamp->ops->set_state(demo->lamp, 4, draw_lamp);
            PostMessageA(demo->main, MSG_GRAB, 0, 0);
        });
        break;
    case WM_NCDESTROY: /* the windows are gone: free their wrappers */
        for (int i = 0; i < demo->count; i++)
            demo->host->delete_xwidget(&demo->controls[i]);
        demo->lamp->ops->destroy(demo->lamp);
        demo->host->delete_xled(&demo->lamp);
        break;
    case MSG_GRAB:
        demo->worker.join();
        if (!PlatformGrabWindow(demo->main, demo->grab_file))
            fprintf(stderr, "hostdemo: cannot write %s\n", demo->grab_file);
        PostMessageA(demo->main, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
    return 0;
}

int nothing(LONG_PTR, LONG_PTR, LONG_PTR, LONG_PTR, LONG_PTR) { return 0; }

int on_init(LONG_PTR app, LONG_PTR table, LONG_PTR, LONG_PTR, LONG_PTR)
{
    demo = reinterpret_cast<Demo *>(app);
    demo->host = reinterpret_cast<const HostFunctionTable *>(table);
    return 0;
}

int on_create(LONG_PTR, LONG_PTR, LONG_PTR, LONG_PTR main, LONG_PTR)
{
    demo->main = reinterpret_cast<HWND>(main);
    SetWindowLongA(demo->main, GWL_STYLE, GetWindowLongA(demo->main, GWL_STYLE) | WS_CAPTION | WS_SYSMENU);
    MoveWindow(demo->main, 0, 0, 420, 250, TRUE);
    SetWindowTextA(demo->main, "hostrig example");

    xwidget *protocol = control("combobox", CBS_DROPDOWNLIST | WS_VSCROLL, ID_PROTOCOL, 10, 10, 80, 200);
    for (const char *s : {"TCP", "UDP", "RAW"})
        protocol->ops->cb_add(protocol, s);
    xwidget *address = control("edit", WS_BORDER | ES_CENTER | ES_AUTOHSCROLL, ID_ADDRESS, 100, 10, 120, 22);
    address->ops->set_text(address, "127.0.0.1");
    xwidget *toggle = control("button", WS_BORDER, ID_TOGGLE, 230, 10, 80, 22);
    toggle->ops->set_text(toggle, "Next look");
    xwidget *echo = control("button", BS_AUTOCHECKBOX, ID_ECHO, 320, 10, 60, 22);
    echo->ops->set_text(echo, "echo");
    SendMessageA(echo->hwnd, BM_SETCHECK, BST_CHECKED, 0);
    xwidget *progress = control(PROGRESS_CLASSA, 0, ID_PROGRESS, 10, 42, 370, 14);
    progress->ops->pb_set_pos(progress, 60);
    xwidget *log = control(WC_LISTVIEWA, LVS_REPORT | LVS_SINGLESEL | WS_BORDER, ID_LOG, 10, 64, 400, 150);
    log->ops->lv_set_exstyle(log, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    log->ops->lv_add_column(log, 0, 60, "no");
    log->ops->lv_add_column(log, 1, 320, "log");
    const char *rows[] = {"OnConnStatus : 0", "OnRecv : hello", "OnRecv : 68 65 6C 6C 6F "};
    for (int i = 0; i < 3; i++) {
        char no[16];
        snprintf(no, sizeof no, "%d", i + 1);
        log->ops->lv_set_item(log, i, 0, no);
        log->ops->lv_set_item(log, i, 1, rows[i]);
    }
    log->ops->lv_select(log, 2);

    demo->host->new_xled(&demo->lamp);
    /* lampkit's own module carries the 13 looks */
    demo->lamp->ops->create(demo->lamp, demo->host->lampkit, demo->main, ID_LAMP, 0, 0, 390, 12, 16, 16);
    return 0;
}

int on_ready(LONG_PTR, LONG_PTR, LONG_PTR, LONG_PTR, LONG_PTR)
{
    ShowWindow(demo->main, SW_SHOWNORMAL);
    if (demo->grab_file != nullptr)
        PostMessageA(demo->main, MSG_START, 0, 0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    static Demo state = {};
    if (argc == 3 && strcmp(argv[1], "--grab") == 0) {
        state.grab_file = argv[2];
    } else if (argc != 1) {
        fprintf(stderr, "usage: %s [--grab FILE.png]\n", argv[0]);
        return 2;
    }
    HMODULE host = LoadLibraryA("hostrig.dll");
    auto entry = reinterpret_cast<hostrig_fn>(GetProcAddress(host, "hostrig"));
    if (entry == nullptr) {
        fprintf(stderr, "hostdemo: hostrig.dll or its export hostrig is missing\n");
        return 1;
    }
    static const AppCallbacks callbacks = {on_message, nothing, on_init, nothing, on_create, on_ready};
    return entry(GetModuleHandleA(nullptr), &state, 0, &callbacks) == 0 ? 0 : 1;
}
