// BMP files written byte by byte by the tests, independently of the runtime's
// writer: one home for the image and the decoder tests.
#pragma once
#include <cstdint>
#include <vector>

namespace bmp_bytes {

using Bytes = std::vector<unsigned char>;

inline void put16(Bytes& b, unsigned v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
inline void put32(Bytes& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A file with a 40-byte information header, the palette (0x00RRGGBB entries) and
// the rows as given (already packed and padded, bottom-up unless height is negative).
inline Bytes file(int w, int h, int bpp, std::uint32_t compression, const std::vector<std::uint32_t>& palette,
                  const Bytes& rows, int xppm = 2835, int yppm = 2835)
{
    Bytes b{'B', 'M'};
    const std::uint32_t off = 14 + 40 + 4 * palette.size();
    for (std::uint32_t v : {off + static_cast<std::uint32_t>(rows.size()), 0u, off, 40u, std::uint32_t(w),
                            std::uint32_t(h), 1u | std::uint32_t(bpp) << 16, compression,
                            static_cast<std::uint32_t>(rows.size()), std::uint32_t(xppm), std::uint32_t(yppm),
                            static_cast<std::uint32_t>(palette.size()), 0u})
        put32(b, v);
    for (std::uint32_t c : palette)
        put32(b, c);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

// Rows of a 24-bit picture given as 0x00RRGGBB values, top row first.
inline Bytes rows24(int w, int h, const std::vector<std::uint32_t>& pixels, bool bottomup = true)
{
    Bytes r;
    const int row = (w * 3 + 3) / 4 * 4;
    for (int i = 0; i < h; ++i) {
        const int y = bottomup ? h - 1 - i : i;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = pixels[static_cast<std::size_t>(y) * w + x];
            r.insert(r.end(), {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
                               static_cast<unsigned char>(c >> 16)});
        }
        r.resize(r.size() + static_cast<std::size_t>(row - w * 3), 0);
    }
    return r;
}

// Bottom-up rows of 8-bit indices given top row first, each row padded to 4 bytes
// with 0xEE (padding a reader must skip).
inline Bytes rows8(int w, int h, const std::vector<int>& idx)
{
    Bytes r;
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x)
            r.push_back(static_cast<unsigned char>(idx[static_cast<std::size_t>(y) * w + x]));
        r.resize(r.size() + static_cast<std::size_t>((w + 3) / 4 * 4 - w), 0xEE);
    }
    return r;
}

} // namespace bmp_bytes
