#include "xlist.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

class KList : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(new_xlist(&l), 0);
        ASSERT_EQ(l->ops->init(l), 0);
    }
    void TearDown() override
    {
        l->ops->final(l);
        delete_xlist(&l);
    }
    int add(int key, const char *s) { return l->ops->add(l, key, s, static_cast<int>(strlen(s) + 1)); }
    xlist *l = nullptr;
};

TEST_F(KList, AddClearFindFreeAndGetValue)
{
    EXPECT_EQ(add(0, "zero"), 1);
    EXPECT_EQ(add(1, "one"), 2);
    EXPECT_EQ(add(2, "two"), 3);
    EXPECT_EQ(l->ops->find_free(l), XLIST_NO_FREE);
    EXPECT_EQ(l->ops->clear_value(l, 1), 0);
    EXPECT_EQ(l->mark->key, 1);
    EXPECT_EQ(l->mark->length, -1);
    EXPECT_EQ(l->ops->find_free(l), 1);
    void *b = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(l->ops->get_value(l, 1, &b), XLIST_NO_BLOCK);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(l->ops->get_value(l, 2, &b), 0);
    EXPECT_STREQ(static_cast<char *>(b), "two");
    EXPECT_EQ(l->ops->get_value(l, 0, &b), 0) << "found toward the first node";
    EXPECT_STREQ(static_cast<char *>(b), "zero");
    EXPECT_EQ(l->ops->get_value(l, 9, &b), -1);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(l->ops->clear_value(l, 9), -1);
    EXPECT_EQ(l->ops->count(l), 3);
}

TEST_F(KList, SetValueAddsOrReplaces)
{
    EXPECT_EQ(l->ops->set_value(l, 5, "new", 4), 1) << "absent: added, the new count";
    EXPECT_EQ(l->ops->set_value(l, 5, "replaced", 9), 0);
    void *b;
    ASSERT_EQ(l->ops->get_value(l, 5, &b), 0);
    EXPECT_STREQ(static_cast<char *>(b), "replaced");
    EXPECT_EQ(l->mark->length, 9);
    EXPECT_EQ(l->ops->set_value(l, 6, "six", 4), 2);
}

TEST_F(KList, DeleteAndUnlink)
{
    add(1, "a");
    EXPECT_EQ(l->ops->delete_(l, 1), 0);
    EXPECT_EQ(l->cursor, nullptr);
    EXPECT_EQ(l->ops->delete_(l, 1), -1);
    for (int k = 0; k < 4; k++)
        add(k, "x");
    EXPECT_EQ(l->ops->delete_(l, 2), 3);
    EXPECT_EQ(l->cursor->key, 1) << "the cursor moves to the previous node";
    EXPECT_EQ(l->ops->delete_(l, 0), 2);
    EXPECT_EQ(l->cursor->key, 1) << "removing the first node moves to the next";
    EXPECT_EQ(l->cursor->previous, nullptr);
    EXPECT_EQ(l->ops->unlink_key(l, 7), -1);
    xlist_node *n;
    EXPECT_EQ(l->ops->get_last(l, &n), 3);
    EXPECT_EQ(l->ops->unlink(l), 0) << "unlink removes the cursor's node";
    EXPECT_EQ(l->ops->get_last(l, &n), 1);
}

TEST_F(KList, PositionalWalkReportsNodes)
{
    xlist_node *n = nullptr;
    EXPECT_EQ(l->ops->get_first(l, &n), -1);
    EXPECT_EQ(l->ops->get_curr(l, &n), -1);
    EXPECT_EQ(l->ops->print(l), -1) << "an empty list has no node to print";
    for (int k = 10; k <= 12; k++)
        add(k, "v");
    EXPECT_EQ(l->ops->get_first(l, &n), 10);
    EXPECT_EQ(n->key, 10);
    EXPECT_EQ(l->ops->get_next(l, nullptr), 0) << "without an output the result is 0";
    EXPECT_EQ(l->mark->key, 11);
    EXPECT_EQ(l->ops->get_next(l, &n), 12);
    EXPECT_EQ(l->ops->get_next(l, &n), -1);
    EXPECT_EQ(l->ops->get_prev(l, &n), 11);
    EXPECT_EQ(l->ops->match_key(l, 11), 0);
    EXPECT_EQ(l->ops->match_data(l, n->block), 0);
    EXPECT_EQ(l->ops->match_key(l, 12), -1);
    xlist *other = nullptr;
    ASSERT_EQ(new_xlist(&other), 0);
    other->ops->init(other);
    EXPECT_EQ(other->ops->copy_cursor(other, l), 11);
    EXPECT_EQ(other->ops->set_cursor(other, nullptr), -1);
    other->cursor = other->mark = nullptr; /* it borrowed l's nodes */
    delete_xlist(&other);
    void *block = n->block;
    l->ops->get_first(l, nullptr);
    EXPECT_EQ(l->ops->find_data(l, block), 0);
    EXPECT_EQ(l->cursor->key, 11);
    testing::internal::CaptureStdout();
    EXPECT_EQ(l->ops->print(l), 0);
    char expect[128];
    snprintf(expect, sizeof expect, "%p %p %p %d\n", static_cast<void *>(l->cursor->previous),
             static_cast<void *>(l->cursor), static_cast<void *>(l->cursor->next), 11);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expect);
}

