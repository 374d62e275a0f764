/* utilbox: the utility library's exports. Other libraries load it at run
 * time ("./utilbox.dll") and resolve these names; the prototypes here are the
 * types of those look-ups. */
#ifndef UTILBOX_H
#define UTILBOX_H

#include "win32.h"

#include <stdint.h>
#include <wchar.h>

#ifndef UTILBOX_API
#define UTILBOX_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned(__stdcall *thread_routine)(void *arg);

/* ---- threads, signals, acknowledgement flags ---- */
UTILBOX_API int thread_create(thread_routine start, void *arg, unsigned *tid);
UTILBOX_API int thread_destroy(unsigned msg, unsigned tid);
UTILBOX_API int thread_terminate(HANDLE thread);
UTILBOX_API void thread_exit(unsigned msg, unsigned tid);
UTILBOX_API int thread_detach(unsigned tid);
UTILBOX_API unsigned get_thread_id(void);
UTILBOX_API int set_thread_priority(HANDLE thread, int priority);
UTILBOX_API int get_thread_priority(HANDLE thread);
UTILBOX_API int signal_post(unsigned tid, unsigned msg, int lparam);
UTILBOX_API int signal_peek(int tries, unsigned msg, int *lparam);
UTILBOX_API int get_thread_status(int tries, unsigned msg, int *lparam);
UTILBOX_API int get_semaphore(int tries, unsigned char *flag);
UTILBOX_API int set_semaphore(unsigned char *flag);

/* ---- events, locks, sleeping ---- */
UTILBOX_API int create_event(HANDLE *event);
UTILBOX_API int destroy_event(HANDLE *event);
UTILBOX_API int set_event(HANDLE *event);
UTILBOX_API int wait_event(HANDLE *event, unsigned ms);
UTILBOX_API int lock_init(CRITICAL_SECTION *cs);
UTILBOX_API int lock_final(CRITICAL_SECTION *cs);
UTILBOX_API int lock(CRITICAL_SECTION *cs);
UTILBOX_API int unlock(CRITICAL_SECTION *cs);
UTILBOX_API int msleep(unsigned ms);

/* ---- time, timers, logging, buffer dumps ---- */
UTILBOX_API int64_t system_time(int64_t *t);
UTILBOX_API int microsleep(unsigned us);
UTILBOX_API int64_t timer_start(void);
UTILBOX_API int64_t timer_stop(void);
UTILBOX_API double timer_elapsed(int64_t start, int64_t stop);
UTILBOX_API char *get_curr_time(const char *date_sep, const char *mid_sep, const char *time_sep, int *year,
                                int *month, int *day, int *hour, int *minute, int *second);
UTILBOX_API int log_printf(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
UTILBOX_API int display_buffer(const char *title, const void *data, int len);
UTILBOX_API int fprint_buffer(const char *title, const void *data, int len, char *out);
UTILBOX_API int dump_buffer(const char *title, const void *data, int len, const char *path);
UTILBOX_API int version(char *out);

/* ---- strings, INI values, file names ---- */
UTILBOX_API int get_trimstr(const char *src, char start, char end, char *out);
UTILBOX_API int replace_str(char *text, char find, char replace);
UTILBOX_API int get_lastindex(const char *text, char c);
UTILBOX_API int get_firstindex(const char *text, char c);
UTILBOX_API int truncate_str(char *text, int index);
UTILBOX_API int str_to_uppercase(char *text);
UTILBOX_API int str_to_lowercase(char *text);
UTILBOX_API int get_ini_value(const char *path, const char *section, const char *key, char strip, char delim,
                              char *out);
UTILBOX_API int get_filename(const char *path, char *out);
UTILBOX_API int get_fileext(const char *path, char *out);
UTILBOX_API char *get_filename_only(const char *path, char *out);
UTILBOX_API long get_file_size(const char *path);
UTILBOX_API int hex_to_digit(const char *two);
UTILBOX_API int ascii_to_hex(char c);
UTILBOX_API int ascii_to_unicode(wchar_t *out, const char *text, int max);
UTILBOX_API int unicode_to_ascii(char *out, const wchar_t *text, int max);

/* ---- system, registry, host address ---- */
UTILBOX_API int get_os_version(char *out);
UTILBOX_API int get_prefix(char *out);
UTILBOX_API HKEY reg_open(HKEY root, const char *subkey);
UTILBOX_API int reg_close(HKEY key);
UTILBOX_API int reg_write(HKEY root, const char *subkey, const char *name, const void *data, unsigned type,
                          unsigned size);
UTILBOX_API int reg_read(HKEY root, const char *subkey, const char *name, void *data, unsigned *type,
                         unsigned *size);
UTILBOX_API int reg_delete(HKEY root, const char *subkey, const char *name);
UTILBOX_API int get_hostip(const char *host, char *out);

/* ---- window placement ---- */
UTILBOX_API int on_sys_center(HWND hwnd);
UTILBOX_API int on_wnd_center(HWND parent, HWND hwnd);
UTILBOX_API int on_center(HWND parent, HWND hwnd);
UTILBOX_API int on_full_screen(HWND hwnd);

#ifdef __cplusplus
}
#endif

#endif
