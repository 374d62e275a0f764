#include "xsocket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

class XSock : public testing::Test {
protected:
    xsocket *make(unsigned char flags)
    {
        xsocket *x = nullptr;
        EXPECT_EQ(new_xsocket(&x), 0);
        x->flags = flags;
        x->sock = -1;
        made_[n_++] = x;
        return x;
    }
    void TearDown() override
    {
        for (int i = 0; i < n_; i++) {
            if (made_[i]->sock >= 0)
                made_[i]->ops->close(made_[i]);
            if (made_[i]->type != 0)
                made_[i]->ops->cleanup(made_[i]);
            delete_xsocket(&made_[i]);
        }
    }
    /* A TCP server socket listening on an ephemeral loopback port. */
    xsocket *server(unsigned char mode, uint16_t *port)
    {
        xsocket *x = make(XS_SERVER | XS_TCP | XS_UNICAST);
        x->local_port = 1024;
        x->local_address = inet_addr("127.0.0.1");
        x->backlog = 5;
        EXPECT_EQ(x->ops->init(x), 0);
        EXPECT_GE(x->ops->create(x), 0);
        EXPECT_EQ(x->ops->set_options(x, mode), 0);
        EXPECT_EQ(x->ops->set_addresses(x), 0);
        x->primary.sin_port = 0; /* any free port */
        EXPECT_EQ(x->ops->bind(x), 0);
        EXPECT_EQ(x->ops->listen(x), 0);
        sockaddr_in a;
        int len = sizeof a;
        getsockname(static_cast<SOCKET>(x->sock), reinterpret_cast<sockaddr *>(&a), &len);
        *port = ntohs(a.sin_port);
        return x;
    }
    xsocket *client(uint16_t port, unsigned char mode)
    {
        xsocket *x = make(XS_CLIENT | XS_TCP | XS_UNICAST);
        x->remote_port = port;
        x->remote_address = inet_addr("127.0.0.1");
        EXPECT_EQ(x->ops->init(x), 0);
        EXPECT_GE(x->ops->create(x), 0);
        EXPECT_EQ(x->ops->set_options(x, mode), 0);
        return x;
    }
    xsocket *made_[8] = {};
    int n_ = 0;
};

TEST_F(XSock, InitTypesAndRefusal)
{
    xsocket *none = make(XS_CLIENT | XS_UNICAST);
    EXPECT_EQ(none->ops->init(none), -1);
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR) << "no protocol: the socket library was not started";
    xsocket *both = make(XS_CLIENT | XS_TCP | XS_UDP);
    EXPECT_EQ(both->ops->init(both), 0);
    EXPECT_EQ(both->type, 1);
    EXPECT_EQ(both->ttl, 1);
    xsocket *udp = make(XS_SERVER | XS_UDP);
    udp->local_port = 4000;
    EXPECT_EQ(udp->ops->init(udp), 0);
    EXPECT_EQ(udp->type, 2);
    EXPECT_EQ(ntohs(udp->primary.sin_port), 4000);
    EXPECT_EQ(udp->primary.sin_addr.s_addr, INADDR_ANY);
    EXPECT_EQ(udp->ops->cleanup(nullptr), -1);
}

