/* ostrel console: the process entry, loops and hooks, the console window, text
 * output, status lines and console input.
 *
 * A program uses printf, scanf, getchar, gets, getline and exit by those names
 * (ostrel/console_names.h maps them to the ostrel_ functions below); everything
 * else keeps its own name. Window handles, messages and their numbers are the
 * platform's (Win32-shaped): ostrel/win_types.h and ostrel/constants.h name them.
 */
#ifndef OSTREL_CONSOLE_H
#define OSTREL_CONSOLE_H

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include "ostrel/export.h"

OSTREL_API_BEGIN

#include "ostrel/constants.h"
#include "ostrel/win_types.h"

/* ---- start-up, loops and hooks ---- */
using _helpproc = void (*)();
using _destroyproc = void (*)();
using _dropproc = void (*)(int page, int count, char** files);
using _msgproc = int (*)(HWND w, UINT msg, WPARAM wp, LPARAM lp);

[[noreturn]] void ostrel_exit(int code);            /* exit */
int _getcmdline(char* buf);                          /* 1: a dropped file's path, 0: the command line */
int _addaccelerator(HWND w, HACCEL table);           /* 1, or 0 when the ten places are taken */
_helpproc _sethelpproc(_helpproc proc);
_dropproc _setdropproc(_dropproc proc);
_destroyproc _setdestroyproc(_destroyproc proc);
void _setmsgproc(_msgproc proc);
void _dispatchmessage(MSG* msg);
void _pumpmessages();
int _waitdblclick(HWND w, UINT msg);

/* ---- console window ---- */
HMENU _consolemenu();
HMENU _pagemenu(int flag);
int _menuitem(HMENU menu, int id, const char* text, UINT flags);
int _menupopup(HMENU menu, HMENU sub, const char* text, UINT flags);
int _menuseparator(HMENU menu);
int _enablemenuitem(HMENU menu, int id, int on);
int _checkmenuitem(HMENU menu, int id, int on);     /* 1 if the item exists */
void _windowmenu(HMENU sub);
void _activatewindow(int n);
int _takedroppedfile(HDROP drop, char* buf);         /* buf: 260 bytes */
void _passdroppedfiles(int page, HDROP drop);

/* ---- text output ---- */
int ostrel_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));   /* printf */
int _vprintf(const char* format, va_list args);
int _fprintf(FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
int _puts(const char* text);
int _putchar(int c);
void _showconsole();

void _setconsolebold(int out, int in);
void _setconsoleitalic(int out, int in);
void _setconsoleunderline(int out, int in);
void _setconsolestrikeout(int out, int in);
void _setconsolecolor(COLORREF out, COLORREF in);
void _setconsolesize(int out, int in);               /* units of 15 twips */
void _setconsoleoffset(int out, int in);
void _setconsoleface(const char* out, const char* in);
void _setconsolefont(int size);                      /* -1 small, 0 normal, 1 big */
void _setconsolelimit(int n);                        /* n x 1000 characters */

/* Status lines: page 0, -1, -2 are console parts 0, 1, 2; 1..3999 a page's bar. */
int _setstatus(int page, const char* text);
int _printstatus(int page, const char* format, ...) __attribute__((format(printf, 2, 3)));
int _getstatus(int page, char* buf);                 /* buf: 260 bytes */
void _printpagestatus(int page, const char* format, ...) __attribute__((format(printf, 2, 3)));
void _setprogress(int page, double value, double low, double high);
HWND _getstatusbar(int page);
void _showcaretpos(MSG* msg);
HCURSOR _setcursor(int id);                          /* a system cursor id, e.g. 32514 (wait) */
HCURSOR _setcursor(const char* id);                  /* the same, as a resource name */

/* ---- console input ---- */
int ostrel_getchar();                                /* getchar */
char* ostrel_gets(char* buf);                        /* gets: buf must hold 65,536 bytes */
char* ostrel_getline(char* buf);                     /* getline: buf must hold 65,536 bytes */
int ostrel_scanf(const char* format, ...) __attribute__((format(scanf, 1, 2)));    /* scanf */
/* Sized companions: at most size - 1 bytes are stored, always terminated. */
char* _gets_n(char* buf, std::size_t size);
char* _getline_n(char* buf, std::size_t size);

void _inputbegin(const char* prompt);
void _inputend();
int _getkey(const char* prompt);
char* _readline(char* buf, const char* prompt);

/* The one fatal report: a box captioned "OSTREL ERROR", then the C exit with 0. */
[[noreturn]] void _fatalerror(const char* where, const char* message);

OSTREL_API_END

#endif
