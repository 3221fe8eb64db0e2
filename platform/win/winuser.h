// Win32 USER subset of the platform layer: windows, classes, messages, menus,
// accelerators, painting, system metrics, drag and drop, message boxes.
// Names, signatures, numbers and layouts follow Win32 so that the runtime's
// algorithms read as written for it; implemented on Qt in platform/win.
#pragma once
#include "ostrel/constants.h"
#include "platform/win_types.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
};

struct CREATESTRUCTA {
    void* lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy, cx, y, x;
    LONG style;
    const char* lpszName;
    const char* lpszClass;
    DWORD dwExStyle;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
};

struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};

// Messages, mouse flags and virtual keys are the public ones (ostrel/constants.h).

// WM_ACTIVATE states
enum : int { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };

// ---- class and window styles ----
enum : UINT { CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008, CS_OWNDC = 0x0020 };
enum : DWORD {
    WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
    WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
    WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000,
    WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000,
    WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
    WS_THICKFRAME = 0x00040000, WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000,
    WS_OVERLAPPEDWINDOW = 0x00CF0000,
};
enum : DWORD {
    WS_EX_TOPMOST = 0x00000008, WS_EX_ACCEPTFILES = 0x00000010, WS_EX_WINDOWEDGE = 0x00000100,
    WS_EX_CLIENTEDGE = 0x00000200, WS_EX_CONTROLPARENT = 0x00010000,
};

// ShowWindow
enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
             SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWNA = 8, SW_RESTORE = 9 };

// SetWindowPos
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
enum : UINT { SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
              SWP_NOACTIVATE = 0x0010, SWP_SHOWWINDOW = 0x0040, SWP_HIDEWINDOW = 0x0080 };

// GetSystemMetrics
enum : int { SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
             SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CYMENU = 15,
             SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37,
             SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXSIZEFRAME = 32, SM_CYSIZEFRAME = 33,
             SM_CXEDGE = 45, SM_CYEDGE = 46 };

// PeekMessage
enum : UINT { PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001 };

// Window long indexes
enum : int { GWLP_WNDPROC = -4, GWLP_HINSTANCE = -6, GWLP_ID = -12, GWL_STYLE = -16, GWL_EXSTYLE = -20, GWLP_USERDATA = -21 };

// Menus
enum : UINT {
    MF_STRING = 0x0000, MF_ENABLED = 0x0000, MF_GRAYED = 0x0001, MF_DISABLED = 0x0002,
    MF_UNCHECKED = 0x0000, MF_CHECKED = 0x0008, MF_POPUP = 0x0010, MF_SEPARATOR = 0x0800,
    MF_BYCOMMAND = 0x0000, MF_BYPOSITION = 0x0400,
};

// Accelerators
enum : BYTE { FVIRTKEY = 0x01, FSHIFT = 0x04, FCONTROL = 0x08, FALT = 0x10 };

// Message boxes
enum : UINT {
    MB_OK = 0x0000, MB_OKCANCEL = 0x0001, MB_YESNOCANCEL = 0x0003, MB_YESNO = 0x0004,
    MB_ICONHAND = 0x0010, MB_ICONERROR = 0x0010, MB_ICONSTOP = 0x0010, MB_ICONQUESTION = 0x0020,
    MB_ICONEXCLAMATION = 0x0030, MB_ICONWARNING = 0x0030, MB_ICONINFORMATION = 0x0040,
    MB_ICONASTERISK = 0x0040, MB_APPLMODAL = 0x0000, MB_SYSTEMMODAL = 0x1000,
    MB_TASKMODAL = 0x2000, MB_SETFOREGROUND = 0x10000, MB_TOPMOST = 0x40000,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// Stock system colours (GetSysColor)
enum : int { COLOR_WINDOW = 5, COLOR_WINDOWTEXT = 8, COLOR_BTNFACE = 15 };

// ---- classes and windows ----
ATOM RegisterClassA(const WNDCLASSA* wc);
BOOL UnregisterClassA(const char* className, HINSTANCE inst);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style,
                     int x, int y, int w, int h, HWND parent, HMENU menu, HINSTANCE inst, void* param);
