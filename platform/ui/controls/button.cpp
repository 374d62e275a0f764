/* "button": push buttons, check boxes (two and three states) and owner-drawn
 * buttons, which ask their parent to paint them with WM_DRAWITEM. */
#include "../ui_internal.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPainter>
#include <QPushButton>

namespace {

class OwnerDrawButton : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        HWND hwnd = ui::hwnd_of(this);
        std::shared_ptr<ui::Window> w = ui::find(hwnd);
        if (!w || w->parent == nullptr)
            return;
        QPainter painter(this);
        HDC dc = ui::make_paint_dc(hwnd, &painter);
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_BUTTON;
        d.CtlID = static_cast<UINT>(w->id);
        d.itemID = static_cast<UINT>(w->id);
        d.itemAction = ODA_DRAWENTIRE;
        d.itemState = (isDown() ? ODS_SELECTED : 0) | (hasFocus() ? ODS_FOCUS : 0) | (isEnabled() ? 0 : ODS_DISABLED);
        d.hwndItem = hwnd;
        d.hDC = dc;
        d.rcItem = RECT{0, 0, width(), height()};
        ui::deliver(w->parent, WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
        ui::release_paint_dc(dc);
    }
};

bool is_check_box(DWORD type)
{
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}

} // namespace

namespace ui {

QWidget *make_button(DWORD style, QWidget *parent)
{
    DWORD type = style & BS_TYPEMASK;
    QAbstractButton *b;
    if (is_check_box(type)) {
        auto *c = new QCheckBox(parent);
        c->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
        b = c;
    } else if (type == BS_OWNERDRAW) {
        b = new OwnerDrawButton(parent);
    } else {
        b = new QPushButton(parent);
    }
    QObject::connect(b, &QAbstractButton::clicked, b, [b] { notify_parent(hwnd_of(b), BN_CLICKED); });
    return b;
}

LRESULT CALLBACK button_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    std::shared_ptr<Window> w = find(hwnd);
    auto *b = w ? qobject_cast<QAbstractButton *>(w->widget.data()) : nullptr;
    if (b == nullptr)
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    auto *check = qobject_cast<QCheckBox *>(b);
    switch (msg) {
    case BM_GETCHECK:
        if (check == nullptr)
            return BST_UNCHECKED;
        switch (check->checkState()) {
        case Qt::Checked:
            return BST_CHECKED;
        case Qt::PartiallyChecked:
            return BST_INDETERMINATE;
        default:
            return BST_UNCHECKED;
        }
    case BM_SETCHECK:
        if (check != nullptr)
            check->setCheckState(wparam == BST_CHECKED         ? Qt::Checked
                                 : wparam == BST_INDETERMINATE ? (check->isTristate() ? Qt::PartiallyChecked
                                                                                      : Qt::Checked)
                                                               : Qt::Unchecked);
        return 0;
    case WM_SETTEXT:
        b->setText(from_ansi(lparam));
        return TRUE;
    case WM_GETTEXT:
        return copy_text(to_ansi(b->text()), wparam, lparam);
    case WM_GETTEXTLENGTH:
        return b->text().size();
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

} // namespace ui
