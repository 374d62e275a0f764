#include "win32.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <stdio.h>
#include <string.h>

#include <string>

namespace {

class Sock : public testing::Test {
protected:
    void SetUp() override
    {
        WSADATA d;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &d), 0);
    }
    void TearDown() override { WSACleanup(); }

    static sockaddr_in loopback(u_short port)
    {
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = inet_addr("127.0.0.1");
        return a;
    }
    /* A listening TCP socket on an ephemeral loopback port. */
    static SOCKET listener(u_short *port)
    {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a = loopback(0);
        EXPECT_EQ(bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
        EXPECT_EQ(listen(s, 5), 0);
        int len = sizeof a;
        EXPECT_EQ(getsockname(s, reinterpret_cast<sockaddr *>(&a), &len), 0);
        *port = ntohs(a.sin_port);
        return s;
    }
    static int wait_set(SOCKET s, bool write, int ms)
    {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval tv = {ms / 1000, (ms % 1000) * 1000};
        return select(64, write ? nullptr : &set, write ? &set : nullptr, nullptr, &tv);
    }
};

TEST_F(Sock, NothingWorksBeforeStartup)
{
    WSACleanup();
    EXPECT_EQ(socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
}

TEST_F(Sock, NonBlockingConnectAcceptSendRecv)
{
    u_short port = 0;
    SOCKET l = listener(&port);
    u_long on = 1;
    ASSERT_EQ(ioctlsocket(l, FIONBIO, &on), 0);
    SOCKET c = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_EQ(ioctlsocket(c, FIONBIO, &on), 0);
    sockaddr_in a = loopback(port);
    int rc = connect(c, reinterpret_cast<sockaddr *>(&a), sizeof a);
    if (rc != 0) {
        EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK) << "a connect in progress";
    }
    ASSERT_EQ(wait_set(c, true, 2000), 1);
    int err = -1, len = sizeof err;
    ASSERT_EQ(getsockopt(c, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&err), &len), 0);
    EXPECT_EQ(err, 0);
    ASSERT_EQ(wait_set(l, false, 2000), 1) << "a waiting connection makes the listener readable";
    sockaddr_in peer = {};
    int plen = sizeof peer;
    SOCKET s = accept(l, reinterpret_cast<sockaddr *>(&peer), &plen);
    ASSERT_NE(s, INVALID_SOCKET);
    EXPECT_EQ(peer.sin_family, AF_INET);
    EXPECT_STREQ(inet_ntoa(peer.sin_addr), "127.0.0.1");
    char buf[16];
    EXPECT_EQ(recv(s, buf, sizeof buf, 0), SOCKET_ERROR) << "the accepted socket is non-blocking too";
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    EXPECT_EQ(send(c, "hello", 5, 0), 5);
    EXPECT_EQ(WSAGetLastError(), 0) << "success clears the last error";
    ASSERT_EQ(wait_set(s, false, 2000), 1);
    u_long waiting = 0;
    EXPECT_EQ(ioctlsocket(s, FIONREAD, &waiting), 0);
    EXPECT_EQ(waiting, 5u);
    EXPECT_EQ(recv(s, buf, sizeof buf, 0), 5);
    EXPECT_EQ(std::string(buf, 5), "hello");
    closesocket(c);
    ASSERT_EQ(wait_set(s, false, 2000), 1) << "a closed peer is readable";
    WSASetLastError(77);
    EXPECT_EQ(recv(s, buf, sizeof buf, 0), 0);
    EXPECT_EQ(WSAGetLastError(), 0);
    closesocket(s);
    closesocket(l);
}