BOOL DestroyWindow(HWND w);
BOOL IsWindow(HWND w);
BOOL IsWindowVisible(HWND w);
BOOL IsIconic(HWND w);
BOOL ShowWindow(HWND w, int cmd);
BOOL MoveWindow(HWND w, int x, int y, int cx, int cy, BOOL repaint);
BOOL SetWindowPos(HWND w, HWND after, int x, int y, int cx, int cy, UINT flags);
BOOL GetWindowRect(HWND w, RECT* r);
BOOL GetClientRect(HWND w, RECT* r);
BOOL AdjustWindowRectEx(RECT* r, DWORD style, BOOL menu, DWORD exStyle);
BOOL ClientToScreen(HWND w, POINT* p);
BOOL ScreenToClient(HWND w, POINT* p);
BOOL SetWindowTextA(HWND w, const char* text);
int GetWindowTextA(HWND w, char* buf, int max);
int GetWindowTextLengthA(HWND w);
int GetClassNameA(HWND w, char* buf, int max);
HWND SetFocus(HWND w);
HWND GetFocus();
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND w);
BOOL BringWindowToTop(HWND w);
HWND GetParent(HWND w);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND w);
LONG GetWindowLongA(HWND w, int index);
LONG SetWindowLongA(HWND w, int index, LONG value);
std::intptr_t GetWindowLongPtrA(HWND w, int index);
std::intptr_t SetWindowLongPtrA(HWND w, int index, std::intptr_t value);
BOOL EnableWindow(HWND w, BOOL enable);
BOOL InvalidateRect(HWND w, const RECT* r, BOOL erase);
BOOL ValidateRect(HWND w, const RECT* r);
BOOL UpdateWindow(HWND w);
HDC BeginPaint(HWND w, PAINTSTRUCT* ps);
BOOL EndPaint(HWND w, const PAINTSTRUCT* ps);
HDC GetDC(HWND w);                     // null window: the screen
int ReleaseDC(HWND w, HDC dc);
int GetSystemMetrics(int index);
DWORD GetSysColor(int index);
UINT GetDoubleClickTime();
HICON LoadIconA(HINSTANCE inst, const char* name);
HCURSOR LoadCursorA(HINSTANCE inst, const char* name);
HCURSOR SetCursor(HCURSOR c);
inline const char* const IDC_ARROW = reinterpret_cast<const char*>(32512);
inline const char* const IDC_IBEAM = reinterpret_cast<const char*>(32513);
inline const char* const IDC_WAIT = reinterpret_cast<const char*>(32514);
inline const char* const IDC_CROSS = reinterpret_cast<const char*>(32515);
inline const char* const IDC_UPARROW = reinterpret_cast<const char*>(32516);
inline const char* const IDC_SIZENWSE = reinterpret_cast<const char*>(32642);
inline const char* const IDC_SIZENESW = reinterpret_cast<const char*>(32643);
inline const char* const IDC_SIZEWE = reinterpret_cast<const char*>(32644);
inline const char* const IDC_SIZENS = reinterpret_cast<const char*>(32645);
inline const char* const IDC_SIZEALL = reinterpret_cast<const char*>(32646);
inline const char* const IDC_NO = reinterpret_cast<const char*>(32648);
inline const char* const IDC_HAND = reinterpret_cast<const char*>(32649);
inline const char* const IDC_APPSTARTING = reinterpret_cast<const char*>(32650);
inline const char* const IDC_HELP = reinterpret_cast<const char*>(32651);
inline const char* const IDI_APPLICATION = reinterpret_cast<const char*>(32512);
inline const char* MAKEINTRESOURCEA(int id) { return reinterpret_cast<const char*>(std::uintptr_t(WORD(id))); }

// ---- messages and loops ----
BOOL GetMessageA(MSG* msg, HWND w, UINT min, UINT max);
BOOL PeekMessageA(MSG* msg, HWND w, UINT min, UINT max, UINT remove);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL PostMessageA(HWND w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT SendMessageA(HWND w, UINT msg, WPARAM wp, LPARAM lp);
void PostQuitMessage(int code);
LRESULT DefWindowProcA(HWND w, UINT msg, WPARAM wp, LPARAM lp);
UINT RegisterWindowMessageA(const char* name);
DWORD GetTickCount();

// ---- menus ----
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU m);
BOOL AppendMenuA(HMENU m, UINT flags, std::uintptr_t idOrPopup, const char* text);
BOOL DeleteMenu(HMENU m, UINT item, UINT flags);
BOOL RemoveMenu(HMENU m, UINT item, UINT flags);
int GetMenuItemCount(HMENU m);
BOOL EnableMenuItem(HMENU m, UINT item, UINT flags);   // returns previous state, -1 if no item
DWORD CheckMenuItem(HMENU m, UINT item, UINT flags);   // returns previous state, (DWORD)-1 if no item
UINT GetMenuState(HMENU m, UINT item, UINT flags);
BOOL SetMenu(HWND w, HMENU m);
HMENU GetMenu(HWND w);
BOOL DrawMenuBar(HWND w);
int GetMenuStringA(HMENU m, UINT item, char* buf, int max, UINT flags);
UINT GetMenuItemID(HMENU m, int pos);                  // (UINT)-1 for a popup or no item
HMENU GetSubMenu(HMENU m, int pos);
BOOL IsChild(HWND parent, HWND w);

// ---- accelerators ----
HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL a);
int TranslateAcceleratorA(HWND w, HACCEL a, MSG* msg);

// ---- message boxes ----
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// ---- drag and drop ----
void DragAcceptFiles(HWND w, BOOL accept);
UINT DragQueryFileA(HDROP drop, UINT index, char* buf, UINT max);   // index 0xFFFFFFFF: count
void DragFinish(HDROP drop);

// ---- screen ----
// SM_CMONITORS is 0 where no display is open (a tool that reads files only); it
// never opens one.
inline constexpr int SM_CMONITORS = 80;
inline constexpr UINT SPI_GETWORKAREA = 0x0030;
// SPI_GETWORKAREA: the part of the primary screen windows may cover (a RECT at pv).
BOOL SystemParametersInfoA(UINT action, UINT param, void* pv, UINT winIni);

// ---- icons ----
inline constexpr int SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14;   // 32 pixels
inline constexpr UINT DI_NORMAL = 0x0003;
// An icon of w x h pixels from 32-bit rows (top row first, blue, green, red,
// alpha); the AND mask is not needed where alpha is given and may be null.
HICON CreateIcon(HINSTANCE inst, int w, int h, BYTE planes, BYTE bitsPixel, const BYTE* andBits, const BYTE* xorBits);
BOOL DestroyIcon(HICON icon);   // icons of CreateIcon and SHGetFileInfoA; system icons stay
// Draws the icon scaled to cx x cy (its own size when 0) with its top-left corner
// at (x, y), blended by its alpha, on a DC with pixels (a memory or window DC).
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFree, UINT flags);

OSTREL_INTERNAL_EXPORT_END
