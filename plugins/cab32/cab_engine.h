// Cabinet files over libgcab: listing, writing (MSZIP, one folder) and extracting.
// Names inside are UTF-8 with '/' between parts here; the cabinet keeps '\'.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ostrel::cab {

struct CabMember {
    std::string name;
    std::uint32_t size = 0;
    std::int64_t mtime = 0;  // seconds since 1970; the cabinet holds local DOS time
    std::uint32_t attributes = 0;
};

struct CabSource {
    std::string disk_path;  // the file to read
    std::string name;       // its name in the cabinet
    std::int64_t mtime = 0;
};

// Every member in cabinet order. False with `error` set when the file is not a
// readable cabinet.
bool cab_list(const std::string& archive, std::vector<CabMember>& members, std::string& error);

// Writes `sources` into `archive`, keeping the members of an existing cabinet that
// no source replaces. The cabinet is built beside the target and renamed over it,
// so a failure leaves the old one as it was.
bool cab_write(const std::string& archive, const std::vector<CabSource>& sources, std::string& error);

// Extracts into `directory` the members for which `target` gives a relative path
// (empty: skip); `done` hears of each one written. Write times are set from the
// cabinet.
bool cab_extract(const std::string& archive, const std::string& directory,
                 const std::function<std::string(const CabMember&)>& target,
                 const std::function<void(const CabMember&, const std::string&)>& done, std::string& error);

}  // namespace ostrel::cab
