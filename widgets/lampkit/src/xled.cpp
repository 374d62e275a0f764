/* xled: the lamp object. The button is an xwidget from panelkit, loaded by
 * file name when the lamp is created; the looks are 13 icon resources of the
 * module the caller names. */
#include "xled.h"
#include "xobject.h"

#define LAMPKIT_API __attribute__((visibility("default")))

namespace {

int bind(xled *l)
{
    static const char *const names[] = {"new_xwidget", "delete_xwidget"};
    void *const slots[] = {&l->new_widget, &l->delete_widget};
    return x_bind_library(&l->widget_lib, "./panelkit.dll", slots, names, 2);
}

int unbind(xled *l)
{
    if (l->widget_lib != nullptr)
        FreeLibrary(l->widget_lib);
    l->widget_lib = nullptr;
    return 0;
}

int load_icons(xled *l, HINSTANCE module, int first_id, int width, int height)
{
    for (int i = 0; i < XLED_LOOKS; i++)
        l->icons[i] = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(first_id + i), IMAGE_ICON,
                                                    width ? width : 16, height ? height : 16, LR_DEFAULTCOLOR));
    l->current = l->icons[0];
    return 0;
}

int move(xled *l, int x, int y, int width, int height)
{
    if (l->widget != nullptr)
        l->widget->ops->move(l->widget, x, y, width, height);
    return 0;
}

/* Without panelkit the lamp cannot exist: create refuses with -1 and the
 * other operations then do nothing. */
int create(xled *l, HINSTANCE icons, HWND parent, int id, int width, int height, int x, int y, int final_width,
           int final_height)
{
    if (bind(l) != 0 || l->new_widget(&l->widget) != 0 || l->widget == nullptr)
        return -1;
    l->widget->ops->create(l->widget, 0, "button", nullptr, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0,
                           width ? width : 16, height ? height : 16, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), icons);
    l->id = id;
    load_icons(l, icons, 101, 0, 0);
    move(l, x, y, final_width, final_height);
    return 0;
}

int destroy(xled *l)
{
    if (l->delete_widget != nullptr)
        l->delete_widget(&l->widget);
    unbind(l);
    return 0;
}

/* An index past the 13 looks keeps the current one. */
int select(xled *l, int index)
{
    index &= 0xFF;
    if (index >= XLED_LOOKS)
        return -1;
    l->current = l->icons[index];
    return 0;
}

int draw(xled *l, DRAWITEMSTRUCT *item)
{
    ICONINFO info;
    if (item == nullptr || !GetIconInfo(l->current, &info))
        return 0;
    BITMAP bm = {};
    GetObjectA(info.hbmColor, sizeof bm, &bm);
    DrawIconEx(item->hDC, item->rcItem.left, item->rcItem.top, l->current, bm.bmWidth, bm.bmHeight, 0, nullptr,
               DI_NORMAL);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return 0;
}

int set_state(xled *l, int index, xled_draw_fn draw_fn)
{
    if (l->widget == nullptr)
        return 0;
    HWND button = l->widget->hwnd;
    DRAWITEMSTRUCT d = {};
    d.CtlType = ODT_BUTTON;
    d.CtlID = static_cast<UINT>(l->id);
    d.itemID = static_cast<UINT>(l->id);
    d.itemAction = ODA_SELECT;
    d.itemState = ODS_SELECTED | ODS_FOCUS;
    d.hwndItem = button;
    d.hDC = GetDC(button);
    GetClientRect(button, &d.rcItem);
    select(l, index);
    if (draw_fn != nullptr)
        draw_fn(static_cast<UINT>(l->id), &d);
    return ReleaseDC(button, d.hDC);
}

void fill(xled_ops *ops)
{
    ops->bind = bind;
    ops->unbind = unbind;
    ops->create = create;
    ops->destroy = destroy;
    ops->load_icons = load_icons;
    ops->select = select;
    ops->draw = draw;
    ops->move = move;
    ops->set_state = set_state;
}

} // namespace

extern "C" LAMPKIT_API int new_xled(xled **out) { return x_new(out, &xled::ops, fill); }

extern "C" LAMPKIT_API int delete_xled(xled **p) { return x_delete(p, &xled::ops); }
