/* xsocketpack: configuration, open, start, stop, events. */
#include "xsocketpack.h"
#include "xobject.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

bool has(const xsocketpack *p, unsigned char bits) { return (p->sock->flags & bits) == bits; }

/* Copies a text value into a field, cut to the field's room. */
void store(char *field, size_t room, const char *value) { snprintf(field, room, "%s", value); }

void lock(xsocketpack *p) { EnterCriticalSection(&p->lock); }
void unlock(xsocketpack *p) { LeaveCriticalSection(&p->lock); }

void status_event(xsocketpack *p, int s, int code)
{
    lock(p);
    p->event.sock = s;
    p->event.length = code;
    xsp_deliver(p, 2);
    unlock(p);
}

int p_set_config(xsocketpack *p, const char *key, const char *value)
{
    if (key == nullptr || value == nullptr)
        return 0;
    if (strcmp(key, "SYSTEM_DESC") == 0)
        store(p->desc, sizeof p->desc, value);
    else if (strcmp(key, "IP") == 0)
        store(p->ip, sizeof p->ip, value);
    else if (strcmp(key, "PORT") == 0)
        p->port = static_cast<uint16_t>(atoi(value));
    else if (strcmp(key, "LISTEN") == 0)
        p->listen = atoi(value);
    else if (strcmp(key, "PROTO_TYPE") == 0)
        store(p->proto, sizeof p->proto, value);
    else if (strcmp(key, "SYSTEM_TYPE") == 0)
        store(p->role, sizeof p->role, value);
    else if (strcmp(key, "CAST_TYPE") == 0)
        store(p->cast, sizeof p->cast, value);
    else if (strcmp(key, "REMOTE") == 0)
        store(p->remote, sizeof p->remote, value);
    else if (strcmp(key, "REMOTE_IP") == 0)
        store(p->remote_ip, sizeof p->remote_ip, value);
    else if (strcmp(key, "REMOTE_PORT") == 0)
        p->remote_port = static_cast<uint16_t>(atoi(value));
    else if (strcmp(key, "BUCKET_SIZE") == 0)
        p->bucket_size = atoi(value);
    else if (strcmp(key, "BUCKET_COUNT") == 0)
        p->bucket_count = atoi(value);
    else if (strcmp(key, "CONNECTION_TIMEOUT") == 0)
        p->connection_timeout = atoi(value);
    else if (strcmp(key, "CONSOLE_PRINT") == 0)
        p->console_print = strcmp(value, "YES") == 0;
    return 0;
}

const char *const kUtilNames[] = {"msleep",         "signal_post",   "signal_peek",  "get_thread_id",
                                  "get_thread_status", "thread_detach", "thread_create", "thread_destroy",
                                  "thread_exit",    "get_hostip",    "get_semaphore", "set_semaphore",
                                  "fprint_buffer",  "timer_start",   "timer_stop",   "timer_elapsed"};
const int kUtilCount = 16;

void util_slots(xsocketpack *p, void *slots[kUtilCount])
{
    xsocketpack_ops *o = p->ops;
    void *s[kUtilCount] = {&o->msleep,        &o->signal_post,   &o->signal_peek,   &o->get_thread_id,
                           &o->get_thread_status, &o->thread_detach, &o->thread_create, &o->thread_destroy,
                           &o->thread_exit,   &o->get_hostip,    &o->get_semaphore, &o->set_semaphore,
                           &o->fprint_buffer, &o->timer_start,   &o->timer_stop,    &o->timer_elapsed};
    memcpy(slots, s, sizeof s);
}

int p_create(xsocketpack *p)
{
    if (new_xdlistpack(&p->clients) != 0 || new_xsocket(&p->sock) != 0)
        return -1;
    p->sock->sock = -1;
    return p->clients->ops->init(p->clients);
}

int p_destroy(xsocketpack *p);

/* Refuses (-1) a missing utilbox, a BUCKET_SIZE that is not positive or
 * above XSP_MAX_BUCKET, and a failed allocation; destroy cleans up after it. */
