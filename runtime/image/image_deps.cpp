// Binds the image area's seam to the console's fatal report and the page area's
// screen resolution.
#include "runtime/image/image_deps.h"

#include "ostrel/console.h"
#include "ostrel/pages.h"

void image_fatal(const char* operation, const char* message)
{
    _fatalerror(operation, message);
}

int image_screen_dpix()
{
    int d = _dpix();
    return d > 0 ? d : 96;
}

int image_screen_dpiy()
{
    int d = _dpiy();
    return d > 0 ? d : 96;
}
