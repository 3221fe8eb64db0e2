// run_command: a formatted command line started as a program with arguments,
// never through a shell.
#include "ostrel/shell.h"
#include "sysutil/shell_internal.h"

#include <cstdarg>
#include <cstdio>

int run_command(const char* format, ...)
{
    if (!format)
        return 0;
    char line[shell_detail::kCommandLineMax];
    va_list ap;
    va_start(ap, format);
    const int n = std::vsnprintf(line, sizeof line, format, ap);
    va_end(ap);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof line)
        return 0;   // a cut command line would run something else
    std::vector<std::string> words;
    if (!shell_detail::split_command_line(line, words))
        return 0;
    return shell_detail::start_program(words) ? 1 : 0;
}
