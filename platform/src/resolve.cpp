/* Winsock start-up, address conversion and thread-safe host look-up. */
#include "sock_internal.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>

namespace {

LONG started = 0; /* WSAStartup count, changed with interlocked operations */

const int kMaxAddrs = 16;
struct HostStorage {
    char name[256];
    char *aliases[1];
    char addrs[kMaxAddrs][4];
    char *addr_list[kMaxAddrs + 1];
    struct wsk_hostent entry;
};
thread_local HostStorage host;
thread_local char ntoa_text[16];

} // namespace

bool plat::sockets_started() { return __atomic_load_n(&started, __ATOMIC_SEQ_CST) > 0; }

WSK_API int wsk_WSAStartup(WORD version, LPWSADATA data)
{
    BYTE major = static_cast<BYTE>(version & 0xFF), minor = static_cast<BYTE>(version >> 8);
    if (major < 1 || (major == 1 && minor < 1))
        return WSAVERNOTSUPPORTED;
    if (data != nullptr) {
        memset(data, 0, sizeof *data);
        data->wVersion = major > 2 || (major == 2 && minor > 2) ? MAKEWORD(2, 2) : version;
        data->wHighVersion = MAKEWORD(2, 2);
        snprintf(data->szDescription, sizeof data->szDescription, "Sockets 2.2 over POSIX sockets");
        snprintf(data->szSystemStatus, sizeof data->szSystemStatus, "Running");
    }
    InterlockedIncrement(&started);
    wsk_WSASetLastError(0);
    return 0;
}

WSK_API int wsk_WSACleanup(void)
{
    LONG n = __atomic_load_n(&started, __ATOMIC_SEQ_CST);
    while (n > 0 && !__atomic_compare_exchange_n(&started, &n, n - 1, 0, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST)) {
    }
    if (n <= 0) {
        wsk_WSASetLastError(WSANOTINITIALISED);
        return SOCKET_ERROR;
    }
    return 0;
}

WSK_API char *wsk_inet_ntoa(struct in_addr a)
{
    const unsigned char *b = reinterpret_cast<const unsigned char *>(&a.s_addr);
    snprintf(ntoa_text, sizeof ntoa_text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return ntoa_text;
}

WSK_API unsigned long wsk_inet_addr(const char *text)
{
    struct in_addr a;
    if (text == nullptr || inet_aton(text, &a) == 0)
        return 0xffffffffu;
    return a.s_addr;
}

WSK_API struct wsk_hostent *wsk_gethostbyname(const char *name)
{
    if (!plat::sockets_started()) {
        wsk_WSASetLastError(WSANOTINITIALISED);
        return nullptr;
    }
    if (name == nullptr) {
        wsk_WSASetLastError(WSANO_DATA);
        return nullptr;
    }
    struct addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    struct addrinfo *res = nullptr;
    int rc = getaddrinfo(name, nullptr, &hints, &res);
    if (rc != 0) {
        wsk_WSASetLastError(rc == EAI_AGAIN ? WSATRY_AGAIN : rc == EAI_FAIL ? WSANO_RECOVERY : WSAHOST_NOT_FOUND);
        return nullptr;
    }
    HostStorage &h = host;
    snprintf(h.name, sizeof h.name, "%s", res->ai_canonname ? res->ai_canonname : name);
    int n = 0;
    for (struct addrinfo *a = res; a != nullptr && n < kMaxAddrs; a = a->ai_next) {
        const struct sockaddr_in *sin = reinterpret_cast<const struct sockaddr_in *>(a->ai_addr);
        bool dup = false;
        for (int i = 0; i < n; i++)
            dup = dup || memcmp(h.addrs[i], &sin->sin_addr, 4) == 0;
        if (dup)
            continue;
        memcpy(h.addrs[n], &sin->sin_addr, 4);
        h.addr_list[n] = h.addrs[n];
        n++;
    }
    freeaddrinfo(res);
    h.addr_list[n] = nullptr;
    h.aliases[0] = nullptr;
    h.entry.h_name = h.name;
    h.entry.h_aliases = h.aliases;
    h.entry.h_addrtype = AF_INET;
    h.entry.h_length = 4;
    h.entry.h_addr_list = h.addr_list;
    wsk_WSASetLastError(0);
    return &h.entry;
}
