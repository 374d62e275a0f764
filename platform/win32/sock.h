/* Windows Sockets 2 over POSIX sockets.
 *
 * The Winsock calls share their names with the C library's socket calls but
 * not their types (SOCKET is pointer-sized, fd_set is a count and an array,
 * hostent has short fields, option names have other values). They are
 * declared here as C++ functions whose linker names carry the prefix wsk_,
 * so the C library's functions keep their own symbols for every other user
 * in the process. A file that includes this header must not also include the
 * system's socket headers; doing so is a compile error rather than a silent
 * mix of the two. */
#ifndef PLATFORM_WIN32_SOCK_H
#define PLATFORM_WIN32_SOCK_H

#include "types.h"
#include "sock_records.h"

#if defined(_SYS_SOCKET_H) || defined(_NETINET_IN_H) || defined(_NETDB_H) || defined(_ARPA_INET_H)
#error "win32/sock.h cannot be mixed with the system's socket headers"
#endif

/* <sys/select.h> comes with the C library's standard headers; its fd_set is
 * renamed here so that the Winsock record can take the name. */
#include <sys/select.h> /* struct timeval */
#undef FD_SETSIZE
#undef FD_SET
#undef FD_CLR
#undef FD_ZERO
#undef FD_ISSET
#define fd_set wsk_fd_set

#define FD_SETSIZE WSK_FD_SETSIZE

#define FD_ZERO(set) (((wsk_fd_set *)(set))->fd_count = 0)
#define FD_ISSET(s, set) __WSAFDIsSet((SOCKET)(s), (wsk_fd_set *)(set))
#define FD_SET(s, set)                                                                                        \
    do {                                                                                                      \
        wsk_fd_set *fds_ = (wsk_fd_set *)(set);                                                               \
        u_int i_ = 0;                                                                                         \
        while (i_ < fds_->fd_count && fds_->fd_array[i_] != (SOCKET)(s))                                      \
            i_++;                                                                                             \
        if (i_ == fds_->fd_count && fds_->fd_count < FD_SETSIZE)                                              \
            fds_->fd_array[fds_->fd_count++] = (SOCKET)(s);                                                   \
    } while (0)
#define FD_CLR(s, set)                                                                                        \
    do {                                                                                                      \
        wsk_fd_set *fds_ = (wsk_fd_set *)(set);                                                               \
        for (u_int i_ = 0; i_ < fds_->fd_count; i_++)                                                         \
            if (fds_->fd_array[i_] == (SOCKET)(s)) {                                                          \
                for (; i_ + 1 < fds_->fd_count; i_++)                                                         \
                    fds_->fd_array[i_] = fds_->fd_array[i_ + 1];                                              \
                fds_->fd_count--;                                                                             \
                break;                                                                                        \
            }                                                                                                 \
    } while (0)

/* ---- addresses ---- */
#define AF_UNSPEC 0
#define AF_INET 2
#define PF_INET AF_INET
#define SOCK_STREAM 1
#define SOCK_DGRAM 2
#define SOCK_RAW 3
#define IPPROTO_IP 0
#define IPPROTO_ICMP 1
#define IPPROTO_TCP 6
#define IPPROTO_UDP 17
#define IPPROTO_RAW 255
#define INADDR_ANY ((u_long)0x00000000)
#define INADDR_LOOPBACK 0x7f000001
#define INADDR_BROADCAST ((u_long)0xffffffff)
#define INADDR_NONE 0xffffffff

struct in_addr {
    uint32_t s_addr; /* network byte order */
};
typedef struct in_addr IN_ADDR;

struct sockaddr {
    u_short sa_family;
    char sa_data[14];
};
typedef struct sockaddr SOCKADDR;

struct sockaddr_in {
    short sin_family;
    u_short sin_port;
    struct in_addr sin_addr;
    char sin_zero[8];
};
typedef struct sockaddr_in SOCKADDR_IN;

struct ip_mreq {
    struct in_addr imr_multiaddr;
    struct in_addr imr_interface;
};

#define linger wsk_linger

#define hostent wsk_hostent
typedef struct wsk_hostent HOSTENT;
#define h_addr h_addr_list[0]

/* ---- options (Winsock values) ---- */
#define SOL_SOCKET 0xffff
#define SO_DEBUG 0x0001
#define SO_ACCEPTCONN 0x0002
#define SO_REUSEADDR 0x0004
#define SO_KEEPALIVE 0x0008
#define SO_DONTROUTE 0x0010
#define SO_BROADCAST 0x0020
#define SO_LINGER 0x0080
#define SO_OOBINLINE 0x0100
#define SO_SNDBUF 0x1001
#define SO_RCVBUF 0x1002
#define SO_SNDTIMEO 0x1005
#define SO_RCVTIMEO 0x1006
#define SO_ERROR 0x1007
#define SO_TYPE 0x1008
#define IP_TTL 4
#define IP_MULTICAST_IF 9
#define IP_MULTICAST_TTL 10
#define IP_MULTICAST_LOOP 11
#define IP_ADD_MEMBERSHIP 12
#define IP_DROP_MEMBERSHIP 13
#define TCP_NODELAY 0x0001

