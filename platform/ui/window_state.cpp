/* A window's placement, visibility, enabled state, text, long values and
 * look-ups. Every call runs on the window's thread (on_owner). */
#include "ui_internal.h"

#include <QComboBox>
#include <QPixmap>

#include <strings.h>

namespace {

/* A combo box is created with its dropped-down height; closed, it is as
 * high as its font needs. */
int shown_height(QWidget *widget, int height)
{
    return qobject_cast<QComboBox *>(widget) != nullptr ? widget->sizeHint().height() : height;
}

void place(ui::Window &w, int x, int y, int cx, int cy, UINT flags)
{
    QWidget *wid = w.widget;
    if (wid == nullptr)
        return;
    if (!(flags & SWP_NOSIZE)) {
        cx = cx < 0 ? 0 : cx;
        cy = shown_height(wid, cy < 0 ? 0 : cy);
    }
    if (wid->isWindow()) {
        if (!(flags & SWP_NOSIZE)) {
            if (w.style & WS_THICKFRAME) {
                wid->setMinimumSize(0, 0);
                wid->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
                wid->resize(cx, cy);
            } else {
                wid->setFixedSize(cx, cy); /* no sizing border: the user cannot resize it */
            }
        }
        if (!(flags & SWP_NOMOVE))
            wid->move(x, y);
    } else if (!(flags & SWP_NOSIZE) && !(flags & SWP_NOMOVE)) {
        wid->setGeometry(x, y, cx, cy);
    } else if (!(flags & SWP_NOSIZE)) {
        wid->resize(cx, cy);
    } else if (!(flags & SWP_NOMOVE)) {
        wid->move(x, y);
    }
}

void set_visible(ui::Window &w, bool visible)
{
    if (visible)
        w.style |= WS_VISIBLE;
    else
        w.style &= ~static_cast<DWORD>(WS_VISIBLE);
    if (w.widget)
        w.widget->setVisible(visible);
}

} // namespace

namespace ui {

BOOL set_window_pos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags)
{
    return on_owner<BOOL>(hwnd, FALSE, [&](Window &w) {
        place(w, x, y, cx, cy, flags);
        if (!(flags & SWP_NOZORDER) && w.widget) {
            std::shared_ptr<Window> a = after == HWND_TOP || after == HWND_TOPMOST || after == HWND_BOTTOM ||
                                                after == HWND_NOTOPMOST
                                            ? nullptr
                                            : find(after);
            if (after == HWND_BOTTOM)
                w.widget->lower();
            else if (a && a->widget && a->widget->parentWidget() == w.widget->parentWidget())
                w.widget->stackUnder(a->widget);
            else
                w.widget->raise();
        }
        if (flags & SWP_SHOWWINDOW)
            set_visible(w, true);
        if (flags & SWP_HIDEWINDOW)
            set_visible(w, false);
        return TRUE;
    });
}

BOOL get_window_rect(HWND hwnd, LPRECT rect)
{
    if (rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return on_owner<BOOL>(hwnd, FALSE, [&](Window &w) {
        if (!w.widget)
            return FALSE;
        QPoint p = w.widget->isWindow() ? w.widget->pos() : w.widget->mapToGlobal(QPoint(0, 0));
        *rect = RECT{p.x(), p.y(), p.x() + w.widget->width(), p.y() + w.widget->height()};
        return TRUE;
    });
}

} // namespace ui

using ui::on_owner;
using ui::Window;

extern "C" BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    (void)repaint; /* Qt repaints what moved */
    return ui::set_window_pos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER);
}

extern "C" BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
    if (rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return on_owner<BOOL>(hwnd, FALSE, [&](Window &w) {
        if (!w.widget)
            return FALSE;
        *rect = RECT{0, 0, w.widget->width(), w.widget->height()};
        return TRUE;
    });
}

extern "C" BOOL ShowWindow(HWND hwnd, int cmd)
{
    return on_owner<BOOL>(hwnd, FALSE, [&](Window &w) {
        BOOL was = (w.style & WS_VISIBLE) ? TRUE : FALSE;
        switch (cmd) {
        case SW_HIDE:
            set_visible(w, false);
            break;
        case SW_SHOWMAXIMIZED:
            set_visible(w, true);
            if (w.widget && w.widget->isWindow())
                w.widget->showMaximized();
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
            set_visible(w, true);
            if (w.widget && w.widget->isWindow())
                w.widget->showMinimized();
            break;
        default:
            set_visible(w, true);
            break;
        }
        return was;
    });
}

extern "C" BOOL IsWindowVisible(HWND hwnd)
{
    return on_owner<BOOL>(hwnd, FALSE, [](Window &w) { return w.widget && w.widget->isVisible() ? TRUE : FALSE; });
}

extern "C" BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    return on_owner<BOOL>(hwnd, FALSE, [&](Window &w) {
        BOOL was_disabled = (w.style & WS_DISABLED) ? TRUE : FALSE;
        if (enable)
            w.style &= ~static_cast<DWORD>(WS_DISABLED);
        else
            w.style |= WS_DISABLED;
        if (w.widget)
            w.widget->setEnabled(enable != FALSE);
        ui::deliver(w.hwnd, WM_ENABLE, enable != FALSE, 0);
        return was_disabled;
    });
}

