/* xwidget: the operations on edit boxes, combo boxes, list views, progress
 * bars and buttons. Each is one or a few messages to the wrapped control. */
#include "internal.h"

#include <string.h>

namespace {

LRESULT send(xwidget *w, UINT msg, WPARAM wparam, LPARAM lparam) { return SendMessageA(w->hwnd, msg, wparam, lparam); }
LPARAM text_arg(const char *text) { return reinterpret_cast<LPARAM>(text); }

int lv_add_column(xwidget *w, int column, int width, const char *title)
{
    if (column == 0) /* mask 0: every extended style bit is replaced by grid lines */
        send(w, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES);
    LVCOLUMNA c = {};
    c.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    c.cx = width;
    c.pszText = const_cast<char *>(title);
    c.iSubItem = column;
    send(w, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
    return 0;
}

int lv_set_item(xwidget *w, int row, int column, const char *text)
{
    LVITEMA it = {};
    it.mask = LVIF_TEXT;
    it.iItem = row;
    it.iSubItem = column;
    it.pszText = const_cast<char *>(text);
    send(w, column == 0 ? LVM_INSERTITEMA : LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return 0;
}

int lv_count(xwidget *w) { return static_cast<int>(send(w, LVM_GETITEMCOUNT, 0, 0)); }

int lv_select(xwidget *w, int row)
{
    LVITEMA it = {};
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    send(w, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
    send(w, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
    send(w, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    return 0;
}

LRESULT lv_delete_all(xwidget *w) { return send(w, LVM_DELETEALLITEMS, 0, 0); }

LRESULT lv_set_exstyle(xwidget *w, DWORD mask, DWORD style) { return send(w, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style); }

LRESULT edit_replace_all(xwidget *w, const char *text)
{
    send(w, EM_SETSEL, 0, -1);
    return send(w, EM_REPLACESEL, TRUE, text_arg(text));
}

LRESULT edit_append(xwidget *w, const char *text)
{
    /* the control never grows much past 64 K characters: past the caret
     * limit it starts again from empty */
    if (w->append_pos >= 65535) {
        w->append_pos = 0;
        edit_replace_all(w, nullptr);
    }
    send(w, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&w->append_pos));
    send(w, EM_SETSEL, static_cast<WPARAM>(w->append_pos), -1);
    return send(w, EM_REPLACESEL, TRUE, text_arg(text));
}

LRESULT edit_clear(xwidget *w)
{
    send(w, EM_SETSEL, 0, -1);
    return send(w, WM_CLEAR, 0, 0);
}

int cb_get_item(xwidget *w, int index, char *buf)
{
    return static_cast<int>(send(w, CB_GETLBTEXT, static_cast<WPARAM>(index), text_arg(buf)));
}

int cb_get_selection(xwidget *w, char *buf)
{
    int index = static_cast<int>(send(w, CB_GETCURSEL, 0, 0));
    send(w, CB_GETLBTEXT, static_cast<WPARAM>(index), text_arg(buf));
    return index;
}

int cb_add(xwidget *w, const char *text)
{
    send(w, CB_ADDSTRING, 0, text_arg(text));
    return static_cast<int>(send(w, CB_SETCURSEL, 0, 0));
}

int cb_count(xwidget *w) { return static_cast<int>(send(w, CB_GETCOUNT, 0, 0)); }

int cb_select_text(xwidget *w, const char *text)
{
    const int count = cb_count(w);
    for (int i = 0; i < count; i++) {
        char item[260];
        memset(item, 0, sizeof item);
        int n = cb_get_item(w, i, item);
        if (n < 0)
            return n;
        if (strcmp(item, text) == 0) {
            send(w, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return i;
        }
    }
    return -1;
}

int cb_set_selection(xwidget *w, int index) { return static_cast<int>(send(w, CB_SETCURSEL, static_cast<WPARAM>(index), 0)); }

LRESULT pb_set_range(xwidget *w, int low, int high) { return send(w, PBM_SETRANGE, 0, MAKELPARAM(low, high)); }

LRESULT pb_set_pos(xwidget *w, int pos) { return send(w, PBM_SETPOS, static_cast<WPARAM>(pos), 0); }

/* The high limit of the range (nothing in the system reads it). */
int pb_query_range(xwidget *w)
{
    PBRANGE range = {0, 0};
    return static_cast<int>(send(w, PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&range)));
}

int is_checked(xwidget *w) { return send(w, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; }

} // namespace

void panelkit_fill_control_ops(xwidget_ops *ops)
{
    ops->lv_add_column = lv_add_column;
    ops->lv_set_item = lv_set_item;
    ops->lv_count = lv_count;
    ops->lv_select = lv_select;
    ops->lv_delete_all = lv_delete_all;
    ops->lv_set_exstyle = lv_set_exstyle;
    ops->edit_replace_all = edit_replace_all;
    ops->edit_append = edit_append;
    ops->edit_clear = edit_clear;
    ops->cb_get_item = cb_get_item;
    ops->cb_get_selection = cb_get_selection;
    ops->cb_add = cb_add;
    ops->cb_count = cb_count;
    ops->cb_select_text = cb_select_text;
    ops->cb_set_selection = cb_set_selection;
    ops->pb_set_range = pb_set_range;
    ops->pb_set_pos = pb_set_pos;
    ops->pb_query_range = pb_query_range;
    ops->is_checked = is_checked;
}
