// The formatted message boxes: the text is built into a 2,048-byte buffer and
// shown by MessageBoxA with the owner window as parent. Without the application
// object no box can be shown: the call answers 0 like a failed MessageBox (-1 from
// msgbox_yesno) instead of making one behind the program's back.
#include "ostrel/sysutil.h"
#include "sysutil/hooks_internal.h"
#include "sysutil/text_internal.h"
#include "platform/win/winuser.h"

#include <cstdarg>
#include <cstdio>

namespace {

int show(const char* caption, UINT type, const char* format, va_list ap)
{
    if (!sysutil_can_show_dialogs())
        return 0;
    char text[SYSUTIL_MSGBOX_TEXT];
    text[0] = '\0';
    if (format) {
        int r = std::vsnprintf(text, sizeof text, format, ap);
        if (r < 0)
            text[0] = '\0';
        else if (static_cast<std::size_t>(r) >= sizeof text)
            sysutil_detail::cut_incomplete_tail(text);
    }
    return MessageBoxA(get_owner_window(), text, caption ? caption : "", type);
}

} // namespace

int msgbox_info(const char* caption, const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    int r = show(caption, MB_OK | MB_ICONINFORMATION, format, ap);
    va_end(ap);
    return r;
}

int msgbox_yesno(const char* caption, const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    int r = show(caption, MB_YESNO | MB_ICONQUESTION, format, ap);
    va_end(ap);
    if (r == IDYES)
        return 1;
    if (r == IDNO)
        return 0;
    return -1;
}

int msgbox_yesnocancel(const char* caption, const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    int r = show(caption, MB_YESNOCANCEL | MB_ICONQUESTION, format, ap);
    va_end(ap);
    return r;
}
