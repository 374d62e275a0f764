#include "xqueue.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

class Queue : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(new_xqueue(&q), 0);
        ASSERT_EQ(q->ops->init(q, 8, 4), 0);
    }
    void TearDown() override
    {
        q->ops->final(q);
        delete_xqueue(&q);
    }
    int get(std::string *out)
    {
        char buf[16];
        memset(buf, '#', sizeof buf);
        void *p = buf;
        int n = q->ops->get(q, &p);
        if (n >= 0) {
            *out = std::string(buf, static_cast<size_t>(n));
            EXPECT_EQ(buf[n], '#') << "exactly the stored length is copied";
        }
        return n;
    }
    xqueue *q = nullptr;
};

TEST_F(Queue, FourSlotsHoldThree)
{
    EXPECT_EQ(q->ops->is_empty(q), -1);
    for (const char *s : {"a", "bb", "ccc"})
        ASSERT_EQ(q->ops->put(q, s, static_cast<int>(strlen(s))), 0);
    EXPECT_EQ(q->ops->is_full(q), -1);
    EXPECT_EQ(q->ops->put(q, "d", 1), -1);
    std::string s;
    EXPECT_EQ(get(&s), 1);
    EXPECT_EQ(s, "a");
    EXPECT_EQ(q->ops->put(q, "d", 1), 0);
    EXPECT_EQ(get(&s), 2);
    EXPECT_EQ(get(&s), 3);
    EXPECT_EQ(get(&s), 1);
    EXPECT_EQ(s, "d");
    char untouched[4] = "zzz";
    void *p = untouched;
    EXPECT_EQ(q->ops->get(q, &p), -1);
    EXPECT_STREQ(untouched, "zzz");
}

TEST_F(Queue, OrderAcrossTheWrap)
{
    int next_in = 0, next_out = 0;
    for (int round = 0; round < 10; round++) {
        while (q->ops->is_full(q) == 0) {
            std::string v = std::to_string(next_in++);
            ASSERT_EQ(q->ops->put(q, v.data(), static_cast<int>(v.size())), 0);
        }
        std::string s;
        for (int k = 0; k < 2; k++) {
            ASSERT_GT(get(&s), 0);
            EXPECT_EQ(s, std::to_string(next_out++));
        }
    }
    std::string s;
    while (get(&s) > 0)
        EXPECT_EQ(s, std::to_string(next_out++));
    EXPECT_EQ(next_out, next_in);
}

TEST_F(Queue, OversizeRefusedAndTextBoundedBySlot)
{
    EXPECT_EQ(q->ops->put(q, "123456789", 9), -1);
    EXPECT_EQ(q->ops->put_text(q, "123456789", 9), -1);
    EXPECT_EQ(q->ops->put(q, "x", -1), -1);
    ASSERT_EQ(q->ops->put_text(q, "abcdefgh", 8), 0); /* fills the slot, no terminator */
    char dest[16];
    memset(dest, '#', sizeof dest);
    ASSERT_EQ(q->ops->get_text(q, dest), 0);
    EXPECT_EQ(std::string(dest, 9), "abcdefgh#");
    EXPECT_EQ(q->ops->get_text(q, dest), -1);
}

TEST_F(Queue, InPlaceSlotsAndAdvanceGuards)
{
    EXPECT_EQ(q->ops->advance_read(q), -1) << "never past the write position";
    void *w;
    q->ops->write_slot(q, &w);
    memcpy(w, "in", 3);
    EXPECT_EQ(q->ops->advance_write(q), 0);
    void *r;
    q->ops->read_slot(q, &r);
    EXPECT_EQ(r, w);
    EXPECT_STREQ(static_cast<char *>(r), "in");
    EXPECT_EQ(q->ops->advance_read(q), 0);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(q->ops->advance_write(q), 0);
    EXPECT_EQ(q->ops->advance_write(q), -1) << "never onto the read position";
}

