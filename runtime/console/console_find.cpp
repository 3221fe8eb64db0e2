// Find in the console text: the modeless Find dialog and its wrap-around search
// (from the selection end to the end of the text, then once more from the top).
#include "platform/utf8_cut.h"
#include "platform/win/commdlg.h"
#include "runtime/console/console_state.h"

#include <cstring>

namespace {

struct FindState {
    UINT message = 0;
    FINDREPLACEA request{};
    char what[256] = {};
    char saved_status[260] = {};
    LONG remembered = 0;
    HWND dialog = nullptr;
};

FindState& fs()
{
    static FindState s;
    return s;
}

void select(LONG a, LONG b)
{
    CHARRANGE r{a, b};
    SendMessageA(cs().text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

void find_next(FINDREPLACEA* fr)
{
    FindState& f = fs();
    HWND t = cs().text;
    WPARAM flags = FR_DOWN;
    if (fr->Flags & FR_MATCHCASE) flags |= FR_MATCHCASE;
    if (fr->Flags & FR_WHOLEWORD) flags |= FR_WHOLEWORD;
    CHARRANGE sel{0, 0};
    SendMessageA(t, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    LONG start = sel.cpMax;
    FINDTEXTA ft{{start, -1}, f.what};
    LRESULT p = SendMessageA(t, EM_FINDTEXT, flags, reinterpret_cast<LPARAM>(&ft));
    if (p >= 0) {
        // the match's length in the text's own units (characters)
        LONG len = LONG(utf8_utf16_units(f.what));
        select(LONG(p), LONG(p) + len);
        SendMessageA(t, EM_SCROLLCARET, 0, 0);
        SetFocus(t);
        _setstatus(-1, "found");
    } else if (start == 0) {
        select(f.remembered, f.remembered);
        _setstatus(-1, "not found");
    } else {
        f.remembered = start;
        select(0, 0);
        SendMessageA(cs().console, f.message, 0, reinterpret_cast<LPARAM>(fr));
    }
}

} // namespace

void console_find_open()
{
    FindState& f = fs();
    ConsoleState& s = cs();
    if (f.message != 0 || !IsWindowVisible(s.console))
        return;
    _getstatus(-1, f.saved_status);
    _setstatus(-1, "find");
    f.message = RegisterWindowMessageA(FINDMSGSTRINGA);
    f.request = FINDREPLACEA{};
    f.request.lStructSize = sizeof(FINDREPLACEA);
    f.request.hwndOwner = s.console;
    f.request.hInstance = s.instance;
    f.request.Flags = FR_HIDEUPDOWN | FR_FINDNEXT;
    f.request.lpstrFindWhat = f.what;
    f.request.wFindWhatLen = sizeof f.what;
    f.dialog = FindTextA(&f.request);
    if (!f.dialog) {
        f.message = 0;
        _setstatus(-1, f.saved_status);
    }
}

bool console_find_message(UINT msg, LPARAM lp)
{
    FindState& f = fs();
    if (f.message == 0 || msg != f.message)
        return false;
    auto* fr = reinterpret_cast<FINDREPLACEA*>(lp);
    if (!fr)
        return true;
    if (fr->Flags & FR_DIALOGTERM) {
        f.message = 0;
        f.dialog = nullptr;
        _setstatus(-1, f.saved_status);
    } else if (fr->Flags & FR_FINDNEXT) {
        find_next(fr);
    }
    return true;
}
