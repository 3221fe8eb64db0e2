// Common controls of the window layer: the status bar ("msctls_statusbar32") and
// the progress bar ("msctls_progress32"), with their Win32 message numbers.
#pragma once
#include "platform/win/winuser.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

enum : UINT {
    SB_SETTEXTA = WM_USER + 1, SB_GETTEXTA = WM_USER + 2, SB_GETTEXTLENGTHA = WM_USER + 3,
    SB_SETPARTS = WM_USER + 4, SB_GETPARTS = WM_USER + 6, SB_GETBORDERS = WM_USER + 7,
    SB_SETMINHEIGHT = WM_USER + 8, SB_SIMPLE = WM_USER + 9, SB_GETRECT = WM_USER + 10,
    PBM_SETRANGE = WM_USER + 1, PBM_SETPOS = WM_USER + 2, PBM_DELTAPOS = WM_USER + 3,
    PBM_SETSTEP = WM_USER + 4, PBM_STEPIT = WM_USER + 5, PBM_SETRANGE32 = WM_USER + 6,
    PBM_GETRANGE = WM_USER + 7, PBM_GETPOS = WM_USER + 8,
};
enum : DWORD { SBARS_SIZEGRIP = 0x100 };
enum : WPARAM { SBT_NOBORDERS = 0x100, SBT_POPOUT = 0x200 };
inline const char* const STATUSCLASSNAMEA = "msctls_statusbar32";
inline const char* const PROGRESS_CLASSA = "msctls_progress32";
// A status part holds at most this many bytes of text (longer texts are cut at a
// character boundary), so a 260-byte buffer always takes SB_GETTEXTA's copy.
enum : int { SB_MAXTEXT = 259 };

OSTREL_INTERNAL_EXPORT_END
