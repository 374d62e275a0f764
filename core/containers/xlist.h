/* xlist: a keyed doubly linked list with a cursor (where walks start) and a
 * mark (the node last reported or changed, where searches start); and
 * xlistpack, which spreads keys over a fixed number of xlist buckets.
 * Neither type has a lock. */
#ifndef XLIST_H
#define XLIST_H

#include "conduit_api.h"

#define XLIST_NO_BLOCK (-4010) /* the key's node has no block */
#define XLIST_NO_FREE (-4011)  /* no node with a cleared block */
#define XLIST_PASSED (-4003)   /* iteration has passed the last bucket */

struct xlist_node {
    int key;     /* -1 in a node never given a key */
    int length;  /* -1 after clear_value */
    void *block; /* the node's own copy, or null */
    xlist_node *previous;
    xlist_node *next;
};

struct xlist;
struct xlist_ops {
    int (*init)(xlist *self);
    int (*final)(xlist *self);
    int (*find_free)(xlist *self);
    int (*count)(xlist *self);
    int (*get_first)(xlist *self, xlist_node **node);
    int (*get_last)(xlist *self, xlist_node **node);
    int (*get_curr)(xlist *self, xlist_node **node);
    int (*get_next)(xlist *self, xlist_node **node);
    int (*get_prev)(xlist *self, xlist_node **node);
    int (*set_cursor)(xlist *self, xlist_node *node);
    int (*copy_cursor)(xlist *self, xlist *other);
    int (*copy_mark)(xlist *self, xlist *other);
    int (*get_value)(xlist *self, int key, void **block);
    int (*set_value)(xlist *self, int key, const void *block, int length);
    int (*clear_value)(xlist *self, int key);
    int (*add)(xlist *self, int key, const void *block, int length);
    int (*delete_)(xlist *self, int key); /* the "delete" slot */
    int (*unlink_key)(xlist *self, int key);
    int (*unlink)(xlist *self);
    int (*append_node)(xlist *self);
    int (*make_node)(xlist *self);
    int (*search_key_prev)(xlist *self, int key);
    int (*search_key_next)(xlist *self, int key);
    int (*search_data_prev)(xlist *self, const void *block);
    int (*search_data_next)(xlist *self, const void *block);
    int (*match_key)(xlist *self, int key);
    int (*match_data)(xlist *self, const void *block);
    int (*find_data)(xlist *self, const void *block);
    int (*free_all)(xlist *self);
    int (*print)(xlist *self);
};
static_assert(sizeof(xlist_ops) == 30 * sizeof(void *), "xlist has 30 slots");

struct xlist {
    xlist_ops *ops;
    int count; /* kept by add and delete */
    xlist_node *mark;
    xlist_node *cursor; /* null when the list is empty */
};

struct xlistpack;
struct xlistpack_ops {
    int (*init)(xlistpack *self, int buckets);
    int (*final)(xlistpack *self);
    void (*unused2)(void); /* slots 2 and 3 stay empty */
    void (*unused3)(void);
    int (*add)(xlistpack *self, int key, const void *block, int length);
    int (*delete_)(xlistpack *self, int key); /* the "delete" slot */
    int (*unlink)(xlistpack *self, int key);
    int (*find_data)(xlistpack *self, int key, const void *block);
    int (*get_value)(xlistpack *self, int key, void **block);
    int (*set_value)(xlistpack *self, int key, const void *block, int length);
    int (*clear_value)(xlistpack *self, int key);
    int (*count)(xlistpack *self);
    int (*free_key)(xlistpack *self);
    int (*get_first)(xlistpack *self, void **block);
    int (*get_next)(xlistpack *self, void **block);
};
static_assert(sizeof(xlistpack_ops) == 15 * sizeof(void *), "xlistpack has 15 slots");

struct xlistpack {
    xlistpack_ops *ops;
    xlist **buckets;
    xlist_node *iter_node;
    int iter_bucket;
    int bucket_count;
};

extern "C" {
CONDUIT_API int new_xlist(xlist **out);
CONDUIT_API int delete_xlist(xlist **p);
CONDUIT_API int new_xlistpack(xlistpack **out);
CONDUIT_API int delete_xlistpack(xlistpack **p);
}

#endif
