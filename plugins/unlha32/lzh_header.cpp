// Builds level-2 headers. Level 2 because it is the only level whose names and
// times have no 8.3 or DOS-time limits and whose whole header is covered by a CRC.
#include "plugins/unlha32/lzh_header.h"

#include "plugins/unlha32/lh5_encoder.h"

#include <algorithm>

namespace ostrel::lzh {
namespace {

constexpr std::size_t kFixedSize = 26;  // fixed fields and the size of the first extended header
constexpr std::uint8_t kExtCrc = 0x00;
constexpr std::uint8_t kExtName = 0x01;
constexpr std::uint8_t kExtDirectory = 0x02;
constexpr std::uint8_t kExtDosAttributes = 0x40;
constexpr std::uint8_t kExtWindowsTimes = 0x41;
constexpr std::uint8_t kExtUnixMode = 0x50;
constexpr std::uint8_t kDirectorySeparator = 0xFF;
// 100 ns ticks between 1601 and 1970.
constexpr std::int64_t kFiletimeEpoch = 116444736000000000LL;

void put16(std::vector<std::uint8_t>& out, std::size_t at, unsigned v)
{
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void append_le(std::vector<std::uint8_t>& out, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// One extended header: type, data, then the size field of the next one (filled later).
void append_ext(std::vector<std::uint8_t>& out, std::uint8_t type, const std::vector<std::uint8_t>& data)
{
    const std::size_t size_at = out.size() - 2;  // the size field before this header
    put16(out, size_at, static_cast<unsigned>(1 + data.size() + 2));
    out.push_back(type);
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(0);
    out.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> lzh_level2_header(const LzhEntry& e)
{
    std::string dir, name = e.path;
    if (e.directory) {
        dir = e.path + "/";
        name.clear();
    } else if (auto slash = e.path.rfind('/'); slash != std::string::npos) {
        dir = e.path.substr(0, slash + 1);
        name = e.path.substr(slash + 1);
    }
    if (e.path.size() > 60000)
        return {};

    std::vector<std::uint8_t> h(kFixedSize, 0);
    const std::string method = e.directory ? "-lhd-" : e.method;
    for (int i = 0; i < 5; ++i)
        h[2 + i] = static_cast<std::uint8_t>(method[i]);
    for (int i = 0; i < 4; ++i) {
        h[7 + i] = static_cast<std::uint8_t>(e.packed >> (8 * i));
        h[11 + i] = static_cast<std::uint8_t>(e.original >> (8 * i));
    }
    const std::int64_t seconds = e.mtime_ns >= 0 ? e.mtime_ns / 1000000000 : -((-e.mtime_ns + 999999999) / 1000000000);
    const auto unix_time = static_cast<std::uint32_t>(std::clamp<std::int64_t>(seconds, 0, 0xFFFFFFFFLL));
    for (int i = 0; i < 4; ++i)
        h[15 + i] = static_cast<std::uint8_t>(unix_time >> (8 * i));
    // Readers recognise level-1 and level-2 headers by this byte being 0x20; the
    // real attribute (directory or not) goes into its extended header.
    h[19] = 0x20;
    h[20] = 2;                          // header level
    put16(h, 21, e.crc);
    h[23] = 'U';  // made on Unix: names are UTF-8

    append_ext(h, kExtCrc, {0, 0});  // the header CRC, filled in last
    const std::size_t crc_at = h.size() - 2 - 2;
    if (!name.empty())
        append_ext(h, kExtName, std::vector<std::uint8_t>(name.begin(), name.end()));
    if (!dir.empty()) {
        std::vector<std::uint8_t> d(dir.begin(), dir.end());
        for (auto& c : d)
            if (c == '/')
                c = kDirectorySeparator;
        append_ext(h, kExtDirectory, d);
    }
    append_ext(h, kExtDosAttributes, {static_cast<std::uint8_t>(e.directory ? 0x10 : 0x20), 0});
    const std::uint64_t ticks = static_cast<std::uint64_t>(e.mtime_ns / 100 + kFiletimeEpoch);
    std::vector<std::uint8_t> times;
    for (int k = 0; k < 3; ++k)
        append_le(times, ticks, 8);  // creation, last write, last access
    append_ext(h, kExtWindowsTimes, times);
    const unsigned mode = (e.directory ? 0040000u : 0100000u) | (e.unix_mode & 07777u);
    append_ext(h, kExtUnixMode, {static_cast<std::uint8_t>(mode), static_cast<std::uint8_t>(mode >> 8)});

    // A header starting with a zero byte reads as the end of the archive: pad one byte.
    if ((h.size() & 0xFF) == 0)
        h.push_back(0);
    if (h.size() > 0xFFFF)
        return {};
    put16(h, 0, static_cast<unsigned>(h.size()));
    put16(h, crc_at, lzh_crc16(0, h.data(), h.size()));
    return h;
}

}  // namespace ostrel::lzh
