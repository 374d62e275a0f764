/* fwinfo: prints the framework's version text and the OS text, both taken
 * from utilbox loaded by name from the program's own directory. */
#include "win32.h"

#include <stdio.h>
#include <string.h>

typedef int (*text_fn)(char *out);

int main()
{
    char dir[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, dir, sizeof dir);
    if (n == 0 || n >= sizeof dir) {
        fprintf(stderr, "fwinfo: cannot tell the program's directory\n");
        return 1;
    }
    char *slash = strrchr(dir, '/');
    if (slash != nullptr)
        *slash = '\0';
    char path[MAX_PATH + 16];
    snprintf(path, sizeof path, "%s\\utilbox.dll", dir);
    HMODULE lib = LoadLibraryA(path);
    if (lib == nullptr) {
        fprintf(stderr, "fwinfo: %s is missing\n", path);
        return 1;
    }
    text_fn version = reinterpret_cast<text_fn>(GetProcAddress(lib, "version"));
    text_fn os_version = reinterpret_cast<text_fn>(GetProcAddress(lib, "get_os_version"));
    if (version == nullptr || os_version == nullptr) {
        fprintf(stderr, "fwinfo: utilbox lacks %s\n", version == nullptr ? "version" : "get_os_version");
        FreeLibrary(lib);
        return 1;
    }
    char ver[16] = "", os[256] = "";
    version(ver);
    os_version(os);
    printf("framework %s\n%s\n", ver, os);
    FreeLibrary(lib);
    return 0;
}
