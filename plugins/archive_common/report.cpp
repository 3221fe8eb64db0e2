// The component's report text and its copy into the caller's buffer.
#include "plugins/archive_common/report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace component {

void Report::line(const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    va_list again;
    va_copy(again, ap);
    char small[512];
    const int n = std::vsnprintf(small, sizeof small, format, ap);
    va_end(ap);
    if (n >= static_cast<int>(sizeof small)) {
        std::vector<char> big(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), format, again);
        text_.append(big.data(), static_cast<std::size_t>(n));
    } else if (n > 0) {
        text_.append(small, static_cast<std::size_t>(n));
    }
    va_end(again);
    text_ += '\n';
}

void Report::copy_to(char* output, std::uint32_t size) const
{
    if (!output || size == 0)
        return;
    const std::size_t n = text_.size() < size - 1 ? text_.size() : size - 1;
    std::memcpy(output, text_.data(), n);
    output[n] = '\0';
}

}  // namespace component
