/* xwidget through panelkit's exports, loaded by name as its users load it. */
#include "ui_support.h"
#include "xwidget.h"

#include <string.h>

#include <string>
#include <vector>

namespace {

LRESULT CALLBACK main_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

class Panelkit : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        lib = LoadLibraryA("./panelkit.dll");
        ASSERT_NE(lib, nullptr);
        make = reinterpret_cast<new_xwidget_fn>(GetProcAddress(lib, "new_xwidget"));
        free_ = reinterpret_cast<delete_xwidget_fn>(GetProcAddress(lib, "delete_xwidget"));
        ASSERT_NE(make, nullptr);
        ASSERT_NE(free_, nullptr);
        main = widget();
        EXPECT_EQ(main->ops->register_class(main, GetModuleHandleA(nullptr), main_proc, "xMainWnd"), 0);
        ASSERT_NE(main->ops->create_main(main, "xMainWnd", 0, nullptr), nullptr);
    }
    void TearDown() override
    {
        for (xwidget *w : made)
            free_(&w);
        FreeLibrary(lib);
    }
    xwidget *widget()
    {
        xwidget *w = nullptr;
        EXPECT_EQ(make(&w), 0);
        made.push_back(w);
        return w;
    }
    xwidget *control(const char *cls, DWORD style, int id = 1)
    {
        xwidget *w = widget();
        w->ops->create(w, 0, cls, nullptr, WS_CHILD | WS_VISIBLE | style, 5, 10, 200, 20, main->hwnd,
                       reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr);
        EXPECT_NE(w->hwnd, nullptr);
        return w;
    }
    HMODULE lib = nullptr;
    new_xwidget_fn make = nullptr;
    delete_xwidget_fn free_ = nullptr;
    xwidget *main = nullptr;
    std::vector<xwidget *> made;
};

TEST_F(Panelkit, NewObjectIsZeroedWithEverySlotFilled)
{
    xwidget *w = widget();
    EXPECT_EQ(w->hwnd, nullptr);
    EXPECT_EQ(w->append_pos, 0);
    void *const *slot = reinterpret_cast<void *const *>(w->ops);
    for (size_t i = 0; i < sizeof(xwidget_ops) / sizeof(void *); i++)
        EXPECT_NE(slot[i], nullptr) << "slot " << i + 1;
    EXPECT_EQ(sizeof(xwidget_ops) / sizeof(void *), 45u);
    /* a wrapper without a window acts on none */
    char buf[256] = "x";
    EXPECT_EQ(w->ops->get_text(w, buf), 0);
    EXPECT_STREQ(buf, "");
}

TEST_F(Panelkit, CreateMainIsHiddenAt00With320x240TitledWithItsClass)
{
    RECT r;
    ASSERT_TRUE(GetWindowRect(main->hwnd, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 320);
    EXPECT_EQ(r.bottom, 240);
    char title[256];
    EXPECT_EQ(main->ops->get_text(main, title), 8);
    EXPECT_STREQ(title, "xMainWnd");
    EXPECT_FALSE(IsWindowVisible(main->hwnd));
    EXPECT_EQ(main->wndclass.lpfnWndProc, main_proc);
    EXPECT_EQ(main->wndclass.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(main->hinstance, GetModuleHandleA(nullptr));
}

TEST_F(Panelkit, CreateAddsSysMenuAndFallsBackToStoredInstance)
{
    xwidget *b = control("button", 0);
    EXPECT_EQ(GetWindowLongA(b->hwnd, GWL_STYLE) & WS_SYSMENU, static_cast<LONG_PTR>(WS_SYSMENU));
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongA(b->hwnd, GWLP_HINSTANCE)), nullptr); /* b stored none */
    b->hinstance = GetModuleHandleA(nullptr);
    b->ops->create(b, 0, "button", "x", WS_CHILD, 0, 0, 10, 10, main->hwnd, nullptr, nullptr);
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongA(b->hwnd, GWLP_HINSTANCE)), GetModuleHandleA(nullptr));
    EXPECT_EQ(b->parent, main->hwnd);
    EXPECT_EQ(b->ops->get_id(b), 0);
}

TEST_F(Panelkit, TextsAreCutTo255)
{
    xwidget *e = control("edit", ES_AUTOHSCROLL);
    std::string long_text(300, 'a');
    e->ops->set_text(e, long_text.c_str());
    char buf[300];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(e->ops->get_text(e, buf), 255);
    EXPECT_EQ(strlen(buf), 255u);
    EXPECT_EQ(e->ops->get_text_n(e, buf, sizeof buf), 299); /* the full text fits 300 with its terminator */
}

