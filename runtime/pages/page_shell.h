// What the page area needs from the console above it: the console's windows and
// instance, the message and help hooks, drop routing and the layout of page status
// bars. The console registers these when the library loads; the page area never
// includes the console's headers, so the direction between the two stays one way.
// Until something registers, every query answers as before start-up (null, 0).
#pragma once
#include "platform/win/winuser.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

// Command ids of the menus the console builds for itself and for pages; the page
// window procedure handles the page ones.
enum : int {
    IDM_EXIT = 65501, IDM_PRINT = 65502, IDM_COPY = 65503, IDM_PASTE = 65504,
    IDM_CUT = 65505, IDM_CLEARALL = 65506, IDM_SELECTALL = 65507, IDM_UNDO = 65508,
    IDM_FIND = 65509, IDM_HELP = 65510, IDM_FONTBIG = 65511, IDM_FONTNORMAL = 65512,
    IDM_FONTSMALL = 65513, IDM_WINDOW = 65514,
};

struct page_shell {
    HWND (*console_window)();
    HWND (*console_text)();
    HWND (*console_status)();
    HINSTANCE (*instance)();
    int (*message_hook)(HWND w, UINT msg, WPARAM wp, LPARAM lp);   // 0 when not consumed
    void (*help_hook)();
    void (*route_drop)(int page, HDROP drop);                       // finishes the drop
    void (*layout_status)(int page);                                // after a page resize
};

// Called once by the console; later calls replace the earlier registration.
void page_register_shell(const page_shell& shell);

HWND page_console_window();
HWND page_console_text();
HWND page_console_status();
HINSTANCE page_instance();
int page_message_hook(HWND w, UINT msg, WPARAM wp, LPARAM lp);
void page_help_hook();
void page_route_drop(int page, HDROP drop);
void page_layout_status(int page);

OSTREL_INTERNAL_EXPORT_END
