/* Icons: .ico files carried as RT_GROUP_ICON resources, decoded into
 * images (uncompressed 1, 4, 8, 24 and 32 bits per pixel with their AND
 * mask, or PNG entries). */
#include "gdi_objects.h"

#include <QPainter>

#include <string.h>

namespace {

uint16_t u16(const BYTE *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const BYTE *p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

/* One icon image: a BITMAPINFOHEADER of twice the height, palette, colour
 * rows and mask rows, both bottom-up. */
QImage decode_dib(const BYTE *p, uint32_t size)
{
    if (size < 40 || u32(p) < 40)
        return QImage();
    const int w = static_cast<int>(u32(p + 4));
    const int h = static_cast<int>(u32(p + 8)) / 2;
    const int bpp = u16(p + 14);
    if (w <= 0 || h <= 0 || w > 256 || h > 256 || u32(p + 16) != 0)
        return QImage();
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return QImage();
    uint32_t colors = bpp <= 8 ? (u32(p + 32) ? u32(p + 32) : 1u << bpp) : 0;
    if (colors > 256)
        return QImage();
    const uint32_t header = u32(p);
    const uint32_t palette = header;
    const uint32_t xor_at = palette + colors * 4;
    const uint32_t xor_stride = ((static_cast<uint32_t>(w) * bpp + 31) / 32) * 4;
    const uint32_t and_at = xor_at + xor_stride * static_cast<uint32_t>(h);
    const uint32_t and_stride = ((static_cast<uint32_t>(w) + 31) / 32) * 4;
    const bool has_mask = and_at + and_stride * static_cast<uint32_t>(h) <= size;
    if (and_at > size)
        return QImage();
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; y++) {
        const BYTE *row = p + xor_at + xor_stride * static_cast<uint32_t>(h - 1 - y);
        const BYTE *mrow = p + and_at + and_stride * static_cast<uint32_t>(h - 1 - y);
        for (int x = 0; x < w; x++) {
            uint32_t b = 0, g = 0, r = 0, a = 255;
            if (bpp <= 8) {
                unsigned bitpos = static_cast<unsigned>(x * bpp);
                unsigned idx = (row[bitpos / 8] >> (8 - bpp - bitpos % 8)) & ((1u << bpp) - 1);
                if (idx < colors) {
                    const BYTE *c = p + palette + idx * 4;
                    b = c[0], g = c[1], r = c[2];
                }
            } else {
                const BYTE *c = row + x * (bpp / 8);
                b = c[0], g = c[1], r = c[2];
                if (bpp == 32)
                    a = c[3];
            }
            if (bpp != 32 && has_mask && (mrow[x / 8] >> (7 - x % 8) & 1))
                a = 0;
            img.setPixel(x, y, qRgba(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b), static_cast<int>(a)));
        }
    }
    return img;
}

/* The entry closest in size to cx x cy, scaled to it. */
QImage decode_ico(const BYTE *data, DWORD size, int cx, int cy)
{
    if (size < 6 || u16(data) != 0 || u16(data + 2) != 1)
        return QImage();
    const int count = u16(data + 4);
    QImage best;
    int best_diff = 1 << 30;
    for (int i = 0; i < count; i++) {
        const BYTE *e = data + 6 + 16 * i;
        if (6 + 16 * static_cast<DWORD>(i + 1) > size)
            break;
        uint32_t len = u32(e + 8), off = u32(e + 12);
        if (off >= size || len > size - off)
            continue;
        QImage img = len >= 8 && memcmp(data + off, "\x89PNG", 4) == 0
                         ? QImage::fromData(data + off, static_cast<int>(len), "PNG")
                         : decode_dib(data + off, len);
        if (img.isNull())
            continue;
        int diff = abs(img.width() - cx) + abs(img.height() - cy);
        if (diff < best_diff) {
            best = img;
            best_diff = diff;
        }
    }
    if (!best.isNull() && (best.width() != cx || best.height() != cy))
        best = best.scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return best.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

namespace ui {

QImage icon_image(HICON icon)
{
    GdiObject o(GdiObject::Icon);
    return gdi_get(icon, &o) && o.kind == GdiObject::Icon ? o.image : QImage();
}

} // namespace ui

using ui::GdiObject;

extern "C" HANDLE LoadImageA(HINSTANCE module, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
    (void)flags;
    if (type != IMAGE_ICON || !IS_INTRESOURCE(name)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    DWORD size = 0;
    const BYTE *data = PlatformFindResource(module, RT_GROUP_ICON, LOWORD(name), &size);
    if (data == nullptr)
        return nullptr;
    QImage img = decode_ico(data, size, cx > 0 ? cx : 16, cy > 0 ? cy : 16);
    if (img.isNull()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    GdiObject o(GdiObject::Icon);
    o.image = img;
    return ui::gdi_insert(o);
}

extern "C" HICON LoadIconA(HINSTANCE module, LPCSTR name)
{
    return static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
}

extern "C" BOOL DestroyIcon(HICON icon)
{
    GdiObject o(GdiObject::Icon);
    if (!ui::gdi_get(icon, &o) || o.kind != GdiObject::Icon || o.stock) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return ui::gdi_erase(icon) ? TRUE : FALSE;
}

extern "C" BOOL GetIconInfo(HICON icon, PICONINFO info)
{
    QImage img = ui::icon_image(icon);
    if (img.isNull() || info == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    GdiObject color(GdiObject::Bitmap);
    color.image = img.convertToFormat(QImage::Format_RGB32);
    GdiObject mask(GdiObject::Bitmap);
    mask.image = img.createAlphaMask();
    info->fIcon = TRUE;
    info->xHotspot = static_cast<DWORD>(img.width() / 2);
    info->yHotspot = static_cast<DWORD>(img.height() / 2);
    info->hbmColor = static_cast<HBITMAP>(ui::gdi_insert(color));
    info->hbmMask = static_cast<HBITMAP>(ui::gdi_insert(mask));
    return TRUE;
}

extern "C" BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker_free,
                           UINT flags)
{
    (void)step;
    (void)flicker_free;
    QImage img = ui::icon_image(icon);
    if (img.isNull()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    QPainter *p = ui::dc_painter(dc);
    if (p == nullptr) {
        GdiObject o(GdiObject::Dc);
        if (!ui::gdi_get(dc, &o) || o.kind != GdiObject::Dc) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        ui::dc_repaint_later(dc);
        return TRUE;
    }
    if ((flags & DI_NORMAL) == 0)
        return TRUE;
    QRect target(x, y, cx > 0 ? cx : img.width(), cy > 0 ? cy : img.height());
    p->drawImage(target, img);
    return TRUE;
}
