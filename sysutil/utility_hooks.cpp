// The owner window and the four hooks of the library, with their do-nothing
// defaults.
#include "ostrel/sysutil.h"
#include "sysutil/hooks_internal.h"
#include "platform/win/window_surface.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

void trace_print_none(const char*, ...) {}
void spare_none() {}
void status_text_none(int, const char*) {}
int trace_enabled_none() { return 0; }

HWND g_owner = nullptr;
trace_print_fn g_trace_print = trace_print_none;
spare_hook_fn g_spare = spare_none;
status_text_fn g_status_text = status_text_none;
trace_enabled_fn g_trace_enabled = trace_enabled_none;

} // namespace

void set_owner_window(HWND owner)
{
    g_owner = owner;
}

HWND get_owner_window()
{
    return g_owner;
}

void set_utility_hooks(HWND owner, trace_print_fn trace_print, spare_hook_fn spare,
                       status_text_fn status_text, trace_enabled_fn trace_enabled)
{
    g_owner = owner;
    // A null hook is stored as "does nothing" so that callers never test it.
    g_trace_print = trace_print ? trace_print : trace_print_none;
    g_spare = spare ? spare : spare_none;
    if (status_text)
        g_status_text = status_text;
    if (trace_enabled)
        g_trace_enabled = trace_enabled;
}

void sysutil_trace(const char* format, ...)
{
    if (!format || !g_trace_enabled())
        return;
    // Whole lines, however long the paths in them: a cut trace line would name
    // another file.
    char line[SYSUTIL_MSGBOX_TEXT];
    va_list ap;
    va_start(ap, format);
    va_list again;
    va_copy(again, ap);
    const int n = std::vsnprintf(line, sizeof line, format, ap);
    va_end(ap);
    if (n >= static_cast<int>(sizeof line)) {
        std::vector<char> big(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), format, again);
        g_trace_print("%s", big.data());
    } else if (n >= 0) {
        g_trace_print("%s", line);
    }
    va_end(again);
}

void sysutil_status(const char* text)
{
    g_status_text(-1, text ? text : "");
}

QWidget* sysutil_owner_widget(HWND owner)
{
    HWND w = owner ? owner : g_owner;
    return w ? platform_window_widget(w) : nullptr;
}
