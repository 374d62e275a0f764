/* GDI objects of platform_ui: one table of brushes, bitmaps, icons, fonts
 * and device contexts, guarded by its lock. Handles are never reused. */
#ifndef PLATFORM_UI_GDI_OBJECTS_H
#define PLATFORM_UI_GDI_OBJECTS_H

#include "ui_internal.h"

#include <QColor>
#include <QImage>

namespace ui {

struct GdiObject {
    enum Kind { Brush, Bitmap, Icon, Dc } kind;
    explicit GdiObject(Kind k) : kind(k) {}
    bool stock = false;
    QColor color;          /* Brush */
    bool hollow = false;   /* Brush */
    QImage image;          /* Bitmap, Icon */
    HWND hwnd = nullptr;   /* Dc */
    QPainter *painter = nullptr; /* Dc: null for a window DC from GetDC */
    int bk_mode = OPAQUE;  /* Dc */
    COLORREF bk_color = RGB(255, 255, 255);
    COLORREF text_color = 0;
};

HGDIOBJ gdi_insert(const GdiObject &obj);
/* A copy of the object (kind checked by the caller); false when unknown. */
bool gdi_get(HGDIOBJ h, GdiObject *out);
/* Changes a DC's settings under the lock. */
bool gdi_update_dc(HDC dc, int *bk_mode, COLORREF *bk_color, COLORREF *text_color);
bool gdi_erase(HGDIOBJ h);

} // namespace ui

#endif
