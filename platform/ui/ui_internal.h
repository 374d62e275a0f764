/* Shared pieces of platform_ui: the window table, classes, GDI objects and
 * the Qt side of windows.
 *
 * Ownership: every window belongs to the thread that runs Qt (the "GUI
 * thread"); its Window record and widget are touched only there. Calls from
 * other threads reach them through on_owner(), which runs the work on the GUI
 * thread while the caller waits. The window table itself (handle -> record)
 * is guarded by its lock and may be searched from any thread. */
#ifndef PLATFORM_UI_INTERNAL_H
#define PLATFORM_UI_INTERNAL_H

#include "../src/ui_bridge.h"
#include "../win32.h"

#include <QImage>
#include <QString>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>

class QPainter;

namespace ui {

struct WindowClass {
    std::string name; /* as registered */
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
    /* Makes the Qt widget of a new window of this class. */
    QWidget *(*make)(DWORD style, QWidget *parent) = nullptr;
    bool builtin = false;
};

struct Window {
    HWND hwnd = nullptr;
    DWORD thread = 0;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    HWND parent = nullptr;
    int id = 0;
    DWORD style = 0;
    DWORD exstyle = 0;
    HINSTANCE instance = nullptr;
    LONG_PTR user_data = 0;
    std::string text; /* windows that are not controls keep their text here */
    HFONT font = nullptr;
    HICON icon = nullptr;
    QPointer<QWidget> widget;
    HDC paint_dc = nullptr; /* set while WM_PAINT is being handled */
    bool in_paint = false;
    /* dialogs */
    DLGPROC dlgproc = nullptr;
    bool dialog_ended = false;
    INT_PTR dialog_result = 0;
};

/* ---- application and threads (app.cpp) ---- */
/* Creates the Qt application on the calling thread when there is none; false
 * when Qt runs on another thread. */
bool ensure_app();
bool on_gui_thread();
DWORD gui_thread();

/* ---- window table (window.cpp) ---- */
std::shared_ptr<Window> find(HWND hwnd);
/* find() that also sets ERROR_INVALID_WINDOW_HANDLE when there is none. */
std::shared_ptr<Window> find_or_fail(HWND hwnd);
/* The window a widget (or its nearest bound ancestor) shows. */
HWND hwnd_of(const QObject *widget);
/* Ties a new window's widget to its handle and its input to the procedure. */
void bind_widget(QWidget *widget, HWND hwnd);
void watch_input(QObject *o, HWND hwnd);

/* Runs f(window) on the window's thread and returns its result; fail when
 * the window does not exist (any more). */
template <typename R, typename F> R on_owner(HWND hwnd, R fail, F f)
{
    std::shared_ptr<Window> w = find_or_fail(hwnd);
    if (!w)
        return fail;
    if (w->thread == GetCurrentThreadId())
        return f(*w);
    struct Ctx {
        HWND hwnd;
        F *f;
        R result;
    } ctx{hwnd, &f, fail};
    auto run = [](void *p) {
        Ctx *c = static_cast<Ctx *>(p);
        std::shared_ptr<Window> win = find(c->hwnd);
        if (win)
            c->result = (*c->f)(*win);
    };
    if (!plat_call_on_thread(w->thread, run, &ctx))
        return fail;
    return ctx.result;
}

/* Qt window flags for a top-level window's style. */
Qt::WindowFlags flags_for(const Window &w);
/* What SetWindowPos and GetWindowRect do (platform's exports call them). */
BOOL set_window_pos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
BOOL get_window_rect(HWND hwnd, LPRECT rect);

/* Calls the window's procedure (on its own thread). */
LRESULT deliver(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
/* Tells DefWindowProcA's caller whether Qt should go on handling the input
 * event that (hwnd, msg) came from: see input.cpp. */
bool deliver_input(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
void note_default_reached(HWND hwnd, UINT msg);

/* Notifies the parent with WM_COMMAND (code, control id, control). */
void notify_parent(HWND control, WORD code);

/* ---- classes (classes.cpp) ---- */
std::shared_ptr<WindowClass> find_class(const char *name);
QWidget *make_host_widget(DWORD style, QWidget *parent);
/* The procedures of the built-in classes (controls/). */
LRESULT CALLBACK button_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK edit_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK combobox_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK listview_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK progress_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK static_proc(HWND, UINT, WPARAM, LPARAM);
QWidget *make_button(DWORD style, QWidget *parent);
QWidget *make_edit(DWORD style, QWidget *parent);
QWidget *make_combobox(DWORD style, QWidget *parent);
QWidget *make_listview(DWORD style, QWidget *parent);
QWidget *make_progress(DWORD style, QWidget *parent);
QWidget *make_static(DWORD style, QWidget *parent);
/* Texts are ANSI: one byte per character both ways (Latin-1 in Qt). */
inline QString from_ansi(LPARAM text)
{
    return text != 0 ? QString::fromLatin1(reinterpret_cast<const char *>(text)) : QString();
}
inline std::string to_ansi(const QString &s) { return s.toLatin1().toStdString(); }
/* Copies text into a WM_GETTEXT-style buffer of size characters. */
LRESULT copy_text(const std::string &text, WPARAM size, LPARAM buf);

/* ---- GDI (gdi.cpp, icons.cpp) ---- */
/* A device context that paints at once with painter, for WM_PAINT,
 * WM_ERASEBKGND and WM_DRAWITEM; released with release_paint_dc. */
HDC make_paint_dc(HWND hwnd, QPainter *painter);
void release_paint_dc(HDC dc);
QColor brush_color(HBRUSH brush, bool *hollow);
/* The painter of a DC; null for a window DC taken with GetDC, after which
 * the window is repainted on its own thread instead. */
QPainter *dc_painter(HDC dc);
void dc_repaint_later(HDC dc);
/* The image of an icon (null image for an unknown handle). */
QImage icon_image(HICON icon);

/* ---- dialogs (dialogs.cpp) ---- */
LRESULT CALLBACK dialog_window_proc(HWND, UINT, WPARAM, LPARAM);

} // namespace ui

#endif