TEST_F(Panelkit, EditAppendStartsAgainPastTheCaretLimit)
{
    xwidget *e = control("edit", ES_AUTOHSCROLL);
    e->ops->edit_append(e, "abc");
    e->ops->edit_append(e, "def");
    char buf[256];
    e->ops->get_text(e, buf);
    EXPECT_STREQ(buf, "abcdef");
    EXPECT_EQ(e->append_pos, 3);

    std::string big(65540, 'x'); /* beyond the 30000 of an edit's default limit: create lifted it */
    e->ops->edit_replace_all(e, big.c_str());
    EXPECT_EQ(GetWindowTextLengthA(e->hwnd), 65540);
    e->ops->edit_append(e, "y"); /* records a caret past 65535 */
    EXPECT_EQ(e->append_pos, 65540);
    e->ops->edit_append(e, "new");
    e->ops->get_text(e, buf);
    EXPECT_STREQ(buf, "new");
    e->ops->edit_clear(e);
    EXPECT_EQ(GetWindowTextLengthA(e->hwnd), 0);
}

TEST_F(Panelkit, ComboBoxSelection)
{
    xwidget *cb = control("combobox", CBS_DROPDOWNLIST | WS_VSCROLL);
    char buf[260] = "untouched";
    EXPECT_EQ(cb->ops->cb_select_text(cb, "TCP"), -1); /* empty box */
    EXPECT_EQ(cb->ops->cb_get_selection(cb, buf), -1);
    EXPECT_STREQ(buf, "untouched");
    for (const char *s : {"TCP", "UDP", "RAW"})
        EXPECT_EQ(cb->ops->cb_add(cb, s), 0);
    EXPECT_EQ(cb->ops->cb_count(cb), 3);
    EXPECT_EQ(cb->ops->cb_get_selection(cb, buf), 0);
    EXPECT_STREQ(buf, "TCP");
    EXPECT_EQ(cb->ops->cb_select_text(cb, "RAW"), 2);
    EXPECT_EQ(cb->ops->cb_add(cb, "ICMP"), 0); /* adding selects item 0 again */
    EXPECT_EQ(cb->ops->cb_get_selection(cb, buf), 0);
    EXPECT_EQ(cb->ops->cb_select_text(cb, "udp"), -1); /* case matters */
    EXPECT_EQ(cb->ops->cb_get_selection(cb, buf), 0);
    EXPECT_EQ(cb->ops->cb_get_item(cb, 3, buf), 4);
    EXPECT_STREQ(buf, "ICMP");
    EXPECT_EQ(cb->ops->cb_get_item(cb, 9, buf), CB_ERR);
    EXPECT_EQ(cb->ops->cb_set_selection(cb, 1), 1);
    EXPECT_EQ(cb->ops->cb_set_selection(cb, 7), CB_ERR);
}

