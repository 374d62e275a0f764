/* Device contexts, brushes and stock objects. A DC handed to WM_PAINT,
 * WM_ERASEBKGND or WM_DRAWITEM wraps the painter of the paint in progress;
 * a window DC from GetDC has none, and drawing on it has the window
 * repainted on its own thread (where it draws with a real painter). */
#include "gdi_objects.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>

#include <string.h>

#include <mutex>
#include <unordered_map>

namespace {

std::mutex gdi_lock; /* guards objects and next_handle */
std::unordered_map<HGDIOBJ, ui::GdiObject> &objects()
{
    static auto *o = new std::unordered_map<HGDIOBJ, ui::GdiObject>;
    return *o;
}
uintptr_t next_handle = 0x20000;

QColor from_colorref(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

/* Brushes given as a system colour index + 1 (class backgrounds). */
QColor system_color(uintptr_t index)
{
    switch (index) {
    case COLOR_WINDOW:
        return Qt::white;
    case COLOR_BTNFACE:
        return QColor(240, 240, 240);
    default:
        return QColor(192, 192, 192);
    }
}

/* Repaints a window on the GUI thread; posted from any thread. */
class RepaintEvent : public QEvent {
public:
    explicit RepaintEvent(HWND h) : QEvent(type()), hwnd(h) {}
    static QEvent::Type type()
    {
        static const QEvent::Type t = static_cast<QEvent::Type>(QEvent::registerEventType());
        return t;
    }
    HWND hwnd;
};

class Repainter : public QObject {
public:
    using QObject::QObject;
    bool event(QEvent *e) override
    {
        if (e->type() != RepaintEvent::type())
            return QObject::event(e);
        std::shared_ptr<ui::Window> w = ui::find(static_cast<RepaintEvent *>(e)->hwnd);
        if (w && w->widget)
            w->widget->update();
        return true;
    }
};

} // namespace

namespace ui {

HGDIOBJ gdi_insert(const GdiObject &obj)
{
    std::lock_guard<std::mutex> g(gdi_lock);
    HGDIOBJ h = reinterpret_cast<HGDIOBJ>(next_handle);
    next_handle += 4;
    objects().emplace(h, obj);
    return h;
}

bool gdi_get(HGDIOBJ h, GdiObject *out)
{
    std::lock_guard<std::mutex> g(gdi_lock);
    auto it = objects().find(h);
    if (it == objects().end())
        return false;
    *out = it->second;
    return true;
}

bool gdi_update_dc(HDC dc, int *bk_mode, COLORREF *bk_color, COLORREF *text_color)
{
    std::lock_guard<std::mutex> g(gdi_lock);
    auto it = objects().find(dc);
    if (it == objects().end() || it->second.kind != GdiObject::Dc)
        return false;
    GdiObject &o = it->second;
    if (bk_mode != nullptr)
        std::swap(o.bk_mode, *bk_mode);
    if (bk_color != nullptr)
        std::swap(o.bk_color, *bk_color);
    if (text_color != nullptr)
        std::swap(o.text_color, *text_color);
    return true;
}

bool gdi_erase(HGDIOBJ h)
{
    std::lock_guard<std::mutex> g(gdi_lock);
    return objects().erase(h) != 0;
}

HDC make_paint_dc(HWND hwnd, QPainter *painter)
{
    GdiObject o(GdiObject::Dc);
    o.hwnd = hwnd;
    o.painter = painter;
    return static_cast<HDC>(gdi_insert(o));
}

void release_paint_dc(HDC dc) { gdi_erase(dc); }

QPainter *dc_painter(HDC dc)
{
    GdiObject o(GdiObject::Dc);
    return gdi_get(dc, &o) && o.kind == GdiObject::Dc ? o.painter : nullptr;
}

void dc_repaint_later(HDC dc)
{
    GdiObject o(GdiObject::Dc);
    if (!gdi_get(dc, &o) || o.kind != GdiObject::Dc || o.hwnd == nullptr || QCoreApplication::instance() == nullptr)
        return;
    static Repainter *repainter = [] {
        auto *r = new Repainter;
        r->moveToThread(QCoreApplication::instance()->thread());
        return r;
    }();
    QCoreApplication::postEvent(repainter, new RepaintEvent(o.hwnd));
}

QColor brush_color(HBRUSH brush, bool *hollow)
{
    *hollow = false;
    uintptr_t v = reinterpret_cast<uintptr_t>(brush);
    if (v == 0) {
        *hollow = true;
        return QColor();
    }
    if (v <= 31)
        return system_color(v - 1);
    GdiObject o(GdiObject::Brush);
    if (!gdi_get(brush, &o) || o.kind != GdiObject::Brush) {
        *hollow = true;
        return QColor();
    }
    *hollow = o.hollow;
    return o.color;
}

} // namespace ui

using ui::GdiObject;

extern "C" HDC GetDC(HWND hwnd)
{
    if (hwnd != nullptr && !ui::find_or_fail(hwnd))
        return nullptr;
    GdiObject o(GdiObject::Dc);
    o.hwnd = hwnd;
    return static_cast<HDC>(ui::gdi_insert(o));
}

extern "C" int ReleaseDC(HWND hwnd, HDC dc)
{
    GdiObject o(GdiObject::Dc);
    if (!ui::gdi_get(dc, &o) || o.kind != GdiObject::Dc || o.painter != nullptr || o.hwnd != hwnd)
        return 0;
    return ui::gdi_erase(dc) ? 1 : 0;
}

extern "C" int SetBkMode(HDC dc, int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int old = mode;
    if (!ui::gdi_update_dc(dc, &old, nullptr, nullptr)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (QPainter *p = ui::dc_painter(dc))
        p->setBackgroundMode(mode == TRANSPARENT ? Qt::TransparentMode : Qt::OpaqueMode);
    return old;
}

extern "C" COLORREF SetBkColor(HDC dc, COLORREF color)
{
    COLORREF old = color;
    return ui::gdi_update_dc(dc, nullptr, &old, nullptr) ? old : 0xFFFFFFFFu;
}

extern "C" COLORREF SetTextColor(HDC dc, COLORREF color)
{
    COLORREF old = color;
    return ui::gdi_update_dc(dc, nullptr, nullptr, &old) ? old : 0xFFFFFFFFu;
}

extern "C" int FillRect(HDC dc, const RECT *rect, HBRUSH brush)
{
    if (rect == nullptr)
        return 0;
    QPainter *p = ui::dc_painter(dc);
    if (p == nullptr) {
        ui::dc_repaint_later(dc);
        return 1;
    }
    bool hollow = false;
    QColor c = ui::brush_color(brush, &hollow);
    if (!hollow)
        p->fillRect(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top), c);
    return 1;
}

extern "C" HBRUSH CreateSolidBrush(COLORREF color)
{
    GdiObject o(GdiObject::Brush);
    o.color = from_colorref(color);
    return static_cast<HBRUSH>(ui::gdi_insert(o));
}

extern "C" HGDIOBJ GetStockObject(int which)
{
    static const COLORREF colors[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                      RGB(64, 64, 64), RGB(0, 0, 0)};
    static HGDIOBJ stock[NULL_BRUSH + 1] = {};
    static std::once_flag once;
    std::call_once(once, [] {
        for (int i = 0; i <= NULL_BRUSH; i++) {
            GdiObject o(GdiObject::Brush);
            o.stock = true;
            o.hollow = i == NULL_BRUSH;
            if (i < NULL_BRUSH)
                o.color = from_colorref(colors[i]);
            stock[i] = ui::gdi_insert(o);
        }
    });
    if (which < 0 || which > NULL_BRUSH) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return stock[which];
}

extern "C" BOOL DeleteObject(HGDIOBJ obj)
{
    GdiObject o(GdiObject::Brush);
    if (!ui::gdi_get(obj, &o) || o.kind == GdiObject::Dc || o.kind == GdiObject::Icon) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return o.stock || ui::gdi_erase(obj) ? TRUE : FALSE;
}

extern "C" int GetObjectA(HGDIOBJ obj, int size, LPVOID out)
{
    GdiObject o(GdiObject::Brush);
    if (!ui::gdi_get(obj, &o) || o.kind != GdiObject::Bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    BITMAP bm = {};
    bm.bmWidth = o.image.width();
    bm.bmHeight = o.image.height();
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(o.image.depth());
    bm.bmWidthBytes = static_cast<LONG>(o.image.bytesPerLine());
    if (out == nullptr)
        return static_cast<int>(sizeof bm);
    int n = size < static_cast<int>(sizeof bm) ? size : static_cast<int>(sizeof bm);
    if (n <= 0)
        return 0;
    memcpy(out, &bm, static_cast<size_t>(n));
    return n;
}

extern "C" HCURSOR LoadCursorA(HINSTANCE module, LPCSTR name)
{
    (void)module;
    (void)name;
    /* Qt draws the system's arrow: every cursor is one shared stock handle */
    static HCURSOR arrow = [] {
        GdiObject o(GdiObject::Icon);
        o.stock = true;
        return static_cast<HCURSOR>(ui::gdi_insert(o));
    }();
    return arrow;
}
