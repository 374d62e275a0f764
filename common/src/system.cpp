/* OS version text, the program's directory, registry helpers and host
 * address resolution. */
#include "utilbox.h"

#include <stdio.h>
#include <string.h>

extern "C" int get_os_version(char *out)
{
    OSVERSIONINFOA v;
    memset(&v, 0, sizeof v);
    v.dwOSVersionInfoSize = sizeof v;
    if (!GetVersionExA(&v))
        return 0;
    unsigned major = v.dwMajorVersion, minor = v.dwMinorVersion;
#ifdef _WIN32
    switch (v.dwPlatformId) {
    case 0:
        sprintf(out, "Windows %u.%u", major, minor);
        break;
    case 1:
        if (minor == 0)
            strcpy(out, "Windows 95");
        else if (minor == 10)
            strcpy(out, "Windows 98");
        else if (minor == 90)
            strcpy(out, "Windows ME");
        break;
    case 2:
        if (major == 5 && minor == 0)
            sprintf(out, "Windows 2000 %s", v.szCSDVersion);
        else if (major == 5 && minor == 1)
            sprintf(out, "Windows XP %s", v.szCSDVersion);
        else if (major <= 4)
            sprintf(out, "Windows NT %u.%u (%s)", major, minor, v.szCSDVersion);
        else
            sprintf(out, "Windows %u.%u", major, minor);
        break;
    }
#else
    (void)major;
    (void)minor;
    /* the platform layer reports the system's own name and release here */
    strcpy(out, v.szCSDVersion);
#endif
    return static_cast<int>(v.dwPlatformId);
}

/* The program's directory: the executable's path cut at its last separator
 * (a backslash, or the slash of this platform's paths). */
extern "C" int get_prefix(char *out)
{
    DWORD n = GetModuleFileNameA(nullptr, out, MAX_PATH);
    if (n == 0) {
        out[0] = '\0';
        return 0;
    }
    for (int i = static_cast<int>(strlen(out)) - 1; i >= 0; i--)
        if (out[i] == '\\' || out[i] == '/') {
            out[i] = '\0';
            break;
        }
    return 0;
}

extern "C" HKEY reg_open(HKEY root, const char *subkey)
{
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, &key);
    if (rc == ERROR_FILE_NOT_FOUND)
        rc = RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                             nullptr);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

extern "C" int reg_close(HKEY key) { return RegCloseKey(key); }

extern "C" int reg_write(HKEY root, const char *subkey, const char *name, const void *data, unsigned type,
                         unsigned size)
{
    HKEY key = reg_open(root, subkey);
    if (key == nullptr)
        return 0;
    LONG rc = RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
    return rc;
}

extern "C" int reg_read(HKEY root, const char *subkey, const char *name, void *data, unsigned *type,
                        unsigned *size)
{
    HKEY key = reg_open(root, subkey);
    if (key == nullptr)
        return 0;
    /* The second query gets the caller's own capacity again: the first one
     * wrote the needed size into *size, and passing that on would let the
     * value overrun a buffer the caller said was smaller. */
    unsigned capacity = size != nullptr ? *size : 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE *>(data), size);
    if (rc == ERROR_MORE_DATA) {
        *size = capacity;
        rc = RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE *>(data), size);
    }
    RegCloseKey(key);
    return rc;
}

/* A text without ASCII letters (a dotted address, an empty text) passes
 * through. A name is resolved; 0 when an address was written, -1 when the
 * name is unknown (the output is then unchanged). */
extern "C" int get_hostip(const char *host, char *out)
{
    bool letters = false;
    for (const char *p = host; *p; p++)
        letters = letters || (*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z');
    if (!letters) {
        memmove(out, host, strlen(host) + 1);
        return 0;
    }
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return 0;
    int rc = -1;
    struct hostent *h = gethostbyname(host);
    if (h != nullptr && h->h_addr_list[0] != nullptr) {
        struct in_addr a;
        memcpy(&a, h->h_addr_list[0], sizeof a);
        strcpy(out, inet_ntoa(a));
        rc = 0;
    }
    WSACleanup();
    return rc;
}
