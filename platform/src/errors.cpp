/* The per-thread last error, shared by GetLastError and WSAGetLastError. */
#include "internal.h"

namespace {
thread_local DWORD last_error = 0;
}

extern "C" DWORD GetLastError(void) { return last_error; }
extern "C" void SetLastError(DWORD code) { last_error = code; }
extern "C" PLATFORM_API int wsk_WSAGetLastError(void) { return static_cast<int>(last_error); }
extern "C" PLATFORM_API void wsk_WSASetLastError(int code) { last_error = static_cast<DWORD>(code); }
