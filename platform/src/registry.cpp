/* The registry as a directory tree: a key is a directory "k_NAME", a value a
 * file "v_NAME" holding a 4-byte type and the data. Names are lower-cased
 * and every byte outside [a-z0-9_-] is written as %XX, so names can neither
 * escape the tree nor collide with the temporary files (".tmp-*"). */
#include "internal.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace {

struct Key : plat::KObject {
    std::string dir;
};

std::mutex &registry_lock() /* serialises this process's writers */
{
    static std::mutex *m = new std::mutex;
    return *m;
}

std::string base_dir()
{
    const char *env = getenv("TRAFVIEW_REGISTRY_DIR");
    if (env != nullptr && env[0] != '\0')
        return env;
    env = getenv("XDG_CONFIG_HOME");
    if (env != nullptr && env[0] != '\0')
        return std::string(env) + "/trafview/registry";
    env = getenv("HOME");
    return std::string(env != nullptr && env[0] != '\0' ? env : "/tmp") + "/.config/trafview/registry";
}

std::string encode(const char *name)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(name); *p; p++) {
        unsigned char c = static_cast<unsigned char>(*p >= 'A' && *p <= 'Z' ? *p + 32 : *p);
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

/* Directory of a root key or an open key; false for anything else. */
bool key_dir(HKEY key, std::string *dir)
{
    static const char *const roots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                        "HKEY_USERS"};
    uintptr_t v = reinterpret_cast<uintptr_t>(key);
    if (v >= 0x80000000u && v <= 0x80000003u) {
        *dir = base_dir() + "/" + roots[v - 0x80000000u];
        return true;
    }
    auto k = plat::handle_get_as<Key>(key);
    if (!k)
        return false;
    *dir = k->dir;
    return true;
}

/* The directory of a subkey path ("A\\B\\C") below dir; empty parts are skipped. */
std::string subkey_path(const std::string &dir, const char *subkey)
{
    std::string cur = dir, part;
    for (const char *p = subkey ? subkey : "";; p++) {
        if (*p == '\\' || *p == '\0') {
            if (!part.empty())
                cur += "/k_" + encode(part.c_str());
            part.clear();
            if (*p == '\0')
                return cur;
        } else {
            part += *p;
        }
    }
}

/* The directory a (key, subkey) pair names, or an error code. */
LONG target_of(HKEY key, LPCSTR subkey, PHKEY result, std::string *target)
{
    std::string dir;
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (!key_dir(key, &dir))
        return ERROR_INVALID_HANDLE;
    *target = subkey_path(dir, subkey);
    return ERROR_SUCCESS;
}

