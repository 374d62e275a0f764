/* Critical sections: a recursive pthread mutex kept inside the caller's
 * record, so that TSan and the debugger see an ordinary lock. */
#include "internal.h"

#include <new>

static_assert(sizeof(pthread_mutex_t) <= sizeof(CRITICAL_SECTION), "CRITICAL_SECTION too small");
static_assert(alignof(pthread_mutex_t) <= alignof(CRITICAL_SECTION), "CRITICAL_SECTION misaligned");

static pthread_mutex_t *mutex_of(LPCRITICAL_SECTION cs) { return reinterpret_cast<pthread_mutex_t *>(cs->u.opaque_); }

extern "C" void InitializeCriticalSection(LPCRITICAL_SECTION cs)
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(new (cs->u.opaque_) pthread_mutex_t, &attr);
    pthread_mutexattr_destroy(&attr);
}

extern "C" void DeleteCriticalSection(LPCRITICAL_SECTION cs) { pthread_mutex_destroy(mutex_of(cs)); }
extern "C" void EnterCriticalSection(LPCRITICAL_SECTION cs) { pthread_mutex_lock(mutex_of(cs)); }
extern "C" void LeaveCriticalSection(LPCRITICAL_SECTION cs) { pthread_mutex_unlock(mutex_of(cs)); }
extern "C" BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs)
{
    return pthread_mutex_trylock(mutex_of(cs)) == 0 ? TRUE : FALSE;
}
