/* "msctls_progress32": a progress bar with a range (0 to 100 at first) and
 * a position kept inside it. */
#include "../ui_internal.h"

#include <QProgressBar>

namespace ui {

QWidget *make_progress(DWORD style, QWidget *parent)
{
    (void)style;
    auto *p = new QProgressBar(parent);
    p->setRange(0, 100);
    p->setValue(0);
    p->setTextVisible(false);
    return p;
}

LRESULT CALLBACK progress_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    std::shared_ptr<Window> w = find(hwnd);
    auto *p = w ? qobject_cast<QProgressBar *>(w->widget.data()) : nullptr;
    if (p == nullptr)
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    const int old_pos = p->value() < p->minimum() ? p->minimum() : p->value();
    switch (msg) {
    case PBM_SETRANGE: {
        LRESULT old = MAKELONG(p->minimum(), p->maximum());
        p->setRange(LOWORD(lparam), HIWORD(lparam));
        return old;
    }
    case PBM_SETRANGE32: {
        LRESULT old = MAKELONG(p->minimum(), p->maximum());
        p->setRange(static_cast<int>(wparam), static_cast<int>(lparam));
        return old;
    }
    case PBM_SETPOS:
        p->setValue(qBound(p->minimum(), static_cast<int>(wparam), p->maximum()));
        return old_pos;
    case PBM_DELTAPOS:
        p->setValue(qBound(p->minimum(), old_pos + static_cast<int>(wparam), p->maximum()));
        return old_pos;
    case PBM_GETPOS:
        return old_pos;
    case PBM_GETRANGE:
        if (lparam != 0)
            *reinterpret_cast<PBRANGE *>(lparam) = PBRANGE{p->minimum(), p->maximum()};
        return wparam ? p->minimum() : p->maximum();
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

} // namespace ui
