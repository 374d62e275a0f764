#include "xobject.h"

#include <gtest/gtest.h>

/* The allocation-failure test needs a failing calloc to return null under
 * the sanitizers too, instead of ending the process. */
extern "C" __attribute__((visibility("default"))) const char *__asan_default_options() { return "allocator_may_return_null=1"; }
extern "C" __attribute__((visibility("default"))) const char *__tsan_default_options() { return "allocator_may_return_null=1"; }

namespace {

struct xprobe;
struct xprobe_ops {
    int (*get)(xprobe *self);
    int (*set)(xprobe *self, int v);
    /* reserved for utilbox, in binding order */
    int (*version)(char *out);
    int (*hex_to_digit)(const char *two);
};
static_assert(sizeof(xprobe_ops) == 4 * sizeof(void *), "slot count");

struct xprobe {
    int value;
    HMODULE utilbox;
    xprobe_ops *ops; /* after the data fields */
};

int probe_get(xprobe *self) { return self->value; }
int probe_set(xprobe *self, int v)
{
    self->value = v;
    return 0;
}
void fill_probe(xprobe_ops *ops)
{
    ops->get = probe_get;
    ops->set = probe_set;
}

int new_xprobe(xprobe **out) { return x_new(out, &xprobe::ops, fill_probe); }
int delete_xprobe(xprobe **p) { return x_delete(p, &xprobe::ops); }

const char *const kNames[] = {"version", "hex_to_digit"};
void *const *slots_of(xprobe *p)
{
    static thread_local void *slots[2];
    slots[0] = &p->ops->version;
    slots[1] = &p->ops->hex_to_digit;
    return slots;
}

TEST(XObject, NewGivesZeroedInstanceWithItsOwnTable)
{
    xprobe *a = nullptr, *b = nullptr;
    ASSERT_EQ(new_xprobe(&a), 0);
    ASSERT_EQ(new_xprobe(&b), 0);
    EXPECT_EQ(a->value, 0);
    EXPECT_EQ(a->utilbox, nullptr);
    EXPECT_EQ(a->ops->version, nullptr) << "reserved slots start empty";
    EXPECT_NE(a->ops, b->ops);
    a->ops->get = nullptr; /* storing into one table leaves the other alone */
    EXPECT_EQ(b->ops->get, probe_get);
    b->ops->set(b, 5);
    EXPECT_EQ(b->ops->get(b), 5);
    EXPECT_EQ(delete_xprobe(&a), 0);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(delete_xprobe(&b), 0);
    EXPECT_EQ(delete_xprobe(&b), 0) << "a null variable is left alone";
}

struct xhuge;
struct xhuge_ops {
    char room[size_t(1) << 46]; /* no allocator hands this out */
};
struct xhuge {
    xhuge_ops *ops;
};
void fill_huge(xhuge_ops *) { ADD_FAILURE() << "fill must not run after a failed allocation"; }

TEST(XObject, TableAllocationFailureLeavesDeletableInstance)
{
    xhuge *h = nullptr;
    EXPECT_EQ(x_new(&h, &xhuge::ops, fill_huge), -1);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->ops, nullptr);
    EXPECT_EQ(x_delete(&h, &xhuge::ops), 0);
    EXPECT_EQ(h, nullptr);
}

TEST(XObject, BindingFillsReservedSlotsAndUnbindClearsThem)
{
    xprobe *p = nullptr;
    ASSERT_EQ(new_xprobe(&p), 0);
    ASSERT_EQ(x_bind_utilbox(&p->utilbox, slots_of(p), kNames, 2), 0);
    ASSERT_NE(p->utilbox, nullptr);
    ASSERT_NE(p->ops->version, nullptr);
    char text[8];
    p->ops->version(text);
    EXPECT_STREQ(text, "2.0");
    EXPECT_EQ(p->ops->hex_to_digit("7f"), 127);
    EXPECT_EQ(p->ops->get, probe_get) << "the object's own slots are untouched";
    x_unbind_utilbox(&p->utilbox, slots_of(p), 2);
    EXPECT_EQ(p->utilbox, nullptr);
    EXPECT_EQ(p->ops->version, nullptr);
    delete_xprobe(&p);
}

TEST(XObject, MissingNameOrLibraryRefusesAndLeavesNoSlot)
{
    xprobe *p = nullptr;
    ASSERT_EQ(new_xprobe(&p), 0);
    const char *const bad[] = {"version", "no_such_export"};
    EXPECT_EQ(x_bind_utilbox(&p->utilbox, slots_of(p), bad, 2), -1);
    EXPECT_EQ(p->utilbox, nullptr);
    EXPECT_EQ(p->ops->version, nullptr);
    EXPECT_EQ(p->ops->hex_to_digit, nullptr);
    EXPECT_EQ(x_bind_library(&p->utilbox, "./nosuchlib.dll", slots_of(p), kNames, 2), -1);
    EXPECT_EQ(p->utilbox, nullptr);
    EXPECT_EQ(p->ops->version, nullptr);
    delete_xprobe(&p);
}

} // namespace
