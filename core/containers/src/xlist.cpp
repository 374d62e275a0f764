/* xlist and xlistpack. */
#include "xlist.h"
#include "xobject.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

/* Sets the mark; with an output, stores the node and returns its key. */
int report(xlist *self, xlist_node *n, xlist_node **out)
{
    self->mark = n;
    if (out == nullptr)
        return 0;
    *out = n;
    return n->key;
}

/* A copy of the block, or null for a null block; false when it cannot be made. */
bool copy_block(const void *block, int length, void **copy)
{
    *copy = nullptr;
    if (block == nullptr)
        return true;
    if (length < 0)
        return false;
    *copy = calloc(1, length > 0 ? static_cast<size_t>(length) : 1);
    if (*copy == nullptr)
        return false;
    memcpy(*copy, block, static_cast<size_t>(length));
    return true;
}

xlist_node *first_of(xlist_node *n)
{
    while (n != nullptr && n->previous != nullptr)
        n = n->previous;
    return n;
}

xlist_node *last_of(xlist_node *n)
{
    while (n != nullptr && n->next != nullptr)
        n = n->next;
    return n;
}

int x_init(xlist *self)
{
    self->count = 0;
    self->mark = nullptr;
    self->cursor = nullptr;
    return 0;
}

/* Searches start at the mark (at the first node when nothing was marked
 * yet), compare it, then step toward one end comparing each node. */
template <typename Match> int search(xlist *self, bool toward_next, Match match)
{
    if (self->cursor == nullptr)
        return -1;
    self->cursor = self->mark != nullptr ? self->mark : first_of(self->cursor);
    if (match(self->cursor))
        return 0;
    for (;;) {
        xlist_node *n = toward_next ? self->cursor->next : self->cursor->previous;
        if (n == nullptr)
            return -1;
        self->cursor = n;
        if (match(n)) {
            self->mark = n;
            return 0;
        }
    }
}

int x_search_key_prev(xlist *self, int key)
{
    return search(self, false, [key](const xlist_node *n) { return n->key == key; });
}
int x_search_key_next(xlist *self, int key)
{
    return search(self, true, [key](const xlist_node *n) { return n->key == key; });
}
int x_search_data_prev(xlist *self, const void *block)
{
    return search(self, false, [block](const xlist_node *n) { return n->block == block; });
}
int x_search_data_next(xlist *self, const void *block)
{
    return search(self, true, [block](const xlist_node *n) { return n->block == block; });
}

int find_key(xlist *self, int key) { return x_search_key_prev(self, key) == 0 ? 0 : x_search_key_next(self, key); }

int x_find_data(xlist *self, const void *block)
{
    return x_search_data_prev(self, block) == 0 ? 0 : x_search_data_next(self, block);
}

int x_free_all(xlist *self)
{
    if (self->cursor == nullptr)
        return -1;
    self->cursor = last_of(self->cursor);
    while (self->cursor->previous != nullptr) {
        xlist_node *n = self->cursor;
        self->cursor = n->previous;
        self->cursor->next = nullptr;
        free(n->block);
        free(n);
    }
    if (self->cursor->key != -1) {
        free(self->cursor->block);
        self->cursor->block = nullptr;
        self->cursor->length = -1;
    }
    self->mark = self->cursor;
    return 0;
}

int x_final(xlist *self)
{
    if (x_free_all(self) != 0)
        return -1;
    free(self->cursor->block);
    free(self->cursor);
    self->cursor = nullptr;
    self->mark = nullptr;
    self->count = 0;
    return 0;
}

int x_find_free(xlist *self)
{
    if (self->cursor == nullptr)
        return -1;
    return x_find_data(self, nullptr) == 0 ? self->cursor->key : XLIST_NO_FREE;
}

int x_count(xlist *self) { return self->count; }

int x_get_first(xlist *self, xlist_node **out)
{
    if (self->cursor == nullptr)
        return -1;
    self->cursor = first_of(self->cursor);
    return report(self, self->cursor, out);
}

int x_get_last(xlist *self, xlist_node **out)
{
    if (self->cursor == nullptr)
        return -1;
    self->cursor = last_of(self->cursor);
    return report(self, self->cursor, out);
}

int x_get_curr(xlist *self, xlist_node **out)
{
    if (self->cursor == nullptr)
        return -1;
    return report(self, self->cursor, out);
}

int x_get_next(xlist *self, xlist_node **out)
{
    if (self->cursor == nullptr || self->cursor->next == nullptr)
        return -1;
    self->cursor = self->cursor->next;
    return report(self, self->cursor, out);
}

int x_get_prev(xlist *self, xlist_node **out)
{
    if (self->cursor == nullptr || self->cursor->previous == nullptr)
        return -1;
    self->cursor = self->cursor->previous;
    return report(self, self->cursor, out);
}

int set_both(xlist *self, xlist_node *n)
{
    if (n == nullptr)
        return -1;
    self->cursor = self->mark = n;
    return n->key;
}