TEST_F(Sock, ResetAndSendToAClosedPeer)
{
    u_short port = 0;
    SOCKET l = listener(&port);
    SOCKET c = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = loopback(port);
    ASSERT_EQ(connect(c, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
    SOCKET s = accept(l, nullptr, nullptr);
    ASSERT_NE(s, INVALID_SOCKET);
    linger lg = {1, 0};
    ASSERT_EQ(setsockopt(c, SOL_SOCKET, SO_LINGER, reinterpret_cast<char *>(&lg), sizeof lg), 0);
    linger back = {};
    int len = sizeof back;
    ASSERT_EQ(getsockopt(c, SOL_SOCKET, SO_LINGER, reinterpret_cast<char *>(&back), &len), 0);
    EXPECT_EQ(back.l_onoff, 1);
    EXPECT_EQ(back.l_linger, 0);
    closesocket(c); /* linger 0: the connection is reset */
    ASSERT_EQ(wait_set(s, false, 2000), 1);
    char buf[8];
    EXPECT_EQ(recv(s, buf, sizeof buf, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
    /* a send on the dead connection is an error code, not SIGPIPE */
    int rc = 0;
    for (int i = 0; i < 3 && rc >= 0; i++)
        rc = send(s, "x", 1, 0);
    EXPECT_EQ(rc, SOCKET_ERROR);
    closesocket(s);
    closesocket(l);
}

TEST_F(Sock, RefusedConnectIsNotWritable)
{
    u_short port = 0;
    SOCKET l = listener(&port);
    closesocket(l); /* nobody listens on the port now */
    SOCKET c = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    u_long on = 1;
    ioctlsocket(c, FIONBIO, &on);
    sockaddr_in a = loopback(port);
    connect(c, reinterpret_cast<sockaddr *>(&a), sizeof a);
    fd_set r, w;
    FD_ZERO(&r);
    FD_ZERO(&w);
    FD_SET(c, &r);
    FD_SET(c, &w);
    timeval tv = {2, 0};
    EXPECT_EQ(select(64, &r, &w, nullptr, &tv), 1);
    EXPECT_TRUE(FD_ISSET(c, &r));
    EXPECT_FALSE(FD_ISSET(c, &w));
    int err = 0, len = sizeof err;
    getsockopt(c, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&err), &len);
    EXPECT_EQ(err, WSAECONNREFUSED);
    closesocket(c);
}

TEST_F(Sock, SelectEdgesAndDescriptorSets)
{
    timeval zero = {0, 0};
    fd_set empty;
    FD_ZERO(&empty);
    EXPECT_EQ(select(64, &empty, nullptr, nullptr, &zero), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
    SOCKET u = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    fd_set set;
    FD_ZERO(&set);
    FD_SET(u, &set);
    EXPECT_EQ(select(64, &set, nullptr, nullptr, &zero), 0) << "a zero time-out polls";
    EXPECT_EQ(set.fd_count, 0u);
    closesocket(u);
    FD_SET(u, &set);
    EXPECT_EQ(select(64, &set, nullptr, nullptr, &zero), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);

    FD_ZERO(&set);
    for (SOCKET s = 100; s < 170; s++)
        FD_SET(s, &set);
    FD_SET(100, &set);
    EXPECT_EQ(set.fd_count, 64u) << "no duplicate, no 65th";
    FD_CLR(101, &set);
    EXPECT_EQ(set.fd_count, 63u);
    EXPECT_EQ(set.fd_array[1], 102u);
    FD_CLR(999, &set);
    EXPECT_EQ(set.fd_count, 63u);
}

TEST_F(Sock, UdpDatagramsCarryTheSender)
{
    SOCKET r = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in a = loopback(0);
    ASSERT_EQ(bind(r, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
    int len = sizeof a;
    getsockname(r, reinterpret_cast<sockaddr *>(&a), &len);
    int big = 524288;
    EXPECT_EQ(setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<char *>(&big), sizeof big), 0);
    BOOL yes = TRUE;
    EXPECT_EQ(setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<char *>(&yes), sizeof yes), 0);
    char ttl = 1;
    EXPECT_EQ(setsockopt(s, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, 1), 0) << "a one-byte TTL";
    EXPECT_EQ(setsockopt(s, SOL_SOCKET, 0x7777, reinterpret_cast<char *>(&yes), sizeof yes), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOPROTOOPT);
    ASSERT_EQ(sendto(s, "dgram", 5, 0, reinterpret_cast<sockaddr *>(&a), sizeof a), 5);
    char buf[16];
    sockaddr_in from = {};
    int flen = sizeof from;
    ASSERT_EQ(recvfrom(r, buf, sizeof buf, 0, reinterpret_cast<sockaddr *>(&from), &flen), 5);
    EXPECT_EQ(flen, static_cast<int>(sizeof from));
    EXPECT_STREQ(inet_ntoa(from.sin_addr), "127.0.0.1");
    EXPECT_NE(from.sin_port, 0);
    closesocket(r);
    closesocket(s);
}

TEST(SockText, AddressConversion)
{
    EXPECT_EQ(inet_addr("1.2.3.4"), htonl(0x01020304));
    EXPECT_EQ(inet_addr("not an address"), INADDR_NONE);
    EXPECT_EQ(inet_addr(nullptr), INADDR_NONE);
    in_addr a;
    a.s_addr = htonl(0xC0A80001);
    EXPECT_STREQ(inet_ntoa(a), "192.168.0.1");
}

/* A peer this code did not write: Python's socket module as the client. */
TEST_F(Sock, PythonClientReachesOurListener)
{
    u_short port = 0;
    SOCKET l = listener(&port);
    std::string cmd = "python3 -c \"import socket; s=socket.create_connection(('127.0.0.1'," +
                      std::to_string(port) + ")); s.sendall(b'from python'); print(s.recv(16).decode())\"";
    FILE *py = popen(cmd.c_str(), "r");
    ASSERT_NE(py, nullptr);
    SOCKET s = accept(l, nullptr, nullptr);
    ASSERT_NE(s, INVALID_SOCKET);
    char buf[32];
    int got = 0, n;
    while (got < 11 && (n = recv(s, buf + got, sizeof buf - got, 0)) > 0)
        got += n;
    EXPECT_EQ(std::string(buf, static_cast<size_t>(got)), "from python");
    EXPECT_EQ(send(s, "reply", 5, 0), 5);
    char line[32] = "";
    ASSERT_NE(fgets(line, sizeof line, py), nullptr);
    EXPECT_STREQ(line, "reply\n");
    EXPECT_EQ(pclose(py), 0);
    closesocket(s);
    closesocket(l);
}

} // namespace
