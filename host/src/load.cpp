/* Loading the host's libraries from the executable's folder and filling the
 * function table in its slot order. */
#include "internal.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

namespace {

const char *const library_files[] = {"utilbox.dll", "panelkit.dll", "picturekit.dll", "moviekit.dll",
                                     "lampkit.dll"};

/* utilbox's names in table order, from get_trimstr on. */
const char *const utilbox_names[] = {
    "get_trimstr", "replace_str", "get_lastindex", "get_firstindex", "str_to_uppercase", "str_to_lowercase",
    "truncate_str", "get_ini_value", "get_filename", "get_fileext", "get_filename_only", "get_semaphore",
    "set_semaphore", "signal_post", "signal_peek", "get_thread_id", "get_thread_status", "thread_detach",
    "thread_create", "set_thread_priority", "get_thread_priority", "thread_destroy", "thread_terminate",
    "thread_exit", "set_event", "wait_event", "create_event", "destroy_event", "lock_init", "lock_final", "lock",
    "unlock", "system_time", "microsleep", "msleep", "timer_start", "timer_stop", "timer_elapsed",
    "get_curr_time", "log_printf", "display_buffer", "fprint_buffer", "dump_buffer", "hex_to_digit",
    "ascii_to_hex", "ascii_to_unicode", "unicode_to_ascii", "version", "get_os_version", "get_prefix",
    "reg_open", "reg_close", "reg_write", "reg_read", "reg_delete", "get_version", "get_file_size",
    "on_sys_center", "on_wnd_center", "on_center", "on_full_screen", "get_hostip", "request_result"};
const int utilbox_count = sizeof utilbox_names / sizeof utilbox_names[0];

static_assert(sizeof utilbox_names / sizeof utilbox_names[0] == 63, "63 utilbox slots");
static_assert(sizeof(HostFunctionTable) == (5 + 8 + 63) * sizeof(void *), "pointer-sized slots, nothing else");

FARPROC resolve(HMODULE module, const char *name) { return module != nullptr ? GetProcAddress(module, name) : nullptr; }

template <typename Fn> void resolve_into(Fn *slot, HMODULE module, const char *name)
{
    FARPROC f = resolve(module, name);
    memcpy(slot, &f, sizeof f);
}

} // namespace

int host_load(HostFunctionTable *t)
{
    memset(t, 0, sizeof *t);
    char dir[MAX_PATH + 1] = "";
    GetModuleFileNameA(nullptr, dir, MAX_PATH);
    /* cut at the last separator, searching down to the second character;
     * on Linux the separator is "/", and "\\" is kept for Windows paths */
    for (int i = static_cast<int>(strlen(dir)) - 1; i >= 1; i--)
        if (dir[i] == '\\' || dir[i] == '/') {
            dir[i] = '\0';
            break;
        }
    HMODULE *handles[] = {&t->utilbox, &t->panelkit, &t->picturekit, &t->moviekit, &t->lampkit};
    int status = 0;
    for (int i = 0; i < 5; i++) {
        char path[2 * MAX_PATH];
        snprintf(path, sizeof path, "%s\\%s", dir, library_files[i]);
        *handles[i] = LoadLibraryA(path);
        const bool outside = handles[i] == &t->picturekit || handles[i] == &t->moviekit;
        if (*handles[i] == nullptr && !outside) {
            fprintf(stderr, "hostrig: cannot load %s\n", path);
            status = -1;
        }
    }
    resolve_into(&t->new_xwidget, t->panelkit, "new_xwidget");
    resolve_into(&t->delete_xwidget, t->panelkit, "delete_xwidget");
    resolve_into(&t->new_ximage, t->picturekit, "new_ximage");
    resolve_into(&t->delete_ximage, t->picturekit, "delete_ximage");
    resolve_into(&t->new_xled, t->lampkit, "new_xled");
    resolve_into(&t->delete_xled, t->lampkit, "delete_xled");
    resolve_into(&t->new_xvideopack, t->moviekit, "new_xvideopack");
    resolve_into(&t->delete_xvideopack, t->moviekit, "delete_xvideopack");
    char *first = reinterpret_cast<char *>(t) + offsetof(HostFunctionTable, get_trimstr);
    for (int i = 0; i < utilbox_count; i++) {
        FARPROC f = resolve(t->utilbox, utilbox_names[i]);
        memcpy(first + i * sizeof f, &f, sizeof f);
    }
    return status;
}

extern "C" HOSTRIG_API int OnInitFx(HostFunctionTable *table) { return host_load(table); }
