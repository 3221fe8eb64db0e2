// Fuzz target: a whole BMP file in memory through the runtime's BMP reader.
#include "ostrel/bmap.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    _bmap* bm = _bmpfile_decode(data, size);
    if (bm) {
        // every row the object claims must be readable
        volatile unsigned sum = 0;
        for (int y = 0; y < bm->height; ++y)
            sum = sum + bm->bits[static_cast<std::size_t>(y) * bm->stride + bm->width * 3 - 1];
        delete bm;
    }
    return 0;
}