int p_open(xsocketpack *p)
{
    void *slots[kUtilCount];
    util_slots(p, slots);
    if (x_bind_utilbox(&p->utilbox, slots, kUtilNames, kUtilCount) != 0)
        return -1;
    if (!p->lock_ready) {
        InitializeCriticalSection(&p->lock);
        p->lock_ready = 1;
    }
    if (p->bucket_size <= 0 || p->bucket_size > XSP_MAX_BUCKET || p_create(p) != 0)
        return -1;
    p->owner_tid = p->ops->get_thread_id();
    xsocket *s = p->sock;
    const unsigned char proto = p->proto[0] == 'T' ? XS_TCP : p->proto[0] == 'U' ? XS_UDP : p->proto[0] == 'R' ? XS_RAW : 0;
    const unsigned char role = p->role[0] == 'S' ? XS_SERVER : p->role[0] == 'C' ? XS_CLIENT : 0;
    const unsigned char cast = p->cast[0] == 'U'   ? XS_UNICAST
                               : p->cast[0] == 'B' ? XS_BROADCAST
                               : p->cast[0] == 'M' ? XS_MULTICAST
                                                   : 0;
    s->flags = static_cast<unsigned char>(proto | role | cast);
    if (has(p, XS_SERVER | XS_TCP))
        s->backlog = static_cast<unsigned char>(p->listen);
    if (has(p, XS_SERVER | XS_TCP) || has(p, XS_UDP) || has(p, XS_RAW)) {
        s->local_address = s->ops->text_to_address(s, p->ip);
        s->local_port = p->port;
    }
    if (has(p, XS_UDP | XS_BROADCAST) || has(p, XS_UDP | XS_MULTICAST) || has(p, XS_CLIENT)) {
        s->remote_address = s->ops->text_to_address(s, p->remote_ip);
        s->remote_port = p->remote_port;
    }
    s->bucket_size = p->bucket_size;
    s->bucket_count = p->bucket_count;
    s->connection_timeout = p->connection_timeout;
    free(p->buffer);
    p->buffer = static_cast<char *>(calloc(1, static_cast<size_t>(p->bucket_size) + 1));
    if (p->buffer == nullptr)
        return -1;
    p->event.data = p->buffer;
    p->event.owner = p;
    s->ops->init(s);
    return 0;
}

int p_destroy(xsocketpack *p)
{
    if (p == nullptr)
        return -1;
    free(p->buffer);
    p->buffer = nullptr;
    p->event.data = nullptr;
    if (p->sock != nullptr) {
        if (p->sock->type != 0)
            p->sock->ops->cleanup(p->sock);
        delete_xsocket(&p->sock);
    }
    if (p->clients != nullptr) {
        p->clients->ops->final(p->clients);
        delete_xdlistpack(&p->clients);
    }
    if (p->lock_ready) {
        DeleteCriticalSection(&p->lock);
        p->lock_ready = 0;
    }
    void *slots[kUtilCount];
    util_slots(p, slots);
    x_unbind_utilbox(&p->utilbox, slots, kUtilCount);
    return 0;
}

int p_connect(xsocketpack *p)
{
    if (!has(p, XS_CLIENT | XS_TCP | XS_UNICAST))
        return 0;
    xsocket *s = p->sock;
    status_event(p, s->sock, XSP_CONNECTING);
    int rc = s->ops->connect(s);
    if (p->mode != 1)
        return rc;
    if (rc != 0) {
        status_event(p, s->sock, XS_NOT_CONNECTED);
        return -1;
    }
    status_event(p, s->sock, XSP_CONNECTED);
    return rc;
}

int p_start(xsocketpack *p, unsigned char mode)
{
    if (p->sock == nullptr || p->buffer == nullptr || p->utilbox == nullptr)
        return -1; /* not opened */
    xsocket *s = p->sock;
    int h = s->type != 0 ? s->ops->create(s) : -1;
    if (h < 0)
        return XSP_NO_SOCKET;
    p->own_closed = 0;
    p->mode = has(p, XS_SERVER) ? 0 : mode;
    if (s->ops->set_options(s, p->mode) < 0)
        return XSP_NO_OPTIONS;
    p_connect(p);
    if (has(p, XS_UDP) && s->ops->set_addresses(s) < 0)
        return XSP_NO_ADDRESSES;
    p->ops->msleep(1);
    /* A TCP server listens on its configured address (any for an empty IP),
     * not on every interface. */
    if (has(p, XS_SERVER | XS_TCP) && p->ip[0] != '\0')
        s->primary.sin_addr.s_addr = s->local_address;
    if ((has(p, XS_SERVER | XS_TCP) || has(p, XS_UDP) || has(p, XS_RAW)) && s->ops->bind(s) < 0)
        return XSP_NO_BIND;
    p->ops->msleep(1);
    if (has(p, XS_CLIENT | XS_UDP | XS_MULTICAST)) {
        s->ops->set_group(s);
        if (s->ops->join_group(s) < 0)
            return XSP_NO_JOIN;
        p->ops->msleep(1);
    }
    if (has(p, XS_SERVER | XS_TCP)) {
        if (s->ops->listen(s) < 0)
            return XSP_NO_LISTEN;
        p->ops->msleep(1);
    }
    p->ops->start_threads(p);
    return h;
}

