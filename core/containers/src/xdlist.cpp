/* xdlist and xdlistpack. */
#include "xdlist.h"
#include "xobject.h"

#include <stdio.h>

namespace {

void report(const xdlist_node *n, void **block, int *length)
{
    if (block == nullptr)
        return;
    *block = n->block;
    if (length != nullptr)
        *length = n->length;
}

/* A node matches when its block starts with the key; a block shorter than
 * the key is no match, so the comparison never reads past a block. */
bool matches(const xdlist_node *n, const void *key, int key_length)
{
    if (key_length < 0 || n->length < key_length)
        return false;
    return key_length == 0 || memcmp(n->block, key, static_cast<size_t>(key_length)) == 0;
}

/* A node holding a copy of the block (none for a null block). Null when an
 * allocation fails or the length is negative; nothing is linked yet. */
xdlist_node *make_node(const void *block, int length)
{
    if (block != nullptr && length < 0)
        return nullptr;
    xdlist_node *n = static_cast<xdlist_node *>(calloc(1, sizeof *n));
    if (n == nullptr || block == nullptr)
        return n;
    n->block = calloc(1, length > 0 ? static_cast<size_t>(length) : 1);
    if (n->block == nullptr) {
        free(n);
        return nullptr;
    }
    memcpy(n->block, block, static_cast<size_t>(length));
    n->length = length;
    return n;
}

int l_init(xdlist *self)
{
    self->cursor = nullptr;
    return 0;
}

int l_get_last(xdlist *self, void **block, int *length);

int l_count(xdlist *self)
{
    if (self->cursor == nullptr)
        return XDLIST_EMPTY + 1;
    while (self->cursor->previous != nullptr)
        self->cursor = self->cursor->previous;
    int n = 1;
    while (self->cursor->next != nullptr) {
        self->cursor = self->cursor->next;
        n++;
    }
    return n;
}

int l_get_top(xdlist *self, void **block, int *length)
{
    if (self->cursor == nullptr)
        return XDLIST_EMPTY;
    while (self->cursor->previous != nullptr)
        self->cursor = self->cursor->previous;
    report(self->cursor, block, length);
    return 0;
}

int l_get_last(xdlist *self, void **block, int *length)
{
    if (self->cursor == nullptr)
        return XDLIST_EMPTY;
    int steps = 0;
    for (; self->cursor->next != nullptr; steps++)
        self->cursor = self->cursor->next;
    report(self->cursor, block, length);
    return steps;
}

int l_get_prev(xdlist *self, void **block, int *length)
{
    if (self->cursor == nullptr)
        return XDLIST_EMPTY;
    if (self->cursor->previous == nullptr)
        return XDLIST_NO_NEXT;
    self->cursor = self->cursor->previous;
    report(self->cursor, block, length);
    return 0;
}

int l_get_next(xdlist *self, void **block, int *length)
{
    if (self->cursor == nullptr)
        return XDLIST_EMPTY;
    if (self->cursor->next == nullptr)
        return XDLIST_NO_NEXT;
    self->cursor = self->cursor->next;
    report(self->cursor, block, length);
    return 0;
}

int l_get_curr(xdlist *self, void **block, int *length)
{
    if (self->cursor == nullptr)
        return XDLIST_EMPTY;
    report(self->cursor, block, length);
    return 0;
}

int l_search_prev(xdlist *self, const void *key, int key_length)
{
    if (self->cursor == nullptr)
        return XDLIST_EMPTY;
    while (self->cursor->previous != nullptr) {
        self->cursor = self->cursor->previous;
        if (matches(self->cursor, key, key_length))
            return 0;
    }
    return -1;
}

int l_search_next(xdlist *self, const void *key, int key_length)
{
    if (self->cursor == nullptr)
        return XDLIST_EMPTY;
    while (self->cursor->next != nullptr) {
        self->cursor = self->cursor->next;
        if (matches(self->cursor, key, key_length))
            return 0;
    }
    return -1;
}

/* The cursor's node first, then the nearest match toward the top, then the
 * nearest toward the last node. */
int l_search(xdlist *self, const void *key, int key_length)
{
    if (self->cursor == nullptr)
        return XDLIST_EMPTY;
    if (matches(self->cursor, key, key_length))
        return 0;
    xdlist_node *start = self->cursor;
    if (l_search_prev(self, key, key_length) == 0)
        return 0;
    self->cursor = start;
    return l_search_next(self, key, key_length);
}

int l_print(xdlist *self)
{
    const xdlist_node *n = self->cursor;
    printf("%p %p %p\n", n ? static_cast<void *>(n->previous) : nullptr, static_cast<const void *>(n),
           n ? static_cast<void *>(n->next) : nullptr);
    return 0;
}

int l_drop(xdlist *self, const void *key, int key_length)
{
    if (l_search(self, key, key_length) != 0)
        return XDLIST_NO_DROP;
    self->spare = self->cursor;
    xdlist_node *n = self->spare;
    if (n->previous != nullptr) {
        self->cursor = n->previous;
        n->previous->next = n->next;
        if (n->next != nullptr)
            n->next->previous = n->previous;
    } else if (n->next != nullptr) {
        self->cursor = n->next;
        n->next->previous = nullptr;
    } else {
        self->cursor = nullptr;
    }
    free(n->block);
    free(n);
    self->spare = nullptr;
    return 0;
}

int l_remove(xdlist *self, void **buffer, int *length)
{
    int steps = l_get_last(self, nullptr, nullptr);
    if (steps < 0)
        return steps;
    xdlist_node *last = self->cursor;
    if (buffer != nullptr) {
        if (*buffer != nullptr && last->length > 0)
            memcpy(*buffer, last->block, static_cast<size_t>(last->length));
        if (length != nullptr)
            *length = last->length;
    }
    free(last->block);
    self->cursor = last->previous;
    if (self->cursor != nullptr)
        self->cursor->next = nullptr;
    free(last);
    return steps;
}

int l_clear(xdlist *self)
{
    while (l_remove(self, nullptr, nullptr) >= 0) {
    }
    return 0;
}

int l_append(xdlist *self, const void *block, int length)
{
    xdlist_node *n = make_node(block, length);
    if (n == nullptr)
        return -1;
    if (l_get_last(self, nullptr, nullptr) >= 0) {
        n->previous = self->cursor;
        self->cursor->next = n;
    }
    self->cursor = n;
    return 0;
}

int l_add_to_next(xdlist *self, const void *block, int length)
{
    if (self->cursor == nullptr || self->cursor->next == nullptr)
        return l_append(self, block, length);
    self->spare = make_node(block, length);
    if (self->spare == nullptr)
        return -1;
    xdlist_node *n = self->spare;
    n->next = self->cursor->next;
    self->cursor->next->previous = n;
    n->previous = self->cursor;
    self->cursor->next = n;
    self->cursor = n;
    self->spare = nullptr;
    return 0;
}

int l_alloc_node(xdlist *self, xdlist_node **node)
{
    (void)self;
    *node = static_cast<xdlist_node *>(calloc(1, sizeof **node));
    return *node != nullptr ? 0 : -1;
}

int l_free_node(xdlist *self, xdlist_node **node)
{
    (void)self;
    free(*node);
    *node = nullptr;
    return 0;
}

void fill_xdlist(xdlist_ops *o)
{
    o->init = l_init;
    o->final = l_init; /* nodes are not freed: clear first */
    o->count = l_count;
    o->get_top = l_get_top;
    o->get_last = l_get_last;
    o->get_prev = l_get_prev;
    o->get_next = l_get_next;
    o->get_curr = l_get_curr;
    o->search = l_search;
    o->search_prev = l_search_prev;
    o->search_next = l_search_next;
    o->print = l_print;
    o->drop = l_drop;
    o->clear = l_clear;
    o->add_to_next = l_add_to_next;
    o->append = l_append;
    o->remove = l_remove;
    o->alloc_node = l_alloc_node;
    o->free_node = l_free_node;
}

/* ---- the pack: creates the list and forwards to it ---- */

int p_init(xdlistpack *self)
{
    if (new_xdlist(&self->list) != 0) {
        delete_xdlist(&self->list);
        return -1;
    }
    return self->list->ops->init(self->list);
}

int p_final(xdlistpack *self)
{
    if (self->list != nullptr)
        self->list->ops->final(self->list);
    delete_xdlist(&self->list);
    return 0;
}

int p_append(xdlistpack *s, const void *b, int n) { return s->list->ops->append(s->list, b, n); }
int p_add_to_next(xdlistpack *s, const void *b, int n) { return s->list->ops->add_to_next(s->list, b, n); }
int p_remove(xdlistpack *s, void **b, int *n) { return s->list->ops->remove(s->list, b, n); }
int p_search(xdlistpack *s, const void *k, int n) { return s->list->ops->search(s->list, k, n); }
int p_drop(xdlistpack *s, const void *k, int n) { return s->list->ops->drop(s->list, k, n); }
int p_clear(xdlistpack *s) { return s->list->ops->clear(s->list); }
int p_get_top(xdlistpack *s, void **b, int *n) { return s->list->ops->get_top(s->list, b, n); }
int p_get_last(xdlistpack *s, void **b, int *n) { return s->list->ops->get_last(s->list, b, n); }
int p_get_prev(xdlistpack *s, void **b, int *n) { return s->list->ops->get_prev(s->list, b, n); }
int p_get_next(xdlistpack *s, void **b, int *n) { return s->list->ops->get_next(s->list, b, n); }
int p_get_curr(xdlistpack *s, void **b, int *n) { return s->list->ops->get_curr(s->list, b, n); }

void fill_xdlistpack(xdlistpack_ops *o)
{
    o->init = p_init;
    o->final = p_final;
    o->append = p_append;
    o->add_to_next = p_add_to_next;
    o->remove = p_remove;
    o->search = p_search;
    o->drop = p_drop;
    o->clear = p_clear;
    o->get_top = p_get_top;
    o->get_last = p_get_last;
    o->get_prev = p_get_prev;
    o->get_next = p_get_next;
    o->get_curr = p_get_curr;
}

} // namespace

extern "C" int new_xdlist(xdlist **out) { return x_new(out, &xdlist::ops, fill_xdlist); }
extern "C" int delete_xdlist(xdlist **p) { return x_delete(p, &xdlist::ops); }
extern "C" int new_xdlistpack(xdlistpack **out) { return x_new(out, &xdlistpack::ops, fill_xdlistpack); }
extern "C" int delete_xdlistpack(xdlistpack **p) { return x_delete(p, &xdlistpack::ops); }