TEST_F(XSock, AddressPreparationByCast)
{
    struct {
        unsigned char flags;
        uint16_t local, remote;
        int result;
    } cases[] = {
        {XS_SERVER | XS_UNICAST, 1023, 0, -1},
        {XS_SERVER | XS_UNICAST, 1024, 0, 0},
        {XS_CLIENT | XS_UNICAST, 5, 7, 0},
        {XS_SERVER | XS_CLIENT | XS_UNICAST, 2000, 80, -1},
        {XS_SERVER | XS_MULTICAST, 5, 5, 0},
        {XS_CLIENT, 5000, 5000, -1},
    };
    for (auto &c : cases) {
        xsocket *x = make(c.flags);
        x->local_port = c.local;
        x->remote_port = c.remote;
        EXPECT_EQ(x->ops->set_addresses(x), c.result) << int(c.flags) << " " << c.local;
    }
    xsocket *m = make(XS_CLIENT | XS_MULTICAST);
    m->remote_port = 5000;
    m->remote_address = inet_addr("239.1.2.3");
    ASSERT_EQ(m->ops->set_addresses(m), 0);
    EXPECT_EQ(ntohs(m->primary.sin_port), 5000) << "a multicast client listens on the remote port";
    EXPECT_EQ(m->primary.sin_addr.s_addr, INADDR_ANY);
    EXPECT_EQ(m->secondary.sin_addr.s_addr, inet_addr("239.1.2.3"));
    m->ops->set_group(m);
    EXPECT_EQ(m->membership.imr_multiaddr.s_addr, inet_addr("239.1.2.3"));
    EXPECT_EQ(m->ops->set_local_address(m), -1) << "local port 0 is below 1024";
    EXPECT_EQ(m->ops->set_remote_port(m), 0);
    EXPECT_EQ(m->secondary.sin_addr.s_addr, 0u);
}

TEST_F(XSock, StreamRoundTripCloseAndReset)
{
    uint16_t port = 0;
    xsocket *srv = server(0, &port);
    xsocket *cli = client(port, 0);
    cli->ops->connect(cli);
    ASSERT_EQ(cli->ops->wait_connected(cli, 2000), 0);
    srv->ops->reset_set(srv);
    srv->ops->load_read_set(srv);
    ASSERT_EQ(srv->ops->select(srv), 1);
    EXPECT_EQ(srv->ops->is_readable(srv, srv->sock), -1) << "a waiting connection on the listener";
    int conn = -1;
    for (int i = 0; i < 100 && conn < 0; i++, Sleep(5))
        conn = srv->ops->accept(srv);
    ASSERT_GE(conn, 0);
    EXPECT_STREQ(srv->ops->address_to_text(srv, srv->peer), "127.0.0.1");
    char buf[64];
    EXPECT_EQ(srv->ops->recv(srv, conn, buf, sizeof buf), -1) << "non-blocking without data";
    ASSERT_EQ(cli->ops->send(cli, cli->sock, "ping", 4), 4);
    srv->ops->add_to_set(srv, conn);
    srv->ops->load_read_set(srv);
    srv->select_timeout.tv_sec = 2;
    ASSERT_GE(srv->ops->select(srv), 1);
    EXPECT_EQ(srv->ops->is_readable(srv, conn), 1);
    EXPECT_EQ(srv->ops->recv(srv, conn, buf, sizeof buf), 4);
    closesocket(static_cast<SOCKET>(cli->sock)); /* linger 0 and no shutdown: a reset */
    cli->sock = -1;
    Sleep(20);
    EXPECT_EQ(srv->ops->recv(srv, conn, buf, sizeof buf), XS_RESET);
    srv->ops->close_socket(srv, conn);

    xsocket *gentle = client(port, 1);
    gentle->ops->set_stream_options(gentle);
    ASSERT_EQ(gentle->ops->connect(gentle), 0) << "blocking connect";
    for (conn = -1; conn < 0; Sleep(5))
        conn = srv->ops->accept(srv);
    shutdown(static_cast<SOCKET>(gentle->sock), SD_SEND);
    Sleep(20);
    EXPECT_EQ(srv->ops->recv(srv, conn, buf, sizeof buf), XS_NOT_CONNECTED) << "closed by the peer";
    srv->ops->close_socket(srv, conn);
}

TEST_F(XSock, ConnectToAClosedPortIsNotConnected)
{
    uint16_t port = 0;
    xsocket *srv = server(0, &port);
    srv->ops->close(srv);
    srv->sock = -1;
    xsocket *cli = client(port, 0);
    cli->ops->connect(cli);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(cli->ops->wait_connected(cli, 2000), XS_NOT_CONNECTED);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1500)) << "a refusal is quick";
    xsocket *blocking = client(port, 1);
    EXPECT_EQ(blocking->ops->connect(blocking), -1);
}

