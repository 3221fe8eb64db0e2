// Binds the image area's seam to the console's fatal report and the page area's
// screen resolution.
#include "runtime/image/image_deps.h"

#include <cstdio>
#include <cstdlib>

#if __has_include("ostrel/console.h")
#include "ostrel/console.h"
#define IMAGE_HAVE_CONSOLE 1
#endif
#if __has_include("ostrel/pages.h")
#include "ostrel/pages.h"
#define IMAGE_HAVE_PAGES 1
#endif

void image_fatal(const char* operation, const char* message)
{
#ifdef IMAGE_HAVE_CONSOLE
    _fatalerror(operation, message);
#else
    std::fprintf(stderr, "OSTREL ERROR\nin %s\n    %s\n", operation, message);
    std::exit(0);
#endif
}

int image_screen_dpix()
{
#ifdef IMAGE_HAVE_PAGES
    return _dpix();
#else
    return 96;
#endif
}

int image_screen_dpiy()
{
#ifdef IMAGE_HAVE_PAGES
    return _dpiy();
#else
    return 96;
#endif
}