int x_set_cursor(xlist *self, xlist_node *node) { return set_both(self, node); }
int x_copy_cursor(xlist *self, xlist *other) { return set_both(self, other->cursor); }
int x_copy_mark(xlist *self, xlist *other) { return set_both(self, other->mark); }

int x_get_value(xlist *self, int key, void **block)
{
    if (find_key(self, key) != 0) {
        *block = nullptr;
        return -1;
    }
    *block = self->cursor->block;
    return *block != nullptr ? 0 : XLIST_NO_BLOCK;
}

int x_append_node(xlist *self)
{
    xlist_node *n = static_cast<xlist_node *>(calloc(1, sizeof *n));
    if (n == nullptr)
        return -1;
    n->key = -1;
    xlist_node *last = last_of(self->cursor);
    if (last != nullptr) {
        last->next = n;
        n->previous = last;
    }
    self->cursor = self->mark = n;
    return 0;
}

int x_make_node(xlist *self) { return x_append_node(self); }

int x_add(xlist *self, int key, const void *block, int length)
{
    void *copy;
    if (!copy_block(block, length, &copy))
        return -1;
    if (x_make_node(self) != 0) {
        free(copy);
        return -1;
    }
    xlist_node *n = self->cursor;
    n->key = key;
    n->block = copy;
    n->length = copy != nullptr ? length : 0;
    self->mark = n;
    return ++self->count;
}

int x_set_value(xlist *self, int key, const void *block, int length)
{
    if (find_key(self, key) != 0)
        return x_add(self, key, block, length);
    void *copy;
    if (!copy_block(block, length, &copy))
        return -1;
    xlist_node *n = self->cursor;
    free(n->block);
    n->block = copy;
    n->length = copy != nullptr ? length : 0;
    self->mark = n;
    return 0;
}

int x_clear_value(xlist *self, int key)
{
    if (find_key(self, key) != 0)
        return -1;
    xlist_node *n = self->cursor;
    free(n->block);
    n->block = nullptr;
    n->length = -1;
    self->mark = n;
    return 0;
}

int x_unlink(xlist *self)
{
    xlist_node *n = self->cursor;
    if (n == nullptr)
        return -1;
    if (n->previous != nullptr) {
        n->previous->next = n->next;
        if (n->next != nullptr)
            n->next->previous = n->previous;
        self->cursor = n->previous;
    } else if (n->next != nullptr) {
        n->next->previous = nullptr;
        self->cursor = n->next;
    } else {
        self->cursor = nullptr;
    }
    free(n->block);
    free(n);
    self->mark = self->cursor;
    return 0;
}

int x_unlink_key(xlist *self, int key) { return find_key(self, key) != 0 ? -1 : x_unlink(self); }

int x_delete_key(xlist *self, int key)
{
    int rc = x_unlink_key(self, key);
    return rc != 0 ? rc : --self->count;
}

int x_match_key(xlist *self, int key) { return self->cursor != nullptr && self->cursor->key == key ? 0 : -1; }
int x_match_data(xlist *self, const void *block)
{
    return self->cursor != nullptr && self->cursor->block == block ? 0 : -1;
}

int x_print(xlist *self)
{
    const xlist_node *n = self->cursor;
    if (n == nullptr)
        return -1;
    printf("%p %p %p %d\n", static_cast<void *>(n->previous), static_cast<const void *>(n),
           static_cast<void *>(n->next), n->key);
    return 0;
}

void fill_xlist(xlist_ops *o)
{
    o->init = x_init;
    o->final = x_final;
    o->find_free = x_find_free;
    o->count = x_count;
    o->get_first = x_get_first;
    o->get_last = x_get_last;
    o->get_curr = x_get_curr;
    o->get_next = x_get_next;
    o->get_prev = x_get_prev;
    o->set_cursor = x_set_cursor;
    o->copy_cursor = x_copy_cursor;
    o->copy_mark = x_copy_mark;
    o->get_value = x_get_value;
    o->set_value = x_set_value;
    o->clear_value = x_clear_value;
    o->add = x_add;
    o->delete_ = x_delete_key;
    o->unlink_key = x_unlink_key;
    o->unlink = x_unlink;
    o->append_node = x_append_node;
    o->make_node = x_make_node;
    o->search_key_prev = x_search_key_prev;
    o->search_key_next = x_search_key_next;
    o->search_data_prev = x_search_data_prev;
    o->search_data_next = x_search_data_next;
    o->match_key = x_match_key;
    o->match_data = x_match_data;
    o->find_data = x_find_data;
    o->free_all = x_free_all;
    o->print = x_print;
}

/* ---- the hash pack ---- */

int bucket_of(const xlistpack *self, int key) { return abs(key % self->bucket_count); }
xlist *bucket(const xlistpack *self, int key) { return self->buckets[bucket_of(self, key)]; }

int p_final(xlistpack *self);

