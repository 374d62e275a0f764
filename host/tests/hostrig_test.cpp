/* hostrig through its exports: the table, the callback order in both modes,
 * the quit code. ctest runs every test in a process of its own, so each
 * starts without the host's window class. */
#include "hostrig.h"
#include "ui_support.h"

#include <stddef.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;
HWND main_window = nullptr;
const HostFunctionTable *seen_table = nullptr;
int app_value = 7;

void record(const std::string &s)
{
    if (calls.empty() || calls.back() != s)
        calls.push_back(s);
}

int on_message(LONG_PTR hwnd, LONG_PTR msg, LONG_PTR, LONG_PTR, LONG_PTR e)
{
    EXPECT_EQ(e, 0);
    record("message");
    if (msg == WM_INITDIALOG) /* dialog mode: close it at once */
        PostMessageA(reinterpret_cast<HWND>(hwnd), WM_CLOSE, 0, 0);
    return 0;
}

int on_pretranslate(LONG_PTR hwnd, LONG_PTR msg, LONG_PTR, LONG_PTR, LONG_PTR)
{
    EXPECT_EQ(reinterpret_cast<HWND>(hwnd), main_window);
    if (reinterpret_cast<const MSG *>(msg)->message == WM_CLOSE)
        record("pretranslate close");
    return 0;
}

int on_init(LONG_PTR app, LONG_PTR table, LONG_PTR c, LONG_PTR d, LONG_PTR)
{
    EXPECT_EQ(reinterpret_cast<int *>(app), &app_value);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(d, 0);
    seen_table = reinterpret_cast<const HostFunctionTable *>(table);
    record("init");
    return 0;
}

int on_register(LONG_PTR, LONG_PTR table, LONG_PTR instance, LONG_PTR, LONG_PTR)
{
    EXPECT_EQ(reinterpret_cast<const HostFunctionTable *>(table), seen_table);
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(instance), GetModuleHandleA(nullptr));
    record("register");
    return 0;
}

int on_create(LONG_PTR, LONG_PTR, LONG_PTR, LONG_PTR window, LONG_PTR)
{
    main_window = reinterpret_cast<HWND>(window);
    record("create");
    return 0;
}

int on_ready(LONG_PTR, LONG_PTR, LONG_PTR, LONG_PTR window, LONG_PTR dialog)
{
    EXPECT_EQ(reinterpret_cast<HWND>(window), main_window);
    record("ready " + std::to_string(dialog));
    if (window != 0)
        PostMessageA(main_window, WM_CLOSE, 0, 0);
    return 0;
}

const AppCallbacks callbacks = {on_message, on_pretranslate, on_init, on_register, on_create, on_ready};

class Hostrig : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        calls.clear();
        main_window = nullptr;
        lib = LoadLibraryA("hostrig.dll");
        ASSERT_NE(lib, nullptr);
        entry = reinterpret_cast<hostrig_fn>(GetProcAddress(lib, "hostrig"));
        init = reinterpret_cast<OnInitFx_fn>(GetProcAddress(lib, "OnInitFx"));
        ASSERT_NE(entry, nullptr);
        ASSERT_NE(init, nullptr);
    }
    HMODULE lib = nullptr;
    hostrig_fn entry = nullptr;
    OnInitFx_fn init = nullptr;
};

TEST_F(Hostrig, OnInitFxFillsEverySlotItCan)
{
    HostFunctionTable t;
    memset(&t, 0xAB, sizeof t);
    EXPECT_EQ(init(&t), 0);
    EXPECT_NE(t.utilbox, nullptr);
    EXPECT_NE(t.panelkit, nullptr);
    EXPECT_NE(t.lampkit, nullptr);
    EXPECT_EQ(t.picturekit, nullptr); /* outside components, absent here */
    EXPECT_EQ(t.moviekit, nullptr);
    EXPECT_NE(t.new_xwidget, nullptr);
    EXPECT_NE(t.delete_xled, nullptr);
    EXPECT_EQ(t.new_ximage, nullptr);
    EXPECT_EQ(t.delete_xvideopack, nullptr);
    EXPECT_EQ(t.get_version, nullptr);
    EXPECT_EQ(t.request_result, nullptr);
    EXPECT_EQ(t.get_trimstr, GetProcAddress(t.utilbox, "get_trimstr"));
    EXPECT_EQ(t.on_full_screen, GetProcAddress(t.utilbox, "on_full_screen"));
    const FARPROC *first = &t.get_trimstr;
    int null_slots = 0;
    for (size_t i = 0; i < 63; i++)
        null_slots += first[i] == nullptr;
    EXPECT_EQ(null_slots, 2);
}

TEST_F(Hostrig, MainWindowModeCallsInOrderAndEndsWhenTheWindowCloses)
{
    EXPECT_EQ(entry(GetModuleHandleA(nullptr), &app_value, 0, &callbacks), 0);
    /* creation's own messages reach on_message before on_create */
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 5),
              (std::vector<std::string>{"init", "register", "message", "create", "ready 0"}));
    EXPECT_NE(std::find(calls.begin() + 5, calls.end(), "pretranslate close"), calls.end());
    EXPECT_FALSE(IsWindow(main_window));
    /* WM_CLOSE and then WM_DESTROY each posted quit code 18; the first ended the loop */
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(m.wParam, static_cast<WPARAM>(HOSTRIG_QUIT_CODE));
}

TEST_F(Hostrig, MainWindowIsAnInvisible640x500HostrigWindow)
{
    static RECT rect;
    static char title[32];
    static BOOL visible = TRUE;
    AppCallbacks cbs = callbacks;
    cbs.on_ready = [](LONG_PTR, LONG_PTR, LONG_PTR, LONG_PTR window, LONG_PTR) {
        HWND w = reinterpret_cast<HWND>(window);
        GetWindowRect(w, &rect);
        GetWindowTextA(w, title, sizeof title);
        visible = IsWindowVisible(w);
        EXPECT_EQ(FindWindowA("hostrig", nullptr), w);
        PostMessageA(w, WM_CLOSE, 0, 0);
        return 0;
    };
    EXPECT_EQ(entry(GetModuleHandleA(nullptr), &app_value, 0, &cbs), 0);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 640);
    EXPECT_EQ(rect.bottom, 500);
    EXPECT_STREQ(title, "hostrig");
    EXPECT_FALSE(visible);
}

TEST_F(Hostrig, DialogModeRegistersNoClassAndPassesNoWindow)
{
    EXPECT_EQ(entry(GetModuleHandleA(nullptr), &app_value, 300, &callbacks), 0);
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 5),
              (std::vector<std::string>{"init", "register", "create", "ready 300", "message"}));
    EXPECT_EQ(main_window, nullptr);
    EXPECT_EQ(CreateWindowExA(0, "hostrig", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

} // namespace
