/* "static": a text label. */
#include "../ui_internal.h"

#include <QLabel>

namespace ui {

QWidget *make_static(DWORD style, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment((style & 1) ? Qt::AlignHCenter : (style & 2) ? Qt::AlignRight : Qt::AlignLeft);
    return l;
}

LRESULT CALLBACK static_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    std::shared_ptr<Window> w = find(hwnd);
    auto *l = w ? qobject_cast<QLabel *>(w->widget.data()) : nullptr;
    if (l == nullptr)
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    switch (msg) {
    case WM_SETTEXT:
        l->setText(from_ansi(lparam));
        return TRUE;
    case WM_GETTEXT:
        return copy_text(to_ansi(l->text()), wparam, lparam);
    case WM_GETTEXTLENGTH:
        return l->text().size();
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

} // namespace ui
