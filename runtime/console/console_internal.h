// Seam of the console runtime for the other runtime areas (pages, drawing) and for
// the tests: the console's windows, the hooks, drop routing, menus and the steps of
// start-up and teardown.
#pragma once
#include "ostrel/console.h"
#include "platform/win/winuser.h"
#include "runtime/pages/page_shell.h"

#include <cstddef>
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

// Control ids of the text area and the status bar (the menus' command ids are
// shared with the page windows: runtime/pages/page_shell.h).
enum : int { IDC_CONSOLETEXT = 65500, IDC_CONSOLESTATUS = 1222 };

HWND _consolewindow();           // the console main window (null before start-up)
HWND _consoletext();             // its rich-text area
HWND _consolestatus();           // its status bar
HINSTANCE _instance();

// Hooks: offered every unconsumed message of the console and of page windows.
int _callmsghook(HWND w, UINT msg, WPARAM wp, LPARAM lp);   // the hook's result, 0 if none
void _callhelphook();
// Drop routing of a drop on page `page` (0: the console); finishes the drop.
void _routedrop(int page, HDROP drop);

// Menus: the shared Window submenu and the console Edit submenu.
HMENU _windowsubmenu();
HMENU _editsubmenu();

// Start-up steps (the entry runs them in order; tests run them to get a console).
int _consolestartup(const char* cmdline);   // windows, formats, accelerator; 1 or 0
int _runmain(int (*program)());             // call it, Done text, closing decision
int _mainloop();                            // until the quit message
int ostrel_entry(int argc, char** argv, int (*program)());

// Process end through the C exit with status 0 (the quit message met by a loop).
[[noreturn]] void _quitprocess();

// Elapsed-time text of the Done status ("250msec", "5.5sec", ...); buf 64 bytes.
void _elapsedtext(double seconds, char* buf, std::size_t size);

// Status and progress helpers for page status bars (the pages area calls these
// when a page is resized or closed).
void _layoutpagestatus(int page);           // parts 0..150 and 150..client width
HWND _pagestatusbar(int page, int create);  // the page's bar, made on demand

// The sized line reader behind gets and scanf (at most size - 1 bytes stored).
char* _readline_n(char* buf, std::size_t size, const char* prompt);

// Console teardown (the console window's destroy handling).
void _consoleteardown();

OSTREL_INTERNAL_EXPORT_END
