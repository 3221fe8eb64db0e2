// WindowSearch: top-level windows whose titles match a pattern, over the
// platform's list of the desktop's windows.
#include "ostrel/shell.h"
#include "platform/win/window_enum.h"

#include <cstring>

WindowSearch::WindowSearch(const char* pattern_, int mode_, int visible_only_)
    : WindowSearch(pattern_, mode_, visible_only_, found, WINDOW_SEARCH_CAPACITY)
{
}

WindowSearch::WindowSearch(const char* pattern_, int mode_, int visible_only_, HWND* handles_, int capacity_)
    : pattern(pattern_), visible_only(visible_only_), mode(mode_), count(0),
      capacity(handles_ && capacity_ > 0 ? capacity_ : 0), handles(handles_), found{}
{
    search();
}

void WindowSearch::search()
{
    if (!pattern)
        return;
    const std::size_t length = std::strlen(pattern);
    for (const TopWindow& w : platform_top_windows(WINDOW_SEARCH_TITLE_MAX)) {
        if (visible_only && !w.visible)
            continue;
        const char* title = w.title.c_str();
        const char* at = std::strstr(title, pattern);
        if (!at)
            continue;
        if (mode == 1 && at != title)
            continue;
        if (mode == 2 && at + length != title + w.title.size())
            continue;
        if (count < capacity)
            handles[count] = w.handle;
        ++count;
    }
}
