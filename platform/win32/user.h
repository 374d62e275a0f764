/* Windows, messages, the message loop, dialogs and the built-in controls.
 * Implemented by platform_ui on Qt 6 Widgets, except the calls marked
 * "in platform", which utilbox makes without linking Qt: they reach the
 * window layer through the hooks it installs when it is loaded and fail with
 * ERROR_INVALID_WINDOW_HANDLE while it is not. */
#ifndef PLATFORM_WIN32_USER_H
#define PLATFORM_WIN32_USER_H

#include "gdi.h"
#include "kernel.h"
#include "types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef LRESULT(CALLBACK *WNDPROC)(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
typedef INT_PTR(CALLBACK *DLGPROC)(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
typedef WORD ATOM;

#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b) ((LONG)(((WORD)(((DWORD_PTR)(a)) & 0xffff)) | ((DWORD)((WORD)(((DWORD_PTR)(b)) & 0xffff))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))

/* ---- resources ----
 * A module carries resources by linking a table generated at build time
 * (cmake tv_resources); the table registers itself when the module loads. */
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEA
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define RT_ICON 3
#define RT_DIALOG 5
#define RT_GROUP_ICON 14

typedef struct PLATFORM_RESOURCE {
    WORD type;
    WORD id;
    const BYTE *data;
    DWORD size;
} PLATFORM_RESOURCE;

/* In platform. anchor is any address inside the module that carries the
 * table; the table must outlive the registration. */
PLATFORM_API void PlatformRegisterResources(const void *anchor, const PLATFORM_RESOURCE *table, UINT count);
PLATFORM_API void PlatformUnregisterResources(const PLATFORM_RESOURCE *table);
/* In platform. The resource's bytes, or NULL with ERROR_RESOURCE_NAME_NOT_FOUND
 * (1814). A null module means the executable. */
PLATFORM_API const BYTE *PlatformFindResource(HINSTANCE module, WORD type, WORD id, DWORD *size);

/* ---- window messages ---- */
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_DRAWITEM 0x002B
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_SETICON 0x0080
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_CTLCOLOREDIT 0x0133
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORSTATIC 0x0138
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_CLEAR 0x0303

#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002

#define ICON_SMALL 0
#define ICON_BIG 1

/* ---- window styles ---- */
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_TABSTOP 0x00010000L
#define WS_OVERLAPPEDWINDOW (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_EX_LAYERED 0x00080000L

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008

#define CW_USEDEFAULT ((int)0x80000000)

#define GWL_WNDPROC (-4)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_ID (-12)
#define GWLP_HINSTANCE (-6)
#define GWLP_USERDATA (-21)
#define GCL_HBRBACKGROUND (-10)

#define COLOR_WINDOW 5
#define COLOR_BTNFACE 15

#define IDC_ARROW MAKEINTRESOURCEA(32512)

/* ShowWindow */
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWNA 8
#define SW_RESTORE 9

/* SetWindowPos */
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOACTIVATE 0x0010
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)(LONG_PTR)-1)
#define HWND_NOTOPMOST ((HWND)(LONG_PTR)-2)

#define LWA_COLORKEY 0x00000001
#define LWA_ALPHA 0x00000002

#define SPI_GETWORKAREA 0x0030

#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_WINDOW_OF_OTHER_THREAD 1408L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L

/* ---- records ---- */
typedef struct tagWNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
} WNDCLASSEXA;

typedef struct tagCREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA;

typedef struct tagDRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
} DRAWITEMSTRUCT, *LPDRAWITEMSTRUCT;

#define ODT_BUTTON 4
#define ODA_DRAWENTIRE 0x0001
#define ODA_SELECT 0x0002
#define ODA_FOCUS 0x0004
#define ODS_SELECTED 0x0001
#define ODS_DISABLED 0x0004
#define ODS_FOCUS 0x0010

/* ---- buttons ---- */
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_3STATE 0x00000005L
#define BS_AUTO3STATE 0x00000006L
#define BS_OWNERDRAW 0x0000000BL
#define BS_TYPEMASK 0x0000000FL
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define BST_INDETERMINATE 2
#define BN_CLICKED 0

/* ---- edit controls ---- */
#define ES_LEFT 0x0000L
#define ES_CENTER 0x0001L
#define ES_RIGHT 0x0002L
#define ES_AUTOHSCROLL 0x0080L
#define ES_READONLY 0x0800L
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_REPLACESEL 0x00C2
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EN_CHANGE 0x0300

/* ---- combo boxes ---- */
#define CBS_DROPDOWN 0x0002L
#define CBS_DROPDOWNLIST 0x0003L
#define CB_ERR (-1)
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_SETCURSEL 0x014E
#define CBN_SELCHANGE 1
/* What the drop-down list tells its combo box (in the high word of wParam of
 * a WM_COMMAND) when the user picks an item. */
#define LBN_SELCHANGE 1

