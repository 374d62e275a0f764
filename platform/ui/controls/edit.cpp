/* "edit": a single-line edit box. Selections and positions are character
 * offsets; -1 as a selection end means the end of the text. */
#include "../ui_internal.h"

#include <QLineEdit>

#include <limits.h>

namespace ui {

QWidget *make_edit(DWORD style, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    Qt::Alignment h = (style & ES_CENTER) ? Qt::AlignHCenter : (style & ES_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    e->setAlignment(h | Qt::AlignVCenter);
    e->setFrame((style & WS_BORDER) != 0);
    e->setReadOnly((style & ES_READONLY) != 0);
    QObject::connect(e, &QLineEdit::textEdited, e, [e] { notify_parent(hwnd_of(e), EN_CHANGE); });
    return e;
}

LRESULT CALLBACK edit_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    std::shared_ptr<Window> w = find(hwnd);
    auto *e = w ? qobject_cast<QLineEdit *>(w->widget.data()) : nullptr;
    if (e == nullptr)
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    const int len = static_cast<int>(e->text().size());
    switch (msg) {
    case EM_LIMITTEXT: {
        /* 0, or anything beyond int, lifts the limit */
        int limit = wparam == 0 || wparam > static_cast<WPARAM>(INT_MAX) ? INT_MAX : static_cast<int>(wparam);
        e->setMaxLength(limit);
        return 0;
    }
    case EM_GETSEL: {
        DWORD start = static_cast<DWORD>(e->hasSelectedText() ? e->selectionStart() : e->cursorPosition());
        DWORD end = static_cast<DWORD>(e->hasSelectedText() ? e->selectionEnd() : e->cursorPosition());
        if (wparam != 0)
            *reinterpret_cast<DWORD *>(wparam) = start;
        if (lparam != 0)
            *reinterpret_cast<DWORD *>(lparam) = end;
        return start > 0xFFFF || end > 0xFFFF ? -1 : MAKELONG(start, end);
    }
    case EM_SETSEL: {
        int start = static_cast<int>(static_cast<LONG>(wparam));
        int end = static_cast<int>(static_cast<LONG>(lparam));
        if (start < 0) { /* -1 takes the selection away */
            e->deselect();
            return 0;
        }
        if (end < 0 || end > len)
            end = len;
        start = start > len ? len : start;
        if (start > end)
            std::swap(start, end);
        e->setSelection(start, end - start);
        return 0;
    }
    case EM_REPLACESEL:
        e->insert(from_ansi(lparam)); /* replaces the selection; undoable in Qt either way */
        return 0;
    case WM_CLEAR:
        if (e->hasSelectedText())
            e->del();
        return 0;
    case WM_SETTEXT:
        e->setText(from_ansi(lparam));
        return TRUE;
    case WM_GETTEXT:
        return copy_text(to_ansi(e->text()), wparam, lparam);
    case WM_GETTEXTLENGTH:
        return len;
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

} // namespace ui
