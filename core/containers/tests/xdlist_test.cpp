#include "xdlist.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class DList : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(new_xdlist(&l), 0);
        ASSERT_EQ(l->ops->init(l), 0);
    }
    void TearDown() override
    {
        l->ops->clear(l);
        l->ops->final(l);
        delete_xdlist(&l);
    }
    void add(const char *s) { ASSERT_EQ(l->ops->append(l, s, static_cast<int>(strlen(s))), 0); }
    /* The cursor's block as text. */
    std::string curr()
    {
        void *b = nullptr;
        int n = -1;
        if (l->ops->get_curr(l, &b, &n) != 0)
            return "<empty>";
        return std::string(static_cast<const char *>(b), static_cast<size_t>(n));
    }
    std::string all()
    {
        std::string out;
        void *b;
        int n;
        for (int rc = l->ops->get_top(l, &b, &n); rc == 0; rc = l->ops->get_next(l, &b, &n))
            out += std::string(static_cast<const char *>(b), static_cast<size_t>(n)) + ",";
        return out;
    }
    xdlist *l = nullptr;
};

TEST_F(DList, EmptyListCodesWriteNoOutputs)
{
    void *b = reinterpret_cast<void *>(0x1);
    int n = 77;
    EXPECT_EQ(l->ops->count(l), -4009);
    EXPECT_EQ(l->ops->get_top(l, &b, &n), XDLIST_EMPTY);
    EXPECT_EQ(l->ops->get_last(l, &b, &n), XDLIST_EMPTY);
    EXPECT_EQ(l->ops->get_prev(l, &b, &n), XDLIST_EMPTY);
    EXPECT_EQ(l->ops->get_next(l, &b, &n), XDLIST_EMPTY);
    EXPECT_EQ(l->ops->get_curr(l, &b, &n), XDLIST_EMPTY);
    EXPECT_EQ(l->ops->search(l, "a", 1), XDLIST_EMPTY);
    EXPECT_EQ(l->ops->search_prev(l, "a", 1), XDLIST_EMPTY);
    EXPECT_EQ(l->ops->remove(l, &b, &n), XDLIST_EMPTY);
    EXPECT_EQ(l->ops->drop(l, "a", 1), XDLIST_NO_DROP);
    EXPECT_EQ(b, reinterpret_cast<void *>(0x1));
    EXPECT_EQ(n, 77);
}

TEST_F(DList, CursorWalkAndCount)
{
    add("A");
    add("B");
    add("C");
    EXPECT_EQ(curr(), "C") << "append leaves the cursor on the new node";
    void *b;
    int n;
    ASSERT_EQ(l->ops->get_top(l, &b, &n), 0);
    EXPECT_EQ(curr(), "A");
    EXPECT_EQ(l->ops->get_prev(l, &b, &n), XDLIST_NO_NEXT);
    EXPECT_EQ(l->ops->get_next(l, &b, &n), 0);
    EXPECT_EQ(curr(), "B");
    EXPECT_EQ(l->ops->get_next(l, nullptr, nullptr), 0);
    EXPECT_EQ(l->ops->get_next(l, &b, &n), XDLIST_NO_NEXT);
    EXPECT_EQ(curr(), "C") << "stepping past the end leaves the cursor";
    l->ops->get_top(l, nullptr, nullptr);
    EXPECT_EQ(l->ops->get_last(l, nullptr, nullptr), 2) << "steps moved";
    EXPECT_EQ(l->ops->get_last(l, nullptr, nullptr), 0);
    l->ops->get_top(l, nullptr, nullptr);
    EXPECT_EQ(l->ops->count(l), 3);
    EXPECT_EQ(curr(), "C") << "count ends on the last node";
}

TEST_F(DList, AddToNextInsertsAfterTheCursor)
{
    ASSERT_EQ(l->ops->add_to_next(l, "A", 1), 0) << "into an empty list";
    add("B");
    l->ops->get_top(l, nullptr, nullptr);
    ASSERT_EQ(l->ops->add_to_next(l, "X", 1), 0);
    EXPECT_EQ(curr(), "X");
    l->ops->get_last(l, nullptr, nullptr);
    ASSERT_EQ(l->ops->add_to_next(l, "Z", 1), 0) << "on the last node: append";
    EXPECT_EQ(curr(), "Z");
    EXPECT_EQ(all(), "A,X,B,Z,");
    void *b;
    int n;
    l->ops->get_last(l, &b, &n);
    ASSERT_EQ(l->ops->get_prev(l, &b, &n), 0);
    EXPECT_EQ(std::string(static_cast<char *>(b), 1), "B") << "previous links are right";
}

TEST_F(DList, SearchOrderCursorThenTopwardThenLastward)
{
    for (const char *s : {"K1a", "K2", "K1b", "C"})
        add(s);
    l->ops->search(l, "K2", 2);
    EXPECT_EQ(l->ops->search(l, "K1", 2), 0);
    EXPECT_EQ(curr(), "K1a") << "toward the top first";
    l->ops->get_last(l, nullptr, nullptr);
    l->ops->get_prev(l, nullptr, nullptr);
    EXPECT_EQ(l->ops->search(l, "K1", 2), 0);
    EXPECT_EQ(curr(), "K1b") << "the cursor's own node first";
    l->ops->get_top(l, nullptr, nullptr);
    EXPECT_EQ(l->ops->search(l, "C", 1), 0);
    EXPECT_EQ(curr(), "C") << "then toward the last node";
    EXPECT_EQ(l->ops->search(l, "Z", 1), -1);
    EXPECT_EQ(curr(), "C") << "a miss ends on the last node";
    l->ops->get_top(l, nullptr, nullptr);
    EXPECT_EQ(l->ops->search_next(l, "K1a", 3), -1) << "search_next skips its starting node";
    EXPECT_EQ(l->ops->search_prev(l, "K1b", 3), 0);
    EXPECT_EQ(curr(), "K1b");
}

