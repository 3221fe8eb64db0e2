// The runtime's one fatal report: a box captioned "OSTREL ERROR" with the
// operation and the message, then the C exit with status 0.
#include "runtime/console/console_state.h"

#include <cstdio>
#include <cstdlib>

void _fatalerror(const char* where, const char* message)
{
    char text[1024];
    std::snprintf(text, sizeof text, "in %s\n    %s\n", where ? where : "", message ? message : "");
    MessageBoxA(IsWindow(cs().console) ? cs().console : nullptr, text, "OSTREL ERROR", MB_OK | MB_ICONHAND);
    std::exit(0);
}
