// The console's side of the page area, as registered by the console (page_shell.h).
#include "runtime/pages/page_shell.h"

namespace {
page_shell shell;   // all null until the console registers
}

void page_register_shell(const page_shell& s)
{
    shell = s;
}

HWND page_console_window() { return shell.console_window ? shell.console_window() : nullptr; }
HWND page_console_text() { return shell.console_text ? shell.console_text() : nullptr; }
HWND page_console_status() { return shell.console_status ? shell.console_status() : nullptr; }
HINSTANCE page_instance() { return shell.instance ? shell.instance() : nullptr; }

int page_message_hook(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return shell.message_hook ? shell.message_hook(w, msg, wp, lp) : 0;
}

void page_help_hook()
{
    if (shell.help_hook)
        shell.help_hook();
}

void page_route_drop(int page, HDROP drop)
{
    if (shell.route_drop)
        shell.route_drop(page, drop);
    else
        DragFinish(drop);   // nobody to give it to: released at once
}

void page_layout_status(int page)
{
    if (shell.layout_status)
        shell.layout_status(page);
}
