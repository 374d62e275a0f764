/* Windows and controls: the procedure chain for input, notifications,
 * destruction of a tree, look-ups, texts, layered windows and dialogs. */
#include "ui_support.h"

#include <QComboBox>
#include <QTest>

#include <string>
#include <vector>

namespace {

std::vector<std::string> events;
WNDPROC button_own = nullptr;
bool pass_on = true;

LRESULT CALLBACK parent_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_COMMAND)
        events.push_back("command " + std::to_string(LOWORD(wparam)) + " " + std::to_string(HIWORD(wparam)));
    if (msg == WM_DESTROY)
        events.push_back("destroy parent");
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

LRESULT CALLBACK subclass_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_LBUTTONDOWN)
        events.push_back("down");
    if (msg == WM_COMMAND && HIWORD(wparam) == LBN_SELCHANGE)
        events.push_back("list selchange");
    if (msg == WM_DESTROY)
        events.push_back("destroy child");
    if (msg == WM_LBUTTONDOWN && !pass_on)
        return 0;
    return CallWindowProcA(button_own, hwnd, msg, wparam, lparam);
}

class Windows : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        events.clear();
        pass_on = true;
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = parent_proc;
        wc.lpszClassName = "panel";
        RegisterClassExA(&wc);
        top = CreateWindowExA(0, "panel", "top", WS_CAPTION | WS_SYSMENU, 0, 0, 300, 200, nullptr, nullptr,
                              nullptr, nullptr);
        ASSERT_NE(top, nullptr);
        ShowWindow(top, SW_SHOW);
    }
    void TearDown() override
    {
        if (IsWindow(top))
            DestroyWindow(top);
    }
    HWND child(const char *cls, DWORD style, int id, const char *text = "")
    {
        return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, 10, 120, 24, top,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    }
    HWND top = nullptr;
};

TEST_F(Windows, SubclassSeesButtonDownFirstAndDecidesWhetherTheButtonActs)
{
    HWND b = child("button", 0, 7, "Go");
    button_own = reinterpret_cast<WNDPROC>(SetWindowLongA(b, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(subclass_proc)));
    ASSERT_NE(button_own, nullptr);
    QTest::mouseClick(widget_of(b), Qt::LeftButton);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "command 7 0"}));

    events.clear();
    pass_on = false; /* swallowed: the button never saw its press */
    QTest::mouseClick(widget_of(b), Qt::LeftButton);
    EXPECT_EQ(events, (std::vector<std::string>{"down"}));
}

TEST_F(Windows, ComboBoxProcedureGetsListSelectionThenParentIsNotified)
{
    HWND cb = child("combobox", CBS_DROPDOWNLIST | WS_VSCROLL, 12);
    SendMessageA(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("ASCII"));
    SendMessageA(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("HEX"));
    EXPECT_EQ(SendMessageA(cb, CB_GETCURSEL, 0, 0), CB_ERR); /* adding selects nothing */
    SendMessageA(cb, CB_SETCURSEL, 0, 0);
    button_own = reinterpret_cast<WNDPROC>(SetWindowLongA(cb, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(subclass_proc)));
    events.clear();
    QTest::keyClick(widget_of(cb), Qt::Key_Down);
    EXPECT_EQ(events, (std::vector<std::string>{"list selchange", "command 12 1"}));
    EXPECT_EQ(SendMessageA(cb, CB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(events.size() == 2);
    events.clear();
    SendMessageA(cb, CB_SETCURSEL, 0, 0); /* a program's own change notifies nobody */
    EXPECT_TRUE(events.empty());
}

TEST_F(Windows, DestroyingParentDestroysChildrenAfterIt)
{
    HWND b = child("button", 0, 1);
    SetWindowLongA(b, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(subclass_proc));
    button_own = reinterpret_cast<WNDPROC>(DefWindowProcA);
    EXPECT_TRUE(DestroyWindow(top));
    EXPECT_EQ(events, (std::vector<std::string>{"destroy parent", "destroy child"}));
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(SendMessageA(b, WM_GETTEXTLENGTH, 0, 0), 0);
    pump_for(20); /* the widgets go once the loop runs */
}

TEST_F(Windows, LookUpsTextsAndStyles)
{
    HWND a = child("edit", ES_CENTER, 1004, "127.0.0.1");
    HWND b = child("button", 0, 1006, "first");
    child("button", 0, 1006, "second");
    EXPECT_EQ(GetDlgItem(top, 1004), a);
    EXPECT_EQ(GetDlgItem(top, 1006), b); /* the first of a shared id */
    EXPECT_EQ(GetDlgItem(top, 99), nullptr);
    EXPECT_EQ(GetDlgCtrlID(a), 1004);
    EXPECT_EQ(GetParent(a), top);
    EXPECT_EQ(FindWindowA("PANEL", nullptr), top);
    EXPECT_EQ(FindWindowA(nullptr, "top"), top);
    EXPECT_EQ(FindWindowA("panel", "other"), nullptr);

    char buf[8];
    EXPECT_EQ(GetWindowTextA(a, buf, sizeof buf), 7);
    EXPECT_STREQ(buf, "127.0.0");
    EXPECT_TRUE(SetDlgItemTextA(top, 1006, "Write"));
    EXPECT_EQ(GetWindowTextA(b, buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "Write");
    SetWindowTextA(top, "caption");
    EXPECT_EQ(widget_of(top)->windowTitle().toStdString(), "caption");

    EXPECT_EQ(GetWindowLongA(b, GWL_STYLE) & WS_CHILD, static_cast<LONG_PTR>(WS_CHILD));
    EXPECT_EQ(CreateWindowExA(0, "no such class", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(CreateWindowExA(0, "button", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Windows, PlacementAndWorkArea)
{
    EXPECT_TRUE(MoveWindow(top, 30, 40, 605, 725, TRUE));
    RECT r, c;
    ASSERT_TRUE(GetWindowRect(top, &r));
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, 605);
    EXPECT_EQ(r.bottom - r.top, 725);
    ASSERT_TRUE(GetClientRect(top, &c));
    EXPECT_EQ(c.right, 605);
    /* no sizing border: the user cannot resize it */
    EXPECT_EQ(widget_of(top)->minimumSize(), widget_of(top)->maximumSize());

    HWND cb = child("combobox", CBS_DROPDOWNLIST, 1);
    MoveWindow(cb, 5, 10, 80, 500, TRUE);
    ASSERT_TRUE(GetWindowRect(cb, &r));
    EXPECT_LT(r.bottom - r.top, 60); /* 500 is the dropped-down height */

    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_GT(work.right, 0);
    EXPECT_GT(work.bottom, 0);
}

TEST_F(Windows, LayeredAlphaNeedsLayeredStyle)
{
    EXPECT_FALSE(SetLayeredWindowAttributes(top, 0, 128, LWA_ALPHA));
    HWND layered = CreateWindowExA(WS_EX_LAYERED, "panel", "", 0, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(SetLayeredWindowAttributes(layered, 0, 128, LWA_ALPHA));
    EXPECT_NEAR(widget_of(layered)->windowOpacity(), 128 / 255.0, 0.01);
    DestroyWindow(layered);
}

} // namespace