bool is_dir(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool make_dirs(const std::string &path)
{
    if (is_dir(path))
        return true;
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !make_dirs(path.substr(0, slash)))
        return false;
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

void sync_dir(const std::string &path)
{
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

HKEY new_key(const std::string &dir)
{
    auto k = std::make_shared<Key>();
    k->dir = dir;
    return reinterpret_cast<HKEY>(plat::handle_insert(k));
}

bool write_all(int fd, const void *data, size_t len)
{
    const char *p = static_cast<const char *>(data);
    while (len > 0) {
        ssize_t n = write(fd, p, len);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        len -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

extern "C" LONG RegOpenKeyExA(HKEY key, LPCSTR subkey, DWORD options, REGSAM sam, PHKEY result)
{
    (void)options;
    (void)sam;
    std::string target;
    LONG rc = target_of(key, subkey, result, &target);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (!is_dir(target))
        return ERROR_FILE_NOT_FOUND;
    *result = new_key(target);
    return ERROR_SUCCESS;
}

extern "C" LONG RegCreateKeyExA(HKEY key, LPCSTR subkey, DWORD reserved, LPSTR cls, DWORD options, REGSAM sam,
                                LPSECURITY_ATTRIBUTES sa, PHKEY result, LPDWORD disposition)
{
    (void)reserved;
    (void)cls;
    (void)options;
    (void)sam;
    (void)sa;
    std::string target;
    LONG rc = target_of(key, subkey, result, &target);
    if (rc != ERROR_SUCCESS)
        return rc;
    plat::NoCancel nc;
    std::lock_guard<std::mutex> g(registry_lock());
    bool existed = is_dir(target);
    if (!existed) {
        if (!make_dirs(target))
            return errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND;
        size_t slash = target.rfind('/');
        sync_dir(target.substr(0, slash));
    }
    if (disposition != nullptr)
        *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = new_key(target);
    return ERROR_SUCCESS;
}

extern "C" LONG RegCloseKey(HKEY key)
{
    uintptr_t v = reinterpret_cast<uintptr_t>(key);
    if (v >= 0x80000000u && v <= 0x80000003u)
        return ERROR_SUCCESS;
    if (!plat::handle_get_as<Key>(key) || !plat::handle_close(key))
        return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}

extern "C" LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD size)
{
    (void)reserved;
    std::string dir;
    if (!key_dir(key, &dir))
        return ERROR_INVALID_HANDLE;
    if (data == nullptr && size != 0)
        return ERROR_INVALID_PARAMETER;
    std::string path = dir + "/v_" + encode(name ? name : "");
    plat::NoCancel nc;
    std::lock_guard<std::mutex> g(registry_lock());
    if (!is_dir(dir))
        return ERROR_FILE_NOT_FOUND; /* the key was deleted meanwhile */
    char tmpname[64];
    snprintf(tmpname, sizeof tmpname, "/.tmp-%u-%u", GetCurrentProcessId(), GetCurrentThreadId());
    std::string tmp = dir + tmpname;
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return ERROR_ACCESS_DENIED;
    BYTE head[4] = {static_cast<BYTE>(type), static_cast<BYTE>(type >> 8), static_cast<BYTE>(type >> 16),
                    static_cast<BYTE>(type >> 24)};
    bool ok = write_all(fd, head, 4) && write_all(fd, data, size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(tmp.c_str(), path.c_str()) != 0) {
        unlink(tmp.c_str());
        return ERROR_WRITE_FAULT;
    }
    sync_dir(dir);
    return ERROR_SUCCESS;
}

extern "C" LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    (void)reserved;
    std::string dir;
    if (!key_dir(key, &dir))
        return ERROR_INVALID_HANDLE;
    if (data != nullptr && size == nullptr)
        return ERROR_INVALID_PARAMETER;
    std::string path = dir + "/v_" + encode(name ? name : "");
    plat::NoCancel nc;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ERROR_FILE_NOT_FOUND;
    std::vector<BYTE> content;
    BYTE buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            content.insert(content.end(), buf, buf + n);
    close(fd);
    if (n < 0 || content.size() < 4)
        return ERROR_READ_FAULT;
    DWORD len = static_cast<DWORD>(content.size() - 4);
    if (type != nullptr)
        *type = content[0] | content[1] << 8 | content[2] << 16 | static_cast<DWORD>(content[3]) << 24;
    if (data == nullptr) {
        if (size != nullptr)
            *size = len;
        return ERROR_SUCCESS;
    }
    if (*size < len) {
        *size = len;
        return ERROR_MORE_DATA;
    }
    memcpy(data, content.data() + 4, len);
    *size = len;
    return ERROR_SUCCESS;
}

extern "C" LONG RegDeleteValueA(HKEY key, LPCSTR name)
{
    std::string dir;
    if (!key_dir(key, &dir))
        return ERROR_INVALID_HANDLE;
    plat::NoCancel nc;
    std::lock_guard<std::mutex> g(registry_lock());
    if (unlink((dir + "/v_" + encode(name ? name : "")).c_str()) != 0)
        return ERROR_FILE_NOT_FOUND;
    sync_dir(dir);
    return ERROR_SUCCESS;
}
