// The desktop's top-level windows, for finding windows by title. On X11 they are
// the window manager's client list (or the root's children when no manager
// runs), the process's own windows among them given as its own handles; without
// X11 (the offscreen platform, Wayland without XWayland) only the process's own
// top-level windows can be seen.
#pragma once
#include "platform/win/winuser.h"
#include "platform/internal_export.h"

#include <string>
#include <vector>

OSTREL_INTERNAL_EXPORT_BEGIN

struct TopWindow {
    HWND handle;        // our own window, or a foreign one (platform_foreign_window)
    bool visible;       // X11: viewable; our own: shown
    std::string title;  // UTF-8, at most `title_max` bytes, cut between characters
};

// Every top-level window, the process's own first (in creation order), then the
// others from the top of the stacking order down (client-list order with a
// window manager).
std::vector<TopWindow> platform_top_windows(std::size_t title_max);

// A handle that names a window of another program: its X window id with the top
// bit of the pointer set, an address no user-space object has. It is never
// dereferenced; IsWindow answers FALSE for it.
bool platform_foreign_window(HWND w);
unsigned long platform_foreign_window_id(HWND w);

OSTREL_INTERNAL_EXPORT_END
