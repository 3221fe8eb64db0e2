// Conversion between Unix times and DOS date and time words.
#include "plugins/archive_common/dos_time.h"

namespace component {

void to_dos_time(std::time_t t, std::uint16_t& date, std::uint16_t& time)
{
    struct tm tm {};
    if (!localtime_r(&t, &tm) || tm.tm_year < 80) {
        date = (0 << 9) | (1 << 5) | 1;
        time = 0;
        return;
    }
    if (tm.tm_year > 207) {
        date = static_cast<std::uint16_t>((127 << 9) | (12 << 5) | 31);
        time = static_cast<std::uint16_t>((23 << 11) | (59 << 5) | 29);
        return;
    }
    date = static_cast<std::uint16_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
    time = static_cast<std::uint16_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
}

std::time_t from_dos_time(std::uint16_t date, std::uint16_t time)
{
    struct tm tm {};
    tm.tm_year = (date >> 9) + 80;
    tm.tm_mon = ((date >> 5) & 15) - 1;
    tm.tm_mday = date & 31;
    tm.tm_hour = time >> 11;
    tm.tm_min = (time >> 5) & 63;
    tm.tm_sec = (time & 31) * 2;
    tm.tm_isdst = -1;
    if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_hour > 23 || tm.tm_min > 59 ||
        tm.tm_sec > 59)
        return -1;
    return mktime(&tm);
}

}  // namespace component
