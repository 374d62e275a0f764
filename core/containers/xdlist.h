/* xdlist: a doubly linked list of byte blocks with one shared cursor, and
 * xdlistpack, its thin owner. Nearly every operation moves the cursor and the
 * next one starts from there. The list owns a private copy of every block.
 * Neither type has a lock. */
#ifndef XDLIST_H
#define XDLIST_H

#include "conduit_api.h"

#define XDLIST_EMPTY (-4010)   /* the list has no node */
#define XDLIST_NO_NEXT (-4002) /* no neighbour in the asked direction */
#define XDLIST_NO_DROP (-4003) /* drop found no matching node */

struct xdlist_node {
    int length;  /* bytes of block; 0 without a block */
    void *block; /* the node's own copy, or null */
    xdlist_node *previous; /* toward the top; null at the top */
    xdlist_node *next;     /* toward the last node; null at the last */
};

struct xdlist;
struct xdlist_ops {
    int (*init)(xdlist *self);
    int (*final)(xdlist *self);
    int (*count)(xdlist *self);
    int (*get_top)(xdlist *self, void **block, int *length);
    int (*get_last)(xdlist *self, void **block, int *length);
    int (*get_prev)(xdlist *self, void **block, int *length);
    int (*get_next)(xdlist *self, void **block, int *length);
    int (*get_curr)(xdlist *self, void **block, int *length);
    int (*search)(xdlist *self, const void *key, int key_length);
    int (*search_prev)(xdlist *self, const void *key, int key_length);
    int (*search_next)(xdlist *self, const void *key, int key_length);
    int (*print)(xdlist *self);
    int (*drop)(xdlist *self, const void *key, int key_length);
    int (*clear)(xdlist *self);
    int (*add_to_next)(xdlist *self, const void *block, int length);
    int (*append)(xdlist *self, const void *block, int length);
    int (*remove)(xdlist *self, void **buffer, int *length);
    int (*alloc_node)(xdlist *self, xdlist_node **node);
    int (*free_node)(xdlist *self, xdlist_node **node);
};
static_assert(sizeof(xdlist_ops) == 19 * sizeof(void *), "xdlist has 19 slots");

struct xdlist {
    xdlist_ops *ops;
    xdlist_node *cursor; /* null exactly when the list is empty */
    xdlist_node *spare;  /* used inside add_to_next and drop only */
};

struct xdlistpack;
struct xdlistpack_ops {
    int (*init)(xdlistpack *self);
    int (*final)(xdlistpack *self);
    int (*append)(xdlistpack *self, const void *block, int length);
    int (*add_to_next)(xdlistpack *self, const void *block, int length);
    int (*remove)(xdlistpack *self, void **buffer, int *length);
    int (*search)(xdlistpack *self, const void *key, int key_length);
    int (*drop)(xdlistpack *self, const void *key, int key_length);
    int (*clear)(xdlistpack *self);
    int (*get_top)(xdlistpack *self, void **block, int *length);
    int (*get_last)(xdlistpack *self, void **block, int *length);
    int (*get_prev)(xdlistpack *self, void **block, int *length);
    int (*get_next)(xdlistpack *self, void **block, int *length);
    int (*get_curr)(xdlistpack *self, void **block, int *length);
};
static_assert(sizeof(xdlistpack_ops) == 13 * sizeof(void *), "xdlistpack has 13 slots");

struct xdlistpack {
    xdlistpack_ops *ops;
    xdlist *list;
};

extern "C" {
CONDUIT_API int new_xdlist(xdlist **out);
CONDUIT_API int delete_xdlist(xdlist **p);
CONDUIT_API int new_xdlistpack(xdlistpack **out);
CONDUIT_API int delete_xdlistpack(xdlistpack **p);
}

#endif
