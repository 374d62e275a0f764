/* xsocket: address preparation, option sets and the socket steps. */
#include "xsocket.h"
#include "xobject.h"

#include <string.h>

namespace {

SOCKET sock_of(int s) { return static_cast<SOCKET>(static_cast<intptr_t>(s)); }
bool has(const xsocket *x, unsigned char bits) { return (x->flags & bits) == bits; }

sockaddr_in address(uint16_t port_host, uint32_t addr_net)
{
    sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_port = htons(port_host);
    a.sin_addr.s_addr = addr_net;
    return a;
}

int set_int(int s, int level, int name, int value)
{
    return setsockopt(sock_of(s), level, name, reinterpret_cast<const char *>(&value), sizeof value);
}

int set_no_linger(int s)
{
    linger l = {1, 0};
    return setsockopt(sock_of(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&l), sizeof l);
}

int s_init(xsocket *x)
{
    memset(&x->primary, 0, sizeof x->primary);
    memset(&x->peer, 0, sizeof x->peer);
    x->primary.sin_family = AF_INET;
    if (has(x, XS_SERVER)) {
        x->primary.sin_port = htons(x->local_port);
        x->primary.sin_addr.s_addr = INADDR_ANY;
    } else {
        x->primary.sin_port = htons(x->remote_port);
        x->primary.sin_addr.s_addr = x->remote_address;
    }
    if (has(x, XS_TCP))
        x->type = 1;
    else if (has(x, XS_UDP))
        x->type = 2;
    else if (has(x, XS_RAW))
        x->type = 3;
    else
        return -1;
    x->ttl = 1;
    WSAStartup(MAKEWORD(2, 2), &x->wsa);
    return 0;
}

int s_cleanup(xsocket *x)
{
    if (x == nullptr)
        return -1;
    WSACleanup();
    return 0;
}

int s_create(xsocket *x)
{
    int proto = x->type == 1 ? IPPROTO_TCP : x->type == 2 ? IPPROTO_UDP : x->type == 3 ? IPPROTO_RAW : 0;
    SOCKET s = socket(AF_INET, x->type, proto);
    x->sock = s == INVALID_SOCKET ? -1 : static_cast<int>(s);
    return x->sock;
}

int s_close_socket(xsocket *x, int s)
{
    if (x == nullptr)
        return -1;
    shutdown(sock_of(s), SD_BOTH);
    closesocket(sock_of(s));
    Sleep(2);
    return 0;
}

int s_close(xsocket *x)
{
    s_close_socket(x, x->sock);
    return 0;
}

int s_bind(xsocket *x)
{
    return bind(sock_of(x->sock), reinterpret_cast<const sockaddr *>(&x->primary), sizeof x->primary) == 0 ? 0
                                                                                                           : -1;
}

int s_listen(xsocket *x) { return listen(sock_of(x->sock), x->backlog) == 0 ? 0 : -1; }

int s_accept(xsocket *x)
{
    int len = sizeof x->peer;
    SOCKET s = accept(sock_of(x->sock), reinterpret_cast<sockaddr *>(&x->peer), &len);
    return s == INVALID_SOCKET ? -1 : static_cast<int>(s);
}

int s_wait_connected(xsocket *x, int ms)
{
    fd_set r, w;
    FD_ZERO(&r);
    FD_SET(sock_of(x->sock), &r);
    w = r;
    timeval tv = {0, static_cast<suseconds_t>(ms) * 1000};
    /* Writable means the connect finished; a peer that has already sent its
     * greeting makes the socket readable as well, which is still connected.
     * SO_ERROR tells a finished connect from a failed one. */
    if (select(0, &r, &w, nullptr, ms == 0 ? nullptr : &tv) < 1 || !FD_ISSET(sock_of(x->sock), &w))
        return XS_NOT_CONNECTED;
    int err = -1, len = sizeof err;
    if (getsockopt(sock_of(x->sock), SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&err), &len) != 0)
        return XS_NOT_CONNECTED;
    return err == 0 ? 0 : XS_NOT_CONNECTED;
}

int s_connect(xsocket *x)
{
    int rc = connect(sock_of(x->sock), reinterpret_cast<const sockaddr *>(&x->primary), sizeof x->primary);
    if (rc != 0 && WSAGetLastError() == WSAEWOULDBLOCK)
        Sleep(10);
    return rc;
}

int s_select(xsocket *x) { return select(64, &x->working_set, nullptr, nullptr, &x->select_timeout); }

