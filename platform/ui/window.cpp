/* The window table, window creation and destruction, and the procedure
 * chain (DefWindowProcA, CallWindowProcA). */
#include "ui_internal.h"

#include <QAbstractScrollArea>
#include <QPainter>

#include <string.h>
#include <strings.h>

#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

std::mutex table_lock; /* guards table and next_handle */
std::unordered_map<HWND, std::shared_ptr<ui::Window>> &table()
{
    static auto *t = new std::unordered_map<HWND, std::shared_ptr<ui::Window>>;
    return *t;
}
/* Handle values are never reused, so a stale handle names no window. */
uintptr_t next_handle = 0x10000;

const char *const hwnd_property = "platform_hwnd"; /* also set by watch_input */

Qt::WindowFlags top_level_flags(DWORD style, bool dialog)
{
    Qt::WindowFlags f = (dialog ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint;
    if ((style & WS_CAPTION) == WS_CAPTION)
        f |= Qt::WindowTitleHint;
    else
        f |= Qt::FramelessWindowHint;
    if (style & WS_SYSMENU)
        f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & WS_MINIMIZEBOX)
        f |= Qt::WindowMinimizeButtonHint;
    if (style & WS_MAXIMIZEBOX)
        f |= Qt::WindowMaximizeButtonHint;
    return f;
}

void remove_tree(HWND root, std::vector<std::shared_ptr<ui::Window>> *out)
{
    std::lock_guard<std::mutex> g(table_lock);
    std::vector<HWND> todo{root};
    while (!todo.empty()) {
        HWND h = todo.back();
        todo.pop_back();
        auto it = table().find(h);
        if (it == table().end())
            continue;
        out->push_back(it->second);
        table().erase(it);
        for (auto &e : table())
            if (e.second->parent == h && (e.second->style & WS_CHILD))
                todo.push_back(e.first);
    }
}

/* Input state of the innermost deliver_input on this thread. */
struct PendingInput {
    HWND hwnd;
    UINT msg;
    bool reached;
};
thread_local PendingInput *pending_input = nullptr;

} // namespace

