#include "xstack.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Stack, LastInFirstOutWithOneTraceLinePerCall)
{
    xstack *s = nullptr;
    ASSERT_EQ(new_xstack(&s), 0);
    ASSERT_EQ(s->ops->init(s), 0);
    testing::internal::CaptureStdout();
    ASSERT_EQ(s->ops->push(s, "A", 1), 0);
    void *a = s->pack->list->cursor->block;
    ASSERT_EQ(s->ops->push(s, "BC", 2), 0);
    void *bc = s->pack->list->cursor->block;
    char buf[8] = {};
    void *p = buf;
    int n = 0;
    ASSERT_EQ(s->ops->pop(s, &p, &n), 0);
    EXPECT_EQ(std::string(buf, static_cast<size_t>(n)), "BC");
    ASSERT_EQ(s->ops->pop(s, &p, &n), 0);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(buf[0], 'A');
    std::string out = testing::internal::GetCapturedStdout();
    char expect[256];
    snprintf(expect, sizeof expect, "push : %p\npush : %p\npop : %p\npop : %p\n", a, bc, bc, a);
    EXPECT_EQ(out, expect);
    EXPECT_EQ(s->ops->reserved(s), 0);
    EXPECT_EQ(s->ops->final(s), 0);
    EXPECT_EQ(delete_xstack(&s), 0);
}

TEST(Stack, PopOnEmptyLeavesEverythingAndStaysUsable)
{
    xstack *s = nullptr;
    ASSERT_EQ(new_xstack(&s), 0);
    ASSERT_EQ(s->ops->init(s), 0);
    char buf[4] = "xyz";
    void *p = buf;
    int n = 42;
    testing::internal::CaptureStdout();
    EXPECT_EQ(s->ops->pop(s, &p, &n), -4010);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "no trace for a pop that took nothing";
    EXPECT_STREQ(buf, "xyz");
    EXPECT_EQ(n, 42);
    testing::internal::CaptureStdout();
    ASSERT_EQ(s->ops->push(s, "q", 1), 0);
    ASSERT_EQ(s->ops->pop(s, &p, &n), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(n, 1);
    EXPECT_EQ(buf[0], 'q');
    s->ops->final(s);
    delete_xstack(&s);
}

} // namespace
