/* Dialogs from RT_DIALOG templates in this layer's text format (see
 * win32/user.h): the dialog window class "#32770", modeless and modal
 * dialogs, EndDialog. */
#include "ui_internal.h"

#include <ctype.h>
#include <stdlib.h>

#include <vector>

namespace {

struct ControlSpec {
    std::string cls;
    long id = 0, x = 0, y = 0, w = 0, h = 0;
    DWORD style = 0;
    std::string text;
};

struct DialogSpec {
    long x = 0, y = 0, w = 0, h = 0;
    DWORD style = 0;
    std::string caption;
    std::vector<ControlSpec> controls;
};

/* Splits one line into words and quoted texts; false on an unclosed quote. */
bool tokens(const std::string &line, std::vector<std::string> *out)
{
    size_t i = 0;
    while (i < line.size()) {
        if (isspace(static_cast<unsigned char>(line[i]))) {
            i++;
            continue;
        }
        std::string t;
        if (line[i] == '"') {
            for (i++; i < line.size() && line[i] != '"'; i++) {
                if (line[i] == '\\' && i + 1 < line.size())
                    i++;
                t += line[i];
            }
            if (i >= line.size())
                return false;
            i++;
        } else {
            while (i < line.size() && !isspace(static_cast<unsigned char>(line[i])))
                t += line[i++];
        }
        out->push_back(t);
    }
    return true;
}

bool number(const std::string &s, long *out)
{
    char *end = nullptr;
    *out = strtol(s.c_str(), &end, 0);
    return !s.empty() && *end == '\0';
}

bool parse(const BYTE *data, DWORD size, DialogSpec *d)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    bool have_dialog = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() : nl + 1;
        std::vector<std::string> t;
        if (!tokens(line, &t))
            return false;
        if (t.empty() || t[0][0] == '#')
            continue;
        long style = 0;
        if (t[0] == "DIALOG" && t.size() == 7 && !have_dialog) {
            if (!number(t[1], &d->x) || !number(t[2], &d->y) || !number(t[3], &d->w) || !number(t[4], &d->h) ||
                !number(t[5], &style))
                return false;
            d->style = static_cast<DWORD>(style);
            d->caption = t[6];
            have_dialog = true;
        } else if (t[0] == "CONTROL" && t.size() == 9 && have_dialog) {
            ControlSpec c;
            c.cls = t[1];
            if (!number(t[2], &c.id) || !number(t[3], &c.x) || !number(t[4], &c.y) || !number(t[5], &c.w) ||
                !number(t[6], &c.h) || !number(t[7], &style))
                return false;
            c.style = static_cast<DWORD>(style);
            c.text = t[8];
            d->controls.push_back(c);
        } else {
            return false;
        }
    }
    return have_dialog;
}

} // namespace

namespace ui {

LRESULT CALLBACK dialog_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    std::shared_ptr<Window> w = find(hwnd);
    if (w && w->dlgproc != nullptr) {
        INT_PTR r = w->dlgproc(hwnd, msg, wparam, lparam);
        if (r != 0)
            return r;
    }
    if (msg == WM_CLOSE) { /* a dialog is closed by its procedure (EndDialog), not here */
        deliver(hwnd, WM_COMMAND, MAKEWPARAM(2 /* IDCANCEL */, BN_CLICKED), 0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

} // namespace ui

extern "C" HWND CreateDialogParamA(HINSTANCE module, LPCSTR template_name, HWND parent, DLGPROC proc, LPARAM param)
{
    if (!IS_INTRESOURCE(template_name)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    DWORD size = 0;
    const BYTE *data = PlatformFindResource(module, RT_DIALOG, LOWORD(template_name), &size);
    if (data == nullptr)
        return nullptr;
    DialogSpec spec;
    if (!parse(data, size, &spec)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    HWND dlg = CreateWindowExA(0, "#32770", spec.caption.c_str(), spec.style & ~static_cast<DWORD>(WS_VISIBLE),
                               static_cast<int>(spec.x), static_cast<int>(spec.y), static_cast<int>(spec.w),
                               static_cast<int>(spec.h), parent, nullptr, module, nullptr);
    std::shared_ptr<ui::Window> w = ui::find(dlg);
    if (!w)
        return nullptr;
    w->dlgproc = proc;
    HWND first = nullptr;
    for (const ControlSpec &c : spec.controls) {
        HWND h = CreateWindowExA(0, c.cls.c_str(), c.text.c_str(), c.style | WS_CHILD, static_cast<int>(c.x),
                                 static_cast<int>(c.y), static_cast<int>(c.w), static_cast<int>(c.h), dlg,
                                 reinterpret_cast<HMENU>(static_cast<intptr_t>(c.id)), module, nullptr);
        if (first == nullptr)
            first = h;
    }
    if (proc != nullptr)
        proc(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if ((spec.style & WS_VISIBLE) && IsWindow(dlg))
        ShowWindow(dlg, SW_SHOW);
    return IsWindow(dlg) ? dlg : nullptr;
}

extern "C" INT_PTR DialogBoxParamA(HINSTANCE module, LPCSTR template_name, HWND parent, DLGPROC proc, LPARAM param)
{
    HWND dlg = CreateDialogParamA(module, template_name, parent, proc, param);
    std::shared_ptr<ui::Window> w = ui::find(dlg);
    if (!w)
        return -1;
    if (parent != nullptr)
        EnableWindow(parent, FALSE);
    if (!w->dialog_ended)
        ShowWindow(dlg, SW_SHOW);
    bool quit = false;
    int quit_code = 0;
    MSG m;
    while (!w->dialog_ended && IsWindow(dlg)) {
        BOOL r = GetMessageA(&m, nullptr, 0, 0);
        if (r == 0) {
            quit = true;
            quit_code = static_cast<int>(m.wParam);
            break;
        }
        if (r < 0)
            break;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    INT_PTR result = w->dialog_ended && !quit ? w->dialog_result : 0;
    if (parent != nullptr)
        EnableWindow(parent, TRUE);
    if (IsWindow(dlg))
        DestroyWindow(dlg);
    if (quit)
        PostQuitMessage(quit_code);
    return result;
}

extern "C" BOOL EndDialog(HWND dialog, INT_PTR result)
{
    return ui::on_owner<BOOL>(dialog, FALSE, [&](ui::Window &w) {
        w.dialog_result = result;
        w.dialog_ended = true;
        if (w.widget)
            w.widget->hide();
        return TRUE;
    });
}
