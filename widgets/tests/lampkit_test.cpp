/* xled through lampkit's exports: the button, its looks, and set_state from
 * a worker thread, checked on grabbed images. */
#include "ui_support.h"
#include "xled.h"

#include <atomic>
#include <thread>

namespace {

xled *the_lamp = nullptr;
int drawn = 0;

int draw_lamp(UINT id, DRAWITEMSTRUCT *item)
{
    if (the_lamp != nullptr && id == static_cast<UINT>(the_lamp->id)) {
        drawn++;
        the_lamp->ops->draw(the_lamp, item);
    }
    return 0;
}

LRESULT CALLBACK panel_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_DRAWITEM)
        draw_lamp(static_cast<UINT>(wparam), reinterpret_cast<DRAWITEMSTRUCT *>(lparam));
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

class Lampkit : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        lib = LoadLibraryA("./lampkit.dll");
        ASSERT_NE(lib, nullptr);
        auto make = reinterpret_cast<new_xled_fn>(GetProcAddress(lib, "new_xled"));
        free_ = reinterpret_cast<delete_xled_fn>(GetProcAddress(lib, "delete_xled"));
        ASSERT_NE(make, nullptr);
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = panel_proc;
        wc.hbrBackground = CreateSolidBrush(RGB(255, 255, 255));
        wc.lpszClassName = "lamp panel";
        RegisterClassExA(&wc);
        panel = CreateWindowExA(0, "lamp panel", "", WS_VISIBLE, 0, 0, 100, 60, nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(make(&lamp), 0);
        the_lamp = lamp;
        drawn = 0;
        /* lampkit's own module carries the looks too */
        ASSERT_EQ(lamp->ops->create(lamp, lib, panel, 1013, 0, 0, 20, 10, 50, 20), 0);
    }
    void TearDown() override
    {
        lamp->ops->destroy(lamp);
        EXPECT_EQ(lamp->widget, nullptr);
        EXPECT_EQ(lamp->widget_lib, nullptr);
        free_(&lamp);
        the_lamp = nullptr;
        DestroyWindow(panel);
        FreeLibrary(lib);
    }
    /* The colour at the middle of the lamp's face, from a grab of the panel. */
    QRgb face()
    {
        QImage img = grab(panel);
        EXPECT_FALSE(img.isNull());
        return img.pixel(20 + 8, 10 + 8) & 0xFFFFFF;
    }
    HMODULE lib = nullptr;
    delete_xled_fn free_ = nullptr;
    HWND panel = nullptr;
    xled *lamp = nullptr;
};

TEST_F(Lampkit, CreateMakesOwnerDrawnButtonMovedToItsFinalSize)
{
    EXPECT_NE(lamp->widget_lib, nullptr);
    EXPECT_EQ(GetDlgItem(panel, 1013), lamp->widget->hwnd);
    EXPECT_EQ(GetWindowLongA(lamp->widget->hwnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    RECT r;
    GetClientRect(lamp->widget->hwnd, &r);
    EXPECT_EQ(r.right, 50);
    EXPECT_EQ(r.bottom, 20);
    for (HICON icon : lamp->icons)
        EXPECT_NE(icon, nullptr);
    EXPECT_EQ(lamp->current, lamp->icons[0]);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(lamp->current, &info));
    BITMAP bm;
    EXPECT_EQ(GetObjectA(info.hbmColor, 24, &bm), 24); /* what a 32-bit caller asks for */
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, 16);
    EXPECT_TRUE(DeleteObject(info.hbmColor));
    EXPECT_TRUE(DeleteObject(info.hbmMask));
    EXPECT_EQ(face(), 0xFFFFFFu); /* index 0, white */
    QImage img = grab(panel);
    EXPECT_EQ(img.pixel(20 + 7, 10 + 1) & 0xFFFFFF, 0u); /* the black outer ring */
    EXPECT_EQ(img.pixel(20 + 40, 10 + 10) & 0xFFFFFF, 0xFFFFFFu); /* the rest of the button is not painted */
}

/* Runs set_state on a worker while this (the window) thread serves it. */
void set_state_from_worker(xled *lamp, int index)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        lamp->ops->set_state(lamp, index, draw_lamp);
        done = true;
    });
    while (!done)
        pump_for(5);
    worker.join();
}

TEST_F(Lampkit, SetStateFromWorkerThreadChangesTheLook)
{
    set_state_from_worker(lamp, 4);
    EXPECT_GE(drawn, 1); /* and the repaints it scheduled draw again */
    EXPECT_EQ(lamp->current, lamp->icons[4]);
    pump_for(20);
    EXPECT_EQ(face(), 0x00FF00u);
    set_state_from_worker(lamp, 0);
    pump_for(20);
    EXPECT_EQ(face(), 0xFFFFFFu);
}

TEST_F(Lampkit, LooksByIndex)
{
    const struct {
        int index;
        QRgb face;
    } cases[] = {{3, 0xFF0000u}, {6, 0xFFFF00u}, {8, 0x008080u}, {12, 0xFFFFFFu /* the panel shows through */}};
    for (const auto &c : cases) {
        EXPECT_EQ(lamp->ops->set_state(lamp, c.index, nullptr), 1); /* ReleaseDC's result */
        EXPECT_EQ(face(), c.face) << c.index;
    }
    lamp->ops->select(lamp, 13); /* past the looks: kept */
    EXPECT_EQ(lamp->current, lamp->icons[12]);
    lamp->ops->select(lamp, 0x104); /* low byte 4 */
    EXPECT_EQ(lamp->current, lamp->icons[4]);
}

} // namespace