TEST_F(Panelkit, ListViewColumnsRowsAndSelection)
{
    xwidget *lv = control(WC_LISTVIEWA, LVS_REPORT | LVS_SINGLESEL | WS_BORDER);
    EXPECT_EQ(lv->ops->lv_set_exstyle(lv, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT), 0);
    lv->ops->lv_add_column(lv, 0, 60, "no");
    EXPECT_EQ(SendMessageA(lv->hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_GRIDLINES);
    lv->ops->lv_set_exstyle(lv, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    lv->ops->lv_add_column(lv, 1, 500, "log");
    EXPECT_EQ(SendMessageA(lv->hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(SendMessageA(lv->hwnd, LVM_GETCOLUMNWIDTH, 1, 0), 500);

    lv->ops->lv_set_item(lv, 0, 0, "1");
    lv->ops->lv_set_item(lv, 0, 1, "first");
    lv->ops->lv_set_item(lv, 5, 1, "no such row"); /* column 1 only sets */
    EXPECT_EQ(lv->ops->lv_count(lv), 1);
    lv->ops->lv_set_item(lv, 1, 0, "2");
    EXPECT_EQ(lv->ops->lv_count(lv), 2);
    char text[32];
    LVITEMA it = {};
    it.iSubItem = 1;
    it.pszText = text;
    it.cchTextMax = sizeof text;
    SendMessageA(lv->hwnd, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_STREQ(text, "first");

    lv->ops->lv_select(lv, 1);
    EXPECT_EQ(SendMessageA(lv->hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    EXPECT_EQ(SendMessageA(lv->hwnd, LVM_GETITEMSTATE, 1, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(SendMessageA(lv->hwnd, LVM_GETITEMSTATE, 0, LVIS_SELECTED), 0);
    lv->ops->lv_delete_all(lv);
    EXPECT_EQ(lv->ops->lv_count(lv), 0);
}

TEST_F(Panelkit, ButtonsProgressAndWindowState)
{
    xwidget *check = control("button", BS_AUTO3STATE);
    const struct {
        WPARAM state;
        int checked;
    } cases[] = {{BST_UNCHECKED, 0}, {BST_CHECKED, 1}, {BST_INDETERMINATE, 0}};
    for (const auto &c : cases) {
        SendMessageA(check->hwnd, BM_SETCHECK, c.state, 0);
        EXPECT_EQ(check->ops->is_checked(check), c.checked) << c.state;
    }
    xwidget *pb = control(PROGRESS_CLASSA, 0);
    pb->ops->pb_set_range(pb, 0, 200);
    EXPECT_EQ(pb->ops->pb_set_pos(pb, 150), 0);
    EXPECT_EQ(pb->ops->pb_set_pos(pb, 20), 150);
    EXPECT_EQ(pb->ops->pb_query_range(pb), 200);

    EXPECT_EQ(check->ops->enable(check, 0x100), FALSE); /* low byte 0: disables */
    EXPECT_FALSE(IsWindowEnabled(check->hwnd));
    check->ops->move(check, 40, 50, 15, 15);
    RECT r;
    GetClientRect(check->hwnd, &r);
    EXPECT_EQ(r.right, 15);
    main->ops->show(main, SW_SHOWNORMAL);
    EXPECT_TRUE(IsWindowVisible(check->hwnd));
    EXPECT_EQ(main->ops->set_bkcolor(main, RGB(255, 255, 255)), 0);
    EXPECT_EQ(SetClassLongA(main->hwnd, GCL_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(main->bkbrush)),
              reinterpret_cast<ULONG_PTR>(main->bkbrush));
    EXPECT_EQ(main->ops->free_bkbrush(main), 0);
}

std::vector<std::string> loop_log;

int idle(void *arg)
{
    loop_log.push_back(std::string("idle ") + static_cast<const char *>(arg));
    return 0;
}

int filter(HWND, MSG *m)
{
    loop_log.push_back("filter " + std::to_string(m->message - WM_USER));
    return m->message == WM_USER + 1; /* consumes the first */
}

LRESULT CALLBACK logging_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg >= WM_USER && msg < WM_USER + 10)
        loop_log.push_back("proc " + std::to_string(msg - WM_USER));
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

TEST_F(Panelkit, RunLoopIdlesBeforeEveryMessageAndFiltersFirst)
{
    xwidget *w = widget();
    w->ops->register_class(w, nullptr, logging_proc, "logged");
    w->ops->create_main(w, "logged", 0, nullptr);
    loop_log.clear();
    PostMessageA(w->hwnd, WM_USER + 1, 0, 0);
    PostMessageA(w->hwnd, WM_USER + 2, 0, 0);
    PostQuitMessage(18);
    char arg[] = "a";
    EXPECT_EQ(w->ops->run_loop(w, filter, idle, arg), 0);
    EXPECT_EQ(loop_log, (std::vector<std::string>{"idle a", "filter 1", "idle a", "filter 2", "proc 2", "idle a"}));
    EXPECT_EQ(w->msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(Panelkit, SubclassKeepsThePreviousProcedure)
{
    xwidget *b = control("button", 0);
    b->ops->set_text(b, "OPEN");
    WNDPROC own = reinterpret_cast<WNDPROC>(GetWindowLongA(b->hwnd, GWL_WNDPROC));
    EXPECT_EQ(b->ops->subclass(b, logging_proc), own);
    EXPECT_EQ(b->old_proc, own);
    loop_log.clear();
    SendMessageA(b->hwnd, WM_USER + 3, 0, 0);
    EXPECT_EQ(loop_log, (std::vector<std::string>{"proc 3"}));
    char buf[256];
    EXPECT_EQ(CallWindowProcA(b->old_proc, b->hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 4);
}

} // namespace
