/* xstack: the top entry is the list's last node. */
#include "xstack.h"
#include "xobject.h"

#include <stdio.h>

namespace {

int s_init(xstack *self)
{
    if (new_xdlistpack(&self->pack) != 0) {
        delete_xdlistpack(&self->pack);
        return -1;
    }
    return self->pack->ops->init(self->pack);
}

int s_final(xstack *self)
{
    if (self->pack != nullptr)
        self->pack->ops->final(self->pack);
    delete_xdlistpack(&self->pack);
    return 0;
}

int s_push(xstack *self, const void *block, int length)
{
    if (self->pack->ops->append(self->pack, block, length) != 0)
        return -1;
    void *copy = nullptr;
    self->pack->ops->get_curr(self->pack, &copy, nullptr);
    printf("push : %p\n", copy);
    return 0;
}

/* An empty stack leaves the caller's buffer and length alone: -4010. */
int s_pop(xstack *self, void **buffer, int *length)
{
    void *copy = nullptr;
    int n = 0;
    int rc = self->pack->ops->get_last(self->pack, &copy, &n);
    if (rc < 0)
        return rc;
    printf("pop : %p\n", copy);
    self->pack->ops->remove(self->pack, buffer, length);
    return 0;
}

int s_reserved(xstack *self)
{
    (void)self;
    return 0;
}

void fill_xstack(xstack_ops *o)
{
    o->init = s_init;
    o->final = s_final;
    o->push = s_push;
    o->pop = s_pop;
    o->reserved = s_reserved;
}

} // namespace

extern "C" int new_xstack(xstack **out) { return x_new(out, &xstack::ops, fill_xstack); }
extern "C" int delete_xstack(xstack **p) { return x_delete(p, &xstack::ops); }
