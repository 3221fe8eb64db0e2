// Common dialogs of the window layer: the modeless Find dialog (FindTextA) with
// its registered message "commdlg_FindReplace" and the FINDREPLACEA record, the
// colour dialog (ChooseColorA) and the print dialog (PrintDlgA).
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

// ---- colour dialog ----
inline constexpr UINT WM_INITDIALOG = 0x0110;   // a dialog's hook hears it first
using LPCCHOOKPROC = std::uintptr_t (*)(HWND, UINT, WPARAM, LPARAM);
enum : DWORD { CC_RGBINIT = 0x1, CC_FULLOPEN = 0x2, CC_PREVENTFULLOPEN = 0x4, CC_ENABLEHOOK = 0x10 };

struct CHOOSECOLORA {
    DWORD lStructSize;
    HWND hwndOwner;
    HWND hInstance;
    COLORREF rgbResult;
    COLORREF* lpCustColors;   // 16 entries, read and written back
    DWORD Flags;
    LPARAM lCustData;
    LPCCHOOKPROC lpfnHook;
    const char* lpTemplateName;
};

// The modal colour dialog. With CC_RGBINIT it starts at rgbResult; with
// CC_ENABLEHOOK the hook receives WM_INITDIALOG (lParam: the record) before the
// dialog shows, and may set its caption with SetWindowTextA. TRUE and the
// chosen colour in rgbResult (the custom colours in lpCustColors) on OK.
BOOL ChooseColorA(CHOOSECOLORA* cc);

// ---- print dialog ----
struct PRINTDLGA {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;
    HGLOBAL hDevNames;
    HDC hDC;
    DWORD Flags;
    WORD nFromPage;
    WORD nToPage;
    WORD nMinPage;
    WORD nMaxPage;
    WORD nCopies;
    HINSTANCE hInstance;
    LPARAM lCustData;
    void* lpfnPrintHook;
    void* lpfnSetupHook;
    const char* lpPrintTemplateName;
    const char* lpSetupTemplateName;
    HGLOBAL hPrintTemplate;
    HGLOBAL hSetupTemplate;
};

// The modal print dialog. On OK, TRUE with hDC a device context on the chosen
// printer (or PDF file), always returned as with PD_RETURNDC; the DC owns the
// printer: DeleteDC ends its use and releases it. hDevMode is that printer, an
// opaque handle valid until DeleteDC; hDevNames is null. FALSE when cancelled.
BOOL PrintDlgA(PRINTDLGA* pd);

OSTREL_INTERNAL_EXPORT_END