TEST_F(DList, BlockShorterThanKeyIsNoMatch)
{
    add("A");
    EXPECT_EQ(l->ops->search(l, "AB", 2), -1);
    EXPECT_EQ(l->ops->drop(l, "AB", 2), XDLIST_NO_DROP);
    ASSERT_EQ(l->ops->append(l, nullptr, 0), 0);
    EXPECT_EQ(l->ops->search(l, "x", 1), -1) << "a node without a block matches nothing";
}

TEST_F(DList, DropMovesTheCursorSensibly)
{
    for (const char *s : {"A", "B", "C"})
        add(s);
    ASSERT_EQ(l->ops->drop(l, "A", 1), 0);
    EXPECT_EQ(curr(), "B") << "dropping the top moves to the new top";
    ASSERT_EQ(l->ops->drop(l, "C", 1), 0);
    EXPECT_EQ(curr(), "B");
    EXPECT_EQ(l->ops->drop(l, "Q", 1), XDLIST_NO_DROP);
    ASSERT_EQ(l->ops->drop(l, "B", 1), 0);
    EXPECT_EQ(l->cursor, nullptr) << "dropping the only node empties the list";
    for (const char *s : {"A", "B", "C"})
        add(s);
    ASSERT_EQ(l->ops->drop(l, "B", 1), 0);
    EXPECT_EQ(curr(), "A");
    EXPECT_EQ(all(), "A,C,");
    EXPECT_EQ(l->spare, nullptr);
}

TEST_F(DList, RemoveCopiesOrDiscardsTheLastNode)
{
    for (const char *s : {"one", "two", "three"})
        add(s);
    l->ops->get_top(l, nullptr, nullptr);
    char buf[16] = {};
    void *p = buf;
    int n = 0;
    EXPECT_EQ(l->ops->remove(l, &p, &n), 2) << "the steps to the last node";
    EXPECT_EQ(std::string(buf, static_cast<size_t>(n)), "three");
    EXPECT_EQ(l->ops->remove(l, nullptr, nullptr), 0);
    EXPECT_EQ(curr(), "one");
    EXPECT_EQ(l->ops->clear(l), 0);
    EXPECT_EQ(l->cursor, nullptr);
    EXPECT_EQ(l->ops->remove(l, nullptr, nullptr), XDLIST_EMPTY);
}

TEST_F(DList, NullBlockNodeAndRefusedLength)
{
    ASSERT_EQ(l->ops->append(l, nullptr, 5), 0);
    void *b = reinterpret_cast<void *>(0x1);
    int n = 9;
    ASSERT_EQ(l->ops->get_curr(l, &b, &n), 0);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(l->ops->append(l, "x", -1), -1) << "a negative length is refused";
    EXPECT_EQ(l->ops->add_to_next(l, "x", -1), -1);
    EXPECT_EQ(l->ops->count(l), 1);
}

TEST_F(DList, PrintLines)
{
    testing::internal::CaptureStdout();
    l->ops->print(l);
    add("A");
    l->ops->print(l);
    std::string out = testing::internal::GetCapturedStdout();
    char expect[128];
    snprintf(expect, sizeof expect, "%p %p %p\n%p %p %p\n", nullptr, nullptr, nullptr, nullptr,
             static_cast<void *>(l->cursor), nullptr);
    EXPECT_EQ(out, expect);
}

TEST(DListPack, ForwardsToItsList)
{
    xdlistpack *p = nullptr;
    ASSERT_EQ(new_xdlistpack(&p), 0);
    ASSERT_EQ(p->ops->init(p), 0);
    ASSERT_NE(p->list, nullptr);
    int handles[3] = {7, 8, 9}; /* the socket pack keeps 4-byte handles */
    for (int &h : handles)
        ASSERT_EQ(p->ops->append(p, &h, sizeof h), 0);
    void *b;
    int n;
    int seen = 0;
    for (int rc = p->ops->get_top(p, &b, &n); rc == 0; rc = p->ops->get_next(p, &b, &n))
        seen = seen * 10 + *static_cast<int *>(b);
    EXPECT_EQ(seen, 789);
    EXPECT_EQ(p->ops->search(p, &handles[1], sizeof(int)), 0);
    EXPECT_EQ(p->ops->drop(p, &handles[1], sizeof(int)), 0);
    EXPECT_EQ(p->ops->get_curr(p, &b, &n), 0);
    EXPECT_EQ(*static_cast<int *>(b), 7);
    EXPECT_EQ(p->ops->add_to_next(p, &handles[1], sizeof(int)), 0);
    EXPECT_EQ(p->ops->get_last(p, &b, &n), 1);
    EXPECT_EQ(p->ops->get_prev(p, &b, &n), 0);
    EXPECT_EQ(*static_cast<int *>(b), 8);
    EXPECT_EQ(p->ops->remove(p, nullptr, nullptr), 1);
    EXPECT_EQ(p->ops->clear(p), 0);
    EXPECT_EQ(p->ops->get_top(p, &b, &n), XDLIST_EMPTY);
    EXPECT_EQ(p->ops->final(p), 0);
    EXPECT_EQ(p->list, nullptr);
    EXPECT_EQ(delete_xdlistpack(&p), 0);
}

} // namespace
