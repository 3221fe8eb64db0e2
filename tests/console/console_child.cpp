// A program built like a user's (ostrel.h, main, printf, exit). The process tests
// run it with OSTREL_SCENARIO naming what it does; it reports on stderr.
#include <ostrel.h>

#include "platform/win/winuser.h"
#include "runtime/console/console_internal.h"

#include <QTimer>
#include <cstdlib>
#include <cstring>

namespace {

const char* scenario()
{
    const char* s = std::getenv("OSTREL_SCENARIO");
    return s ? s : "";
}

bool is(const char* name)
{
    return std::strcmp(scenario(), name) == 0;
}

void report_status()
{
    char b[260];
    _getstatus(-1, b);
    std::fprintf(stderr, "teardown status1=[%s]\n", b);
}

void at_end()
{
    std::fprintf(stderr, "atexit ran\n");
}

// Closes the console the way the user does, after `ms`.
void close_later(int ms)
{
    QTimer::singleShot(ms, [] { PostMessageA(_consolewindow(), WM_CLOSE, 0, 0); });
}

} // namespace

int main()
{
    std::atexit(&at_end);
    _setdestroyproc(&report_status);
    char cmd[1024];
    _getcmdline(cmd);
    std::fprintf(stderr, "cmdline=[%s]\n", cmd);
    if (is("return1961")) {
        printf("bye\n");
        return CLOSE_CONSOLE;
    }
    if (is("return0_silent"))
        return 0;
    if (is("return0_printed")) {
        printf("stays\n");
        close_later(600);
        return 0;
    }
    if (is("exit0")) {
        printf("x\n");
        close_later(300);
        exit(0);
    }
    if (is("exit1961")) {
        printf("x\n");
        exit(CLOSE_CONSOLE);
    }
    if (is("close_in_getchar")) {
        close_later(200);
        int c = getchar();
        std::fprintf(stderr, "getchar returned %d\n", c);
        return 0;
    }
    if (is("destroyed_then_printf")) {
        printf("one\n");
        DestroyWindow(_consolewindow());
        printf("two\n");
        std::fprintf(stderr, "main went on\n");
        return 0;
    }
    if (is("name_input")) {
        printf("Name? ");
        char name[65536];
        gets(name);
        int a = 0, b = 0;
        int n = scanf("%d %d", &a, &b);
        int c = getchar();
        printf("\nname=%s n=%d sum=%d key=%c\n", name, n, a + b, c);
        return 0;
    }
    std::fprintf(stderr, "unknown scenario\n");
    return CLOSE_CONSOLE;
}
