// Sending commands to a component: run (with a report buffer, traced and
// copied), the simple form without one, and the LZH form that counts lines.
// Command lines longer than their buffer are refused, never cut.
#include "sysutil/archive_internal.h"
#include "sysutil/hooks_internal.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Formats a command line; false when it would not fit.
bool format_line(char (&line)[ARCHIVE_COMMAND_MAX], const char* format, va_list ap)
{
    if (!format)
        return false;
    const int n = std::vsnprintf(line, sizeof line, format, ap);
    if (n < 0 || n >= static_cast<int>(sizeof line)) {
        sysutil_trace("command line of %d bytes refused (at most %d)\n", n, ARCHIVE_COMMAND_MAX - 1);
        return false;
    }
    return true;
}

// A command sent with a zero-filled report buffer of `size` bytes (60,000
// for 0 or less); the report stays terminated whatever the component wrote.
struct ReportedCommand {
    std::vector<char> report;
    bool done = false;

    ReportedCommand(Archiver& a, int size, const char* format, va_list ap)
        : report(size > 0 ? static_cast<std::size_t>(size) : std::size_t{ARCHIVE_REPORT_DEFAULT}, '\0')
    {
        char line[ARCHIVE_COMMAND_MAX];
        if (!format_line(line, format, ap))
            return;
        done = a.call(nullptr, line, report.data(), static_cast<DWORD>(report.size())) == 0;
        report.back() = '\0';
    }
    // Copies the report into the caller's buffer, cut to size - 1 bytes.
    void copy_to(char* output, int size) const
    {
        const std::size_t n = std::min(std::strlen(report.data()), static_cast<std::size_t>(size) - 1);
        std::memcpy(output, report.data(), n);
        output[n] = '\0';
    }
};

}  // namespace

int Archiver::call(HWND window, const char* line, char* report, DWORD size)
{
    if (!module_ || !command_)
        return -1;
    sysutil_status(prefix());
    const int answer = command_(window, line, report, size);
    sysutil_status("");
    return answer;
}

int Archiver::send(const char* format, ...)
{
    char line[ARCHIVE_COMMAND_MAX];
    va_list ap;
    va_start(ap, format);
    const bool ok = format_line(line, format, ap);
    va_end(ap);
    return ok && call(nullptr, line, nullptr, 0) == 0 ? 1 : 0;
}

int Archiver::run(char* output, int size, const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    const ReportedCommand command(*this, size, format, ap);
    va_end(ap);
    if (!command.done)
        return 0;
    sysutil_trace("%s", command.report.data());
    if (output && size > 0)
        command.copy_to(output, size);
    return 1;
}

int LzhArchiver::run(char* output, int size, const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    ReportedCommand command(*this, size, format, ap);
    va_end(ap);
    if (!command.done)
        return 0;
    if (output && size > 0) {
        command.copy_to(output, size);
        return 1;
    }
    // Blank lines folded into spaces, a leading line feed dropped; the answer
    // is the number of lines.
    char* text = command.report.data();
    const bool leading = text[0] == '\n';
    int lines = 0;
    for (char* p = text; *p; ++p) {
        if (*p != '\n')
            continue;
        if (p[1] == '\n')
            *p = ' ';
        else
            ++lines;
    }
    if (leading && text[0] == '\n')
        --lines;
    sysutil_trace("%s", leading ? text + 1 : text);
    return lines > 1 ? lines : 1;
}