/* ---- classes, windows and the message loop ---- */
PLATFORM_API ATOM RegisterClassExA(const WNDCLASSEXA *wc);
/* The thread that creates the first window runs Qt and owns every window;
 * creating a window on another thread fails with ERROR_WINDOW_OF_OTHER_THREAD.
 * Without a display (no DISPLAY or WAYLAND_DISPLAY and no QT_QPA_PLATFORM)
 * the layer says so on standard error and runs offscreen. */
PLATFORM_API HWND CreateWindowExA(DWORD exstyle, LPCSTR class_name, LPCSTR text, DWORD style, int x, int y,
                                  int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                                  LPVOID param);
PLATFORM_API BOOL DestroyWindow(HWND hwnd);
PLATFORM_API BOOL IsWindow(HWND hwnd);
PLATFORM_API LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
PLATFORM_API LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
/* Pointer-sized, as SetWindowLongPtrA is on 64-bit Windows: the window
 * procedure does not fit 32 bits here. */
PLATFORM_API LONG_PTR SetWindowLongA(HWND hwnd, int index, LONG_PTR value);
PLATFORM_API LONG_PTR GetWindowLongA(HWND hwnd, int index);
PLATFORM_API ULONG_PTR SetClassLongA(HWND hwnd, int index, LONG_PTR value);
/* Top-level windows have no non-client area: the window rectangle and the
 * client area have the same size. */
PLATFORM_API BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
PLATFORM_API BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags); /* in platform */
PLATFORM_API BOOL GetWindowRect(HWND hwnd, LPRECT rect);                                         /* in platform */
PLATFORM_API BOOL SystemParametersInfoA(UINT action, UINT uparam, LPVOID pvparam, UINT winini);    /* in platform */
PLATFORM_API BOOL GetClientRect(HWND hwnd, LPRECT rect);
PLATFORM_API BOOL ShowWindow(HWND hwnd, int cmd);
PLATFORM_API BOOL IsWindowVisible(HWND hwnd);
PLATFORM_API BOOL EnableWindow(HWND hwnd, BOOL enable);
PLATFORM_API BOOL IsWindowEnabled(HWND hwnd);
PLATFORM_API BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
PLATFORM_API int GetWindowTextA(HWND hwnd, LPSTR buf, int size);
PLATFORM_API int GetWindowTextLengthA(HWND hwnd);
PLATFORM_API HWND GetParent(HWND hwnd);
PLATFORM_API int GetDlgCtrlID(HWND hwnd);
PLATFORM_API HWND GetDlgItem(HWND dialog, int id);
PLATFORM_API BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
/* This process's top-level windows; a null class or title matches any. */
PLATFORM_API HWND FindWindowA(LPCSTR class_name, LPCSTR title);
PLATFORM_API BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
PLATFORM_API BOOL InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase);
PLATFORM_API BOOL UpdateWindow(HWND hwnd);
PLATFORM_API HCURSOR LoadCursorA(HINSTANCE module, LPCSTR name);

/* Messages. Input (mouse buttons) is delivered to the window procedure while
 * Qt hands it over, inside GetMessageA/PeekMessageA, not through the queue;
 * Qt's own handling follows only when the procedure chain reaches
 * DefWindowProcA. Keys go to Qt's controls directly. */
PLATFORM_API BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max);
PLATFORM_API BOOL TranslateMessage(const MSG *msg);
PLATFORM_API LRESULT DispatchMessageA(const MSG *msg);
PLATFORM_API void PostQuitMessage(int code);
PLATFORM_API BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
/* To a window of another thread: the message is handled on the window's
 * thread while the caller waits (and serves messages sent to its own
 * windows meanwhile). The window's thread handles such messages in its
 * message calls and in Sleep, SleepEx and WaitForSingleObject. */
PLATFORM_API LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

/* ---- dialogs ----
 * Templates are RT_DIALOG resources in a small text format of this layer
 * (pixels, not dialog units):
 *   DIALOG x y width height style "caption"
 *   CONTROL class id x y width height style "text"
 * one per line; numbers in decimal or 0x hex; "" quotes text, \" and \\
 * escape. WM_INITDIALOG goes to the procedure before the dialog is shown. */
PLATFORM_API HWND CreateDialogParamA(HINSTANCE module, LPCSTR template_name, HWND parent, DLGPROC proc,
                                     LPARAM param);
/* Runs until EndDialog, or until WM_QUIT arrives (which is posted again for
 * the caller's loop and gives 0). */
PLATFORM_API INT_PTR DialogBoxParamA(HINSTANCE module, LPCSTR template_name, HWND parent, DLGPROC proc,
                                     LPARAM param);
PLATFORM_API BOOL EndDialog(HWND dialog, INT_PTR result);

/* ---- this layer's own ----
 * Renders a window (its whole widget tree) into a PNG file. */
PLATFORM_API BOOL PlatformGrabWindow(HWND hwnd, LPCSTR png_path);

#ifdef __cplusplus
}
#endif

#endif
