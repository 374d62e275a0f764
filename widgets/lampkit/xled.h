/* xled: an indicator lamp, an icon drawn on an owner-drawn button. lampkit
 * exports new_xled and delete_xled only and loads "./panelkit.dll" itself. */
#ifndef XLED_H
#define XLED_H

#include "xwidget.h"

#define XLED_LOOKS 13

typedef struct xled xled;
typedef struct xled_ops xled_ops;

/* set_state's draw callback: (control id, drawing record), the wParam and
 * lParam of WM_DRAWITEM. */
typedef int (*xled_draw_fn)(UINT id, DRAWITEMSTRUCT *item);

struct xled {
    xled_ops *ops;
    xwidget *widget; /* the owner-drawn button */
    HMODULE widget_lib;
    new_xwidget_fn new_widget;
    delete_xwidget_fn delete_widget;
    HICON icons[XLED_LOOKS];
    HICON current;
    int32_t id;
};

struct xled_ops {
    int (*bind)(xled *l);
    int (*unbind)(xled *l);
    int (*create)(xled *l, HINSTANCE icons, HWND parent, int id, int width, int height, int x, int y,
                  int final_width, int final_height);
    int (*destroy)(xled *l);
    int (*load_icons)(xled *l, HINSTANCE module, int first_id, int width, int height);
    int (*select)(xled *l, int index);
    int (*draw)(xled *l, DRAWITEMSTRUCT *item);
    int (*move)(xled *l, int x, int y, int width, int height);
    int (*set_state)(xled *l, int index, xled_draw_fn draw);
};

typedef int (*new_xled_fn)(xled **out);
typedef int (*delete_xled_fn)(xled **p);

#endif
