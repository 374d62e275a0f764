/* Kernel calls: last error, modules, threads, thread message queues, events,
 * waits, critical sections, sleeping, debug output and interlocked counters. */
#ifndef PLATFORM_WIN32_KERNEL_H
#define PLATFORM_WIN32_KERNEL_H

#include "types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- last error (one value per thread, shared with WSAGetLastError) ---- */
PLATFORM_API DWORD GetLastError(void);
PLATFORM_API void SetLastError(DWORD code);

/* ---- modules ----
 * "DIR/NAME.dll" is loaded as DIR/libNAME.so and a bare "NAME.dll" as
 * libNAME.so; backslashes count as directory separators. A name with a
 * directory part is tried as given (relative to the current directory) and
 * then in the directory that holds this library, where every deliverable of
 * the system is built. A failed load returns NULL with ERROR_MOD_NOT_FOUND. */
PLATFORM_API HMODULE LoadLibraryA(LPCSTR name);
PLATFORM_API BOOL FreeLibrary(HMODULE module);
PLATFORM_API FARPROC GetProcAddress(HMODULE module, LPCSTR name);
PLATFORM_API HMODULE GetModuleHandleA(LPCSTR name);
/* NULL names the executable. Truncates to size - 1 characters and returns size
 * with ERROR_INSUFFICIENT_BUFFER when the path does not fit. */
PLATFORM_API DWORD GetModuleFileNameA(HMODULE module, LPSTR buf, DWORD size);

/* ---- handles ---- */
PLATFORM_API BOOL CloseHandle(HANDLE h);

/* ---- threads ---- */
typedef DWORD(WINAPI *LPTHREAD_START_ROUTINE)(LPVOID arg);

#define CREATE_SUSPENDED 0x00000004
#define STILL_ACTIVE 259
#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

/* Thread ids are the kernel's thread ids. A thread started here has its
 * message queue before CreateThread returns. CREATE_SUSPENDED is refused
 * (ERROR_NOT_SUPPORTED). */
PLATFORM_API HANDLE CreateThread(LPSECURITY_ATTRIBUTES sa, SIZE_T stack, LPTHREAD_START_ROUTINE start,
                                 LPVOID arg, DWORD flags, LPDWORD tid);
PLATFORM_API void ExitThread(DWORD code) __attribute__((noreturn));
/* Ends the thread at its next cancellation point: a Sleep, a wait or a
 * blocking system call. No lock of this layer is ever held there, so the
 * process stays consistent; C++ destructors on the thread's stack run.
 * A thread spinning without such a point is not stopped. */
PLATFORM_API BOOL TerminateThread(HANDLE thread, DWORD code);
PLATFORM_API BOOL GetExitCodeThread(HANDLE thread, LPDWORD code);
PLATFORM_API HANDLE GetCurrentThread(void); /* pseudo handle (HANDLE)-2 */
PLATFORM_API DWORD GetCurrentThreadId(void);
PLATFORM_API DWORD GetCurrentProcessId(void);
/* Priorities map onto the thread's nice value; raising it needs the right to
 * do so, otherwise FALSE with ERROR_ACCESS_DENIED. */
PLATFORM_API BOOL SetThreadPriority(HANDLE thread, int priority);
PLATFORM_API int GetThreadPriority(HANDLE thread);

/* The C run-time's thread start and end. */
typedef unsigned(__stdcall *_beginthreadex_proc_type)(void *arg);
PLATFORM_API uintptr_t _beginthreadex(void *security, unsigned stack, _beginthreadex_proc_type start, void *arg,
                                      unsigned flags, unsigned *tid);
PLATFORM_API void _endthreadex(unsigned code) __attribute__((noreturn));

/* ---- thread message queues ---- */
typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define WM_QUIT 0x0012
#define WM_USER 0x0400
/* A queue holds at most this many messages; a post to a full queue fails with
 * ERROR_NOT_ENOUGH_QUOTA. */
#define PLATFORM_QUEUE_LIMIT 10000

/* Returns FALSE with ERROR_INVALID_THREAD_ID when the thread has no queue. */
PLATFORM_API BOOL PostThreadMessageA(DWORD tid, UINT msg, WPARAM wparam, LPARAM lparam);
/* hwnd (HWND)-1 takes only thread messages (posted without a window), NULL
 * takes any. Filter: min = max = 0 takes every number; max = 0 takes numbers
 * from min up; otherwise min..max. The calling thread's queue is created on
 * first use. */
PLATFORM_API BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max, UINT remove);

/* ---- events and waits ---- */
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu

PLATFORM_API HANDLE CreateEventA(LPSECURITY_ATTRIBUTES sa, BOOL manual_reset, BOOL initial, LPCSTR name);
PLATFORM_API BOOL SetEvent(HANDLE event);
PLATFORM_API BOOL ResetEvent(HANDLE event);
/* Events and threads are waitable. A closed or unknown handle gives
 * WAIT_FAILED with ERROR_INVALID_HANDLE. */
PLATFORM_API DWORD WaitForSingleObject(HANDLE h, DWORD ms);

/* ---- critical sections: recursive locks stored in the caller's record ---- */
typedef struct _CRITICAL_SECTION {
    union {
        void *align_;
        unsigned char opaque_[40]; /* the size of the 64-bit Windows record */
    } u;
} CRITICAL_SECTION, *LPCRITICAL_SECTION;

PLATFORM_API void InitializeCriticalSection(LPCRITICAL_SECTION cs);
PLATFORM_API void DeleteCriticalSection(LPCRITICAL_SECTION cs);
PLATFORM_API void EnterCriticalSection(LPCRITICAL_SECTION cs);
PLATFORM_API void LeaveCriticalSection(LPCRITICAL_SECTION cs);
PLATFORM_API BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs);

/* ---- sleeping ---- */
PLATFORM_API void Sleep(DWORD ms);
PLATFORM_API DWORD SleepEx(DWORD ms, BOOL alertable);

/* ---- debugger output ----
 * Silent unless the environment variable TRAFVIEW_DEBUG_OUTPUT is set to a
 * non-empty value other than "0"; then each text goes to standard error. */
PLATFORM_API void OutputDebugStringA(LPCSTR text);

#ifdef __cplusplus
}
#endif

/* ---- interlocked counters (sequentially consistent) ---- */
static inline LONG InterlockedIncrement(LONG volatile *p) { return __atomic_add_fetch(p, 1, __ATOMIC_SEQ_CST); }
static inline LONG InterlockedDecrement(LONG volatile *p) { return __atomic_sub_fetch(p, 1, __ATOMIC_SEQ_CST); }
static inline LONG InterlockedExchange(LONG volatile *p, LONG v) { return __atomic_exchange_n(p, v, __ATOMIC_SEQ_CST); }
static inline LONG InterlockedExchangeAdd(LONG volatile *p, LONG v) { return __atomic_fetch_add(p, v, __ATOMIC_SEQ_CST); }
static inline LONG InterlockedCompareExchange(LONG volatile *p, LONG v, LONG cmp)
{
    __atomic_compare_exchange_n(p, &cmp, v, 0, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return cmp;
}

#endif
