// DOS dates and times (local time, two-second steps), as archive records and
// formats carry them.
#pragma once
#include <cstdint>
#include <ctime>

namespace component {

// Times before 1980 give 1980-01-01 00:00, after 2107 the last DOS day.
void to_dos_time(std::time_t t, std::uint16_t& date, std::uint16_t& time);
// -1 when the fields are not a valid date.
std::time_t from_dos_time(std::uint16_t date, std::uint16_t time);

}  // namespace component