int s_set_local_address(xsocket *x)
{
    if (x->local_port < 1024)
        return -1;
    x->primary = address(x->local_port, x->local_address);
    return 0;
}

int s_set_remote_port(xsocket *x)
{
    if (x->remote_port < 1024)
        return -1;
    x->secondary = address(x->remote_port, 0);
    return 0;
}

int s_set_addresses(xsocket *x)
{
    if (has(x, XS_SERVER | XS_UNICAST) &&
        (x->local_port < 1024 || (has(x, XS_CLIENT) && x->remote_port < 1024)))
        return -1;
    if (has(x, XS_MULTICAST) || has(x, XS_BROADCAST)) {
        memset(&x->membership, 0, sizeof x->membership);
        memset(&x->primary, 0, sizeof x->primary);
        memset(&x->secondary, 0, sizeof x->secondary);
        if (has(x, XS_SERVER))
            x->primary = address(0, INADDR_ANY);
        else if (has(x, XS_CLIENT))
            x->primary = address(x->remote_port, INADDR_ANY);
        x->secondary = address(x->remote_port, x->remote_address);
        return 0;
    }
    if (has(x, XS_UNICAST)) {
        memset(&x->membership, 0, sizeof x->membership);
        memset(&x->secondary, 0, sizeof x->secondary);
        x->primary = address(x->local_port, x->local_address);
        if (has(x, XS_CLIENT))
            x->secondary = address(x->remote_port, x->remote_address);
        return 0;
    }
    return -1;
}

int s_set_group(xsocket *x)
{
    x->membership.imr_multiaddr.s_addr = x->remote_address;
    x->membership.imr_interface.s_addr = INADDR_ANY;
    return 0;
}

int membership(xsocket *x, int option)
{
    return setsockopt(sock_of(x->sock), IPPROTO_IP, option, reinterpret_cast<const char *>(&x->membership),
                      sizeof x->membership) == 0
               ? 0
               : -1;
}

int s_join_group(xsocket *x) { return membership(x, IP_ADD_MEMBERSHIP); }
int s_leave_group(xsocket *x) { return membership(x, IP_DROP_MEMBERSHIP); }

int s_set_socket_options(xsocket *x, int s, unsigned char mode)
{
    if (has(x, XS_UDP) &&
        (set_int(s, SOL_SOCKET, SO_RCVBUF, 524288) != 0 || set_int(s, SOL_SOCKET, SO_SNDBUF, 524288) != 0))
        return -1;
    u_long nonblocking = mode != 1;
    if (ioctlsocket(sock_of(s), FIONBIO, &nonblocking) != 0)
        return -1;
    int rc;
    if (has(x, XS_TCP) && (rc = set_no_linger(s)) < 0)
        return rc;
    if ((rc = set_int(s, SOL_SOCKET, SO_REUSEADDR, 1)) < 0)
        return rc;
    if (has(x, XS_TCP))
        rc = set_int(s, SOL_SOCKET, SO_KEEPALIVE, 1);
    if (has(x, XS_UDP | XS_BROADCAST))
        rc = set_int(s, SOL_SOCKET, SO_BROADCAST, 1);
    if (has(x, XS_UDP))
        rc = setsockopt(sock_of(s), IPPROTO_IP, IP_MULTICAST_TTL, reinterpret_cast<const char *>(&x->ttl), 1);
    return rc;
}

int s_set_options(xsocket *x, unsigned char mode) { return s_set_socket_options(x, x->sock, mode); }

int s_set_stream_options(xsocket *x)
{
    int rc;
    if ((rc = set_no_linger(x->sock)) < 0 || (rc = set_int(x->sock, SOL_SOCKET, SO_REUSEADDR, 1)) < 0)
        return rc;
    return set_int(x->sock, SOL_SOCKET, SO_KEEPALIVE, 1);
}

int s_set_send_buffer(xsocket *x) { return set_int(x->sock, SOL_SOCKET, SO_SNDBUF, x->send_buffer) == 0 ? 0 : -1; }
int s_set_recv_buffer(xsocket *x) { return set_int(x->sock, SOL_SOCKET, SO_RCVBUF, x->recv_buffer) == 0 ? 0 : -1; }

int s_set_multicast_ttl(xsocket *x)
{
    if (x->ttl == 0)
        return -1;
    if (!has(x, XS_SERVER))
        return 0;
    return setsockopt(sock_of(x->sock), IPPROTO_IP, IP_MULTICAST_TTL, reinterpret_cast<const char *>(&x->ttl), 1);
}

