/* The process-wide handle table. */
#include "internal.h"

#include <mutex>
#include <unordered_map>

namespace plat {
namespace {

struct HandleTable {
    std::mutex lock;
    uintptr_t next = 0x1000; /* multiples of 4, as Windows hands them out */
    std::unordered_map<uintptr_t, std::shared_ptr<KObject>> objects;
};

/* Never destroyed: threads may still close handles while the process exits. */
HandleTable &table()
{
    static HandleTable *t = new HandleTable;
    return *t;
}

} // namespace

HANDLE handle_insert(std::shared_ptr<KObject> obj)
{
    HandleTable &t = table();
    std::lock_guard<std::mutex> g(t.lock);
    uintptr_t value = t.next;
    t.next += 4;
    t.objects.emplace(value, std::move(obj));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KObject> handle_get(HANDLE h)
{
    HandleTable &t = table();
    std::lock_guard<std::mutex> g(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(h));
    return it == t.objects.end() ? nullptr : it->second;
}

bool handle_close(HANDLE h)
{
    std::shared_ptr<KObject> doomed; /* destroyed after the lock is released */
    HandleTable &t = table();
    std::lock_guard<std::mutex> g(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(h));
    if (it == t.objects.end())
        return false;
    doomed = std::move(it->second);
    t.objects.erase(it);
    return true;
}

} // namespace plat

extern "C" BOOL CloseHandle(HANDLE h)
{
    if (!plat::handle_close(h)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
