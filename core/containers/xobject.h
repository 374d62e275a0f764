/* The object convention shared by conduit, sniffkit, panelkit and lampkit.
 *
 * Every type xfoo is a record holding a pointer to its own operations table
 * xfoo_ops, allocated with the instance. new_xfoo and delete_xfoo are the
 * only exports of a type; a library defines them with x_new and x_delete:
 *
 *   static void fill_xfoo(xfoo_ops *ops) { ops->init = xfoo_init; ... }
 *   extern "C" int new_xfoo(xfoo **out) { return x_new(out, &xfoo::ops, fill_xfoo); }
 *   extern "C" int delete_xfoo(xfoo **p) { return x_delete(p, &xfoo::ops); }
 *
 * Objects that call utilbox bind it at run time with x_bind_utilbox into
 * slots of their own table reserved for it, and release it with
 * x_unbind_utilbox in their finalising slot. */
#ifndef XOBJECT_H
#define XOBJECT_H

#include "win32.h"

#include <stdlib.h>
#include <string.h>

/* Zero-filled instance, then its own zero-filled table, then the slots.
 * -1 when an allocation fails: *out is null when the instance failed, and
 * holds the table-less instance (for delete) when the table failed. */
template <typename T, typename Ops> int x_new(T **out, Ops *T::*table, void (*fill)(Ops *))
{
    *out = static_cast<T *>(calloc(1, sizeof(T)));
    if (*out == nullptr)
        return -1;
    Ops *ops = static_cast<Ops *>(calloc(1, sizeof(Ops)));
    if (ops == nullptr)
        return -1;
    (*out)->*table = ops;
    fill(ops);
    return 0;
}

/* Frees the table and the instance and clears the caller's variable. Nothing
 * the instance owns is released here; its finalising slot does that. A null
 * variable is left alone. */
template <typename T, typename Ops> int x_delete(T **p, Ops *T::*table)
{
    if (*p == nullptr)
        return 0;
    if ((*p)->*table != nullptr) {
        free((*p)->*table);
        (*p)->*table = nullptr;
    }
    free(*p);
    *p = nullptr;
    return 0;
}

/* Loads the library (x_bind_utilbox: "./utilbox.dll") into *module and
 * resolves names[i] into the slot at slots[i] (each slot is one function
 * pointer of the object's table). A missing library or name is refused with
 * -1: the library is released again and every slot left null, so the object
 * fails here instead of calling through a null slot later. */
inline int x_bind_library(HMODULE *module, const char *library, void *const *slots, const char *const *names,
                          int count)
{
    *module = LoadLibraryA(library);
    for (int i = 0; *module != nullptr && i < count; i++) {
        FARPROC f = GetProcAddress(*module, names[i]);
        if (f == nullptr) {
            FreeLibrary(*module);
            *module = nullptr;
        }
        memcpy(slots[i], &f, sizeof f);
    }
    if (*module != nullptr)
        return 0;
    for (int i = 0; i < count; i++)
        memset(slots[i], 0, sizeof(FARPROC));
    return -1;
}

inline int x_bind_utilbox(HMODULE *module, void *const *slots, const char *const *names, int count)
{
    return x_bind_library(module, "./utilbox.dll", slots, names, count);
}

/* Releases what x_bind_utilbox loaded; the slots become null. */
inline void x_unbind_utilbox(HMODULE *module, void *const *slots, int count)
{
    for (int i = 0; i < count; i++)
        memset(slots[i], 0, sizeof(FARPROC));
    if (*module != nullptr)
        FreeLibrary(*module);
    *module = nullptr;
}

#endif
