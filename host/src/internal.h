/* hostrig's pieces: load.cpp fills the table, host.cpp runs the program. */
#ifndef HOSTRIG_INTERNAL_H
#define HOSTRIG_INTERNAL_H

#include "hostrig.h"

#define HOSTRIG_API __attribute__((visibility("default")))

/* Zeroes and fills the table; -1 when a library the host needs is missing. */
int host_load(HostFunctionTable *table);

#endif
