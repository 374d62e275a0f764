/* Window placement with real windows (the window layer loaded). */
#include "ui_support.h"
#include "utilbox.h"

namespace {

class Placement : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "placed";
        RegisterClassExA(&wc);
        top = CreateWindowExA(0, "placed", "", 0, 50, 60, 300, 200, nullptr, nullptr, nullptr, nullptr);
        inner = CreateWindowExA(0, "placed", "", WS_CHILD, 0, 0, 100, 51, top, nullptr, nullptr, nullptr);
        ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    }
    void TearDown() override { DestroyWindow(top); }
    RECT rect(HWND h)
    {
        RECT r = {};
        GetWindowRect(h, &r);
        return r;
    }
    HWND top = nullptr, inner = nullptr;
    RECT work = {};
};

TEST_F(Placement, CentreOnWorkAreaWithoutParent)
{
    EXPECT_NE(on_center(nullptr, top), 0);
    RECT r = rect(top);
    EXPECT_EQ(r.left, (work.right - 300) / 2);
    EXPECT_EQ(r.top, (work.bottom - 200) / 2);
    EXPECT_EQ(r.right - r.left, 300); /* the size is kept */
    EXPECT_TRUE(IsWindowVisible(top));
}

TEST_F(Placement, CentreInParentSizeWithParent)
{
    EXPECT_NE(on_center(top, inner), 0);
    RECT p = rect(top), r = rect(inner);
    /* relative to the parent: (300-100)/2, (200-51)/2 rounded toward zero */
    EXPECT_EQ(r.left - p.left, 100);
    EXPECT_EQ(r.top - p.top, 74);
    EXPECT_TRUE(GetWindowLongA(inner, GWL_STYLE) & WS_VISIBLE); /* shown; its parent is not */
}

TEST_F(Placement, FullScreenTakesTheWorkArea)
{
    EXPECT_NE(on_full_screen(top), 0);
    RECT r = rect(top);
    EXPECT_EQ(r.left, work.left);
    EXPECT_EQ(r.top, work.top);
    EXPECT_EQ(r.right - r.left, work.right);
    EXPECT_EQ(r.bottom - r.top, work.bottom);
}

} // namespace