namespace ui {

std::shared_ptr<Window> find(HWND hwnd)
{
    std::lock_guard<std::mutex> g(table_lock);
    auto it = table().find(hwnd);
    return it == table().end() ? nullptr : it->second;
}

std::shared_ptr<Window> find_or_fail(HWND hwnd)
{
    std::shared_ptr<Window> w = find(hwnd);
    if (!w)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

HWND hwnd_of(const QObject *widget)
{
    for (const QObject *o = widget; o != nullptr; o = o->parent()) {
        QVariant v = o->property(hwnd_property);
        if (v.isValid())
            return reinterpret_cast<HWND>(v.value<qulonglong>());
    }
    return nullptr;
}

void bind_widget(QWidget *widget, HWND hwnd)
{
    watch_input(widget, hwnd);
    /* scroll areas (the list view) take their clicks in the viewport */
    if (auto *area = qobject_cast<QAbstractScrollArea *>(widget))
        watch_input(area->viewport(), hwnd);
}

Qt::WindowFlags flags_for(const Window &w) { return top_level_flags(w.style, w.cls->proc == dialog_window_proc); }

LRESULT deliver(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    std::shared_ptr<Window> w = find(hwnd);
    if (!w || w->proc == nullptr)
        return 0;
    return w->proc(hwnd, msg, wparam, lparam);
}

bool deliver_input(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    PendingInput p{hwnd, msg, false};
    PendingInput *outer = pending_input;
    pending_input = &p;
    deliver(hwnd, msg, wparam, lparam);
    pending_input = outer;
    return p.reached;
}

void note_default_reached(HWND hwnd, UINT msg)
{
    if (pending_input != nullptr && pending_input->hwnd == hwnd && pending_input->msg == msg)
        pending_input->reached = true;
}

void notify_parent(HWND control, WORD code)
{
    std::shared_ptr<Window> w = find(control);
    if (w && w->parent != nullptr)
        deliver(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(control));
}

LRESULT copy_text(const std::string &text, WPARAM size, LPARAM buf)
{
    char *out = reinterpret_cast<char *>(buf);
    if (out == nullptr || size == 0)
        return 0;
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

} // namespace ui

using ui::Window;

extern "C" HWND CreateWindowExA(DWORD exstyle, LPCSTR class_name, LPCSTR text, DWORD style, int x, int y,
                                int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    if (!ui::ensure_app()) {
        SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
        return nullptr;
    }
    std::shared_ptr<ui::WindowClass> cls = ui::find_class(class_name);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    std::shared_ptr<Window> parent_w = parent != nullptr ? ui::find(parent) : nullptr;
    if ((style & WS_CHILD) && !parent_w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    auto w = std::make_shared<Window>();
    w->thread = GetCurrentThreadId();
    w->cls = cls;
    w->proc = cls->proc;
    w->parent = parent_w ? parent : nullptr;
    w->style = style;
    w->exstyle = exstyle;
    w->instance = instance;
    if (style & WS_CHILD)
        w->id = static_cast<int>(reinterpret_cast<intptr_t>(menu));
    if (x == CW_USEDEFAULT)
        x = y = 0;
    if (width == CW_USEDEFAULT)
        width = 320, height = 240;

    QWidget *qparent = (style & WS_CHILD) ? parent_w->widget.data() : nullptr;
    QWidget *widget = cls->make(style, qparent);
    {
        std::lock_guard<std::mutex> g(table_lock);
        w->hwnd = reinterpret_cast<HWND>(next_handle);
        next_handle += 4;
        table()[w->hwnd] = w;
    }
    HWND hwnd = w->hwnd;
    w->widget = widget;
    ui::bind_widget(widget, hwnd);
    if (!(style & WS_CHILD))
        widget->setWindowFlags(ui::flags_for(*w));
    ui::set_window_pos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER);

    CREATESTRUCTA cs = {param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style), text,
                        class_name, exstyle};
    if (ui::deliver(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) == 0 ||
        ui::deliver(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (text != nullptr && text[0] != '\0' && ui::find(hwnd))
        cls->proc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    if (style & WS_DISABLED)
        widget->setEnabled(false);
    if (style & WS_VISIBLE)
        widget->show();
    return ui::find(hwnd) ? hwnd : nullptr;
}

extern "C" BOOL DestroyWindow(HWND hwnd)
{
    std::shared_ptr<Window> w = ui::find_or_fail(hwnd);
    if (!w)
        return FALSE;
    if (w->thread != GetCurrentThreadId()) {
        SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
        return FALSE;
    }
    /* WM_DESTROY reaches the window first, then its children, while all of
     * them still exist; then the whole tree leaves the table at once. */
    std::vector<HWND> order{hwnd};
    for (size_t i = 0; i < order.size(); i++) {
        ui::deliver(order[i], WM_DESTROY, 0, 0);
        std::vector<HWND> children;
        {
            std::lock_guard<std::mutex> g(table_lock);
            for (auto &e : table())
                if (e.second->parent == order[i] && (e.second->style & WS_CHILD))
                    children.push_back(e.first);
        }
        order.insert(order.end(), children.begin(), children.end());
    }
    std::vector<std::shared_ptr<Window>> removed;
    remove_tree(hwnd, &removed);
    for (auto it = removed.rbegin(); it != removed.rend(); ++it)
        if ((*it)->proc != nullptr)
            (*it)->proc((*it)->hwnd, WM_NCDESTROY, 0, 0);
    w->dialog_ended = true;
    if (w->widget) {
        w->widget->hide();
        /* the widget may be inside its own event handler (WM_CLOSE) */
        w->widget->deleteLater();
    }
    return TRUE;
}

extern "C" BOOL IsWindow(HWND hwnd) { return ui::find(hwnd) ? TRUE : FALSE; }

extern "C" LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    return proc != nullptr ? proc(hwnd, msg, wparam, lparam) : 0;
}

extern "C" LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    ui::note_default_reached(hwnd, msg);
    std::shared_ptr<Window> w = ui::find(hwnd);
    if (!w)
        return 0;
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SETTEXT: {
        w->text = lparam != 0 ? reinterpret_cast<const char *>(lparam) : "";
        if (w->widget && w->widget->isWindow())
            w->widget->setWindowTitle(QString::fromLatin1(w->text.c_str()));
        return TRUE;
    }
    case WM_GETTEXT:
        return ui::copy_text(w->text, wparam, lparam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_PAINT:
        if (w->paint_dc != nullptr)
            ui::deliver(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(w->paint_dc), 0);
        return 0;
    case WM_ERASEBKGND: {
        QPainter *p = ui::dc_painter(reinterpret_cast<HDC>(wparam));
        bool hollow = true;
        QColor c = ui::brush_color(w->cls->background, &hollow);
        if (p != nullptr && !hollow && w->widget)
            p->fillRect(w->widget->rect(), c);
        return 1;
    }
    case WM_SETICON: {
        HICON old = w->icon;
        w->icon = reinterpret_cast<HICON>(lparam);
        QImage img = ui::icon_image(w->icon);
        if (w->widget && w->widget->isWindow() && !img.isNull())
            w->widget->setWindowIcon(QIcon(QPixmap::fromImage(img)));
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wparam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    default:
        return 0;
    }
}

/* The first window created that matches; runs on the GUI thread because
 * window texts belong to it. */
namespace {
template <typename Match> HWND first_match(Match match)
{
    struct Ctx {
        Match *match;
        HWND found;
    } ctx{&match, nullptr};
    auto scan = [](void *p) {
        Ctx *c = static_cast<Ctx *>(p);
        std::vector<std::shared_ptr<Window>> all;
        {
            std::lock_guard<std::mutex> g(table_lock);
            for (auto &e : table())
                all.push_back(e.second);
        }
        for (auto &w : all)
            if ((*c->match)(*w) && (c->found == nullptr || w->hwnd < c->found))
                c->found = w->hwnd;
    };
    DWORD gui = ui::gui_thread();
    if (gui != 0)
        plat_call_on_thread(gui, scan, &ctx);
    return ctx.found;
}
} // namespace

extern "C" HWND GetDlgItem(HWND dialog, int id)
{
    if (!ui::find_or_fail(dialog))
        return nullptr;
    HWND h = first_match([&](const Window &w) { return w.parent == dialog && (w.style & WS_CHILD) && w.id == id; });
    if (h == nullptr)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return h;
}

extern "C" BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr ? SetWindowTextA(item, text) : FALSE;
}

extern "C" HWND FindWindowA(LPCSTR class_name, LPCSTR title)
{
    return first_match([&](const Window &w) {
        if (w.style & WS_CHILD)
            return false;
        if (class_name != nullptr && (IS_INTRESOURCE(class_name) || strcasecmp(w.cls->name.c_str(), class_name) != 0))
            return false;
        return title == nullptr || w.text == title;
    });
}