TEST_F(XSock, DatagramsByCast)
{
    xsocket *rx = make(XS_SERVER | XS_UDP | XS_UNICAST);
    rx->local_port = 1024;
    rx->local_address = inet_addr("127.0.0.1");
    ASSERT_EQ(rx->ops->init(rx), 0);
    ASSERT_GE(rx->ops->create(rx), 0);
    ASSERT_EQ(rx->ops->set_options(rx, 0), 0);
    rx->ops->set_addresses(rx);
    rx->primary.sin_port = 0;
    ASSERT_EQ(rx->ops->bind(rx), 0);
    sockaddr_in where;
    int len = sizeof where;
    getsockname(static_cast<SOCKET>(rx->sock), reinterpret_cast<sockaddr *>(&where), &len);

    xsocket *tx = make(XS_SERVER | XS_UDP | XS_MULTICAST);
    ASSERT_EQ(tx->ops->init(tx), 0);
    ASSERT_GE(tx->ops->create(tx), 0);
    ASSERT_EQ(tx->ops->set_options(tx, 0), 0);
    tx->secondary = where; /* stands in for the group on loopback */
    EXPECT_EQ(tx->ops->send_to(tx, tx->sock, "AB\0CD", 5, where), 2) << "multicast sends the text length";
    char buf[16];
    sockaddr_in from;
    Sleep(20);
    EXPECT_EQ(rx->ops->recv_from(rx, rx->sock, buf, sizeof buf, &from), 2);
    EXPECT_STREQ(rx->ops->address_to_text(rx, from), "127.0.0.1");
    EXPECT_EQ(rx->ops->recv_from(rx, rx->sock, buf, sizeof buf, &from), -1);

    tx->flags = XS_UDP | XS_UNICAST;
    EXPECT_EQ(tx->ops->send_to(tx, tx->sock, "x", 1, where), 0) << "no role bit: nothing sent";
    tx->flags = XS_SERVER | XS_UDP | XS_UNICAST;
    EXPECT_EQ(tx->ops->send_to(tx, tx->sock, "xyz", 3, where), 3);
    tx->flags = XS_SERVER | XS_UDP;
    EXPECT_EQ(tx->ops->send_to(tx, tx->sock, "x", 1, where), 0) << "no cast bit: nothing sent";
    EXPECT_EQ(tx->ops->set_multicast_ttl(tx), 0);
    tx->ttl = 0;
    EXPECT_EQ(tx->ops->set_multicast_ttl(tx), -1);
}

TEST_F(XSock, DescriptorSetToolkit)
{
    xsocket *x = make(XS_SERVER | XS_TCP);
    x->sock = 3;
    x->ops->reset_set(x);
    EXPECT_EQ(x->master_set.fd_count, 1u);
    for (int s = 100; s < 200; s++)
        x->ops->add_to_set(x, s);
    x->ops->add_to_set(x, 100);
    EXPECT_EQ(x->master_set.fd_count, 64u);
    EXPECT_EQ(x->ops->remove_from_set(x, 5000), 0);
    EXPECT_EQ(x->ops->remove_from_set(x, 100), 0);
    EXPECT_EQ(x->master_set.fd_count, 63u);
    EXPECT_EQ(x->master_set.fd_array[1], 101u);
    x->ops->load_read_set(x);
    EXPECT_EQ(x->working_set.fd_count, 63u);
    EXPECT_EQ(x->ops->is_readable(x, 3), -1);
    EXPECT_EQ(x->ops->is_readable(x, 150), 1);
    EXPECT_EQ(x->ops->is_readable(x, 100), 0);
    EXPECT_EQ(x->ops->text_to_address(x, "bad"), 0xffffffffu);
    EXPECT_EQ(x->ops->text_to_address(x, "127.0.0.1"), inet_addr("127.0.0.1"));
    EXPECT_NE(x->ops->error_text(x, 2), nullptr);
    x->sock = -1;
}

} // namespace
