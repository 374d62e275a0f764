/* xsocketpack: one xsocket turned into a working endpoint. Settings arrive as
 * text keys; in callback mode a receiver thread (and for a TCP server an
 * acceptor thread) reports everything through three callbacks that share one
 * event record. Sends run on the caller's thread. */
#ifndef XSOCKETPACK_H
#define XSOCKETPACK_H

#include "xdlist.h"
#include "xsocket.h"

/* status codes of the connection-status callback */
#define XSP_CONNECTED 0
#define XSP_CLOSED_BY_RECEIVER (-9000)
#define XSP_CONNECTING (-9003)
#define XSP_CLOSING (-9005)
#define XSP_CLOSED (-9006)
/* codes returned by start */
#define XSP_NO_SOCKET (-9100)
#define XSP_NO_ADDRESSES (-9101)
#define XSP_NO_OPTIONS (-9102)
#define XSP_NO_BIND (-9103)
#define XSP_NO_JOIN (-9104)
#define XSP_NO_LISTEN (-9105)

/* thread messages of the workers (thread 0 receiver, 1 acceptor) */
#define XSP_STOP_RECEIVER 2654
#define XSP_STOP_ACCEPTOR 2655
#define XSP_END_RECEIVER 2670
#define XSP_END_ACCEPTOR 2671

/* BUCKET_SIZE above this is refused by open */
#define XSP_MAX_BUCKET (16 * 1024 * 1024)

struct xsocketpack;

/* The one event record of a pack; valid only while a callback runs. */
struct xsocket_event {
    int sock;
    void *data;
    int length; /* bytes received (> 0) or a status code (<= 0) */
    struct sockaddr_in peer;
    xsocketpack *owner;
};

typedef int (*xsocket_callback)(xsocket_event *event, void *user);
typedef int (*xsocket_dispatch)(xsocket_event *event, xsocketpack *pack);

struct xsocketpack_ops {
    int (*set_config)(xsocketpack *self, const char *key, const char *value);
    int (*open)(xsocketpack *self);
    int (*create)(xsocketpack *self);
    int (*destroy)(xsocketpack *self);
    int (*start)(xsocketpack *self, unsigned char mode);
    int (*stop)(xsocketpack *self);
    int (*connect)(xsocketpack *self);
    int (*disconnect)(xsocketpack *self);
    int (*reserved)(xsocketpack *self);
    int (*send_to)(xsocketpack *self, int s, const void *data, int length, struct sockaddr_in addr);
    int (*recv_from)(xsocketpack *self, int s, void *buffer, int capacity, struct sockaddr_in *from);
    int (*send)(xsocketpack *self, int s, const void *data, int length);
    int (*recv)(xsocketpack *self, int s, void *buffer, int capacity);
    int (*spare1)(xsocketpack *self);
    int (*spare2)(xsocketpack *self);
    int (*set_callback)(xsocketpack *self, xsocket_callback callback, int index, void *user);
    int (*start_threads)(xsocketpack *self);
    int (*stop_threads)(xsocketpack *self);
    unsigned(__stdcall *receiver)(void *pack);
    unsigned(__stdcall *acceptor)(void *pack);
    xsocket_dispatch dispatch_recv;
    xsocket_dispatch dispatch_recv_from;
    xsocket_dispatch dispatch_status;
    char *(*address_to_text)(xsocketpack *self, struct sockaddr_in addr);
    unsigned (*text_to_address)(xsocketpack *self, const char *text);
    /* utilbox, bound by open */
    int (*get_semaphore)(int tries, unsigned char *flag);
    int (*set_semaphore)(unsigned char *flag);
    int (*signal_post)(unsigned tid, unsigned msg, int lparam);
    int (*signal_peek)(int tries, unsigned msg, int *lparam);
    unsigned (*get_thread_id)(void);
    int (*get_thread_status)(int tries, unsigned msg, int *lparam);
    int (*thread_detach)(unsigned tid);
    int (*thread_create)(unsigned(__stdcall *start)(void *), void *arg, unsigned *tid);
    int (*thread_destroy)(unsigned msg, unsigned tid);
    void (*thread_exit)(unsigned msg, unsigned tid);
    int64_t (*timer_start)(void);
    int64_t (*timer_stop)(void);
    double (*timer_elapsed)(int64_t start, int64_t stop);
    int (*msleep)(unsigned ms);
    void (*empty39)(void);
    void (*empty40)(void);
    int (*fprint_buffer)(const char *title, const void *data, int len, char *out);
    int (*get_hostip)(const char *host, char *out);
};
static_assert(sizeof(xsocketpack_ops) == 43 * sizeof(void *), "xsocketpack has 43 slots");

struct xsocketpack {
    xsocket_dispatch dispatchers[3];
    xsocket_callback callbacks[3];
    void *users[3];
    xsocket *sock;
    xdlistpack *clients; /* one 4-byte socket handle per accepted connection */
    int thread_count;
    unsigned owner_tid;
    unsigned thread_ids[2]; /* receiver, acceptor */
    unsigned char flags[2]; /* acknowledgement flags */
    int last_accepted;
    HMODULE utilbox;
    unsigned char mode; /* 0 callback mode, 1 blocking, other: non-blocking without threads */
    /* configuration */
    char ip[20];
    uint16_t port;
    int listen;
    char desc[20];
    char proto[4];
    char role[8];
    char cast[16];
    char remote[16];
    char remote_ip[20];
    uint16_t remote_port;
    int bucket_size;
    int bucket_count;
    int connection_timeout;
    unsigned char console_print;
    xsocketpack_ops *ops;
    xsocket_event event;
    char *buffer; /* bucket_size bytes and one spare, so a consumer may terminate the data in place */
    /* Serialises every access to the client list and every delivery, from
     * filling the event record until the callback returns. Initialised by
     * open, deleted by destroy; never held while waiting for a thread. */
    CRITICAL_SECTION lock;
    unsigned char lock_ready;
    /* Set under the lock when the receiver has closed the own socket (a TCP
     * client whose connection failed or ended), so that disconnect does not
     * close the same descriptor number again, which by then may belong to
     * another file. */
    unsigned char own_closed;
};

/* Calls dispatcher i with the pack's record (the caller holds the lock); a
 * dispatcher that was never set is skipped instead of called through null. */
static inline void xsp_deliver(xsocketpack *p, int i)
{
    if (p->dispatchers[i] != nullptr)
        p->dispatchers[i](&p->event, p);
}

extern "C" {
CONDUIT_API int new_xsocketpack(xsocketpack **out);
CONDUIT_API int delete_xsocketpack(xsocketpack **p);
}

#endif