int p_disconnect(xsocketpack *p)
{
    xsocket *s = p->sock;
    status_event(p, s->sock, XSP_CLOSING);
    if (has(p, XS_SERVER | XS_TCP)) {
        lock(p);
        void *b;
        int n;
        for (int rc = p->clients->ops->get_top(p->clients, &b, &n); rc == 0;
             rc = p->clients->ops->get_next(p->clients, &b, &n))
            s->ops->close_socket(s, *static_cast<int *>(b));
        p->clients->ops->clear(p->clients);
        unlock(p);
    }
    lock(p);
    if (!p->own_closed && s->sock >= 0)
        s->ops->close(s);
    p->own_closed = 1;
    unlock(p);
    status_event(p, s->sock, XSP_CLOSED);
    return 0;
}

int p_stop(xsocketpack *p)
{
    if (p->sock == nullptr || p->utilbox == nullptr)
        return -1;
    p->ops->stop_threads(p);
    p_disconnect(p);
    p->sock->sock = -1;
    return 0;
}

int p_reserved(xsocketpack *) { return 0; }
int p_spare(xsocketpack *p) { return p != nullptr ? 0 : -1; }

int p_send_to(xsocketpack *p, int h, const void *d, int n, sockaddr_in a) { return p->sock->ops->send_to(p->sock, h, d, n, a); }
int p_recv_from(xsocketpack *p, int h, void *b, int n, sockaddr_in *a) { return p->sock->ops->recv_from(p->sock, h, b, n, a); }
int p_send(xsocketpack *p, int h, const void *d, int n) { return p->sock->ops->send(p->sock, h, d, n); }
int p_recv(xsocketpack *p, int h, void *b, int n) { return p->sock->ops->recv(p->sock, h, b, n); }

int p_set_callback(xsocketpack *p, xsocket_callback cb, int index, void *user)
{
    if (index < 0 || index > 2)
        return -1;
    p->callbacks[index] = cb;
    p->users[index] = user;
    p->dispatchers[0] = p->ops->dispatch_recv;
    p->dispatchers[1] = p->ops->dispatch_recv_from;
    p->dispatchers[2] = p->ops->dispatch_status;
    return 0;
}

int dispatch(xsocket_event *e, xsocketpack *p, int i)
{
    if (p->callbacks[i] != nullptr)
        p->callbacks[i](e, p->users[i]);
    return 0;
}
int p_dispatch_recv(xsocket_event *e, xsocketpack *p) { return dispatch(e, p, 0); }
int p_dispatch_recv_from(xsocket_event *e, xsocketpack *p) { return dispatch(e, p, 1); }
int p_dispatch_status(xsocket_event *e, xsocketpack *p) { return dispatch(e, p, 2); }

char *p_address_to_text(xsocketpack *p, sockaddr_in a) { return p->sock->ops->address_to_text(p->sock, a); }
unsigned p_text_to_address(xsocketpack *p, const char *t) { return p->sock->ops->text_to_address(p->sock, t); }

} // namespace

/* worker threads: xsocketpack_threads.cpp */
int xsp_start_threads(xsocketpack *p);
int xsp_stop_threads(xsocketpack *p);
unsigned __stdcall xsp_receiver(void *pack);
unsigned __stdcall xsp_acceptor(void *pack);

namespace {

void fill_xsocketpack(xsocketpack_ops *o)
{
    o->set_config = p_set_config;
    o->open = p_open;
    o->create = p_create;
    o->destroy = p_destroy;
    o->start = p_start;
    o->stop = p_stop;
    o->connect = p_connect;
    o->disconnect = p_disconnect;
    o->reserved = p_reserved;
    o->send_to = p_send_to;
    o->recv_from = p_recv_from;
    o->send = p_send;
    o->recv = p_recv;
    o->spare1 = p_spare;
    o->spare2 = p_spare;
    o->set_callback = p_set_callback;
    o->start_threads = xsp_start_threads;
    o->stop_threads = xsp_stop_threads;
    o->receiver = xsp_receiver;
    o->acceptor = xsp_acceptor;
    o->dispatch_recv = p_dispatch_recv;
    o->dispatch_recv_from = p_dispatch_recv_from;
    o->dispatch_status = p_dispatch_status;
    o->address_to_text = p_address_to_text;
    o->text_to_address = p_text_to_address;
}

} // namespace

extern "C" int new_xsocketpack(xsocketpack **out) { return x_new(out, &xsocketpack::ops, fill_xsocketpack); }
extern "C" int delete_xsocketpack(xsocketpack **p) { return x_delete(p, &xsocketpack::ops); }
