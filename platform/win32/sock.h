/* Windows Sockets: start-up and host name look-up.
 *
 * Several Winsock names are also POSIX names with other types or semantics
 * (gethostbyname is not thread-safe in the C library, and Winsock's hostent
 * has short fields). This header first includes the system headers that
 * declare them, then renames the Winsock versions with macros, so that a
 * system header included later (already guarded) cannot clash. */
#ifndef PLATFORM_WIN32_SOCK_H
#define PLATFORM_WIN32_SOCK_H

#include "types.h"

#include <arpa/inet.h> /* struct in_addr, inet_ntoa (per-thread buffer), inet_addr, htons */
#include <netdb.h>
#include <netinet/in.h>

#define WSADESCRIPTION_LEN 256
#define WSASYS_STATUS_LEN 128

typedef struct WSAData {
    WORD wVersion;
    WORD wHighVersion;
    unsigned short iMaxSockets;
    unsigned short iMaxUdpDg;
    char *lpVendorInfo;
    char szDescription[WSADESCRIPTION_LEN + 1];
    char szSystemStatus[WSASYS_STATUS_LEN + 1];
} WSADATA, *LPWSADATA;

#define MAKEWORD(lo, hi) ((WORD)(((BYTE)(lo)) | ((WORD)((BYTE)(hi))) << 8))

#define SOCKET_ERROR (-1)
#define WSAVERNOTSUPPORTED 10092
#define WSANOTINITIALISED 10093
#define WSAHOST_NOT_FOUND 11001
#define WSATRY_AGAIN 11002
#define WSANO_RECOVERY 11003
#define WSANO_DATA 11004

/* Winsock's host entry; h_addr_list holds 4-byte IPv4 addresses. */
struct wsk_hostent {
    char *h_name;
    char **h_aliases;
    short h_addrtype;
    short h_length;
    char **h_addr_list;
};
#define hostent wsk_hostent
typedef struct wsk_hostent HOSTENT;
#define gethostbyname wsk_gethostbyname

#ifdef __cplusplus
extern "C" {
#endif

/* Counted: every successful WSAStartup needs one WSACleanup. Versions below
 * 1.1 give WSAVERNOTSUPPORTED. */
PLATFORM_API int WSAStartup(WORD version, LPWSADATA data);
PLATFORM_API int WSACleanup(void);
PLATFORM_API int WSAGetLastError(void);
PLATFORM_API void WSASetLastError(int code);
/* IPv4 look-up through the system resolver. The result lives in storage of
 * the calling thread until its next call, so threads may resolve at once. */
PLATFORM_API struct wsk_hostent *wsk_gethostbyname(const char *name);

#ifdef __cplusplus
}
#endif

#endif