TEST_F(KList, FinalOfEmptyAndFullList)
{
    EXPECT_EQ(l->ops->final(l), -1);
    add(1, "a");
    add(2, "b");
    EXPECT_EQ(l->ops->final(l), 0);
    EXPECT_EQ(l->cursor, nullptr);
    EXPECT_EQ(l->mark, nullptr);
}

class Pack : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(new_xlistpack(&p), 0);
        ASSERT_EQ(p->ops->init(p, 4), 0);
    }
    void TearDown() override
    {
        p->ops->final(p);
        delete_xlistpack(&p);
    }
    xlistpack *p = nullptr;
};

TEST_F(Pack, BucketsOfNegativeKeys)
{
    EXPECT_EQ(p->ops->add(p, 5, "a", 2), 1);
    EXPECT_EQ(p->ops->add(p, -5, "b", 2), 1);
    EXPECT_EQ(p->ops->add(p, -8, "c", 2), 0);
    EXPECT_EQ(p->ops->add(p, 7, "d", 2), 3);
    EXPECT_EQ(p->buckets[1]->count, 2);
    void *b;
    EXPECT_EQ(p->ops->get_value(p, -5, &b), 0);
    EXPECT_STREQ(static_cast<char *>(b), "b");
    EXPECT_EQ(p->ops->find_data(p, -5, b), 0);
    EXPECT_EQ(p->ops->get_value(p, 9, &b), -1);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(p->ops->delete_(p, 5), 1);
    EXPECT_EQ(p->ops->delete_(p, 5), 1) << "the bucket number whatever the result";
    EXPECT_EQ(p->ops->count(p), 3);
    EXPECT_EQ(p->ops->set_value(p, 7, "D", 2), 0);
    EXPECT_EQ(p->ops->clear_value(p, 7), 0);
    EXPECT_EQ(p->ops->get_value(p, 7, &b), -1) << "any negative result is -1";
    EXPECT_EQ(p->ops->unlink(p, 7), 0);
    EXPECT_EQ(p->ops->count(p), 3) << "unlink does not count";
}

TEST_F(Pack, FreeKeyHandsOutClearedOrNextNumber)
{
    EXPECT_EQ(p->ops->free_key(p), 0);
    for (int k = 0; k < 10; k++) {
        ASSERT_EQ(p->ops->free_key(p), k);
        ASSERT_GE(p->ops->add(p, k, "v", 2), 0);
    }
    EXPECT_EQ(p->ops->free_key(p), 10);
    EXPECT_EQ(p->ops->clear_value(p, 6), 0);
    EXPECT_EQ(p->ops->free_key(p), 6);
}

TEST_F(Pack, IterationVisitsEveryNodeOnceBucketByBucket)
{
    void *b;
    EXPECT_EQ(p->ops->get_first(p, &b), -1);
    std::vector<int> keys = {0, 4, 8, 1, 3, 7, 11, -2};
    for (int k : keys)
        ASSERT_GE(p->ops->add(p, k, &k, sizeof k), 0);
    std::vector<int> seen;
    int last_bucket = -1;
    for (int k = p->ops->get_first(p, &b); k != XLIST_PASSED; k = p->ops->get_next(p, &b)) {
        ASSERT_EQ(*static_cast<int *>(b), k);
        EXPECT_GE(p->iter_bucket, last_bucket) << "bucket by bucket";
        last_bucket = p->iter_bucket;
        seen.push_back(k);
        ASSERT_LE(seen.size(), keys.size());
    }
    EXPECT_EQ(std::multiset<int>(seen.begin(), seen.end()), std::multiset<int>(keys.begin(), keys.end()));
    EXPECT_EQ(p->ops->get_next(p, &b), XLIST_PASSED);
}

TEST(PackInit, RefusesNoBuckets)
{
    xlistpack *p = nullptr;
    ASSERT_EQ(new_xlistpack(&p), 0);
    EXPECT_EQ(p->ops->init(p, 0), -1);
    EXPECT_EQ(p->ops->final(p), 0);
    delete_xlistpack(&p);
}

} // namespace
