/* ostrel constants: the numbers a program meets in its hooks and hands to the
 * runtime, by name.
 *
 * Message numbers, mouse and key flags, virtual keys, raster operations,
 * background modes and text alignments carry the Windows API's values: the
 * hooks receive the platform's messages unchanged, and _putbmap and _putpage
 * pass the raster operation to the platform's blit. The platform layer uses
 * these same definitions. The runtime's own codes (the close code, the flags
 * of _clearscreen, the alignment codes of _settextalign) follow.
 */
#ifndef OSTREL_CONSTANTS_H
#define OSTREL_CONSTANTS_H

#include "ostrel/win_types.h"

/* ---- messages ---- */
enum : UINT {
    WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003,
    WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008,
    WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E,
    WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014,
    WM_SHOWWINDOW = 0x0018, WM_SETCURSOR = 0x0020, WM_SETFONT = 0x0030,
    WM_NOTIFY = 0x004E, WM_CONTEXTMENU = 0x007B, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106,
    WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113,
    WM_INITMENU = 0x0116, WM_INITMENUPOPUP = 0x0117,
    WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A,
    WM_DROPFILES = 0x0233, WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302,
    WM_CLEAR = 0x0303, WM_UNDO = 0x0304, WM_USER = 0x0400,
};

/* First parameter of mouse messages: the buttons and keys held down. */
enum : WPARAM { MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008, MK_MBUTTON = 0x0010 };

/* Virtual keys: the first parameter of WM_KEYDOWN and WM_KEYUP. Letters and
 * digits are their upper-case ASCII codes ('A', '0'). */
enum : int {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
    VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25,
    VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D,
    VK_DELETE = 0x2E, VK_HELP = 0x2F, VK_MULTIPLY = 0x6A,
    VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75,
    VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B,
    VK_F13 = 0x7C, VK_F14 = 0x7D, VK_F15 = 0x7E, VK_F16 = 0x7F, VK_F17 = 0x80, VK_F18 = 0x81,
    VK_F19 = 0x82, VK_F20 = 0x83, VK_F21 = 0x84, VK_F22 = 0x85, VK_F23 = 0x86, VK_F24 = 0x87,
    VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC,
    VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF,
};

/* ---- raster operations (_putbmap, _putpage) ---- */
enum : DWORD { SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
               NOTSRCCOPY = 0x00330008, PATCOPY = 0x00F00021, PATINVERT = 0x005A0049,
               DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062 };

/* ---- background modes (_textout) ---- */
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

/* ---- text alignments of the platform's text output (what a page records) ---- */
enum : UINT { TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
              TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24 };

/* ---- the runtime's own codes ---- */

/* As the result of main or the argument of exit: close the console, every page
 * and the program at once. */
inline constexpr int CLOSE_CONSOLE = 1961;

/* Flags of _clearscreen, a sum. */
enum : int {
    CLEAR_CONSOLE = 1,   /* the console's text */
    CLEAR_PAGE = 2,      /* the current page's drawing */
    CLEAR_NOREPAINT = 4  /* leave the page's window until its next repaint */
};

/* Codes of _settextalign (not the TA_ values above, which it derives from
 * them): horizontal, then vertical; any other value means left, top. */
enum : int {
    TEXTALIGN_LEFT = 0,
    TEXTALIGN_CENTER = 1,
    TEXTALIGN_RIGHT = 2,
    TEXTALIGN_TOP = 0,
    TEXTALIGN_BOTTOM = 20
};

#endif
