/* data_format: a small scanner over printf conversions. */
#include "data_format.h"

#include <cstring>

namespace {

/* At most three digits: keeps one number's text within a few kilobytes. */
bool skip_number(const char*& p)
{
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        ++p;
        if (++digits > 3)
            return false;
    }
    return true;
}

} // namespace

bool is_safe_data_format(const char* format)
{
    if (!format)
        return false;
    int conversions = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        while (*p && std::strchr("-+ #0", *p))
            ++p;
        if (!skip_number(p))
            return false;
        if (*p == '.') {
            ++p;
            if (!skip_number(p))
                return false;
        }
        if (*p == 'l')
            ++p;
        if (!*p || !std::strchr("fFeEgGaA", *p))
            return false;
        ++conversions;
    }
    return conversions == 1;
}