TEST_F(Queue, DiscardZeroesAndIdentity)
{
    ASSERT_EQ(q->ops->put(q, "one", 3), 0);
    ASSERT_EQ(q->ops->put(q, "two", 3), 0);
    void *r;
    q->ops->read_slot(q, &r);
    EXPECT_EQ(q->ops->discard(q), 0);
    EXPECT_EQ(memcmp(r, "\0\0\0", 3), 0);
    std::string s;
    EXPECT_EQ(get(&s), 3);
    EXPECT_EQ(s, "two");
    EXPECT_EQ(q->ops->discard(q), -1);
    q->ops->set_id(q, 3);
    q->ops->set_user(q, -7);
    EXPECT_EQ(q->ops->get_id(q), 3);
    EXPECT_EQ(q->ops->get_user(q), -7);
    EXPECT_EQ(q->ops->slot_size(q), 8);
    EXPECT_EQ(q->ops->slot_count(q), 4);
}

TEST(QueueInit, RefusesEmptyGeometry)
{
    xqueue *q = nullptr;
    ASSERT_EQ(new_xqueue(&q), 0);
    EXPECT_EQ(q->ops->init(q, 0, 4), -1);
    EXPECT_EQ(q->ops->init(q, 8, 0), -1);
    EXPECT_EQ(q->read, nullptr);
    delete_xqueue(&q);
}

class QueuePack : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(new_xqueuepack(&p), 0);
        ASSERT_EQ(p->ops->init(p, 3), 0);
        ASSERT_NE(p->ops->lock, nullptr);
    }
    void TearDown() override
    {
        EXPECT_EQ(p->ops->final(p), 0);
        EXPECT_EQ(p->utilbox, nullptr);
        EXPECT_EQ(p->ops->lock, nullptr);
        delete_xqueuepack(&p);
    }
    xqueuepack *p = nullptr;
};

TEST_F(QueuePack, SetupDataAndDrain)
{
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(p->queues[i]->id, i);
    EXPECT_EQ(p->ops->put(p, 0, "x", 1), -1) << "a queue that was never set up";
    EXPECT_EQ(p->ops->put(p, 3, "x", 1), -1);
    EXPECT_EQ(p->ops->drain(p, -1), -1);
    ASSERT_EQ(p->ops->setup(p, 0, 16, 5), 0);
    EXPECT_EQ(p->ops->setup(p, 0, 16, 5), -1) << "set up once";
    EXPECT_EQ(p->ops->slot_size(p, 0), 16);
    EXPECT_EQ(p->ops->slot_count(p, 0), 5);
    for (const char *s : {"a", "b", "c"})
        ASSERT_EQ(p->ops->put(p, 0, s, 1), 0);
    char buf[16];
    void *d = buf;
    EXPECT_EQ(p->ops->get(p, 0, &d), 1);
    EXPECT_EQ(buf[0], 'a');
    EXPECT_EQ(p->ops->drain(p, 0), 0);
    EXPECT_EQ(p->ops->get(p, 0, &d), -1);
    EXPECT_EQ(p->ops->teardown(p, 0), 0);
    EXPECT_EQ(p->ops->teardown(p, 0), -1);
    ASSERT_EQ(p->ops->setup(p, 1, 4, 2), 0); /* left set up: final tears it down */
}

/* One producer thread and one consumer thread on one queue through the
 * locked slots; lengths vary over the whole slot and every byte is checked. */
TEST_F(QueuePack, ProducerAndConsumerThreadsLoseNothing)
{
    const int kMessages = 20000, kSlot = 64;
    ASSERT_EQ(p->ops->setup(p, 2, kSlot, 8), 0);
    auto fill = [](int seq, unsigned char *buf) {
        int len = 1 + seq % kSlot;
        for (int i = 0; i < len; i++)
            buf[i] = static_cast<unsigned char>(seq * 31 + i);
        return len;
    };
    std::thread producer([&] {
        unsigned char buf[kSlot];
        for (int seq = 0; seq < kMessages; seq++) {
            int len = fill(seq, buf);
            while (p->ops->put(p, 2, buf, len) != 0)
                std::this_thread::yield();
        }
    });
    int bad = 0, got = 0;
    unsigned char expect[kSlot], buf[kSlot];
    while (got < kMessages) {
        void *d = buf;
        int n = p->ops->get(p, 2, &d);
        if (n < 0) {
            std::this_thread::yield();
            continue;
        }
        int len = fill(got++, expect);
        bad += n != len || memcmp(buf, expect, static_cast<size_t>(len)) != 0;
    }
    producer.join();
    EXPECT_EQ(bad, 0);
    void *d = buf;
    EXPECT_EQ(p->ops->get(p, 2, &d), -1) << "nothing more than was put";
}

} // namespace
