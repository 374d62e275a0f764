/* GDI: device contexts, brushes, stock objects, bitmaps and icons, as far as
 * the widgets draw. Implemented by platform_ui. */
#ifndef PLATFORM_WIN32_GDI_H
#define PLATFORM_WIN32_GDI_H

#include "types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef DWORD COLORREF;
typedef void *HGDIOBJ;
typedef struct HDC__ *HDC;
typedef struct HBRUSH__ *HBRUSH;
typedef struct HBITMAP__ *HBITMAP;
typedef struct HICON__ *HICON;
typedef HICON HCURSOR;
typedef struct HFONT__ *HFONT;
typedef struct HMENU__ *HMENU;

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)((c) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;
typedef const RECT *LPCRECT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE;

/* The 64-bit record: 32 bytes. GetObjectA copies at most the size asked for,
 * so callers that ask for the 24 bytes of the 32-bit record get the
 * dimensions they read. */
typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP;

typedef struct _ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
} ICONINFO, *PICONINFO;

/* Stock objects. */
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH

/* Background modes. */
#define TRANSPARENT 1
#define OPAQUE 2

/* DrawIconEx flags. */
#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003

/* A window DC (GetDC) outside painting cannot draw on a Qt widget directly:
 * drawing on it has the window repainted on its own thread, where the window
 * asks its procedure (or its parent, for owner-drawn buttons) to paint. DCs
 * given with WM_DRAWITEM and WM_ERASEBKGND draw at once. */
PLATFORM_API HDC GetDC(HWND hwnd);
PLATFORM_API int ReleaseDC(HWND hwnd, HDC dc);
PLATFORM_API int SetBkMode(HDC dc, int mode);
PLATFORM_API COLORREF SetBkColor(HDC dc, COLORREF color);
PLATFORM_API COLORREF SetTextColor(HDC dc, COLORREF color);
PLATFORM_API int FillRect(HDC dc, const RECT *rect, HBRUSH brush);

PLATFORM_API HBRUSH CreateSolidBrush(COLORREF color);
PLATFORM_API HGDIOBJ GetStockObject(int which);
/* Stock objects are not deleted (TRUE, as on Windows). */
PLATFORM_API BOOL DeleteObject(HGDIOBJ obj);
PLATFORM_API int GetObjectA(HGDIOBJ obj, int size, LPVOID out);

/* ---- icons ---- */
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define LR_DEFAULTCOLOR 0x0000
#define LR_DEFAULTSIZE 0x0040

/* Icons come from the module's resources (type RT_GROUP_ICON holding a whole
 * .ico file); width and height 0 take the system size, 16 x 16 here. */
PLATFORM_API HANDLE LoadImageA(HINSTANCE module, LPCSTR name, UINT type, int cx, int cy, UINT flags);
PLATFORM_API HICON LoadIconA(HINSTANCE module, LPCSTR name);
PLATFORM_API BOOL DestroyIcon(HICON icon);
/* Creates two bitmaps (colour and mask) that the caller deletes. */
PLATFORM_API BOOL GetIconInfo(HICON icon, PICONINFO info);
PLATFORM_API BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker_free,
                             UINT flags);

#ifdef __cplusplus
}
#endif

#endif
