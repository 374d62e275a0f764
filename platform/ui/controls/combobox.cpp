/* "combobox": the drop-down list. When the user picks an item the list
 * tells the combo box (WM_COMMAND with LBN_SELCHANGE in the high word, to the
 * combo box's procedure chain) and the combo box tells its parent
 * (CBN_SELCHANGE). Indexes out of range give CB_ERR. */
#include "../ui_internal.h"

#include <QComboBox>

namespace {

bool valid(const QComboBox *c, WPARAM i) { return i < static_cast<WPARAM>(c->count()); }

/* Adding to an empty box selects nothing, unlike Qt's own default. */
int insert(QComboBox *c, int index, LPARAM text)
{
    int before = c->currentIndex();
    c->insertItem(index, ui::from_ansi(text));
    if (before < 0)
        c->setCurrentIndex(-1);
    return index;
}

} // namespace

namespace ui {

QWidget *make_combobox(DWORD style, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setEditable((style & CBS_DROPDOWNLIST) == CBS_DROPDOWN);
    QObject::connect(c, &QComboBox::activated, c, [c](int) {
        HWND hwnd = hwnd_of(c);
        deliver(hwnd, WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE), 0);
    });
    return c;
}

LRESULT CALLBACK combobox_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    std::shared_ptr<Window> w = find(hwnd);
    auto *c = w ? qobject_cast<QComboBox *>(w->widget.data()) : nullptr;
    if (c == nullptr)
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    switch (msg) {
    case CB_ADDSTRING:
        return insert(c, c->count(), lparam);
    case CB_INSERTSTRING: {
        int at = static_cast<int>(static_cast<LONG>(wparam));
        if (at < 0)
            at = c->count();
        else if (at > c->count())
            return CB_ERR;
        return insert(c, at, lparam);
    }
    case CB_DELETESTRING:
        if (!valid(c, wparam))
            return CB_ERR;
        c->removeItem(static_cast<int>(wparam));
        return c->count();
    case CB_RESETCONTENT:
        c->clear();
        return TRUE;
    case CB_GETCOUNT:
        return c->count();
    case CB_GETCURSEL:
        return c->currentIndex();
    case CB_SETCURSEL:
        if (!valid(c, wparam)) {
            c->setCurrentIndex(-1);
            return CB_ERR;
        }
        c->setCurrentIndex(static_cast<int>(wparam));
        return static_cast<LRESULT>(wparam);
    case CB_GETLBTEXT: {
        if (!valid(c, wparam) || lparam == 0)
            return CB_ERR;
        std::string s = to_ansi(c->itemText(static_cast<int>(wparam)));
        return copy_text(s, s.size() + 1, lparam);
    }
    case CB_GETLBTEXTLEN:
        return valid(c, wparam) ? c->itemText(static_cast<int>(wparam)).size() : CB_ERR;
    case WM_COMMAND:
        if (HIWORD(wparam) == LBN_SELCHANGE)
            notify_parent(hwnd, CBN_SELCHANGE);
        return 0;
    case WM_SETTEXT:
        if (c->isEditable())
            c->setEditText(from_ansi(lparam));
        return c->isEditable() ? TRUE : CB_ERR;
    case WM_GETTEXT:
        return copy_text(to_ansi(c->currentText()), wparam, lparam);
    case WM_GETTEXTLENGTH:
        return c->currentText().size();
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

} // namespace ui
