#include "win32.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <thread>
#include <vector>

namespace {

TEST(Winsock, StartupIsCountedAndGuardsLookups)
{
    SetLastError(0);
    EXPECT_EQ(gethostbyname("localhost"), nullptr);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
    WSADATA d;
    EXPECT_EQ(WSAStartup(MAKEWORD(1, 0), &d), WSAVERNOTSUPPORTED);
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &d), 0);
    EXPECT_EQ(d.wVersion, MAKEWORD(2, 2));
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &d), 0);
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_NE(gethostbyname("localhost"), nullptr) << "one start-up is still open";
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
}

TEST(Winsock, ResolvesLocalhostAndReportsUnknownNames)
{
    WSADATA d;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &d), 0);
    struct hostent *h = gethostbyname("localhost");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->h_addrtype, AF_INET);
    EXPECT_EQ(h->h_length, 4);
    ASSERT_NE(h->h_addr_list[0], nullptr);
    struct in_addr a;
    memcpy(&a, h->h_addr_list[0], 4);
    EXPECT_STREQ(inet_ntoa(a), "127.0.0.1");
    EXPECT_EQ(gethostbyname("no-such-host.invalid"), nullptr);
    EXPECT_NE(WSAGetLastError(), 0);
    WSACleanup();
}

TEST(Winsock, ThreadsResolveAtOnceWithTheirOwnResults)
{
    WSADATA d;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &d), 0);
    std::vector<std::thread> ts;
    std::vector<std::string> got(4);
    for (int i = 0; i < 4; i++)
        ts.emplace_back([&, i] {
            const char *name = i % 2 ? "localhost" : "127.0.0.2";
            for (int k = 0; k < 50; k++) {
                struct hostent *h = gethostbyname(name);
                if (h == nullptr || h->h_addr_list[0] == nullptr)
                    return;
                struct in_addr a;
                memcpy(&a, h->h_addr_list[0], 4);
                got[i] = inet_ntoa(a);
                if (got[i] != (i % 2 ? "127.0.0.1" : "127.0.0.2"))
                    return;
            }
        });
    for (auto &t : ts)
        t.join();
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(got[i], i % 2 ? "127.0.0.1" : "127.0.0.2");
    WSACleanup();
}

} // namespace