extern "C" BOOL IsWindowEnabled(HWND hwnd)
{
    return on_owner<BOOL>(hwnd, FALSE, [](Window &w) { return (w.style & WS_DISABLED) ? FALSE : TRUE; });
}

extern "C" BOOL SetWindowTextA(HWND hwnd, LPCSTR text)
{
    if (!ui::find_or_fail(hwnd))
        return FALSE;
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

extern "C" int GetWindowTextA(HWND hwnd, LPSTR buf, int size)
{
    if (buf != nullptr && size > 0)
        buf[0] = '\0';
    if (buf == nullptr || size <= 0 || !ui::find_or_fail(hwnd))
        return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buf)));
}

extern "C" int GetWindowTextLengthA(HWND hwnd)
{
    if (!ui::find_or_fail(hwnd))
        return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

extern "C" LONG_PTR SetWindowLongA(HWND hwnd, int index, LONG_PTR value)
{
    return on_owner<LONG_PTR>(hwnd, 0, [&](Window &w) -> LONG_PTR {
        LONG_PTR old = 0;
        switch (index) {
        case GWL_WNDPROC:
            old = reinterpret_cast<LONG_PTR>(w.proc);
            w.proc = reinterpret_cast<WNDPROC>(value);
            return old;
        case GWL_STYLE:
            old = static_cast<LONG_PTR>(w.style);
            w.style = static_cast<DWORD>(value);
            if (w.widget && w.widget->isWindow()) {
                bool shown = w.widget->isVisible();
                QSize size = w.widget->size();
                w.widget->setWindowFlags(ui::flags_for(w));
                place(w, 0, 0, size.width(), size.height(), SWP_NOMOVE);
                if (shown)
                    w.widget->show();
            }
            return old;
        case GWL_EXSTYLE:
            old = static_cast<LONG_PTR>(w.exstyle);
            w.exstyle = static_cast<DWORD>(value);
            return old;
        case GWL_ID:
            old = w.id;
            w.id = static_cast<int>(value);
            return old;
        case GWLP_USERDATA:
            old = w.user_data;
            w.user_data = value;
            return old;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
    });
}

extern "C" LONG_PTR GetWindowLongA(HWND hwnd, int index)
{
    return on_owner<LONG_PTR>(hwnd, 0, [&](Window &w) -> LONG_PTR {
        switch (index) {
        case GWL_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w.proc);
        case GWL_STYLE:
            return static_cast<LONG_PTR>(w.style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(w.exstyle);
        case GWL_ID:
            return w.id;
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w.instance);
        case GWLP_USERDATA:
            return w.user_data;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
    });
}

extern "C" ULONG_PTR SetClassLongA(HWND hwnd, int index, LONG_PTR value)
{
    return on_owner<ULONG_PTR>(hwnd, 0, [&](Window &w) -> ULONG_PTR {
        if (index != GCL_HBRBACKGROUND) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        ULONG_PTR old = reinterpret_cast<ULONG_PTR>(w.cls->background);
        w.cls->background = reinterpret_cast<HBRUSH>(value);
        return old;
    });
}

extern "C" HWND GetParent(HWND hwnd)
{
    return on_owner<HWND>(hwnd, nullptr, [](Window &w) { return w.parent; });
}

extern "C" int GetDlgCtrlID(HWND hwnd)
{
    return on_owner<int>(hwnd, 0, [](Window &w) { return w.id; });
}

extern "C" BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags)
{
    (void)key; /* colour keys are not supported: only the alpha takes effect */
    return on_owner<BOOL>(hwnd, FALSE, [&](Window &w) {
        if (!(w.exstyle & WS_EX_LAYERED)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if ((flags & LWA_ALPHA) && w.widget && w.widget->isWindow())
            w.widget->setWindowOpacity(alpha / 255.0);
        return TRUE;
    });
}

extern "C" BOOL InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase)
{
    (void)erase; /* every repaint of a window erases its background */
    if (hwnd == nullptr)
        return TRUE;
    return on_owner<BOOL>(hwnd, FALSE, [&](Window &w) {
        /* WM_PAINT is being handled: the paint in progress covers it, as
         * validation at the end of painting would on Windows */
        if (w.in_paint || !w.widget)
            return TRUE;
        if (rect != nullptr)
            w.widget->update(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
        else
            w.widget->update();
        return TRUE;
    });
}

extern "C" BOOL UpdateWindow(HWND hwnd)
{
    return on_owner<BOOL>(hwnd, FALSE, [](Window &w) {
        if (w.widget && !w.in_paint)
            w.widget->repaint();
        return TRUE;
    });
}

extern "C" BOOL PlatformGrabWindow(HWND hwnd, LPCSTR png_path)
{
    if (png_path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return on_owner<BOOL>(hwnd, FALSE, [&](Window &w) {
        if (!w.widget)
            return FALSE;
        if (!w.widget->grab().save(QString::fromLocal8Bit(png_path), "PNG")) {
            SetLastError(ERROR_WRITE_FAULT);
            return FALSE;
        }
        return TRUE;
    });
}
