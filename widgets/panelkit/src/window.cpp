/* xwidget: window classes, windows, dialogs, placement, texts and the
 * message loop; the object's two exports. */
#include "internal.h"
#include "xobject.h"

#define PANELKIT_API __attribute__((visibility("default")))

namespace {

LRESULT send(xwidget *w, UINT msg, WPARAM wparam, LPARAM lparam) { return SendMessageA(w->hwnd, msg, wparam, lparam); }

int register_class(xwidget *w, HINSTANCE instance, WNDPROC proc, const char *class_name)
{
    WNDCLASSEXA &c = w->wndclass;
    c.cbSize = sizeof(WNDCLASSEXA);
    c.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    c.lpfnWndProc = proc;
    c.cbClsExtra = 0;
    c.cbWndExtra = 0;
    c.hInstance = instance;
    c.hIcon = nullptr;
    c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    c.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    c.lpszMenuName = nullptr;
    c.lpszClassName = class_name;
    c.hIconSm = nullptr;
    RegisterClassExA(&c);
    w->hinstance = instance;
    return 0;
}

HWND create(xwidget *w, DWORD exstyle, const char *class_name, const char *text, DWORD style, int x, int y,
            int width, int height, HWND parent, HMENU id, HINSTANCE instance)
{
    w->hwnd = CreateWindowExA(exstyle, class_name, text, style | WS_SYSMENU, x, y, width, height, parent, id,
                              instance != nullptr ? instance : w->hinstance, nullptr);
    /* lifts an edit control's default text limit; other classes ignore it */
    send(w, EM_LIMITTEXT, 0xFFFFFFFFu, 0);
    w->parent = parent;
    return w->hwnd;
}

HWND create_main(xwidget *w, const char *class_name, DWORD style, HWND parent)
{
    return create(w, 0, class_name, class_name, style, 0, 0, 320, 240, parent, nullptr, nullptr);
}

HWND create_dialog(xwidget *w, HINSTANCE instance, WORD template_id, HWND parent, DLGPROC proc)
{
    w->parent = parent;
    w->hinstance = instance;
    w->hwnd = CreateDialogParamA(instance, MAKEINTRESOURCEA(template_id), parent, proc, 0);
    return w->hwnd;
}

LRESULT set_icon(xwidget *w, WORD icon_id)
{
    HICON icon = LoadIconA(w->hinstance, MAKEINTRESOURCEA(icon_id));
    return send(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

int run_loop(xwidget *w, xwidget_filter filter, xwidget_idle idle, void *idle_arg)
{
    for (;;) {
        if (idle != nullptr)
            idle(idle_arg);
        /* -1 (a bad argument) cannot happen with these arguments; treat it as the end too */
        if (GetMessageA(&w->msg, nullptr, 0, 0) <= 0)
            return 0;
        /* a null filter would crash the loop: it consumes nothing instead */
        if (filter != nullptr && filter(w->hwnd, &w->msg) != 0)
            continue;
        TranslateMessage(&w->msg);
        DispatchMessageA(&w->msg);
    }
}

int noop(xwidget *) { return 0; }

BOOL move(xwidget *w, int x, int y, int width, int height) { return MoveWindow(w->hwnd, x, y, width, height, TRUE); }

BOOL show(xwidget *w, int cmd) { return ShowWindow(w->hwnd, cmd & 0xFF); }

BOOL set_alpha(xwidget *w, COLORREF key, BYTE alpha) { return SetLayeredWindowAttributes(w->hwnd, key, alpha, LWA_ALPHA); }

BOOL enable(xwidget *w, int flag) { return EnableWindow(w->hwnd, flag & 0xFF); }

BOOL redraw(xwidget *w) { return InvalidateRect(w->hwnd, nullptr, TRUE); }

int set_bkcolor(xwidget *w, COLORREF color)
{
    w->bkbrush = CreateSolidBrush(color);
    SetClassLongA(w->hwnd, GCL_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(w->bkbrush));
    redraw(w);
    return 0;
}

int free_bkbrush(xwidget *w)
{
    DeleteObject(w->bkbrush);
    return 0;
}

int get_id(xwidget *w) { return GetDlgCtrlID(w->hwnd); }

int get_text(xwidget *w, char *buf)
{
    int n = GetWindowTextA(w->hwnd, buf, 256);
    buf[n] = '\0';
    return n;
}

LRESULT set_text(xwidget *w, const char *text) { return send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }

LRESULT clear(xwidget *w) { return send(w, WM_CLEAR, 0, 0); }

int get_text_n(xwidget *w, char *buf, int size)
{
    return static_cast<int>(send(w, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buf)));
}

BOOL set_zorder(xwidget *w, HWND after)
{
    return SetWindowPos(w->hwnd, after, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

WNDPROC subclass(xwidget *w, WNDPROC proc)
{
    w->old_proc = reinterpret_cast<WNDPROC>(SetWindowLongA(w->hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
    return w->old_proc;
}

LRESULT send_setfocus(xwidget *w) { return send(w, WM_SETFOCUS, 0, 0); }

HWND attach_item(xwidget *w, HWND dialog, int id)
{
    w->parent = dialog;
    w->hwnd = GetDlgItem(dialog, id);
    return w->hwnd;
}

/* Wraps the control as attach_item does and empties its text; keeping
 * SetDlgItemTextA's success flag as the window handle would leave the
 * wrapper on no window. */
BOOL clear_item(xwidget *w, HWND dialog, int id)
{
    w->parent = dialog;
    w->hwnd = GetDlgItem(dialog, id);
    return SetDlgItemTextA(dialog, id, "");
}

HWND find_window(xwidget *, const char *class_name, const char *title) { return FindWindowA(class_name, title); }

LRESULT set_font(xwidget *w, HFONT font) { return send(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE); }

void fill(xwidget_ops *ops)
{
    panelkit_fill_window_ops(ops);
    panelkit_fill_control_ops(ops);
}

} // namespace

void panelkit_fill_window_ops(xwidget_ops *ops)
{
    ops->register_class = register_class;
    ops->create_main = create_main;
    ops->create = create;
    ops->create_dialog = create_dialog;
    ops->set_icon = set_icon;
    ops->run_loop = run_loop;
    ops->noop = noop;
    ops->move = move;
    ops->show = show;
    ops->set_alpha = set_alpha;
    ops->enable = enable;
    ops->set_bkcolor = set_bkcolor;
    ops->free_bkbrush = free_bkbrush;
    ops->redraw = redraw;
    ops->get_id = get_id;
    ops->get_text = get_text;
    ops->set_text = set_text;
    ops->clear = clear;
    ops->get_text_n = get_text_n;
    ops->set_zorder = set_zorder;
    ops->subclass = subclass;
    ops->send_setfocus = send_setfocus;
    ops->attach_item = attach_item;
    ops->clear_item = clear_item;
    ops->find_window = find_window;
    ops->set_font = set_font;
}

extern "C" PANELKIT_API int new_xwidget(xwidget **out) { return x_new(out, &xwidget::ops, fill); }

extern "C" PANELKIT_API int delete_xwidget(xwidget **p) { return x_delete(p, &xwidget::ops); }
