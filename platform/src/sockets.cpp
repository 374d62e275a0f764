/* Winsock calls over POSIX sockets: error codes, option names, the Windows
 * descriptor set and non-blocking mode. Every successful call leaves the
 * thread's last socket error at 0. */
#include "sock_internal.h"

#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

/* The file descriptor behind a SOCKET, or -1. */
int fd_of(SOCKET s) { return s <= static_cast<SOCKET>(0x7fffffff) ? static_cast<int>(s) : -1; }

int fail() /* records errno as the last socket error */
{
    wsk_WSASetLastError(plat::wsa_code(errno));
    return SOCKET_ERROR;
}

int done(int result)
{
    wsk_WSASetLastError(0);
    return result;
}

int fail_with(int code)
{
    wsk_WSASetLastError(code);
    return SOCKET_ERROR;
}

/* Winsock option (level, name) -> POSIX (level, name); false when unknown. */
bool map_option(int level, int name, int *plevel, int *pname)
{
    struct Map {
        int level, name, plevel, pname;
    };
    static const Map maps[] = {
        {0xffff, 0x0004, SOL_SOCKET, SO_REUSEADDR}, {0xffff, 0x0008, SOL_SOCKET, SO_KEEPALIVE},
        {0xffff, 0x0010, SOL_SOCKET, SO_DONTROUTE}, {0xffff, 0x0020, SOL_SOCKET, SO_BROADCAST},
        {0xffff, 0x0080, SOL_SOCKET, SO_LINGER},    {0xffff, 0x0100, SOL_SOCKET, SO_OOBINLINE},
        {0xffff, 0x1001, SOL_SOCKET, SO_SNDBUF},    {0xffff, 0x1002, SOL_SOCKET, SO_RCVBUF},
        {0xffff, 0x1005, SOL_SOCKET, SO_SNDTIMEO},  {0xffff, 0x1006, SOL_SOCKET, SO_RCVTIMEO},
        {0xffff, 0x1007, SOL_SOCKET, SO_ERROR},     {0xffff, 0x1008, SOL_SOCKET, SO_TYPE},
        {0xffff, 0x0002, SOL_SOCKET, SO_ACCEPTCONN}, {0, 4, IPPROTO_IP, IP_TTL},
        {0, 9, IPPROTO_IP, IP_MULTICAST_IF},        {0, 10, IPPROTO_IP, IP_MULTICAST_TTL},
        {0, 11, IPPROTO_IP, IP_MULTICAST_LOOP},     {0, 12, IPPROTO_IP, IP_ADD_MEMBERSHIP},
        {0, 13, IPPROTO_IP, IP_DROP_MEMBERSHIP},    {6, 1, IPPROTO_TCP, TCP_NODELAY},
    };
    for (const Map &m : maps)
        if (m.level == level && m.name == name) {
            *plevel = m.plevel;
            *pname = m.pname;
            return true;
        }
    return false;
}

} // namespace

int plat::wsa_code(int err)
{
    switch (err) {
    case 0: return 0;
    case EINTR: return WSAEINTR;
    case EBADF:
    case ENOTSOCK: return WSAENOTSOCK;
    case EACCES:
    case EPERM: return WSAEACCES;
    case EFAULT: return WSAEFAULT;
    case EINVAL: return WSAEINVAL;
    case EMFILE:
    case ENFILE: return WSAEMFILE;
    case EAGAIN:
    case EINPROGRESS: return WSAEWOULDBLOCK; /* a connect in progress too, as Winsock reports it */
    case EALREADY: return WSAEALREADY;
    case EDESTADDRREQ: return WSAEDESTADDRREQ;
    case EMSGSIZE: return WSAEMSGSIZE;
    case EPROTOTYPE: return WSAEPROTOTYPE;
    case ENOPROTOOPT: return WSAENOPROTOOPT;
    case EPROTONOSUPPORT: return WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT: return WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP: return WSAEOPNOTSUPP;
    case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
    case EADDRINUSE: return WSAEADDRINUSE;
    case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
    case ENETDOWN: return WSAENETDOWN;
    case ENETUNREACH: return WSAENETUNREACH;
    case ENETRESET: return WSAENETRESET;
    case ECONNABORTED: return WSAECONNABORTED;
    case ECONNRESET: return WSAECONNRESET;
    case EPIPE:
    case ESHUTDOWN: return WSAESHUTDOWN;
    case ENOBUFS:
    case ENOMEM: return WSAENOBUFS;
    case EISCONN: return WSAEISCONN;
    case ENOTCONN: return WSAENOTCONN;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case ECONNREFUSED: return WSAECONNREFUSED;
    case EHOSTUNREACH:
    case EHOSTDOWN: return WSAEHOSTUNREACH;
    default: return 10000 + err;
    }
}

