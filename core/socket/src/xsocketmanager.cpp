/* xsocketmanager: configuration defaults, event forwarding, handle 0. */
#include "xsocketmanager.h"
#include "xobject.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

xsocketpack *pack(xsocketmanager *m) { return m->pack; }

/* Handle 0 stands for the pack's own socket. */
int handle(xsocketmanager *m, int s) { return s == 0 && m->pack->sock != nullptr ? m->pack->sock->sock : s; }

int m_create(xsocketmanager *m)
{
    if (new_xsocketpack(&m->pack) != 0) {
        delete_xsocketpack(&m->pack);
        return -1;
    }
    return 0;
}

int m_release(xsocketmanager *m) { return delete_xsocketpack(&m->pack); }

int m_open(xsocketmanager *m)
{
    xsocketpack *p = pack(m);
    int r = p->ops->open(p);
    m->dispatchers[0] = m->ops->dispatch_recv;
    m->dispatchers[1] = m->ops->dispatch_recv_from;
    m->dispatchers[2] = m->ops->dispatch_status;
    for (int i = 0; i < 3; i++)
        p->ops->set_callback(p, m->dispatchers[i], i, m);
    return r;
}

int m_close(xsocketmanager *m) { return pack(m)->ops->destroy(pack(m)); }

int m_start(xsocketmanager *m, unsigned char mode)
{
    xsocketpack *p = pack(m);
    if (p->ops->msleep == nullptr)
        return -1; /* not opened */
    p->ops->msleep(200);
    return p->ops->start(p, mode);
}

int m_stop(xsocketmanager *m) { return pack(m)->ops->stop(pack(m)); }

int m_configure(xsocketmanager *m, const char *a, const char *port, const char *r, const char *t, const char *c)
{
    xsocketpack *p = pack(m);
    if (a == nullptr || port == nullptr || r == nullptr || t == nullptr || c == nullptr)
        return -1;
    p->ops->set_config(p, "PROTO_TYPE", t);
    p->ops->set_config(p, "SYSTEM_TYPE", r);
    p->ops->set_config(p, "CAST_TYPE", c);
    if (r[0] == 'C') {
        p->ops->set_config(p, "REMOTE_IP", a);
        p->ops->set_config(p, "REMOTE_PORT", port);
        if (t[0] == 'U') {
            char next[16];
            snprintf(next, sizeof next, "%d", atoi(port) + 1);
            p->ops->set_config(p, "IP", a);
            p->ops->set_config(p, "PORT", next);
        }
    } else if (c[0] == 'U') {
        p->ops->set_config(p, "IP", a);
        p->ops->set_config(p, "PORT", port);
    } else if (c[0] == 'B' || c[0] == 'M') {
        p->ops->set_config(p, "REMOTE_IP", a);
        p->ops->set_config(p, "REMOTE_PORT", port);
    }
    p->ops->set_config(p, "CONNECTION_TIMEOUT", "4000");
    p->ops->set_config(p, "LISTEN", "5");
    p->ops->set_config(p, "BUCKET_SIZE", "1500");
    p->ops->set_config(p, "BUCKET_COUNT", "64");
    p->ops->set_config(p, "CONSOLE_PRINT", "NO");
    return 0;
}

int m_send(xsocketmanager *m, int s, const void *d, int n) { return pack(m)->ops->send(pack(m), handle(m, s), d, n); }
int m_recv(xsocketmanager *m, int s, void *b, int n) { return pack(m)->ops->recv(pack(m), handle(m, s), b, n); }

int m_send_to(xsocketmanager *m, int s, const void *d, int n, const char *address, uint16_t port)
{
    if (address == nullptr)
        return 0;
    sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = static_cast<uint32_t>(inet_addr(address));
    return pack(m)->ops->send_to(pack(m), handle(m, s), d, n, a);
}

int m_recv_from(xsocketmanager *m, int s, void *b, int n, char *address, uint16_t *port)
{
    sockaddr_in a;
    memset(&a, 0, sizeof a);
    int r = pack(m)->ops->recv_from(pack(m), handle(m, s), b, n, &a);
    if (address != nullptr)
        snprintf(address, 16, "%s", inet_ntoa(a.sin_addr));
    if (port != nullptr)
        *port = ntohs(a.sin_port);
    return r;
}

int forward(xsocket_event *e, void *manager, int i)
{
    xsocketmanager *m = static_cast<xsocketmanager *>(manager);
    if (m->callbacks[i] != nullptr)
        m->callbacks[i](e, m->users[i]);
    return 0;
}
int m_dispatch_recv(xsocket_event *e, void *m) { return forward(e, m, 0); }
int m_dispatch_recv_from(xsocket_event *e, void *m) { return forward(e, m, 1); }
int m_dispatch_status(xsocket_event *e, void *m) { return forward(e, m, 2); }

int m_set_callback(xsocketmanager *m, xsocket_callback cb, int index, void *user)
{
    if (index < 0 || index > 2)
        return -1;
    m->callbacks[index] = cb;
    m->users[index] = user;
    return 0;
}

int m_print_buffer(xsocketmanager *m, const char *title, const void *data, int length, char *out)
{
    if (pack(m)->ops->fprint_buffer == nullptr)
        return -1; /* not opened */
    pack(m)->ops->fprint_buffer(title, data, length, out);
    return 0;
}

int m_host_address(xsocketmanager *m, const char *host, char *out)
{
    if (pack(m)->ops->get_hostip == nullptr)
        return -1; /* not opened */
    return pack(m)->ops->get_hostip(host, out);
}

void fill_xsocketmanager(xsocketmanager_ops *o)
{
    o->create = m_create;
    o->release = m_release;
    o->open = m_open;
    o->close = m_close;
    o->start = m_start;
    o->stop = m_stop;
    o->configure = m_configure;
    o->send = m_send;
    o->recv = m_recv;
    o->send_to = m_send_to;
    o->recv_from = m_recv_from;
    o->dispatch_recv = m_dispatch_recv;
    o->dispatch_recv_from = m_dispatch_recv_from;
    o->dispatch_status = m_dispatch_status;
    o->set_callback = m_set_callback;
    o->print_buffer = m_print_buffer;
    o->host_address = m_host_address;
}

} // namespace

extern "C" int new_xsocketmanager(xsocketmanager **out) { return x_new(out, &xsocketmanager::ops, fill_xsocketmanager); }
extern "C" int delete_xsocketmanager(xsocketmanager **p) { return x_delete(p, &xsocketmanager::ops); }
