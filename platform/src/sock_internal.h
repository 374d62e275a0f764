/* Shared by the socket implementation files, which see the system's socket
 * headers and so name the Winsock entry points by their wsk_ symbols. */
#ifndef PLATFORM_SOCK_INTERNAL_H
#define PLATFORM_SOCK_INTERNAL_H

#include "internal.h"
#include "../win32/sock_records.h"

#define WSK_API extern "C" PLATFORM_API

WSK_API int wsk_WSAGetLastError(void);
WSK_API void wsk_WSASetLastError(int code);

namespace plat {
/* The Winsock code for an errno value. */
int wsa_code(int err);
/* True when WSAStartup has been called more often than WSACleanup. */
bool sockets_started();
} // namespace plat

#endif