WSK_API SOCKET wsk_socket(int af, int type, int protocol)
{
    if (!plat::sockets_started()) {
        wsk_WSASetLastError(WSANOTINITIALISED);
        return INVALID_SOCKET;
    }
    int fd = socket(af, type | SOCK_CLOEXEC, protocol);
    if (fd < 0) {
        fail();
        return INVALID_SOCKET;
    }
    wsk_WSASetLastError(0);
    return static_cast<SOCKET>(fd);
}

WSK_API int wsk_closesocket(SOCKET s)
{
    int fd = fd_of(s);
    if (fd < 0)
        return fail_with(WSAENOTSOCK);
    return close(fd) == 0 ? done(0) : fail();
}

WSK_API int wsk_shutdown(SOCKET s, int how)
{
    return shutdown(fd_of(s), how) == 0 ? done(0) : fail(); /* SD_* equal SHUT_* */
}

WSK_API int wsk_bind(SOCKET s, const struct sockaddr *addr, int len)
{
    return bind(fd_of(s), addr, static_cast<socklen_t>(len)) == 0 ? done(0) : fail();
}

WSK_API int wsk_listen(SOCKET s, int backlog) { return listen(fd_of(s), backlog) == 0 ? done(0) : fail(); }

/* An accepted socket inherits the listening socket's non-blocking mode, as
 * on Windows (POSIX accept does not). */
WSK_API SOCKET wsk_accept(SOCKET s, struct sockaddr *addr, int *len)
{
    int fd = fd_of(s);
    int fl = fcntl(fd, F_GETFL);
    socklen_t l = len != nullptr ? static_cast<socklen_t>(*len) : 0;
    int c = accept4(fd, addr, len != nullptr ? &l : nullptr,
                    SOCK_CLOEXEC | (fl >= 0 && (fl & O_NONBLOCK) ? SOCK_NONBLOCK : 0));
    if (c < 0) {
        fail();
        return INVALID_SOCKET;
    }
    if (len != nullptr)
        *len = static_cast<int>(l);
    wsk_WSASetLastError(0);
    return static_cast<SOCKET>(c);
}

WSK_API int wsk_connect(SOCKET s, const struct sockaddr *addr, int len)
{
    return connect(fd_of(s), addr, static_cast<socklen_t>(len)) == 0 ? done(0) : fail();
}

WSK_API int wsk_send(SOCKET s, const char *buf, int len, int flags)
{
    ssize_t n = send(fd_of(s), buf, static_cast<size_t>(len < 0 ? 0 : len), flags | MSG_NOSIGNAL);
    return n >= 0 ? done(static_cast<int>(n)) : fail();
}

WSK_API int wsk_recv(SOCKET s, char *buf, int len, int flags)
{
    ssize_t n = recv(fd_of(s), buf, static_cast<size_t>(len < 0 ? 0 : len), flags);
    return n >= 0 ? done(static_cast<int>(n)) : fail();
}

WSK_API int wsk_sendto(SOCKET s, const char *buf, int len, int flags, const struct sockaddr *to, int tolen)
{
    ssize_t n = sendto(fd_of(s), buf, static_cast<size_t>(len < 0 ? 0 : len), flags | MSG_NOSIGNAL, to,
                       static_cast<socklen_t>(tolen));
    return n >= 0 ? done(static_cast<int>(n)) : fail();
}

