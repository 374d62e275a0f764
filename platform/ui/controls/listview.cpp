/* "SysListView32" in report view: rows of text in columns, with the
 * extended styles grid lines and full-row select. */
#include "../ui_internal.h"

#include <QHeaderView>
#include <QTableWidget>

namespace {

const char *const exstyle_property = "platform_lv_exstyle";

DWORD exstyle_of(const QTableWidget *t) { return t->property(exstyle_property).toUInt(); }

void apply_exstyle(QTableWidget *t, DWORD ex)
{
    t->setProperty(exstyle_property, static_cast<uint>(ex));
    t->setShowGrid((ex & LVS_EX_GRIDLINES) != 0);
    t->setSelectionBehavior((ex & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows
                                                         : QAbstractItemView::SelectItems);
}

QTableWidgetItem *cell(QTableWidget *t, int row, int col)
{
    QTableWidgetItem *it = t->item(row, col);
    if (it == nullptr) {
        it = new QTableWidgetItem;
        t->setItem(row, col, it);
    }
    return it;
}

void set_state(QTableWidget *t, int row, UINT state, UINT mask)
{
    QItemSelectionModel *sel = t->selectionModel();
    QModelIndex index = t->model()->index(row, 0);
    if (mask & LVIS_SELECTED) {
        QItemSelectionModel::SelectionFlags f =
            (state & LVIS_SELECTED) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect;
        if (t->selectionMode() == QAbstractItemView::SingleSelection && (state & LVIS_SELECTED))
            f = QItemSelectionModel::ClearAndSelect;
        sel->select(index, f | QItemSelectionModel::Rows);
    }
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
        sel->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

UINT get_state(QTableWidget *t, int row, UINT mask)
{
    UINT s = 0;
    if (t->selectionModel()->isRowSelected(row, QModelIndex()) ||
        t->selectionModel()->isSelected(t->model()->index(row, 0)))
        s |= LVIS_SELECTED;
    if (t->selectionModel()->currentIndex().row() == row)
        s |= LVIS_FOCUSED;
    return s & mask;
}

} // namespace

namespace ui {

QWidget *make_listview(DWORD style, QWidget *parent)
{
    auto *t = new QTableWidget(0, 0, parent);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(18);
    t->horizontalHeader()->setVisible(!(style & LVS_NOCOLUMNHEADER));
    t->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    t->horizontalHeader()->setHighlightSections(false);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode((style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                : QAbstractItemView::ExtendedSelection);
    t->setWordWrap(false);
    t->setFrameShape((style & WS_BORDER) ? QFrame::Box : QFrame::NoFrame);
    apply_exstyle(t, 0);
    return t;
}

LRESULT CALLBACK listview_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    std::shared_ptr<Window> w = find(hwnd);
    auto *t = w ? qobject_cast<QTableWidget *>(w->widget.data()) : nullptr;
    if (t == nullptr)
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    const int rows = t->rowCount();
    const int row = static_cast<int>(static_cast<LONG>(wparam));
    switch (msg) {
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        DWORD old = exstyle_of(t);
        DWORD mask = wparam == 0 ? 0xFFFFFFFFu : static_cast<DWORD>(wparam);
        apply_exstyle(t, (old & ~mask) | (static_cast<DWORD>(lparam) & mask));
        return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return exstyle_of(t);
    case LVM_INSERTCOLUMNA: {
        const LVCOLUMNA *c = reinterpret_cast<const LVCOLUMNA *>(lparam);
        if (c == nullptr)
            return -1;
        int at = row < 0 ? 0 : row > t->columnCount() ? t->columnCount() : row;
        t->insertColumn(at);
        auto *head = new QTableWidgetItem((c->mask & LVCF_TEXT) ? from_ansi(reinterpret_cast<LPARAM>(c->pszText))
                                                                 : QString());
        t->setHorizontalHeaderItem(at, head);
        if (c->mask & LVCF_WIDTH)
            t->setColumnWidth(at, c->cx);
        return at;
    }
    case LVM_GETCOLUMNWIDTH:
        return row >= 0 && row < t->columnCount() ? t->columnWidth(row) : 0;
    case LVM_GETITEMCOUNT:
        return rows;
    case LVM_INSERTITEMA: {
        const LVITEMA *it = reinterpret_cast<const LVITEMA *>(lparam);
        if (it == nullptr || it->iSubItem != 0)
            return -1;
        int at = it->iItem < 0 ? 0 : it->iItem > rows ? rows : it->iItem;
        t->insertRow(at);
        if ((it->mask & LVIF_TEXT) && t->columnCount() > 0)
            cell(t, at, 0)->setText(from_ansi(reinterpret_cast<LPARAM>(it->pszText)));
        if (it->mask & LVIF_STATE)
            set_state(t, at, it->state, it->stateMask);
        return at;
    }
    case LVM_SETITEMA: {
        const LVITEMA *it = reinterpret_cast<const LVITEMA *>(lparam);
        if (it == nullptr || it->iItem < 0 || it->iItem >= rows || it->iSubItem < 0 ||
            it->iSubItem >= t->columnCount())
            return FALSE;
        if (it->mask & LVIF_TEXT)
            cell(t, it->iItem, it->iSubItem)->setText(from_ansi(reinterpret_cast<LPARAM>(it->pszText)));
        if (it->mask & LVIF_STATE)
            set_state(t, it->iItem, it->state, it->stateMask);
        return TRUE;
    }
    case LVM_GETITEMTEXTA: {
        LVITEMA *it = reinterpret_cast<LVITEMA *>(lparam);
        if (it == nullptr || row < 0 || row >= rows || it->iSubItem < 0 || it->iSubItem >= t->columnCount() ||
            it->cchTextMax <= 0)
            return 0;
        QTableWidgetItem *c = t->item(row, it->iSubItem);
        return copy_text(c ? to_ansi(c->text()) : std::string(), static_cast<WPARAM>(it->cchTextMax),
                         reinterpret_cast<LPARAM>(it->pszText));
    }
    case LVM_SETITEMSTATE: {
        const LVITEMA *it = reinterpret_cast<const LVITEMA *>(lparam);
        if (it == nullptr || row >= rows)
            return FALSE;
        if (row >= 0) {
            set_state(t, row, it->state, it->stateMask);
        } else if (!(it->stateMask & LVIS_SELECTED) || !(it->state & LVIS_SELECTED)) {
            if (it->stateMask & LVIS_SELECTED)
                t->clearSelection();
        } else if (t->selectionMode() != QAbstractItemView::SingleSelection) {
            t->selectAll();
        }
        return TRUE;
    }
    case LVM_GETITEMSTATE:
        return row >= 0 && row < rows ? get_state(t, row, static_cast<UINT>(lparam)) : 0;
    case LVM_GETNEXTITEM: {
        for (int r = row < 0 ? 0 : row + 1; r < rows; r++)
            if (!(lparam & LVNI_SELECTED) || get_state(t, r, LVIS_SELECTED))
                return r;
        return -1;
    }
    case LVM_ENSUREVISIBLE:
        if (row < 0 || row >= rows)
            return FALSE;
        t->scrollTo(t->model()->index(row, 0), QAbstractItemView::EnsureVisible);
        return TRUE;
    case LVM_GETTOPINDEX:
        return rows == 0 ? 0 : t->rowAt(0) < 0 ? 0 : t->rowAt(0);
    case LVM_DELETEITEM:
        if (row < 0 || row >= rows)
            return FALSE;
        t->removeRow(row);
        return TRUE;
    case LVM_DELETEALLITEMS:
        t->setRowCount(0);
        return TRUE;
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

} // namespace ui
