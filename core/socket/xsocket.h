/* xsocket: one IPv4 endpoint of the socket library, with its addresses, role
 * and protocol as plain fields and one slot per socket step. It holds no
 * thread and no lock; the socket pack fills its fields and drives it. */
#ifndef XSOCKET_H
#define XSOCKET_H

#include "conduit_api.h"

#include "win32.h"

/* role, protocol and cast bits of xsocket::flags */
#define XS_SERVER 0x80
#define XS_CLIENT 0x40
#define XS_TCP 0x20
#define XS_UDP 0x10
#define XS_UNICAST 0x08
#define XS_BROADCAST 0x04
#define XS_MULTICAST 0x02
#define XS_RAW 0x01

#define XS_NOT_CONNECTED (-9001) /* not connected, or closed by the peer */
#define XS_RESET (-9002)         /* reset by the peer */

struct xsocket;
struct xsocket_ops {
    int (*init)(xsocket *self);
    int (*cleanup)(xsocket *self);
    int (*create)(xsocket *self);
    int (*close)(xsocket *self);
    int (*bind)(xsocket *self);
    int (*listen)(xsocket *self);
    int (*accept)(xsocket *self);
    int (*wait_connected)(xsocket *self, int ms);
    int (*connect)(xsocket *self);
    int (*select)(xsocket *self);
    int (*set_local_address)(xsocket *self);
    int (*set_remote_port)(xsocket *self);
    int (*set_addresses)(xsocket *self);
    int (*set_group)(xsocket *self);
    int (*join_group)(xsocket *self);
    int (*leave_group)(xsocket *self);
    int (*set_options)(xsocket *self, unsigned char mode);
    int (*set_socket_options)(xsocket *self, int s, unsigned char mode);
    int (*set_stream_options)(xsocket *self);
    int (*close_socket)(xsocket *self, int s);
    int (*set_send_buffer)(xsocket *self);
    int (*set_recv_buffer)(xsocket *self);
    int (*set_multicast_ttl)(xsocket *self);
    int (*is_readable)(xsocket *self, int s);
    int (*load_read_set)(xsocket *self);
    int (*add_to_set)(xsocket *self, int s);
    int (*remove_from_set)(xsocket *self, int s);
    int (*reset_set)(xsocket *self);
    char *(*address_to_text)(xsocket *self, struct sockaddr_in addr);
    unsigned (*text_to_address)(xsocket *self, const char *text);
    char *(*error_text)(xsocket *self, int err);
    int (*send)(xsocket *self, int s, const void *data, int length);
    int (*recv)(xsocket *self, int s, void *buffer, int capacity);
    int (*send_to)(xsocket *self, int s, const void *data, int length, struct sockaddr_in addr);
    int (*recv_from)(xsocket *self, int s, void *buffer, int capacity, struct sockaddr_in *from);
};
static_assert(sizeof(xsocket_ops) == 35 * sizeof(void *), "xsocket has 35 slots");

struct xsocket {
    uint16_t local_port;
    uint16_t remote_port;
    uint32_t local_address;  /* network order */
    uint32_t remote_address; /* network order: the peer, the group or the broadcast address */
    unsigned char flags;
    unsigned char type; /* 1 stream, 2 datagram, 3 raw */
    unsigned char ttl;  /* multicast time-to-live */
    unsigned char backlog;
    int send_buffer;
    int recv_buffer;
    int bucket_size;
    int bucket_count;
    int connection_timeout; /* ms */
    int sock;               /* -1 is no socket */
    struct ip_mreq membership;
    struct sockaddr_in primary;   /* bind and connect */
    struct sockaddr_in secondary; /* send_to for broadcast and multicast */
    struct sockaddr_in peer;      /* written by accept */
    fd_set working_set;
    fd_set master_set;
    struct timeval select_timeout;
    xsocket_ops *ops;
    WSADATA wsa;
};

extern "C" {
CONDUIT_API int new_xsocket(xsocket **out);
CONDUIT_API int delete_xsocket(xsocket **p);
}

#endif
