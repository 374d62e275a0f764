#include "xsocketmanager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace {

class Manager : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(new_xsocketmanager(&m), 0);
        ASSERT_EQ(m->ops->create(m), 0);
    }
    void TearDown() override
    {
        if (started)
            m->ops->stop(m);
        m->ops->close(m);
        m->ops->release(m);
        delete_xsocketmanager(&m);
    }
    xsocketmanager *m = nullptr;
    bool started = false;
};

TEST_F(Manager, ConfigureKeyTables)
{
    struct {
        const char *role, *proto, *cast;
        const char *ip, *remote_ip;
        int port, remote_port;
    } cases[] = {
        {"CLIENT", "UDP", "UNICAST", "127.0.0.1", "127.0.0.1", 5001, 5000},
        {"SERVER", "UDP", "MULTICAST", "", "127.0.0.1", 0, 5000},
        {"CLIENT", "TCP", "UNICAST", "", "127.0.0.1", 0, 5000},
        {"SERVER", "TCP", "UNICAST", "127.0.0.1", "", 5000, 0},
    };
    for (auto &c : cases) {
        xsocketmanager *x = nullptr;
        ASSERT_EQ(new_xsocketmanager(&x), 0);
        ASSERT_EQ(x->ops->create(x), 0);
        EXPECT_EQ(x->ops->configure(x, "127.0.0.1", "5000", c.role, c.proto, c.cast), 0);
        xsocketpack *p = x->pack;
        EXPECT_STREQ(p->ip, c.ip) << c.role << c.proto << c.cast;
        EXPECT_STREQ(p->remote_ip, c.remote_ip) << c.role << c.proto << c.cast;
        EXPECT_EQ(p->port, c.port);
        EXPECT_EQ(p->remote_port, c.remote_port);
        EXPECT_EQ(p->connection_timeout, 4000);
        EXPECT_EQ(p->listen, 5);
        EXPECT_EQ(p->bucket_size, 1500);
        EXPECT_EQ(p->bucket_count, 64);
        EXPECT_EQ(p->console_print, 0);
        EXPECT_STREQ(p->desc, "");
        x->ops->release(x);
        delete_xsocketmanager(&x);
    }
}

struct Got {
    std::mutex mu;
    std::vector<std::string> data;
    std::vector<int> status;
};
int got_recv_from(xsocket_event *e, void *u)
{
    Got *g = static_cast<Got *>(u);
    std::lock_guard<std::mutex> l(g->mu);
    g->data.emplace_back(static_cast<char *>(e->data), static_cast<size_t>(e->length));
    return 0;
}

TEST_F(Manager, UdpClientChannelEndToEnd)
{
    /* a UDP unicast client binds to the address and port + 1 */
    ASSERT_EQ(m->ops->configure(m, "127.0.0.1", "47010", "CLIENT", "UDP", "UNICAST"), 0);
    ASSERT_EQ(m->ops->open(m), 0);
    Got got;
    m->ops->set_callback(m, got_recv_from, 1, &got);
    auto t0 = std::chrono::steady_clock::now();
    int h = m->ops->start(m, 0);
    started = true;
    ASSERT_GE(h, 0);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(200));

    SOCKET peer = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(47010);
    a.sin_addr.s_addr = inet_addr("127.0.0.1");
    ASSERT_EQ(bind(peer, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
    EXPECT_EQ(m->ops->send_to(m, 0, "to-peer", 7, "127.0.0.1", 47010), 7) << "socket 0 is the own socket";
    EXPECT_EQ(m->ops->send_to(m, 0, "x", 1, nullptr, 47010), 0);
    char buf[16];
    sockaddr_in from = {};
    int flen = sizeof from;
    ASSERT_EQ(recvfrom(peer, buf, sizeof buf, 0, reinterpret_cast<sockaddr *>(&from), &flen), 7);
    EXPECT_EQ(ntohs(from.sin_port), 47011);
    ASSERT_EQ(sendto(peer, "reply", 5, 0, reinterpret_cast<sockaddr *>(&from), flen), 5);
    for (int i = 0; i < 200; i++) {
        {
            std::lock_guard<std::mutex> l(got.mu);
            if (!got.data.empty())
                break;
        }
        Sleep(10);
    }
    std::lock_guard<std::mutex> l(got.mu);
    ASSERT_EQ(got.data.size(), 1u);
    EXPECT_EQ(got.data[0], "reply");
    closesocket(peer);
    char out[200];
    EXPECT_EQ(m->ops->print_buffer(m, nullptr, "ab", 2, out), 0);
    EXPECT_EQ(strlen(out), 141u);
    char ip[16];
    EXPECT_EQ(m->ops->host_address(m, "127.0.0.1", ip), 0);
    EXPECT_STREQ(ip, "127.0.0.1");
}

TEST_F(Manager, RecvFromWritesTextAndPort)
{
    /* a client keeps its mode (a server always runs in callback mode); it binds port + 1 */
    ASSERT_EQ(m->ops->configure(m, "127.0.0.1", "47020", "CLIENT", "UDP", "UNICAST"), 0);
    ASSERT_EQ(m->ops->open(m), 0);
    ASSERT_GE(m->ops->start(m, 2), 0) << "non-blocking, no worker";
    started = true;
    SOCKET peer = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(47022);
    a.sin_addr.s_addr = inet_addr("127.0.0.1");
    ASSERT_EQ(bind(peer, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
    a.sin_port = htons(47021);
    ASSERT_EQ(sendto(peer, "dgram", 5, 0, reinterpret_cast<sockaddr *>(&a), sizeof a), 5);
    Sleep(20);
    char buf[16], ip[16];
    uint16_t port = 0;
    EXPECT_EQ(m->ops->recv_from(m, 0, buf, sizeof buf, ip, &port), 5);
    EXPECT_STREQ(ip, "127.0.0.1");
    EXPECT_EQ(port, 47022);
    closesocket(peer);
}

TEST_F(Manager, SendOnAServersOwnSocketFails)
{
    ASSERT_EQ(m->ops->configure(m, "127.0.0.1", "47030", "SERVER", "TCP", "UNICAST"), 0);
    ASSERT_EQ(m->ops->open(m), 0);
    ASSERT_GE(m->ops->start(m, 0), 0);
    started = true;
    EXPECT_EQ(m->ops->send(m, 0, "x", 1), -1) << "socket 0 is the listening socket";
}

} // namespace
