/* xstack: last in, first out byte blocks on one xdlistpack (the top is the
 * list's last node). Every push and pop writes a trace line to standard
 * output. */
#ifndef XSTACK_H
#define XSTACK_H

#include "conduit_api.h"

#include "xdlist.h"

struct xstack;
struct xstack_ops {
    int (*init)(xstack *self);
    int (*final)(xstack *self);
    int (*push)(xstack *self, const void *block, int length);
    int (*pop)(xstack *self, void **buffer, int *length);
    int (*reserved)(xstack *self);
};
static_assert(sizeof(xstack_ops) == 5 * sizeof(void *), "xstack has 5 slots");

struct xstack {
    xdlistpack *pack;
    xstack_ops *ops;
};

extern "C" {
CONDUIT_API int new_xstack(xstack **out);
CONDUIT_API int delete_xstack(xstack **p);
}

#endif