int p_init(xlistpack *self, int buckets)
{
    if (buckets <= 0)
        return -1;
    self->buckets = static_cast<xlist **>(calloc(static_cast<size_t>(buckets), sizeof(xlist *)));
    if (self->buckets == nullptr)
        return -1;
    self->bucket_count = buckets;
    for (int i = 0; i < buckets; i++) {
        if (new_xlist(&self->buckets[i]) != 0) {
            p_final(self);
            return -1;
        }
        self->buckets[i]->ops->init(self->buckets[i]);
    }
    self->iter_bucket = 0;
    self->iter_node = nullptr;
    return 0;
}

int p_final(xlistpack *self)
{
    for (int i = 0; i < self->bucket_count; i++) {
        if (self->buckets[i] != nullptr && self->buckets[i]->ops != nullptr)
            self->buckets[i]->ops->final(self->buckets[i]);
        delete_xlist(&self->buckets[i]);
    }
    free(self->buckets);
    self->buckets = nullptr;
    self->bucket_count = 0;
    self->iter_node = nullptr;
    return 0;
}

int p_add(xlistpack *self, int key, const void *block, int length)
{
    xlist *b = bucket(self, key);
    return b->ops->add(b, key, block, length) < 0 ? -1 : bucket_of(self, key);
}

int p_delete(xlistpack *self, int key)
{
    xlist *b = bucket(self, key);
    b->ops->delete_(b, key);
    return bucket_of(self, key);
}

int p_unlink(xlistpack *self, int key)
{
    xlist *b = bucket(self, key);
    return b->ops->unlink(b);
}

int p_find_data(xlistpack *self, int key, const void *block)
{
    xlist *b = bucket(self, key);
    return b->ops->find_data(b, block) == 0 ? 0 : -1;
}

int p_get_value(xlistpack *self, int key, void **block)
{
    xlist *b = bucket(self, key);
    return b->ops->get_value(b, key, block) < 0 ? -1 : 0;
}

int p_set_value(xlistpack *self, int key, const void *block, int length)
{
    xlist *b = bucket(self, key);
    return b->ops->set_value(b, key, block, length);
}

int p_clear_value(xlistpack *self, int key)
{
    xlist *b = bucket(self, key);
    return b->ops->clear_value(b, key);
}

int p_count(xlistpack *self)
{
    int n = 0;
    for (int i = 0; i < self->bucket_count; i++)
        n += self->buckets[i]->ops->count(self->buckets[i]);
    return n;
}

/* A cleared key when some bucket has one, else (with keys handed out as
 * 0, 1, 2, ...) the next unused number. */
int p_free_key(xlistpack *self)
{
    int total = p_count(self), remaining = total, r = -1;
    for (int i = 0; i < self->bucket_count; i++) {
        xlist *b = self->buckets[i];
        r = b->ops->find_free(b);
        if (r >= 0)
            return r;
        if (r == XLIST_NO_FREE)
            remaining -= b->ops->count(b);
        if (remaining == 0)
            return total;
    }
    return r;
}

/* Takes the node of bucket i into the iteration. */
int take(xlistpack *self, int i, xlist_node *n, void **block)
{
    if (block != nullptr)
        *block = n->block;
    self->iter_node = n;
    self->iter_bucket = i;
    return n->key;
}

int p_get_first(xlistpack *self, void **block)
{
    if (p_count(self) == 0)
        return -1;
    for (int i = 0; i < self->bucket_count; i++) {
        xlist_node *n = nullptr;
        xlist *b = self->buckets[i];
        b->ops->get_first(b, &n); /* its result is the key, which may be negative */
        if (n != nullptr)
            return take(self, i, n, block);
    }
    return -1;
}

int p_get_next(xlistpack *self, void **block)
{
    int i = self->iter_bucket;
    if (i >= self->bucket_count)
        return i == self->bucket_count ? XLIST_PASSED : -1;
    xlist_node *n = nullptr;
    xlist *b = self->buckets[i];
    b->ops->get_next(b, &n);
    while (n == nullptr && ++i < self->bucket_count) {
        b = self->buckets[i];
        b->ops->get_first(b, &n);
    }
    if (n == nullptr) {
        self->iter_bucket = self->bucket_count;
        self->iter_node = nullptr;
        return XLIST_PASSED;
    }
    return take(self, i, n, block);
}

void fill_xlistpack(xlistpack_ops *o)
{
    o->init = p_init;
    o->final = p_final;
    o->add = p_add;
    o->delete_ = p_delete;
    o->unlink = p_unlink;
    o->find_data = p_find_data;
    o->get_value = p_get_value;
    o->set_value = p_set_value;
    o->clear_value = p_clear_value;
    o->count = p_count;
    o->free_key = p_free_key;
    o->get_first = p_get_first;
    o->get_next = p_get_next;
}

} // namespace

extern "C" int new_xlist(xlist **out) { return x_new(out, &xlist::ops, fill_xlist); }
extern "C" int delete_xlist(xlist **p) { return x_delete(p, &xlist::ops); }
extern "C" int new_xlistpack(xlistpack **out) { return x_new(out, &xlistpack::ops, fill_xlistpack); }
extern "C" int delete_xlistpack(xlistpack **p) { return x_delete(p, &xlistpack::ops); }
