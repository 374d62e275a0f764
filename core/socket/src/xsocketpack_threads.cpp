/* The socket pack's worker threads: the receiver (every socket in callback
 * mode) and the acceptor (TCP servers). Each pass checks for the stop
 * request, which costs about 1 ms when none is waiting, then makes one
 * non-blocking socket call. */
#include "xsocketpack.h"

#include <string.h>

namespace {

bool has(const xsocketpack *p, unsigned char bits) { return (p->sock->flags & bits) == bits; }

bool stop_requested(xsocketpack *p, unsigned msg)
{
    int v = 0;
    return p->ops->get_thread_status(1, msg, &v) == 0 && v == -1;
}

void start_one(xsocketpack *p, unsigned(__stdcall *routine)(void *), int i, int wait)
{
    p->ops->thread_create(routine, p, &p->thread_ids[i]);
    if (p->ops->get_semaphore(wait, &p->flags[i]) == -1) {
        OutputDebugStringA("Thread Create Fail\n");
        __atomic_store_n(&p->flags[i], 0, __ATOMIC_RELEASE);
    }
}

bool closing_code(int n) { return n == XS_RESET || n == XS_NOT_CONNECTED || n == XSP_CLOSED_BY_RECEIVER; }

/* Round-robin over the accepted connections, one receive per pass. */
void server_phase(xsocketpack *p)
{
    xsocket *s = p->sock;
    bool restart = true;
    while (!stop_requested(p, XSP_STOP_RECEIVER)) {
        EnterCriticalSection(&p->lock);
        void *block = nullptr;
        int len = 0, rc;
        if (restart) {
            restart = false;
            rc = p->clients->ops->get_top(p->clients, &block, &len);
        } else {
            rc = p->clients->ops->get_next(p->clients, &block, &len);
            restart = rc != 0;
        }
        if (rc != 0 || block == nullptr || len < static_cast<int>(sizeof(int))) {
            LeaveCriticalSection(&p->lock);
            if (rc == 0)
                p->ops->msleep(0);
            continue;
        }
        int c;
        memcpy(&c, block, sizeof c);
        int n = p->ops->recv(p, c, p->buffer, p->bucket_size);
        p->event.length = n;
        if (n > 0) {
            p->event.sock = c;
            p->event.data = p->buffer;
            xsp_deliver(p, 0);
        } else if (closing_code(n)) {
            p->event.sock = c;
            p->event.data = p->buffer;
            p->event.owner = p;
            s->ops->close_socket(s, c);
            p->clients->ops->drop(p->clients, &c, sizeof c);
            xsp_deliver(p, 2);
        }
        LeaveCriticalSection(&p->lock);
    }
}

void client_phase(xsocketpack *p)
{
    xsocket *s = p->sock;
    int r = s->ops->wait_connected(s, s->connection_timeout);
    EnterCriticalSection(&p->lock);
    p->event.sock = s->sock;
    p->event.data = p->buffer;
    p->event.length = r < 0 ? XS_NOT_CONNECTED : XSP_CONNECTED;
    xsp_deliver(p, 2);
    if (r < 0) {
        s->ops->close(s);
        p->own_closed = 1;
    }
    LeaveCriticalSection(&p->lock);
    if (r < 0)
        return;
    while (!stop_requested(p, XSP_STOP_RECEIVER)) {
        EnterCriticalSection(&p->lock);
        int n = p->ops->recv(p, s->sock, p->buffer, p->bucket_size);
        p->event.length = n;
        bool ended = false;
        if (n > 0) {
            p->event.sock = s->sock;
            p->event.data = p->buffer;
            xsp_deliver(p, 0);
        } else if (closing_code(n)) {
            p->event.sock = s->sock;
            p->event.data = nullptr;
            s->ops->close_socket(s, s->sock);
            p->own_closed = 1;
            xsp_deliver(p, 2);
            ended = true;
        }
        LeaveCriticalSection(&p->lock);
        if (ended)
            return;
    }
}

void datagram_phase(xsocketpack *p)
{
    xsocket *s = p->sock;
    while (!stop_requested(p, XSP_STOP_RECEIVER)) {
        EnterCriticalSection(&p->lock);
        int n = p->ops->recv_from(p, s->sock, p->buffer, p->bucket_size, &p->event.peer);
        p->event.length = n;
        if (n > 0) {
            p->event.sock = s->sock;
            p->event.data = p->buffer;
            xsp_deliver(p, 1);
        }
        LeaveCriticalSection(&p->lock);
    }
}

} // namespace

int xsp_start_threads(xsocketpack *p)
{
    p->owner_tid = p->ops->get_thread_id();
    if (has(p, XS_SERVER | XS_TCP))
        p->thread_count = 2;
    else if (has(p, XS_CLIENT | XS_TCP) || has(p, XS_UDP) || has(p, XS_RAW))
        p->thread_count = 1;
    if (has(p, XS_TCP)) {
        if (p->mode == 0)
            start_one(p, p->ops->receiver, 0, 500);
        if (has(p, XS_SERVER))
            start_one(p, p->ops->acceptor, 1, 500);
        return 0;
    }
    if (p->mode == 0)
        start_one(p, p->ops->receiver, 0, 1000);
    return 0;
}

int xsp_stop_threads(xsocketpack *p)
{
    for (int i = 0; i < p->thread_count && i < 2; i++) {
        p->ops->thread_destroy(XSP_STOP_RECEIVER + static_cast<unsigned>(i), p->thread_ids[i]);
        if (p->ops->get_semaphore(1000, &p->flags[i]) == -1) {
            OutputDebugStringA("Thread Destroy Fail\n");
            __atomic_store_n(&p->flags[i], 0, __ATOMIC_RELEASE);
        }
    }
    return 0;
}

unsigned __stdcall xsp_receiver(void *arg)
{
    xsocketpack *p = static_cast<xsocketpack *>(arg);
    p->ops->set_semaphore(&p->flags[0]);
    if (has(p, XS_SERVER | XS_TCP))
        server_phase(p);
    else if (has(p, XS_CLIENT | XS_TCP))
        client_phase(p);
    else if (has(p, XS_UDP) || has(p, XS_RAW))
        datagram_phase(p);
    /* The end acknowledgement is the last touch of the pack: once the owner
     * sees it, it may free the pack. */
    p->ops->thread_exit(XSP_END_RECEIVER, p->owner_tid);
    OutputDebugStringA("THREAD EXIT xsocketpack_receiver");
    p->ops->set_semaphore(&p->flags[0]);
    return 0;
}

unsigned __stdcall xsp_acceptor(void *arg)
{
    xsocketpack *p = static_cast<xsocketpack *>(arg);
    xsocket *s = p->sock;
    if (!has(p, XS_SERVER))
        return 0;
    p->ops->set_semaphore(&p->flags[1]);
    while (!stop_requested(p, XSP_STOP_ACCEPTOR)) {
        int c = s->ops->accept(s);
        if (c == -1) {
            p->ops->msleep(0);
            continue;
        }
        EnterCriticalSection(&p->lock);
        p->last_accepted = c;
        p->clients->ops->append(p->clients, &c, sizeof c);
        p->event.sock = c;
        p->event.data = p->buffer;
        p->event.peer = s->peer;
        p->event.owner = p;
        p->event.length = XSP_CONNECTED;
        s->ops->set_socket_options(s, c, p->mode);
        xsp_deliver(p, 2);
        LeaveCriticalSection(&p->lock);
    }
    p->ops->thread_exit(XSP_END_ACCEPTOR, p->owner_tid);
    p->ops->set_semaphore(&p->flags[1]); /* the last touch of the pack */
    return 0;
}
