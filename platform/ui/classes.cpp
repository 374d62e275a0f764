/* Window classes: the ones programs register and the built-in controls,
 * which are ordinary classes whose procedures drive Qt widgets. Names are
 * compared without regard to case, as on Windows. */
#include "ui_internal.h"

#include <ctype.h>

#include <mutex>
#include <unordered_map>

namespace {

std::mutex classes_lock; /* guards classes and next_atom */
std::unordered_map<std::string, std::shared_ptr<ui::WindowClass>> &classes()
{
    static auto *c = new std::unordered_map<std::string, std::shared_ptr<ui::WindowClass>>;
    return *c;
}
ATOM next_atom = 0xC000;

std::string key(const char *name)
{
    std::string k(name);
    for (char &c : k)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return k;
}

void add_builtin(const char *name, WNDPROC proc, QWidget *(*make)(DWORD, QWidget *))
{
    auto c = std::make_shared<ui::WindowClass>();
    c->name = name;
    c->proc = proc;
    c->make = make;
    c->builtin = true;
    c->background = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
    classes()[key(name)] = c;
}

/* Called with classes_lock held. */
void add_builtins_once()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    add_builtin("button", ui::button_proc, ui::make_button);
    add_builtin("edit", ui::edit_proc, ui::make_edit);
    add_builtin("combobox", ui::combobox_proc, ui::make_combobox);
    add_builtin(WC_LISTVIEWA, ui::listview_proc, ui::make_listview);
    add_builtin(PROGRESS_CLASSA, ui::progress_proc, ui::make_progress);
    add_builtin("static", ui::static_proc, ui::make_static);
    add_builtin("#32770", ui::dialog_window_proc, ui::make_host_widget);
}

} // namespace

namespace ui {

std::shared_ptr<WindowClass> find_class(const char *name)
{
    if (name == nullptr || IS_INTRESOURCE(name))
        return nullptr;
    std::lock_guard<std::mutex> g(classes_lock);
    add_builtins_once();
    auto it = classes().find(key(name));
    return it == classes().end() ? nullptr : it->second;
}

} // namespace ui

extern "C" ATOM RegisterClassExA(const WNDCLASSEXA *wc)
{
    if (wc == nullptr || wc->lpszClassName == nullptr || IS_INTRESOURCE(wc->lpszClassName) ||
        wc->lpszClassName[0] == '\0' || wc->lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto c = std::make_shared<ui::WindowClass>();
    c->name = wc->lpszClassName;
    c->style = wc->style;
    c->proc = wc->lpfnWndProc;
    c->instance = wc->hInstance;
    c->background = wc->hbrBackground;
    c->make = ui::make_host_widget;
    std::lock_guard<std::mutex> g(classes_lock);
    add_builtins_once();
    std::string k = key(c->name.c_str());
    if (classes().count(k) != 0) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    classes()[k] = c;
    return next_atom++;
}
