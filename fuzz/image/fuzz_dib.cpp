// Fuzz target: a packed DIB block through the checked conversions. The first byte
// chooses where the rows start (right after a 40-byte header and its table, or at a
// fuzzed offset).
#include "ostrel/bmap.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t offset = data[0] == 0 ? 40 + (data[1] & 1 ? 1024 : 0) : static_cast<std::size_t>(data[0]) * 4;
    const std::uint8_t* dib = data + 2;
    const std::size_t n = size - 2;
    delete _dib_to_bmap_n(dib, n, offset);
    delete _dib_decode(dib, n, offset);
    return 0;
}
