// Common dialogs of the window layer: the modeless Find dialog (FindTextA) with
// its registered message "commdlg_FindReplace" and the FINDREPLACEA record.
#pragma once
#include "platform/win/winuser.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

enum : DWORD {
    FR_DOWN = 0x1, FR_WHOLEWORD = 0x2, FR_MATCHCASE = 0x4, FR_FINDNEXT = 0x8, FR_REPLACE = 0x10,
    FR_REPLACEALL = 0x20, FR_DIALOGTERM = 0x40, FR_HIDEUPDOWN = 0x4000, FR_HIDEMATCHCASE = 0x8000,
    FR_HIDEWHOLEWORD = 0x10000,
};
inline const char* const FINDMSGSTRINGA = "commdlg_FindReplace";

struct FINDREPLACEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    DWORD Flags;
    char* lpstrFindWhat;
    char* lpstrReplaceWith;
    WORD wFindWhatLen;
    WORD wReplaceWithLen;
    LPARAM lCustData;
    void* lpfnHook;
    const char* lpTemplateName;
};

// Opens the modeless Find dialog. "Find Next" and closing post the registered
// message to the owner with the record as lParam (Flags FR_FINDNEXT or
// FR_DIALOGTERM, the options, the text in lpstrFindWhat). The record must live
// until FR_DIALOGTERM has arrived.
HWND FindTextA(FINDREPLACEA* fr);

OSTREL_INTERNAL_EXPORT_END