#define FIONREAD 0x4004667Fu
#define FIONBIO 0x8004667Eu

#define SD_RECEIVE 0
#define SD_SEND 1
#define SD_BOTH 2

#define MSG_OOB 0x1
#define MSG_PEEK 0x2

static inline u_short htons(u_short v) { return (u_short)((v << 8) | (v >> 8)); }
static inline u_short ntohs(u_short v) { return htons(v); }
static inline uint32_t htonl(uint32_t v) { return __builtin_bswap32(v); }
static inline uint32_t ntohl(uint32_t v) { return __builtin_bswap32(v); }

#define WSK_NAME(n) __asm__("wsk_" #n)

/* Counted: every successful WSAStartup needs one WSACleanup. */
PLATFORM_API int WSAStartup(WORD version, LPWSADATA data) WSK_NAME(WSAStartup);
PLATFORM_API int WSACleanup(void) WSK_NAME(WSACleanup);
/* The calling thread's last socket error; every successful call below sets
 * it to 0. POSIX errors map onto the Winsock codes above (a connect in
 * progress and a call that would block both give WSAEWOULDBLOCK); an errno
 * without a Winsock counterpart gives 10000 + errno. */
PLATFORM_API int WSAGetLastError(void) WSK_NAME(WSAGetLastError);
PLATFORM_API void WSASetLastError(int code) WSK_NAME(WSASetLastError);

PLATFORM_API SOCKET socket(int af, int type, int protocol) WSK_NAME(socket);
PLATFORM_API int closesocket(SOCKET s) WSK_NAME(closesocket);
PLATFORM_API int shutdown(SOCKET s, int how) WSK_NAME(shutdown);
PLATFORM_API int bind(SOCKET s, const struct sockaddr *addr, int len) WSK_NAME(bind);
PLATFORM_API int listen(SOCKET s, int backlog) WSK_NAME(listen);
PLATFORM_API SOCKET accept(SOCKET s, struct sockaddr *addr, int *len) WSK_NAME(accept);
PLATFORM_API int connect(SOCKET s, const struct sockaddr *addr, int len) WSK_NAME(connect);
/* Sending never raises SIGPIPE: a closed peer is an error code. */
PLATFORM_API int send(SOCKET s, const char *buf, int len, int flags) WSK_NAME(send);
PLATFORM_API int recv(SOCKET s, char *buf, int len, int flags) WSK_NAME(recv);
PLATFORM_API int sendto(SOCKET s, const char *buf, int len, int flags, const struct sockaddr *to, int tolen)
    WSK_NAME(sendto);
PLATFORM_API int recvfrom(SOCKET s, char *buf, int len, int flags, struct sockaddr *from, int *fromlen)
    WSK_NAME(recvfrom);
/* Options take the Winsock levels, names and value layouts (a linger of two
 * u_shorts, IP_MULTICAST_TTL of one byte or an int; SO_ERROR reads back a
 * Winsock code). Linux's own rules stand where they differ by design: for
 * example SO_REUSEADDR does not let a second socket bind a port another
 * socket listens on. */
PLATFORM_API int setsockopt(SOCKET s, int level, int name, const char *value, int len) WSK_NAME(setsockopt);
PLATFORM_API int getsockopt(SOCKET s, int level, int name, char *value, int *len) WSK_NAME(getsockopt);
/* FIONBIO (non-blocking on/off) and FIONREAD (bytes waiting). */
PLATFORM_API int ioctlsocket(SOCKET s, long cmd, u_long *arg) WSK_NAME(ioctlsocket);
/* nfds is ignored, as on Windows; the sets are rewritten to the ready sockets. */
PLATFORM_API int select(int nfds, wsk_fd_set *readfds, wsk_fd_set *writefds, wsk_fd_set *exceptfds,
                        const struct timeval *timeout) WSK_NAME(select);
PLATFORM_API int __WSAFDIsSet(SOCKET s, wsk_fd_set *set) WSK_NAME(__WSAFDIsSet);
PLATFORM_API int getsockname(SOCKET s, struct sockaddr *addr, int *len) WSK_NAME(getsockname);
PLATFORM_API int getpeername(SOCKET s, struct sockaddr *addr, int *len) WSK_NAME(getpeername);

/* Dotted text of an address, in a buffer of the calling thread that lasts
 * until its next conversion. */
PLATFORM_API char *inet_ntoa(struct in_addr a) WSK_NAME(inet_ntoa);
/* INADDR_NONE (all ones) for a text that is no dotted address. */
PLATFORM_API unsigned long inet_addr(const char *text) WSK_NAME(inet_addr);
/* IPv4 look-up through the system resolver; the result lives in storage of
 * the calling thread until its next call, so threads may resolve at once. */
PLATFORM_API struct hostent *gethostbyname(const char *name) WSK_NAME(gethostbyname);

#endif
