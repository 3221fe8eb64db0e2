// The -lh5- compressor: LZSS over an 8 KiB sliding dictionary (hash chains, lazy
// matching, matches of 3 to 256 bytes) followed by static Huffman coding of each
// block of up to 16384 symbols, in the bit layout LZH readers expect. Streams: the
// input is pulled in pieces and the output pushed in pieces, so a file of any size
// (below 4 GiB, the limit of the headers we write) needs a fixed amount of memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace ostrel::lzh {

// Fills up to `capacity` bytes; returns the count, 0 at the end, or -1 on a read error.
using ByteSource = std::function<long long(std::uint8_t* buffer, std::size_t capacity)>;
// Takes `size` bytes; returns false when they could not be written.
using ByteSink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

struct Lh5Result {
    std::uint64_t original = 0;  // bytes read from the source
    std::uint64_t packed = 0;    // bytes given to the sink
    std::uint16_t crc = 0;       // CRC-16 of the source bytes
};

// The largest input the 32-bit size fields of an entry can describe.
inline constexpr std::uint64_t kLh5MaxInput = 0xFFFF0000u;

// Compresses everything the source gives. False when the source or the sink fails
// or the input is larger than kLh5MaxInput; `result` then says how far it got.
bool lh5_encode(const ByteSource& source, const ByteSink& sink, Lh5Result& result);

// CRC-16 as LZH uses it (polynomial 0x8005 reflected, initial value 0), continued
// from `crc`.
std::uint16_t lzh_crc16(std::uint16_t crc, const void* data, std::size_t size);

}  // namespace ostrel::lzh
