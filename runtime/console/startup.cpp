// Process entry and console start-up: the console window (hidden), its status
// bar, the character formats and the F3 accelerator; then main, the "Done." text,
// the closing decision and the main loop.
#include "ostrel/pages.h"
#include "platform/utf8_cut.h"
#include "platform/gdi/wingdi.h"
#include "platform/win/commctrl.h"
#include "runtime/console/console_state.h"
#include "runtime/pages/page_record.h"

#include <cstdio>
#include <cstring>
#include <string>

void platform_ensure_application();

namespace {

// Copies `text` into the command-line buffer, cut at a character boundary if it
// is longer than 1023 bytes.
void store_cmdline(const char* text)
{
    char* buf = cs().cmdline;
    size_t n = text ? utf8_cut(text, std::strlen(text), sizeof cs().cmdline - 1) : 0;
    if (n)
        std::memcpy(buf, text, n);
    buf[n] = 0;
}

} // namespace

void _elapsedtext(double s, char* buf, std::size_t size)
{
    if (!buf || !size)
        return;
    if (s < 1) {
        std::snprintf(buf, size, "%dmsec", int(s * 1000));
        return;
    }
    if (s < 10) {
        std::snprintf(buf, size, "%3.1lfsec", s);
        return;
    }
    int t = s < 2e9 ? int(s) : 2000000000;
    if (s < 60)
        std::snprintf(buf, size, "%dsec", t);
    else if (s < 3600)
        std::snprintf(buf, size, "%dmin%dsec", t / 60, t % 60);
    else
        std::snprintf(buf, size, "%dhour%dmin", t / 3600, (t % 3600) / 60);
}

int _consolestartup(const char* cmdline)
{
    platform_ensure_application();
    ConsoleState& s = cs();
    static int instance_tag;
    s.instance = &instance_tag;
    page_table_clear();

    store_cmdline(cmdline);
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &console_proc;
    wc.hInstance = s.instance;
    wc.hIcon = LoadIconA(s.instance, MAKEINTRESOURCEA(101));
    if (!wc.hIcon)
        wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1));
    wc.lpszClassName = "ostrelMain";
    if (!RegisterClassA(&wc))
        return 0;
    int sw = GetSystemMetrics(SM_CXSCREEN);
    int sh = GetSystemMetrics(SM_CYSCREEN);
    HMENU menu = _consolemenu();
    HWND w = CreateWindowExA(WS_EX_WINDOWEDGE, "ostrelMain", "Console 1.11", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                             (2 * sw) / 3 - 16, (2 * sh) / 3 - 16, nullptr, menu, s.instance, nullptr);
    if (!w)
        return 0;
    s.console = w;
    _movepage(0, 16, 16);
    s.status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, w,
                               reinterpret_cast<HMENU>(std::intptr_t(IDC_CONSOLESTATUS)), s.instance, nullptr);
    console_layout();
    console_formats_init();
    ACCEL f3{FVIRTKEY, WORD(VK_F3), WORD(IDM_FIND)};
    s.f3 = CreateAcceleratorTableA(&f3, 1);
    DragAcceptFiles(w, TRUE);
    s.start_time = _clockms();
    return 1;
}

int _runmain(int (*program)())
{
    ConsoleState& s = cs();
    int result = program ? program() : 0;
    s.main_returned = 1;
    if (page_current())
        _setpage(page_current()->number, 0);
    if (IsWindowVisible(s.console)) {
        char elapsed[64];
        _elapsedtext(double(_clockms() - s.start_time) / 1000.0, elapsed, sizeof elapsed);
        _printstatus(-1, "%s%s", "Done. ", elapsed);
        _pumpmessages();
        if (result == CLOSE_CONSOLE)
            DestroyWindow(s.console);
    } else if (!page_current() || result == CLOSE_CONSOLE) {
        DestroyWindow(s.console);
    }
    return result;
}

int _mainloop()
{
    MSG m{};
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        _dispatchmessage(&m);
        _showcaretpos(&m);
    }
    return m.message == WM_QUIT ? int(m.wParam) : 0;
}

int ostrel_entry(int argc, char** argv, int (*program)())
{
    platform_ensure_application();
    std::string line;
    for (int i = 1; i < argc && argv && argv[i]; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i];
        if (line.size() > 4096)
            break;   // the buffer keeps 1023 bytes anyway
    }
    if (!_consolestartup(line.c_str()))
        return 0;
    _runmain(program);
    _mainloop();
    _quitprocess();   // the one way out, as for a quit met by any pump
}
