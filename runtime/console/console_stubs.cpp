// Placeholder bodies of the console runtime while it is being built.
#include "runtime/console/console_internal.h"

#include <cstdlib>
#include <cstring>

void ostrel_exit(int) { std::exit(0); }
int _getcmdline(char* buf) { if (buf) *buf = 0; return 0; }
int _addaccelerator(HWND, HACCEL) { return 0; }
_helpproc _sethelpproc(_helpproc p) { return p; }
_dropproc _setdropproc(_dropproc p) { return p; }
_destroyproc _setdestroyproc(_destroyproc p) { return p; }
void _setmsgproc(_msgproc) {}
void _dispatchmessage(MSG*) {}
void _pumpmessages() {}
int _waitdblclick(HWND, UINT) { return 0; }
HMENU _consolemenu() { return nullptr; }
HMENU _pagemenu(int) { return nullptr; }
int _menuitem(HMENU, int, const char*, UINT) { return 0; }
int _menupopup(HMENU, HMENU, const char*, UINT) { return 0; }
int _menuseparator(HMENU) { return 0; }
int _enablemenuitem(HMENU, int, int) { return 0; }
int _checkmenuitem(HMENU, int, int) { return 0; }
void _windowmenu(HMENU) {}
void _activatewindow(int) {}
int _takedroppedfile(HDROP, char* buf) { if (buf) *buf = 0; return 0; }
void _passdroppedfiles(int, HDROP) {}
int ostrel_printf(const char*, ...) { return 0; }
int _vprintf(const char*, va_list) { return 0; }
int _fprintf(FILE*, const char*, ...) { return 0; }
int _puts(const char*) { return 1; }
int _putchar(int c) { return c; }
void _showconsole() {}
void _setconsolebold(int, int) {}
void _setconsoleitalic(int, int) {}
void _setconsoleunderline(int, int) {}
void _setconsolestrikeout(int, int) {}
void _setconsolecolor(COLORREF, COLORREF) {}
void _setconsolesize(int, int) {}
void _setconsoleoffset(int, int) {}
void _setconsoleface(const char*, const char*) {}
void _setconsolefont(int) {}
void _setconsolelimit(int) {}
int _setstatus(int, const char*) { return 1; }
int _printstatus(int, const char*, ...) { return 1; }
int _getstatus(int, char* buf) { if (buf) *buf = 0; return 1; }
void _printpagestatus(int, const char*, ...) {}
void _setprogress(int, double, double, double) {}
HWND _getstatusbar(int) { return nullptr; }
void _showcaretpos(MSG*) {}
HCURSOR _setcursor(int) { return nullptr; }
HCURSOR _setcursor(const char*) { return nullptr; }
int ostrel_getchar() { return -1; }
char* ostrel_gets(char* buf) { *buf = 0; return buf; }
char* ostrel_getline(char* buf) { *buf = 0; return buf; }
int ostrel_scanf(const char*, ...) { return 0; }
char* _gets_n(char* buf, std::size_t) { *buf = 0; return buf; }
char* _getline_n(char* buf, std::size_t) { *buf = 0; return buf; }
void _inputbegin(const char*) {}
void _inputend() {}
int _getkey(const char*) { return -1; }
char* _readline(char* buf, const char*) { *buf = 0; return buf; }
void _fatalerror(const char* where, const char* message)
{
    char text[1024];
    std::snprintf(text, sizeof text, "in %s\n    %s\n", where ? where : "", message ? message : "");
    MessageBoxA(nullptr, text, "OSTREL ERROR", MB_OK | MB_ICONHAND);
    std::exit(0);
}
HWND _consolewindow() { return nullptr; }
HWND _consoletext() { return nullptr; }
HWND _consolestatus() { return nullptr; }
HINSTANCE _instance() { return nullptr; }
int _callmsghook(HWND, UINT, WPARAM, LPARAM) { return 0; }
void _callhelphook() {}
void _routedrop(int, HDROP) {}
int _mainreturned() { return 0; }
HMENU _windowsubmenu() { return nullptr; }
HMENU _editsubmenu() { return nullptr; }
int _consolestartup(const char*) { return 0; }
int _runmain(int (*program)()) { return program(); }
int _mainloop() { return 0; }
int ostrel_entry(int, char**, int (*program)()) { program(); return 0; }
void _quitprocess() { std::exit(0); }
void _elapsedtext(double, char* buf, std::size_t) { *buf = 0; }
void _layoutpagestatus(int) {}
HWND _pagestatusbar(int, int) { return nullptr; }
char* _readline_n(char* buf, std::size_t, const char*) { *buf = 0; return buf; }
void _consoleteardown() {}