int s_is_readable(xsocket *x, int s)
{
    int in = FD_ISSET(sock_of(s), &x->working_set);
    if (in == 0)
        return 0;
    return s == x->sock ? -1 : in;
}

int s_load_read_set(xsocket *x)
{
    x->working_set = x->master_set;
    return 0;
}

int s_add_to_set(xsocket *x, int s)
{
    FD_SET(sock_of(s), &x->master_set); /* ignores a duplicate and a 65th handle */
    return 0;
}

int s_remove_from_set(xsocket *x, int s)
{
    FD_CLR(sock_of(s), &x->master_set);
    return 0;
}

int s_reset_set(xsocket *x)
{
    FD_ZERO(&x->master_set);
    FD_SET(sock_of(x->sock), &x->master_set);
    x->select_timeout.tv_sec = 0;
    x->select_timeout.tv_usec = 0;
    return 0;
}

char *s_address_to_text(xsocket *, sockaddr_in a) { return inet_ntoa(a.sin_addr); }
unsigned s_text_to_address(xsocket *, const char *text) { return static_cast<unsigned>(inet_addr(text)); }
char *s_error_text(xsocket *, int err) { return strerror(err); }

int s_send(xsocket *, int s, const void *data, int length)
{
    int n = send(sock_of(s), static_cast<const char *>(data), length, 0);
    return n < 0 ? -1 : n;
}

int s_recv(xsocket *, int s, void *buffer, int capacity)
{
    int n = recv(sock_of(s), static_cast<char *>(buffer), capacity, 0);
    int err = WSAGetLastError();
    if (err == WSAECONNRESET)
        return XS_RESET;
    if (err == 0)
        return n > 0 ? n : XS_NOT_CONNECTED;
    return n;
}

int s_send_to(xsocket *x, int s, const void *data, int length, sockaddr_in a)
{
    const sockaddr_in *to;
    if (has(x, XS_BROADCAST)) {
        to = &x->secondary;
    } else if (has(x, XS_MULTICAST)) {
        to = &x->secondary;
        length = static_cast<int>(strlen(static_cast<const char *>(data)));
    } else if (has(x, XS_UNICAST) && (x->flags & (XS_SERVER | XS_CLIENT)) != 0) {
        to = &a;
    } else {
        return 0;
    }
    int n = sendto(sock_of(s), static_cast<const char *>(data), length, 0, reinterpret_cast<const sockaddr *>(to),
                   sizeof *to);
    if (n < 0)
        return WSAGetLastError() == WSA_IO_PENDING ? 0 : -1;
    return n;
}

int s_recv_from(xsocket *, int s, void *buffer, int capacity, sockaddr_in *from)
{
    int len = sizeof *from;
    int n = recvfrom(sock_of(s), static_cast<char *>(buffer), capacity, 0, reinterpret_cast<sockaddr *>(from), &len);
    return n < 0 ? -1 : n;
}

void fill_xsocket(xsocket_ops *o)
{
    o->init = s_init;
    o->cleanup = s_cleanup;
    o->create = s_create;
    o->close = s_close;
    o->bind = s_bind;
    o->listen = s_listen;
    o->accept = s_accept;
    o->wait_connected = s_wait_connected;
    o->connect = s_connect;
    o->select = s_select;
    o->set_local_address = s_set_local_address;
    o->set_remote_port = s_set_remote_port;
    o->set_addresses = s_set_addresses;
    o->set_group = s_set_group;
    o->join_group = s_join_group;
    o->leave_group = s_leave_group;
    o->set_options = s_set_options;
    o->set_socket_options = s_set_socket_options;
    o->set_stream_options = s_set_stream_options;
    o->close_socket = s_close_socket;
    o->set_send_buffer = s_set_send_buffer;
    o->set_recv_buffer = s_set_recv_buffer;
    o->set_multicast_ttl = s_set_multicast_ttl;
    o->is_readable = s_is_readable;
    o->load_read_set = s_load_read_set;
    o->add_to_set = s_add_to_set;
    o->remove_from_set = s_remove_from_set;
    o->reset_set = s_reset_set;
    o->address_to_text = s_address_to_text;
    o->text_to_address = s_text_to_address;
    o->error_text = s_error_text;
    o->send = s_send;
    o->recv = s_recv;
    o->send_to = s_send_to;
    o->recv_from = s_recv_from;
}

} // namespace

extern "C" int new_xsocket(xsocket **out) { return x_new(out, &xsocket::ops, fill_xsocket); }
extern "C" int delete_xsocket(xsocket **p) { return x_delete(p, &xsocket::ops); }