WSK_API int wsk_recvfrom(SOCKET s, char *buf, int len, int flags, struct sockaddr *from, int *fromlen)
{
    socklen_t l = fromlen != nullptr ? static_cast<socklen_t>(*fromlen) : 0;
    ssize_t n = recvfrom(fd_of(s), buf, static_cast<size_t>(len < 0 ? 0 : len), flags, from,
                         fromlen != nullptr ? &l : nullptr);
    if (n < 0)
        return fail();
    if (fromlen != nullptr)
        *fromlen = static_cast<int>(l);
    return done(static_cast<int>(n));
}

WSK_API int wsk_setsockopt(SOCKET s, int level, int name, const char *value, int len)
{
    int plevel, pname;
    if (!map_option(level, name, &plevel, &pname))
        return fail_with(WSAENOPROTOOPT);
    if (value == nullptr || len < 0)
        return fail_with(WSAEFAULT);
    int fd = fd_of(s);
    int rc;
    if (pname == SO_LINGER && plevel == SOL_SOCKET) {
        if (len < static_cast<int>(sizeof(wsk_linger)))
            return fail_with(WSAEFAULT);
        wsk_linger w;
        memcpy(&w, value, sizeof w);
        struct linger l = {w.l_onoff != 0, w.l_linger};
        rc = setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    } else if ((pname == SO_RCVTIMEO || pname == SO_SNDTIMEO) && plevel == SOL_SOCKET) {
        DWORD ms = 0; /* milliseconds on Windows */
        memcpy(&ms, value, len < 4 ? static_cast<size_t>(len) : 4);
        struct timeval tv = {static_cast<time_t>(ms / 1000), static_cast<suseconds_t>(ms % 1000) * 1000};
        rc = setsockopt(fd, SOL_SOCKET, pname, &tv, sizeof tv);
    } else {
        rc = setsockopt(fd, plevel, pname, value, static_cast<socklen_t>(len));
    }
    return rc == 0 ? done(0) : fail();
}

WSK_API int wsk_getsockopt(SOCKET s, int level, int name, char *value, int *len)
{
    int plevel, pname;
    if (!map_option(level, name, &plevel, &pname))
        return fail_with(WSAENOPROTOOPT);
    if (value == nullptr || len == nullptr || *len < 0)
        return fail_with(WSAEFAULT);
    int fd = fd_of(s);
    if (plevel == SOL_SOCKET && pname == SO_LINGER) {
        struct linger l;
        socklen_t ll = sizeof l;
        if (*len < static_cast<int>(sizeof(wsk_linger)))
            return fail_with(WSAEFAULT);
        if (getsockopt(fd, SOL_SOCKET, SO_LINGER, &l, &ll) != 0)
            return fail();
        wsk_linger w = {static_cast<u_short>(l.l_onoff), static_cast<u_short>(l.l_linger)};
        memcpy(value, &w, sizeof w);
        *len = sizeof w;
        return done(0);
    }
    socklen_t l = static_cast<socklen_t>(*len);
    if (getsockopt(fd, plevel, pname, value, &l) != 0)
        return fail();
    if (plevel == SOL_SOCKET && pname == SO_ERROR && l >= sizeof(int)) {
        int err;
        memcpy(&err, value, sizeof err);
        err = plat::wsa_code(err);
        memcpy(value, &err, sizeof err);
    }
    *len = static_cast<int>(l);
    return done(0);
}

WSK_API int wsk_ioctlsocket(SOCKET s, long cmd, u_long *arg)
{
    int fd = fd_of(s);
    unsigned long c = static_cast<unsigned long>(cmd) & 0xffffffffu;
    if (arg == nullptr)
        return fail_with(WSAEFAULT);
    if (c == 0x8004667Eu) { /* FIONBIO */
        int fl = fcntl(fd, F_GETFL);
        if (fl < 0)
            return fail();
        fl = *arg ? fl | O_NONBLOCK : fl & ~O_NONBLOCK;
        return fcntl(fd, F_SETFL, fl) == 0 ? done(0) : fail();
    }
    if (c == 0x4004667Fu) { /* FIONREAD */
        int n = 0;
        if (ioctl(fd, FIONREAD, &n) != 0)
            return fail();
        *arg = static_cast<u_long>(n);
        return done(0);
    }
    return fail_with(WSAEINVAL);
}

