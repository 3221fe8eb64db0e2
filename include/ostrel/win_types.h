/* ostrel window types: the Win32-shaped integer widths, handles and message
 * record that a program meets in its hooks (_setmsgproc, _dispatchmessage,
 * _showcaretpos), and the helpers that take a click's x and y out of the
 * second message parameter.
 *
 * These are the only definitions of these names in the system: the platform
 * layer builds its own Win32 declarations on this header. Widths and layouts
 * are the Windows API's.
 */
#ifndef OSTREL_WIN_TYPES_H
#define OSTREL_WIN_TYPES_H

#include <cstdint>

using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using COLORREF = DWORD; /* 0x00BBGGRR */

/* Handles: pointers to the platform's own records, opaque to programs. */
struct Wnd;           /* a window */
struct Menu;          /* a menu or menu bar */
struct AccelTable;    /* an accelerator table */
struct DropInfo;      /* files dropped on a window */
struct DeviceContext; /* a device context */
struct GdiObject;     /* pen, brush, font, bitmap, region, palette */
using HWND = Wnd*;
using HMENU = Menu*;
using HACCEL = AccelTable*;
using HDROP = DropInfo*;
using HDC = DeviceContext*;
using HBITMAP = GdiObject*;
using HINSTANCE = void*;
using HCURSOR = void*;

struct POINT {
    LONG x;
    LONG y;
};

/* One message of a window, as the loops fetch and dispatch it. */
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;  /* milliseconds since an arbitrary start */
    POINT pt;    /* the cursor on the screen when the message was posted */
};

/* The low and high 16 bits of a parameter, as unsigned numbers. */
inline constexpr WORD LOWORD(std::uintptr_t v) { return WORD(v & 0xFFFF); }
inline constexpr WORD HIWORD(std::uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }

/* The x and y of a mouse message's second parameter, as signed 16-bit numbers
 * (a position left of or above the window is negative). */
inline constexpr int GET_X_LPARAM(LPARAM lp)
{
    return LOWORD(std::uintptr_t(lp)) >= 0x8000 ? int(LOWORD(std::uintptr_t(lp))) - 0x10000
                                                 : int(LOWORD(std::uintptr_t(lp)));
}
inline constexpr int GET_Y_LPARAM(LPARAM lp)
{
    return HIWORD(std::uintptr_t(lp)) >= 0x8000 ? int(HIWORD(std::uintptr_t(lp))) - 0x10000
                                                 : int(HIWORD(std::uintptr_t(lp)));
}

#endif
