// Placeholder bodies of the window layer while it is being built (replaced file by file).
#include "platform/win/winuser.h"
#include "platform/win/window_surface.h"

ATOM RegisterClassA(const WNDCLASSA*) { return 0; }
BOOL UnregisterClassA(const char*, HINSTANCE) { return 0; }
HWND CreateWindowExA(DWORD, const char*, const char*, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, void*) { return nullptr; }
BOOL DestroyWindow(HWND) { return 0; }
BOOL IsWindow(HWND) { return 0; }
BOOL IsWindowVisible(HWND) { return 0; }
BOOL IsIconic(HWND) { return 0; }
BOOL ShowWindow(HWND, int) { return 0; }
BOOL MoveWindow(HWND, int, int, int, int, BOOL) { return 0; }
BOOL SetWindowPos(HWND, HWND, int, int, int, int, UINT) { return 0; }
BOOL GetWindowRect(HWND, RECT*) { return 0; }
BOOL GetClientRect(HWND, RECT*) { return 0; }
BOOL AdjustWindowRectEx(RECT*, DWORD, BOOL, DWORD) { return 0; }
BOOL ClientToScreen(HWND, POINT*) { return 0; }
BOOL ScreenToClient(HWND, POINT*) { return 0; }
BOOL SetWindowTextA(HWND, const char*) { return 0; }
int GetWindowTextA(HWND, char*, int) { return 0; }
int GetWindowTextLengthA(HWND) { return 0; }
int GetClassNameA(HWND, char*, int) { return 0; }
HWND SetFocus(HWND) { return nullptr; }
HWND GetFocus() { return nullptr; }
HWND GetActiveWindow() { return nullptr; }
BOOL SetForegroundWindow(HWND) { return 0; }
BOOL BringWindowToTop(HWND) { return 0; }
HWND GetParent(HWND) { return nullptr; }
HWND GetDlgItem(HWND, int) { return nullptr; }
int GetDlgCtrlID(HWND) { return 0; }
LONG GetWindowLongA(HWND, int) { return 0; }
LONG SetWindowLongA(HWND, int, LONG) { return 0; }
std::intptr_t GetWindowLongPtrA(HWND, int) { return 0; }
std::intptr_t SetWindowLongPtrA(HWND, int, std::intptr_t) { return 0; }
BOOL EnableWindow(HWND, BOOL) { return 0; }
BOOL InvalidateRect(HWND, const RECT*, BOOL) { return 0; }
BOOL ValidateRect(HWND, const RECT*) { return 0; }
BOOL UpdateWindow(HWND) { return 0; }
HDC BeginPaint(HWND, PAINTSTRUCT*) { return nullptr; }
BOOL EndPaint(HWND, const PAINTSTRUCT*) { return 0; }
HDC GetDC(HWND) { return nullptr; }
int ReleaseDC(HWND, HDC) { return 0; }
int GetSystemMetrics(int) { return 0; }
DWORD GetSysColor(int) { return 0; }
UINT GetDoubleClickTime() { return 0; }
HICON LoadIconA(HINSTANCE, const char*) { return nullptr; }
HCURSOR LoadCursorA(HINSTANCE, const char*) { return nullptr; }
HCURSOR SetCursor(HCURSOR) { return nullptr; }
BOOL GetMessageA(MSG*, HWND, UINT, UINT) { return 0; }
BOOL PeekMessageA(MSG*, HWND, UINT, UINT, UINT) { return 0; }
BOOL TranslateMessage(const MSG*) { return 0; }
LRESULT DispatchMessageA(const MSG*) { return 0; }
BOOL PostMessageA(HWND, UINT, WPARAM, LPARAM) { return 0; }
LRESULT SendMessageA(HWND, UINT, WPARAM, LPARAM) { return 0; }
void PostQuitMessage(int) {  }
LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }
UINT RegisterWindowMessageA(const char*) { return 0; }
DWORD GetTickCount() { return 0; }
HMENU CreateMenu() { return nullptr; }
HMENU CreatePopupMenu() { return nullptr; }
BOOL DestroyMenu(HMENU) { return 0; }
BOOL AppendMenuA(HMENU, UINT, std::uintptr_t, const char*) { return 0; }
BOOL DeleteMenu(HMENU, UINT, UINT) { return 0; }
BOOL RemoveMenu(HMENU, UINT, UINT) { return 0; }
int GetMenuItemCount(HMENU) { return 0; }
BOOL EnableMenuItem(HMENU, UINT, UINT) { return 0; }
DWORD CheckMenuItem(HMENU, UINT, UINT) { return 0; }
UINT GetMenuState(HMENU, UINT, UINT) { return 0; }
BOOL SetMenu(HWND, HMENU) { return 0; }
HMENU GetMenu(HWND) { return nullptr; }
BOOL DrawMenuBar(HWND) { return 0; }
HACCEL CreateAcceleratorTableA(const ACCEL*, int) { return nullptr; }
BOOL DestroyAcceleratorTable(HACCEL) { return 0; }
int TranslateAcceleratorA(HWND, HACCEL, MSG*) { return 0; }
void DragAcceptFiles(HWND, BOOL) {  }
UINT DragQueryFileA(HDROP, UINT, char*, UINT) { return 0; }
void DragFinish(HDROP) {  }
QImage* platform_window_surface(HWND) { return nullptr; }
void platform_window_flush(HWND, const RECT*) {}
QWidget* platform_window_widget(HWND) { return nullptr; }
HWND platform_widget_window(QWidget*) { return nullptr; }
