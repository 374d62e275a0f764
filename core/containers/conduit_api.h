/* The export marker of conduit's new_/delete_ functions. */
#ifndef CONDUIT_API_H
#define CONDUIT_API_H

#define CONDUIT_API __attribute__((visibility("default")))

#endif
