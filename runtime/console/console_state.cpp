// The console runtime's globals and its static start-up: the accelerator list
// emptied, the start time taken, the Window and Edit submenus created empty.
#include "runtime/console/console_state.h"

#include <chrono>

namespace {
const auto g_process_start = std::chrono::steady_clock::now();
} // namespace

long _clockms()
{
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - g_process_start)
                    .count());
}

ConsoleState& cs()
{
    static ConsoleState* s = [] {
        auto* st = new ConsoleState;   // lives until the process ends
        st->accel_count = 0;
        st->start_time = _clockms();
        st->window_sub = CreatePopupMenu();
        st->edit_sub = CreatePopupMenu();
        return st;
    }();
    return *s;
}

namespace {
// Built during static construction, like the runtime's other globals.
const bool g_built = (cs(), true);
} // namespace

HWND _consolewindow() { return cs().console; }
HWND _consoletext() { return cs().text; }
HWND _consolestatus() { return cs().status; }
HINSTANCE _instance() { return cs().instance; }
HMENU _windowsubmenu() { return cs().window_sub; }
HMENU _editsubmenu() { return cs().edit_sub; }
