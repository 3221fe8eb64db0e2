// The four hook slots, the command line and the extra accelerator tables.
#include "runtime/console/console_state.h"

#include <cstring>

_helpproc _sethelpproc(_helpproc p) { return cs().help_hook = p; }
_dropproc _setdropproc(_dropproc p) { return cs().drop_hook = p; }
_destroyproc _setdestroyproc(_destroyproc p) { return cs().destroy_hook = p; }
void _setmsgproc(_msgproc p) { cs().msg_hook = p; }

int _callmsghook(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return cs().msg_hook ? cs().msg_hook(w, msg, wp, lp) : 0;
}

void _callhelphook()
{
    if (cs().help_hook)
        cs().help_hook();
}

int _getcmdline(char* buf)
{
    if (buf)
        std::memcpy(buf, cs().cmdline, std::strlen(cs().cmdline) + 1);
    return cs().dropped_flag;
}

// An eleventh table is refused (result 0): the list keeps its ten.
int _addaccelerator(HWND w, HACCEL table)
{
    ConsoleState& s = cs();
    if (s.accel_count >= 10)
        return 0;
    s.accel_windows[s.accel_count] = w;
    s.accel_tables[s.accel_count] = table;
    ++s.accel_count;
    return 1;
}
