// The dispatch step, the pump, the double-click wait and exit: every loop of the
// runtime goes through these, and the quit message met anywhere ends the process.
#include "runtime/console/console_state.h"
#include "platform/gdi/winclip.h"

#include <cstdlib>

void _quitprocess()
{
    // what the program copied outlives it where the desktop keeps clipboards
    platform_clipboard_handover(3000);
    std::exit(0);
}

void _dispatchmessage(MSG* msg)
{
    if (!msg)
        return;
    ConsoleState& s = cs();
    if (s.f3 && s.console && TranslateAcceleratorA(s.console, s.f3, msg))
        return;
    for (int i = 0; i < s.accel_count; ++i)
        if (TranslateAcceleratorA(s.accel_windows[i], s.accel_tables[i], msg))
            return;
    TranslateMessage(msg);
    DispatchMessageA(msg);
}

void _pumpmessages()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT)
            _quitprocess();
        _dispatchmessage(&m);
    }
}

int _waitdblclick(HWND w, UINT msg)
{
    UINT expected;
    if (msg == WM_LBUTTONDOWN)
        expected = WM_LBUTTONDBLCLK;
    else if (msg == WM_RBUTTONDOWN)
        expected = WM_RBUTTONDBLCLK;
    else
        return 0;
    long start = _clockms();
    long limit = long(GetDoubleClickTime());
    MSG m;
    while (_clockms() - start < limit) {
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            continue;
        if (m.message == WM_QUIT)
            _quitprocess();
        _dispatchmessage(&m);
        if (m.message == expected && m.hwnd == w)
            return 1;
    }
    return 0;
}

void ostrel_exit(int code)
{
    ConsoleState& s = cs();
    if (!IsWindow(s.console))
        _quitprocess();   // no console (never started or already gone): nothing to wait for
    if (code == CLOSE_CONSOLE)
        DestroyWindow(s.console);
    else
        _setstatus(-1, "exit() ...Done");
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        _dispatchmessage(&m);
        _showcaretpos(&m);
    }
    _quitprocess();
}
