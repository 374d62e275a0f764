/* GetVersionExA from uname. */
#include "internal.h"

#include <stdio.h>
#include <string.h>
#include <sys/utsname.h>

#include <string>

extern "C" BOOL GetVersionExA(LPOSVERSIONINFOA info)
{
    if (info == nullptr || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    struct utsname u;
    if (uname(&u) != 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    unsigned major = 0, minor = 0, build = 0;
    sscanf(u.release, "%u.%u.%u", &major, &minor, &build);
    info->dwMajorVersion = major;
    info->dwMinorVersion = minor;
    info->dwBuildNumber = build;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    /* "sysname release", cut to the field */
    std::string text = std::string(u.sysname) + " " + u.release;
    snprintf(info->szCSDVersion, sizeof info->szCSDVersion, "%s", text.c_str());
    return TRUE;
}
