/* Resource tables of the loaded modules. A module's generated table
 * registers itself from a static constructor with an address inside the
 * module; lookups match the module handle's link map with the one that
 * address belongs to. */
#include "internal.h"
#include "../win32/user.h"

#include <dlfcn.h>
#include <link.h>

#include <mutex>
#include <vector>

namespace {

struct Table {
    struct link_map *module;
    const PLATFORM_RESOURCE *entries;
    UINT count;
};

std::mutex tables_lock; /* guards tables */
std::vector<Table> &tables()
{
    static std::vector<Table> *t = new std::vector<Table>;
    return *t;
}

} // namespace

extern "C" void PlatformRegisterResources(const void *anchor, const PLATFORM_RESOURCE *table, UINT count)
{
    Dl_info info;
    struct link_map *lm = nullptr;
    if (dladdr1(anchor, &info, reinterpret_cast<void **>(&lm), RTLD_DL_LINKMAP) == 0 || lm == nullptr) {
        OutputDebugStringA("resources: cannot tell which module registers a table\n");
        return;
    }
    std::lock_guard<std::mutex> g(tables_lock);
    tables().push_back(Table{lm, table, count});
}

extern "C" void PlatformUnregisterResources(const PLATFORM_RESOURCE *table)
{
    std::lock_guard<std::mutex> g(tables_lock);
    auto &t = tables();
    for (auto it = t.begin(); it != t.end(); ++it)
        if (it->entries == table) {
            t.erase(it);
            return;
        }
}

extern "C" const BYTE *PlatformFindResource(HINSTANCE module, WORD type, WORD id, DWORD *size)
{
    void *handle = module != nullptr ? module : dlopen(nullptr, RTLD_NOW);
    struct link_map *lm = nullptr;
    if (handle == nullptr || dlinfo(handle, RTLD_DI_LINKMAP, &lm) != 0 || lm == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    std::lock_guard<std::mutex> g(tables_lock);
    for (const Table &t : tables()) {
        if (t.module != lm)
            continue;
        for (UINT i = 0; i < t.count; i++)
            if (t.entries[i].type == type && t.entries[i].id == id) {
                if (size != nullptr)
                    *size = t.entries[i].size;
                return t.entries[i].data;
            }
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}
