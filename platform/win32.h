/* The Win32-shaped platform layer: the one header every library includes. */
#ifndef PLATFORM_WIN32_H
#define PLATFORM_WIN32_H

#include "win32/types.h"
#include "win32/kernel.h"
#include "win32/timefn.h"
#include "win32/sysinfo.h"
#include "win32/sock.h"
#include "win32/gdi.h"
#include "win32/user.h"
#include "win32/commctrl.h"

#endif