WSK_API int wsk___WSAFDIsSet(SOCKET s, wsk_fd_set *set)
{
    for (u_int i = 0; set != nullptr && i < set->fd_count && i < WSK_FD_SETSIZE; i++)
        if (set->fd_array[i] == s)
            return 1;
    return 0;
}

/* select on Windows sets through poll. Readable covers data, a waiting
 * connection, a closed or reset peer; writable a connected socket that can
 * send; exceptional out-of-band data and a failed connect. */
WSK_API int wsk_select(int nfds, wsk_fd_set *readfds, wsk_fd_set *writefds, wsk_fd_set *exceptfds,
                       const struct timeval *timeout)
{
    (void)nfds;
    wsk_fd_set *sets[3] = {readfds, writefds, exceptfds};
    struct pollfd fds[3 * WSK_FD_SETSIZE];
    int nfd = 0;
    for (int k = 0; k < 3; k++) {
        if (sets[k] == nullptr)
            continue;
        if (sets[k]->fd_count > WSK_FD_SETSIZE)
            return fail_with(WSAEINVAL);
        for (u_int i = 0; i < sets[k]->fd_count; i++) {
            int fd = fd_of(sets[k]->fd_array[i]);
            if (fd < 0)
                return fail_with(WSAENOTSOCK);
            int j = 0;
            while (j < nfd && fds[j].fd != fd)
                j++;
            if (j == nfd)
                fds[nfd++] = {fd, 0, 0};
            fds[j].events |= static_cast<short>(k == 0 ? POLLIN : k == 1 ? POLLOUT : POLLPRI);
        }
    }
    if (nfd == 0)
        return fail_with(WSAEINVAL); /* Winsock refuses a select without sockets */
    int ms = -1;
    if (timeout != nullptr) {
        long long t = static_cast<long long>(timeout->tv_sec) * 1000 + (timeout->tv_usec + 999) / 1000;
        ms = t > 0x7fffffff ? 0x7fffffff : t < 0 ? 0 : static_cast<int>(t);
    }
    int n;
    while ((n = poll(fds, static_cast<nfds_t>(nfd), ms)) < 0 && errno == EINTR) {
    }
    if (n < 0)
        return fail();
    for (int j = 0; j < nfd; j++)
        if (fds[j].revents & POLLNVAL)
            return fail_with(WSAENOTSOCK);
    int total = 0;
    for (int k = 0; k < 3; k++) {
        if (sets[k] == nullptr)
            continue;
        u_int kept = 0;
        for (u_int i = 0; i < sets[k]->fd_count; i++) {
            int fd = fd_of(sets[k]->fd_array[i]);
            short r = 0;
            for (int j = 0; j < nfd; j++)
                if (fds[j].fd == fd)
                    r = fds[j].revents;
            bool ready = k == 0   ? (r & (POLLIN | POLLHUP | POLLERR)) != 0
                         : k == 1 ? (r & POLLOUT) != 0 && (r & POLLERR) == 0
                                  : (r & (POLLPRI | POLLERR)) != 0;
            if (ready)
                sets[k]->fd_array[kept++] = sets[k]->fd_array[i];
        }
        sets[k]->fd_count = kept;
        total += static_cast<int>(kept);
    }
    return done(total);
}

WSK_API int wsk_getsockname(SOCKET s, struct sockaddr *addr, int *len)
{
    socklen_t l = len != nullptr ? static_cast<socklen_t>(*len) : 0;
    if (getsockname(fd_of(s), addr, &l) != 0)
        return fail();
    if (len != nullptr)
        *len = static_cast<int>(l);
    return done(0);
}

WSK_API int wsk_getpeername(SOCKET s, struct sockaddr *addr, int *len)
{
    socklen_t l = len != nullptr ? static_cast<socklen_t>(*len) : 0;
    if (getpeername(fd_of(s), addr, &l) != 0)
        return fail();
    if (len != nullptr)
        *len = static_cast<int>(l);
    return done(0);
}
