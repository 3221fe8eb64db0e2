// Binds the image area's seam to the console's fatal report and the page area's
// screen resolution (public functions), and holds what the page area registers.
#include "runtime/image/image_deps.h"

#include "ostrel/console.h"
#include "ostrel/pages.h"

#include "platform/win/winuser.h"

namespace {
std::uint32_t (*page_background_source)() = nullptr;
}

// Without a GUI application (fuzzers, command-line tools reading files) there is no
// screen to ask: the common 96 dpi stands in.
static bool have_screen()
{
    return GetSystemMetrics(SM_CMONITORS) > 0;
}

void image_fatal(const char* operation, const char* message)
{
    _fatalerror(operation, message);
}

int image_screen_dpix()
{
    int d = have_screen() ? _dpix() : 96;
    return d > 0 ? d : 96;
}

int image_screen_dpiy()
{
    int d = have_screen() ? _dpiy() : 96;
    return d > 0 ? d : 96;
}

void image_register_page_background(std::uint32_t (*background)())
{
    page_background_source = background;
}

std::uint32_t image_page_background()
{
    return page_background_source ? page_background_source() : 0xFFFFFF;
}
