/* xqueue: a fixed ring of equally sized slots (n slots hold n - 1 entries);
 * and xqueuepack, an array of queues whose data operations each take the
 * queue's own lock (bound from utilbox), for one producer and one consumer
 * per queue. */
#ifndef XQUEUE_H
#define XQUEUE_H

#include "conduit_api.h"

#include "win32.h"

struct xqueue_node {
    int index;
    void *buffer; /* slot-size bytes */
    int length;   /* bytes stored by put */
    xqueue_node *next;
    xqueue_node *previous;
};

struct xqueue;
struct xqueue_ops {
    int (*init)(xqueue *self, int slot_size, int slot_count);
    int (*final)(xqueue *self);
    int (*is_full)(xqueue *self);
    int (*is_empty)(xqueue *self);
    int (*put_text)(xqueue *self, const void *data, int length);
    int (*get_text)(xqueue *self, void *destination);
    int (*read_slot)(xqueue *self, void **buffer);
    int (*write_slot)(xqueue *self, void **buffer);
    int (*advance_read)(xqueue *self);
    int (*advance_write)(xqueue *self);
    int (*put)(xqueue *self, const void *data, int length);
    int (*get)(xqueue *self, void **destination);
    int (*discard)(xqueue *self);
    int (*set_id)(xqueue *self, int value);
    int (*set_user)(xqueue *self, int value);
    int (*get_id)(xqueue *self);
    int (*get_user)(xqueue *self);
    int (*slot_size)(xqueue *self);
    int (*slot_count)(xqueue *self);
};
static_assert(sizeof(xqueue_ops) == 19 * sizeof(void *), "xqueue has 19 slots");

struct xqueue {
    xqueue_node *read;
    xqueue_node *write;
    xqueue_node *anchor; /* the last node built */
    int id;
    int user;
    int size;  /* slot size in bytes */
    int count; /* slot count */
    CRITICAL_SECTION lock; /* used by the pack only */
    xqueue_ops *ops;
};

struct xqueuepack;
struct xqueuepack_ops {
    int (*init)(xqueuepack *self, int queues);
    int (*final)(xqueuepack *self);
    int (*setup)(xqueuepack *self, int index, int slot_size, int slot_count);
    int (*teardown)(xqueuepack *self, int index);
    int (*put)(xqueuepack *self, int index, const void *data, int length);
    int (*get)(xqueuepack *self, int index, void **destination);
    int (*read_slot)(xqueuepack *self, int index, void **buffer);
    int (*write_slot)(xqueuepack *self, int index, void **buffer);
    int (*advance_read)(xqueuepack *self, int index);
    int (*advance_write)(xqueuepack *self, int index);
    int (*slot_size)(xqueuepack *self, int index);
    int (*slot_count)(xqueuepack *self, int index);
    int (*drain)(xqueuepack *self, int index);
    /* bound from utilbox by init */
    int (*lock_init)(CRITICAL_SECTION *cs);
    int (*lock_final)(CRITICAL_SECTION *cs);
    int (*lock)(CRITICAL_SECTION *cs);
    int (*unlock)(CRITICAL_SECTION *cs);
};
static_assert(sizeof(xqueuepack_ops) == 17 * sizeof(void *), "xqueuepack has 17 slots");

struct xqueuepack {
    HMODULE utilbox;
    xqueue **queues;
    int count;
    xqueuepack_ops *ops;
};

extern "C" {
CONDUIT_API int new_xqueue(xqueue **out);
CONDUIT_API int delete_xqueue(xqueue **p);
CONDUIT_API int new_xqueuepack(xqueuepack **out);
CONDUIT_API int delete_xqueuepack(xqueuepack **p);
}

#endif
