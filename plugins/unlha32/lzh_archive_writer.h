// Writing LZH archives: members compressed with -lh5- (stored as -lh0- when that
// is not smaller), directories as -lhd-, level-2 headers, and adding to an
// existing archive, whose members are carried over unless a new one replaces them.
#pragma once

#include "plugins/unlha32/lh5_encoder.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ostrel::lzh {

struct LzhMemberSource {
    std::string name;  // UTF-8, '/' between parts
    bool directory = false;
    std::int64_t mtime_ns = 0;
    unsigned mode = 0644;
    // Opens the data from its start; may be asked twice (to store the member when
    // compression does not pay). An empty function: the data cannot be read again.
    std::function<ByteSource()> open;
};

// Writes `sources` into `archive` (created, or extended). The new archive is built
// beside it and renamed over it, so a failure leaves the old one untouched.
// `added` hears of each member written from `sources`.
bool lzh_update(const std::string& archive, const std::vector<LzhMemberSource>& sources,
                const std::function<void(const LzhMemberSource&)>& added, std::string& error);

}  // namespace ostrel::lzh
