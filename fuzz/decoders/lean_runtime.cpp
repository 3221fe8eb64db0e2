// The decoder fuzz targets link the decoders and the bitmap object only, not the
// whole runtime, so that the instrumented build stays small. These stand in for
// what the bitmap object and the error box need from the window system: the
// screen resolution, the fatal report (an abort, which the fuzzer reports as a
// finding: a bad header must never get that far) and MessageBoxA (boxes are
// silenced in the targets, so it is never reached either).
#include "platform/win/winuser.h"
#include "runtime/image/image_deps.h"

#include <cstdio>
#include <cstdlib>

void image_fatal(const char* operation, const char* message)
{
    std::fprintf(stderr, "fatal: %s: %s\n", operation, message);
    std::abort();
}

int image_screen_dpix() { return 96; }
int image_screen_dpiy() { return 96; }

int MessageBoxA(HWND, const char* text, const char* caption, UINT)
{
    std::fprintf(stderr, "unexpected box %s: %s\n", caption, text);
    std::abort();
}
