/* Broadcast and multicast between two network namespaces joined by a veth
 * pair, made and removed by the fixture. The channel runs in namespace A (the
 * test thread enters it); the Python peer runs in namespace B. Skipped with
 * the reason where namespaces cannot be made (no root). */
#include "xsocketmanager.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <mutex>
#include <thread>
#include <string>
#include <vector>

namespace {

struct Inbox {
    std::mutex m;
    std::vector<std::string> got; /* "ip:port text" */
    static int on_recv_from(xsocket_event *e, void *u)
    {
        Inbox *in = static_cast<Inbox *>(u);
        std::string text = std::string(inet_ntoa(e->peer.sin_addr)) + ":" + std::to_string(ntohs(e->peer.sin_port)) +
                           " " + std::string(static_cast<char *>(e->data), static_cast<size_t>(e->length));
        std::lock_guard<std::mutex> g(in->m);
        in->got.push_back(text);
        return 0;
    }
    bool wait_for(const std::string &part)
    {
        for (int i = 0; i < 500; i++) {
            {
                std::lock_guard<std::mutex> g(m);
                for (const std::string &s : got)
                    if (s.find(part) != std::string::npos)
                        return true;
            }
            Sleep(10);
        }
        return false;
    }
};

class Netns : public testing::Test {
protected:
    void SetUp() override
    {
        int id = getpid() % 200 + 20;
        subnet_ = "10.77." + std::to_string(id);
        a_ = "tvA" + std::to_string(getpid());
        b_ = "tvB" + std::to_string(getpid());
        std::string va = "va" + std::to_string(getpid()), vb = "vb" + std::to_string(getpid());
        std::string script = "set -e; ip netns add " + a_ + "; ip netns add " + b_ +
                             "; ip link add " + va + " type veth peer name " + vb +
                             "; ip link set " + va + " netns " + a_ + "; ip link set " + vb + " netns " + b_ +
                             "; ip -n " + a_ + " addr add " + subnet_ + ".1/24 brd + dev " + va +
                             "; ip -n " + b_ + " addr add " + subnet_ + ".2/24 brd + dev " + vb +
                             "; ip -n " + a_ + " link set " + va + " up; ip -n " + b_ + " link set " + vb + " up" +
                             "; ip -n " + a_ + " link set lo up; ip -n " + b_ + " link set lo up" +
                             "; ip -n " + a_ + " route add 224.0.0.0/4 dev " + va +
                             "; ip -n " + b_ + " route add 224.0.0.0/4 dev " + vb;
        made_ = system(("( " + script + " ) >/dev/null 2>&1").c_str()) == 0;
        if (!made_) {
            system(("ip netns del " + a_ + " 2>/dev/null; ip netns del " + b_ + " 2>/dev/null").c_str());
            GTEST_SKIP() << "network namespaces cannot be made here (needs root and iproute2)";
        }
        home_ = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        int fd = open(("/var/run/netns/" + a_).c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(setns(fd, CLONE_NEWNET), 0);
        close(fd);
        Sleep(300); /* let the veth carrier come up */
        ASSERT_EQ(new_xsocketmanager(&m_), 0);
        ASSERT_EQ(m_->ops->create(m_), 0);
    }
    void TearDown() override
    {
        if (!made_)
            return;
        if (m_ != nullptr) {
            if (started_)
                m_->ops->stop(m_);
            m_->ops->close(m_);
            m_->ops->release(m_);
            delete_xsocketmanager(&m_);
        }
        setns(home_, CLONE_NEWNET);
        close(home_);
        system(("ip netns del " + a_ + "; ip netns del " + b_).c_str());
    }
    int start(const std::string &addr, const char *role, const char *cast)
    {
        EXPECT_EQ(m_->ops->configure(m_, addr.c_str(), "47600", role, "UDP", cast), 0);
        EXPECT_EQ(m_->ops->open(m_), 0);
        m_->ops->set_callback(m_, Inbox::on_recv_from, 1, &inbox_);
        started_ = true;
        return m_->ops->start(m_, 0);
    }
    FILE *in_b(const std::string &args)
    {
        return popen(("ip netns exec " + b_ + " python3 " TV_SOURCE "/tools/peer.py " + args).c_str(), "r");
    }
    /* Starts a receiver in B, then sends from the channel until it reports. */
    std::string send_to_b(int h, const std::string &peer_args, const char *text)
    {
        FILE *rx = in_b(peer_args);
        char line[256] = "";
        if (fgets(line, sizeof line, rx) == nullptr) {
            pclose(rx);
            return "";
        }
        std::thread tx([&] {
            for (int i = 0; i < 10; i++, Sleep(100))
                m_->ops->send_to(m_, h, text, static_cast<int>(strlen(text)), (subnet_ + ".2").c_str(), 47600);
        });
        line[0] = '\0';
        char *got = fgets(line, sizeof line, rx);
        tx.join();
        pclose(rx);
        return got != nullptr ? line : "";
    }
    std::string subnet_, a_, b_;
    bool made_ = false, started_ = false;
    int home_ = -1;
    xsocketmanager *m_ = nullptr;
    Inbox inbox_;
};

TEST_F(Netns, BroadcastFromTheChannel)
{
    int h = start(subnet_ + ".255", "SERVER", "BROADCAST");
    ASSERT_GE(h, 0);
    std::string line = send_to_b(h, "recv-udp 47600", "bcast-out");
    EXPECT_NE(line.find(subnet_ + ".1:"), std::string::npos) << line;
    EXPECT_NE(line.find("bcast-out"), std::string::npos) << line;
}

TEST_F(Netns, BroadcastToTheChannel)
{
    ASSERT_GE(start(subnet_ + ".255", "CLIENT", "BROADCAST"), 0);
    FILE *tx = in_b("send-udp " + subnet_ + ".255 47600 bcast-in");
    EXPECT_TRUE(inbox_.wait_for(subnet_ + ".2:"));
    EXPECT_TRUE(inbox_.wait_for("bcast-in"));
    pclose(tx);
}

TEST_F(Netns, MulticastFromTheChannel)
{
    int h = start("239.77.0.1", "SERVER", "MULTICAST");
    ASSERT_GE(h, 0);
    std::string line = send_to_b(h, "recv-udp 47600 239.77.0.1", "mcast-out");
    EXPECT_NE(line.find("mcast-out"), std::string::npos) << line;
}

TEST_F(Netns, MulticastToTheChannel)
{
    ASSERT_GE(start("239.77.0.1", "CLIENT", "MULTICAST"), 0) << "joins the group";
    FILE *tx = in_b("send-udp 239.77.0.1 47600 mcast-in");
    EXPECT_TRUE(inbox_.wait_for("mcast-in"));
    EXPECT_TRUE(inbox_.wait_for(subnet_ + ".2:"));
    pclose(tx);
}

} // namespace
