/* hostrig: the application host. An application calls hostrig once from its
 * entry with its callbacks; the host loads the user-interface libraries from
 * the executable's folder, hands every callback the table of their entry
 * points, creates the main window (or runs a modal dialog) and runs the
 * message loop. OnInitFx only fills a table. */
#ifndef HOSTRIG_H
#define HOSTRIG_H

#include "win32.h"
#include "xled.h"
#include "xwidget.h"

/* Every callback takes five arguments, pointer-sized here because they carry
 * windows, pointers and message parameters; results are ignored. */
typedef int (*AppCallback)(LONG_PTR a, LONG_PTR b, LONG_PTR c, LONG_PTR d, LONG_PTR e);

typedef struct AppCallbacks {
    AppCallback on_message;      /* (window, message, wParam, lParam, 0) */
    AppCallback on_pretranslate; /* (main window, MSG *, 0, 0, 0) */
    AppCallback on_init;         /* (app argument, table, 0, 0, dialog id) */
    AppCallback on_register;     /* (app argument, table, instance, 0, dialog id) */
    AppCallback on_create;       /* (app argument, table, instance, main window, dialog id) */
    AppCallback on_ready;        /* (app argument, table, instance, main window, dialog id) */
} AppCallbacks;

/* Filled by the host: every slot holds the export of its name, or null when
 * the library or the name is missing (picturekit and moviekit are outside
 * components; utilbox exports neither get_version nor request_result). */
typedef struct HostFunctionTable {
    HMODULE utilbox, panelkit, picturekit, moviekit, lampkit;
    new_xwidget_fn new_xwidget;
    delete_xwidget_fn delete_xwidget;
    FARPROC new_ximage, delete_ximage;
    new_xled_fn new_xled;
    delete_xled_fn delete_xled;
    FARPROC new_xvideopack, delete_xvideopack;
    FARPROC get_trimstr, replace_str, get_lastindex, get_firstindex, str_to_uppercase, str_to_lowercase,
        truncate_str, get_ini_value, get_filename, get_fileext, get_filename_only, get_semaphore, set_semaphore,
        signal_post, signal_peek, get_thread_id, get_thread_status, thread_detach, thread_create,
        set_thread_priority, get_thread_priority, thread_destroy, thread_terminate, thread_exit, set_event,
        wait_event, create_event, destroy_event, lock_init, lock_final, lock, unlock, system_time, microsleep,
        msleep, timer_start, timer_stop, timer_elapsed, get_curr_time, log_printf, display_buffer, fprint_buffer,
        dump_buffer, hex_to_digit, ascii_to_hex, ascii_to_unicode, unicode_to_ascii, version, get_os_version,
        get_prefix, reg_open, reg_close, reg_write, reg_read, reg_delete, get_version, get_file_size,
        on_sys_center, on_wnd_center, on_center, on_full_screen, get_hostip, request_result;
} HostFunctionTable;

/* Quit code the host posts when its window closes. */
#define HOSTRIG_QUIT_CODE 18

/* Returns 0 when the main window's loop has ended; in dialog mode (dialog id
 * not 0) the result of DialogBoxParamA. -1, with what is missing on
 * standard error, when utilbox, panelkit or lampkit cannot be loaded. */
typedef int (*hostrig_fn)(HINSTANCE instance, void *app_arg, int dialog_id, const AppCallbacks *callbacks);
/* Loads the five libraries and fills the table; 0, or -1 (and standard
 * error says why) when utilbox, panelkit or lampkit is missing. */
typedef int (*OnInitFx_fn)(HostFunctionTable *table);

#endif
