// Process-global state of the console runtime (one instance, one thread).
#pragma once
#include "platform/win/richedit.h"
#include "runtime/console/console_internal.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

struct ConsoleState {
    HINSTANCE instance = nullptr;
    char cmdline[1024] = {};
    int dropped_flag = 0;
    int main_returned = 0;
    long start_time = 0;             // milliseconds on the runtime's clock
    HWND console = nullptr;
    HWND text = nullptr;
    HWND status = nullptr;
    HACCEL f3 = nullptr;
    HWND accel_windows[10] = {};
    HACCEL accel_tables[10] = {};
    int accel_count = 0;
    _helpproc help_hook = nullptr;
    _dropproc drop_hook = nullptr;
    _destroyproc destroy_hook = nullptr;
    _msgproc msg_hook = nullptr;
    HMENU window_sub = nullptr;
    HMENU edit_sub = nullptr;
    HFONT console_font = nullptr;
    int printing_flag = 0;
    int console_shown_once = 0;
    long last_caret = -1;
    int input_depth = 0;             // nested input waits
};

ConsoleState& cs();

extern CHARFORMATA console_input_format;
extern CHARFORMATA console_output_format;

// Milliseconds since the process started (wall clock).
long _clockms();

// Console window procedure and its parts.
LRESULT console_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
void console_layout();
void console_find_open();
bool console_find_message(UINT msg, LPARAM lp);   // true when it was the find message
void console_apply_input_format();
void console_formats_init();

OSTREL_INTERNAL_EXPORT_END
