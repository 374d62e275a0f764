/* Modules: LoadLibraryA and friends over dlopen, with the ".dll" mapping. */
#include "internal.h"

#include <dlfcn.h>
#include <link.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

namespace {

/* "dir\NAME.dll" -> "dir/libNAME.so"; a name without an extension is taken
 * as a ".dll"; any other extension is kept as it is. */
std::string map_name(const char *name, std::string *dir_out, std::string *file_out)
{
    std::string s(name);
    for (char &c : s)
        if (c == '\\')
            c = '/';
    size_t slash = s.rfind('/');
    std::string dir = slash == std::string::npos ? "" : s.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? s : s.substr(slash + 1);
    size_t dot = base.rfind('.');
    if (dot == std::string::npos)
        base = "lib" + base + ".so";
    else if (strcasecmp(base.c_str() + dot, ".dll") == 0)
        base = "lib" + base.substr(0, dot) + ".so";
    *dir_out = dir;
    *file_out = base;
    return dir + base;
}

void report(const char *what, const char *name)
{
    const char *err = dlerror();
    std::string text = std::string(what) + ": " + (name ? name : "(null)") + ": " + (err ? err : "?") + "\n";
    OutputDebugStringA(text.c_str());
}

} // namespace

namespace plat {
std::string platform_dir()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void *>(&LoadLibraryA), &info) == 0 || info.dli_fname == nullptr)
        return ".";
    char real[PATH_MAX];
    std::string path = realpath(info.dli_fname, real) ? real : info.dli_fname;
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}
} // namespace plat

extern "C" HMODULE LoadLibraryA(LPCSTR name)
{
    if (name == nullptr || name[0] == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string dir, file;
    std::string path = map_name(name, &dir, &file);
    void *h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (h == nullptr) {
        report("LoadLibraryA", path.c_str());
        std::string fallback = plat::platform_dir() + "/" + file;
        if (fallback != path)
            h = dlopen(fallback.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (h == nullptr)
            report("LoadLibraryA", fallback.c_str());
    }
    if (h == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return h;
}

extern "C" BOOL FreeLibrary(HMODULE module)
{
    if (module == nullptr || dlclose(module) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

extern "C" FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    /* dlsym(NULL, ...) would search the whole process: refuse it instead */
    if (module == nullptr || name == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    /* dlsym also searches the module's dependencies; an export of a Windows
     * module is its own, so a symbol defined elsewhere does not count. */
    void *p = dlsym(module, name);
    struct link_map *own = nullptr, *where = nullptr;
    Dl_info info;
    if (p != nullptr && (dlinfo(module, RTLD_DI_LINKMAP, &own) != 0 ||
                         dladdr1(p, &info, reinterpret_cast<void **>(&where), RTLD_DL_LINKMAP) == 0 || own != where))
        p = nullptr;
    if (p == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(p);
}

extern "C" HMODULE GetModuleHandleA(LPCSTR name)
{
    if (name == nullptr)
        return dlopen(nullptr, RTLD_NOW);
    std::string dir, file;
    std::string path = map_name(name, &dir, &file);
    void *h = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h == nullptr)
        h = dlopen((plat::platform_dir() + "/" + file).c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    dlclose(h); /* GetModuleHandleA does not add a reference */
    return h;
}

extern "C" DWORD GetModuleFileNameA(HMODULE module, LPSTR buf, DWORD size)
{
    char path[PATH_MAX];
    struct link_map *lm = nullptr;
    path[0] = '\0';
    if (module != nullptr && dlinfo(module, RTLD_DI_LINKMAP, &lm) == 0 && lm && lm->l_name && lm->l_name[0]) {
        if (realpath(lm->l_name, path) == nullptr)
            snprintf(path, sizeof path, "%s", lm->l_name);
    } else if (module != nullptr && lm == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    } else {
        ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
        if (n < 0) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return 0;
        }
        path[n] = '\0';
    }
    if (buf == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    size_t len = strlen(path);
    if (len >= size) {
        memcpy(buf, path, size - 1);
        buf[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    memcpy(buf, path, len + 1);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(len);
}
