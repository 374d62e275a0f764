/* xwidget: one window (top-level window, child control or dialog) wrapped
 * in an object of the system's convention. panelkit exports new_xwidget and
 * delete_xwidget only; the slot order of xwidget_ops is shared by every
 * library that uses it. */
#ifndef XWIDGET_H
#define XWIDGET_H

#include "win32.h"

typedef struct xwidget xwidget;
typedef struct xwidget_ops xwidget_ops;

/* run_loop's filter: non-zero when it consumed the message. */
typedef int (*xwidget_filter)(HWND hwnd, MSG *msg);
typedef int (*xwidget_idle)(void *arg);

struct xwidget {
    WNDPROC old_proc;    /* the procedure subclass replaced */
    WNDCLASSEXA wndclass; /* filled and registered by register_class */
    HWND hwnd;
    HWND parent;
    MSG msg; /* run_loop's message buffer */
    HINSTANCE hinstance;
    HBRUSH bkbrush;
    int32_t append_pos; /* caret position recorded by edit_append */
    xwidget_ops *ops;
};

struct xwidget_ops {
    int (*register_class)(xwidget *w, HINSTANCE instance, WNDPROC proc, const char *class_name);
    HWND (*create_main)(xwidget *w, const char *class_name, DWORD style, HWND parent);
    HWND (*create)(xwidget *w, DWORD exstyle, const char *class_name, const char *text, DWORD style, int x, int y,
                   int width, int height, HWND parent, HMENU id, HINSTANCE instance);
    HWND (*create_dialog)(xwidget *w, HINSTANCE instance, WORD template_id, HWND parent, DLGPROC proc);
    LRESULT (*set_icon)(xwidget *w, WORD icon_id);
    int (*run_loop)(xwidget *w, xwidget_filter filter, xwidget_idle idle, void *idle_arg);
    int (*noop)(xwidget *w);
    BOOL (*move)(xwidget *w, int x, int y, int width, int height);
    BOOL (*show)(xwidget *w, int cmd);
    BOOL (*set_alpha)(xwidget *w, COLORREF key, BYTE alpha);
    BOOL (*enable)(xwidget *w, int flag);
    int (*set_bkcolor)(xwidget *w, COLORREF color);
    int (*free_bkbrush)(xwidget *w);
    BOOL (*redraw)(xwidget *w);
    int (*get_id)(xwidget *w);
    int (*get_text)(xwidget *w, char *buf256);
    LRESULT (*set_text)(xwidget *w, const char *text);
    LRESULT (*clear)(xwidget *w);
    int (*lv_add_column)(xwidget *w, int column, int width, const char *title);
    int (*lv_set_item)(xwidget *w, int row, int column, const char *text);
    int (*lv_count)(xwidget *w);
    int (*lv_select)(xwidget *w, int row);
    LRESULT (*lv_delete_all)(xwidget *w);
    LRESULT (*lv_set_exstyle)(xwidget *w, DWORD mask, DWORD style);
    LRESULT (*edit_replace_all)(xwidget *w, const char *text);
    int (*get_text_n)(xwidget *w, char *buf, int size);
    LRESULT (*edit_append)(xwidget *w, const char *text);
    LRESULT (*edit_clear)(xwidget *w);
    int (*cb_get_item)(xwidget *w, int index, char *buf);
    int (*cb_get_selection)(xwidget *w, char *buf);
    int (*cb_add)(xwidget *w, const char *text);
    int (*cb_count)(xwidget *w);
    int (*cb_select_text)(xwidget *w, const char *text);
    int (*cb_set_selection)(xwidget *w, int index);
    LRESULT (*pb_set_range)(xwidget *w, int low, int high);
    LRESULT (*pb_set_pos)(xwidget *w, int pos);
    int (*pb_query_range)(xwidget *w);
    int (*is_checked)(xwidget *w);
    BOOL (*set_zorder)(xwidget *w, HWND insert_after);
    WNDPROC (*subclass)(xwidget *w, WNDPROC proc);
    LRESULT (*send_setfocus)(xwidget *w);
    HWND (*attach_item)(xwidget *w, HWND dialog, int id);
    BOOL (*clear_item)(xwidget *w, HWND dialog, int id);
    HWND (*find_window)(xwidget *w, const char *class_name, const char *title);
    LRESULT (*set_font)(xwidget *w, HFONT font);
};

typedef int (*new_xwidget_fn)(xwidget **out);
typedef int (*delete_xwidget_fn)(xwidget **p);

#endif
