// Registers the console with the page area below it (runtime/pages/page_shell.h),
// when the library loads, so that page windows reach the console's windows, hooks
// and drop routing without the page area knowing the console.
#include "runtime/console/console_internal.h"
#include "runtime/pages/page_shell.h"

namespace {

[[maybe_unused]] const bool registered = [] {
    page_register_shell(page_shell{
        _consolewindow, _consoletext, _consolestatus, _instance,
        _callmsghook, _callhelphook, _routedrop, _layoutpagestatus,
    });
    return true;
}();

} // namespace
