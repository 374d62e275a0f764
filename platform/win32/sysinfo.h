/* OS version and registry. */
#ifndef PLATFORM_WIN32_SYSINFO_H
#define PLATFORM_WIN32_SYSINFO_H

#include "types.h"

typedef struct _OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
} OSVERSIONINFOA, *LPOSVERSIONINFOA;

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

/* Registry root keys. */
#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)
#define HKEY_USERS ((HKEY)(ULONG_PTR)0x80000003u)

#define KEY_ALL_ACCESS 0xF003F
#define REG_OPTION_NON_VOLATILE 0
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7
#define REG_QWORD 11

typedef DWORD REGSAM;

#ifdef __cplusplus
extern "C" {
#endif

/* On this platform the version numbers are the kernel release's, the
 * platform id is VER_PLATFORM_WIN32_NT and szCSDVersion holds the system's
 * name and release as uname reports them ("Linux 6.1.0-18-amd64"). */
PLATFORM_API BOOL GetVersionExA(LPOSVERSIONINFOA info);

/* The registry is a directory tree under TRAFVIEW_REGISTRY_DIR, else
 * $XDG_CONFIG_HOME/trafview/registry, else $HOME/.config/trafview/registry.
 * Key and value names compare without regard to ASCII case. Every value is
 * written to a temporary file and renamed into place, so a crash leaves the
 * old or the new value, never a part of one. Results are error codes. */
PLATFORM_API LONG RegOpenKeyExA(HKEY key, LPCSTR subkey, DWORD options, REGSAM sam, PHKEY result);
PLATFORM_API LONG RegCreateKeyExA(HKEY key, LPCSTR subkey, DWORD reserved, LPSTR cls, DWORD options, REGSAM sam,
                                  LPSECURITY_ATTRIBUTES sa, PHKEY result, LPDWORD disposition);
PLATFORM_API LONG RegCloseKey(HKEY key);
PLATFORM_API LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD size);
PLATFORM_API LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                   LPDWORD size);
PLATFORM_API LONG RegDeleteValueA(HKEY key, LPCSTR name);

#ifdef __cplusplus
}
#endif

#endif
