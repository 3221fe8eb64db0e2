// Pixels of packed rows: at 1, 2, 4 and 8 bits per pixel a row of a bitmap (a
// DIB, an icon's mask, a plug-in's picture) holds palette indices with the
// leftmost pixel in the high bits of each byte. GDI and the image readers take
// indices out of such rows through this one rule.
#pragma once
#include <cstddef>

// The index of pixel x of a row at Bpp bits per pixel (1, 2, 4 or 8).
template <unsigned Bpp>
inline unsigned packed_index(const unsigned char* row, std::size_t x)
{
    static_assert(Bpp == 1 || Bpp == 2 || Bpp == 4 || Bpp == 8, "packed rows hold 1, 2, 4 or 8 bits a pixel");
    constexpr unsigned per = 8 / Bpp;
    return (row[x / per] >> ((per - 1 - x % per) * Bpp)) & ((1u << Bpp) - 1);
}

// The same for a depth known only at run time.
inline unsigned packed_index(const unsigned char* row, std::size_t x, unsigned bpp)
{
    switch (bpp) {
    case 1: return packed_index<1>(row, x);
    case 2: return packed_index<2>(row, x);
    case 4: return packed_index<4>(row, x);
    default: return packed_index<8>(row, x);
    }
}
