// Level-2 LZH entry headers: the fixed part (method, sizes, Unix time, data CRC)
// and the extended headers that carry the name, the directory, the Unix mode,
// the Windows time stamps and the header's own CRC-16.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ostrel::lzh {

struct LzhEntry {
    std::string path;        // UTF-8, '/' between parts, no trailing '/'
    bool directory = false;  // written as -lhd- with no data
    std::string method = "-lh5-";
    std::uint32_t packed = 0;
    std::uint32_t original = 0;
    std::int64_t mtime_ns = 0;  // since 1970, UTC
    std::uint16_t crc = 0;
    std::uint16_t unix_mode = 0644;
};

// The header bytes, or an empty vector when the name does not fit in a header.
std::vector<std::uint8_t> lzh_level2_header(const LzhEntry& entry);

}  // namespace ostrel::lzh
