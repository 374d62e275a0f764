/* Dialogs from the test program's own templates. */
#include "ui_support.h"

namespace {

LPARAM init_param = 0;
HWND first_control = nullptr;

INT_PTR CALLBACK dialog_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_INITDIALOG) {
        init_param = lparam;
        first_control = reinterpret_cast<HWND>(wparam);
        PostMessageA(hwnd, WM_USER, 0, 0);
        return TRUE;
    }
    if (msg == WM_USER) {
        EndDialog(hwnd, 77);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK quitting_proc(HWND hwnd, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_INITDIALOG)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    if (msg == WM_CLOSE)
        PostQuitMessage(18);
    return FALSE;
}

using Dialogs = UiTest;

TEST_F(Dialogs, ModelessDialogHasTemplateControls)
{
    HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(200), nullptr, dialog_proc, 5);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(init_param, 5);
    HWND edit = GetDlgItem(dlg, 300);
    EXPECT_EQ(first_control, edit);
    char text[32];
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "hello \"there\"");
    GetWindowTextA(dlg, text, sizeof text);
    EXPECT_STREQ(text, "Test dialog");
    RECT r;
    GetWindowRect(dlg, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_TRUE(IsWindowVisible(dlg));
    DestroyWindow(dlg);
}

TEST_F(Dialogs, ModalDialogReturnsEndDialogResult)
{
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(200), nullptr, dialog_proc, 9), 77);
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr);
}

TEST_F(Dialogs, QuitEndsModalLoopAndIsPostedAgain)
{
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(200), nullptr, quitting_proc, 0), 0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(m.wParam, 18u);
}

TEST_F(Dialogs, MissingOrBrokenTemplateIsRefused)
{
    EXPECT_EQ(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(999), nullptr, dialog_proc, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(201), nullptr, dialog_proc, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(999), nullptr, dialog_proc, 0), -1);
}

} // namespace
