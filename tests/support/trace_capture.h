// The utility library's trace hook captured as one text, for the tests that
// check what it reports.
#pragma once
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace trace_capture {

inline std::string& traced()
{
    static std::string text;
    return text;
}
inline void capture_trace(const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    char* s = nullptr;
    if (vasprintf(&s, format, ap) >= 0)
        traced() += s;
    std::free(s);
    va_end(ap);
}
// The text cut after each line end (a trace line ends with one).
inline std::vector<std::string> traced_lines()
{
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < traced().size(); at = end + 1) {
        end = traced().find('\n', at);
        if (end == std::string::npos)
            end = traced().size() - 1;
        lines.push_back(traced().substr(at, end + 1 - at));
    }
    return lines;
}
inline int trace_on() { return 1; }
inline int trace_off() { return 0; }

} // namespace trace_capture
