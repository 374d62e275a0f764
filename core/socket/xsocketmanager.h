/* xsocketmanager: the socket channel's face toward its users. It owns one
 * socket pack, turns five texts (address, port, role, protocol, cast) into
 * the pack's keys with fixed defaults, passes each event on to the user's
 * callback, and lets socket handle 0 stand for the pack's own socket. */
#ifndef XSOCKETMANAGER_H
#define XSOCKETMANAGER_H

#include "xsocketpack.h"

struct xsocketmanager;
/* The dispatch slots are the pack's callbacks: (event record, the manager). */
typedef xsocket_callback xsocketmanager_dispatch;

struct xsocketmanager_ops {
    int (*create)(xsocketmanager *self);
    int (*release)(xsocketmanager *self);
    int (*open)(xsocketmanager *self);
    int (*close)(xsocketmanager *self);
    int (*start)(xsocketmanager *self, unsigned char mode);
    int (*stop)(xsocketmanager *self);
    int (*configure)(xsocketmanager *self, const char *address, const char *port, const char *role,
                     const char *protocol, const char *cast);
    int (*send)(xsocketmanager *self, int s, const void *data, int length);
    int (*recv)(xsocketmanager *self, int s, void *buffer, int capacity);
    int (*send_to)(xsocketmanager *self, int s, const void *data, int length, const char *address, uint16_t port);
    int (*recv_from)(xsocketmanager *self, int s, void *buffer, int capacity, char *address, uint16_t *port);
    xsocketmanager_dispatch dispatch_recv;
    xsocketmanager_dispatch dispatch_recv_from;
    xsocketmanager_dispatch dispatch_status;
    int (*set_callback)(xsocketmanager *self, xsocket_callback callback, int index, void *user);
    int (*print_buffer)(xsocketmanager *self, const char *title, const void *data, int length, char *out);
    int (*host_address)(xsocketmanager *self, const char *host, char *out);
};
static_assert(sizeof(xsocketmanager_ops) == 17 * sizeof(void *), "xsocketmanager has 17 slots");

struct xsocketmanager {
    xsocketpack *pack;
    xsocket_callback callbacks[3];
    xsocketmanager_dispatch dispatchers[3];
    void *users[3];
    xsocketmanager_ops *ops;
};

extern "C" {
CONDUIT_API int new_xsocketmanager(xsocketmanager **out);
CONDUIT_API int delete_xsocketmanager(xsocketmanager **p);
}

#endif
