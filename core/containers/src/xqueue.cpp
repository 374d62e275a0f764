/* xqueue and xqueuepack. */
#include "xqueue.h"
#include "xobject.h"

#include <string.h>

namespace {

bool empty(const xqueue *q) { return q->read == q->write; }
bool full(const xqueue *q) { return q->write->next == q->read; }

int q_final(xqueue *self)
{
    xqueue_node *n = self->anchor;
    for (int i = 0; n != nullptr && i < self->count; i++) {
        xqueue_node *prev = n->previous;
        free(n->buffer);
        free(n);
        n = prev;
    }
    self->read = self->write = self->anchor = nullptr;
    return 0;
}

/* Builds the ring node by node; a failed allocation frees what was built. */
int q_init(xqueue *self, int slot_size, int slot_count)
{
    if (slot_size <= 0 || slot_count <= 0)
        return -1;
    xqueue_node *first = nullptr, *last = nullptr;
    for (int i = 0; i < slot_count; i++) {
        xqueue_node *n = static_cast<xqueue_node *>(calloc(1, sizeof *n));
        void *buffer = n ? calloc(1, static_cast<size_t>(slot_size)) : nullptr;
        if (buffer == nullptr) {
            free(n);
            if (first != nullptr) {
                first->previous = last;
                self->anchor = last;
                self->count = i;
                q_final(self);
                self->count = 0;
            }
            return -1;
        }
        n->index = i;
        n->buffer = buffer;
        n->previous = last;
        if (last != nullptr)
            last->next = n;
        else
            first = n;
        last = n;
    }
    last->next = first;
    first->previous = last;
    self->anchor = last;
    self->read = self->write = first;
    self->size = slot_size;
    self->count = slot_count;
    return 0;
}

int q_is_full(xqueue *self) { return full(self) ? -1 : 0; }
int q_is_empty(xqueue *self) { return empty(self) ? -1 : 0; }

int q_put_text(xqueue *self, const void *data, int length)
{
    if (full(self) || length < 0 || length > self->size)
        return -1;
    memcpy(self->write->buffer, data, static_cast<size_t>(length));
    self->write = self->write->next;
    return 0;
}

/* Copies the slot's text without its terminator, at most the slot size. */
int q_get_text(xqueue *self, void *destination)
{
    if (empty(self))
        return -1;
    const char *text = static_cast<const char *>(self->read->buffer);
    memcpy(destination, text, strnlen(text, static_cast<size_t>(self->size)));
    self->read = self->read->next;
    return 0;
}

int q_read_slot(xqueue *self, void **buffer)
{
    *buffer = self->read->buffer;
    return 0;
}

int q_write_slot(xqueue *self, void **buffer)
{
    *buffer = self->write->buffer;
    return 0;
}

/* Advancing never passes the other position, so the ring cannot hand out a
 * slot twice or overwrite one that was not read. */
int q_advance_read(xqueue *self)
{
    if (empty(self))
        return -1;
    self->read = self->read->next;
    return 0;
}

int q_advance_write(xqueue *self)
{
    if (full(self))
        return -1;
    self->write = self->write->next;
    return 0;
}

int q_put(xqueue *self, const void *data, int length)
{
    if (full(self) || length < 0 || length > self->size)
        return -1;
    self->write->length = length;
    memcpy(self->write->buffer, data, static_cast<size_t>(length));
    self->write = self->write->next;
    return 0;
}

int q_get(xqueue *self, void **destination)
{
    if (empty(self))
        return -1;
    int length = self->read->length;
    memcpy(*destination, self->read->buffer, static_cast<size_t>(length));
    self->read = self->read->next;
    return length;
}

int q_discard(xqueue *self)
{
    if (empty(self))
        return -1;
    memset(self->read->buffer, 0, static_cast<size_t>(self->read->length));
    self->read = self->read->next;
    return 0;
}

int q_set_id(xqueue *self, int v)
{
    self->id = v;
    return 0;
}
int q_set_user(xqueue *self, int v)
{
    self->user = v;
    return 0;
}
int q_get_id(xqueue *self) { return self->id; }
int q_get_user(xqueue *self) { return self->user; }
int q_slot_size(xqueue *self) { return self->size; }
int q_slot_count(xqueue *self) { return self->count; }

void fill_xqueue(xqueue_ops *o)
{
    o->init = q_init;
    o->final = q_final;
    o->is_full = q_is_full;
    o->is_empty = q_is_empty;
    o->put_text = q_put_text;
    o->get_text = q_get_text;
    o->read_slot = q_read_slot;
    o->write_slot = q_write_slot;
    o->advance_read = q_advance_read;
    o->advance_write = q_advance_write;
    o->put = q_put;
    o->get = q_get;
    o->discard = q_discard;
    o->set_id = q_set_id;
    o->set_user = q_set_user;
    o->get_id = q_get_id;
    o->get_user = q_get_user;
    o->slot_size = q_slot_size;
    o->slot_count = q_slot_count;
}

/* ---- the locked pack ---- */

const char *const kUtilNames[] = {"lock_init", "lock_final", "lock", "unlock"};
const int kUtilCount = 4;

void *const *util_slots(xqueuepack *self, void *slots[kUtilCount])
{
    slots[0] = &self->ops->lock_init;
    slots[1] = &self->ops->lock_final;
    slots[2] = &self->ops->lock;
    slots[3] = &self->ops->unlock;
    return slots;
}

/* The queue at index, or null when the index is out of range or the queue
 * has no ring (never set up, or torn down). It looks at the anchor, which
 * only setup and teardown change, so it may run outside the queue's lock
 * while the other thread moves the positions. */
xqueue *ready(xqueuepack *self, int index)
{
    if (self->queues == nullptr || index < 0 || index >= self->count)
        return nullptr;
    xqueue *q = self->queues[index];
    return q != nullptr && q->anchor != nullptr ? q : nullptr;
}

/* Runs one queue slot under that queue's lock and returns its result. */
template <typename F> int locked(xqueuepack *self, int index, F call)
{
    xqueue *q = ready(self, index);
    if (q == nullptr)
        return -1;
    self->ops->lock(&q->lock);
    int rc = call(q);
    self->ops->unlock(&q->lock);
    return rc;
}

int k_teardown(xqueuepack *self, int index);

int k_final(xqueuepack *self)
{
    for (int i = 0; self->queues != nullptr && i < self->count; i++) {
        if (ready(self, i) != nullptr)
            k_teardown(self, i); /* a queue still set up would leak its ring */
        delete_xqueue(&self->queues[i]);
    }
    free(self->queues);
    self->queues = nullptr;
    self->count = 0;
    void *slots[kUtilCount];
    x_unbind_utilbox(&self->utilbox, util_slots(self, slots), kUtilCount);
    return 0;
}

int k_init(xqueuepack *self, int queues)
{
    if (queues <= 0)
        return -1;
    void *slots[kUtilCount];
    if (x_bind_utilbox(&self->utilbox, util_slots(self, slots), kUtilNames, kUtilCount) != 0)
        return -1;
    self->queues = static_cast<xqueue **>(calloc(static_cast<size_t>(queues), sizeof(xqueue *)));
    if (self->queues == nullptr) {
        k_final(self);
        return -1;
    }
    self->count = queues;
    for (int i = 0; i < queues; i++) {
        if (new_xqueue(&self->queues[i]) != 0) {
            k_final(self);
            return -1;
        }
        self->queues[i]->ops->set_id(self->queues[i], i);
    }
    return 0;
}

int k_setup(xqueuepack *self, int index, int slot_size, int slot_count)
{
    if (self->queues == nullptr || index < 0 || index >= self->count || ready(self, index) != nullptr)
        return -1;
    xqueue *q = self->queues[index];
    self->ops->lock_init(&q->lock);
    if (q->ops->init(q, slot_size, slot_count) != 0) {
        self->ops->lock_final(&q->lock);
        return -1;
    }
    return 0;
}

int k_teardown(xqueuepack *self, int index)
{
    xqueue *q = ready(self, index);
    if (q == nullptr)
        return -1;
    q->ops->final(q);
    self->ops->lock_final(&q->lock);
    return 0;
}

int k_put(xqueuepack *s, int i, const void *d, int n)
{
    return locked(s, i, [&](xqueue *q) { return q->ops->put(q, d, n); });
}
int k_get(xqueuepack *s, int i, void **d)
{
    return locked(s, i, [&](xqueue *q) { return q->ops->get(q, d); });
}
int k_read_slot(xqueuepack *s, int i, void **b)
{
    return locked(s, i, [&](xqueue *q) { return q->ops->read_slot(q, b); });
}
int k_write_slot(xqueuepack *s, int i, void **b)
{
    return locked(s, i, [&](xqueue *q) { return q->ops->write_slot(q, b); });
}
int k_advance_read(xqueuepack *s, int i)
{
    return locked(s, i, [&](xqueue *q) { return q->ops->advance_read(q); });
}
int k_advance_write(xqueuepack *s, int i)
{
    return locked(s, i, [&](xqueue *q) { return q->ops->advance_write(q); });
}

int k_slot_size(xqueuepack *self, int index)
{
    xqueue *q = ready(self, index);
    return q != nullptr ? q->ops->slot_size(q) : -1;
}

int k_slot_count(xqueuepack *self, int index)
{
    xqueue *q = ready(self, index);
    return q != nullptr ? q->ops->slot_count(q) : -1;
}

/* Not locked: for a moment when nobody else uses the queue. */
int k_drain(xqueuepack *self, int index)
{
    xqueue *q = ready(self, index);
    if (q == nullptr)
        return -1;
    for (int i = 0; i < q->count && q->ops->discard(q) == 0; i++) {
    }
    return 0;
}

void fill_xqueuepack(xqueuepack_ops *o)
{
    o->init = k_init;
    o->final = k_final;
    o->setup = k_setup;
    o->teardown = k_teardown;
    o->put = k_put;
    o->get = k_get;
    o->read_slot = k_read_slot;
    o->write_slot = k_write_slot;
    o->advance_read = k_advance_read;
    o->advance_write = k_advance_write;
    o->slot_size = k_slot_size;
    o->slot_count = k_slot_count;
    o->drain = k_drain;
}

} // namespace

extern "C" int new_xqueue(xqueue **out) { return x_new(out, &xqueue::ops, fill_xqueue); }
extern "C" int delete_xqueue(xqueue **p) { return x_delete(p, &xqueue::ops); }
extern "C" int new_xqueuepack(xqueuepack **out) { return x_new(out, &xqueuepack::ops, fill_xqueuepack); }
extern "C" int delete_xqueuepack(xqueuepack **p) { return x_delete(p, &xqueuepack::ops); }
