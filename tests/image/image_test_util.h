// Helpers of the image tests: bitmaps with known pixels, BMP files written
// independently of the runtime's writer, temporary directories.
#pragma once
#include "ostrel/bmap.h"
#include "tests/support/bmp_bytes.h"
#include "tests/support/scratch_dir.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;
using BmapPtr = std::unique_ptr<_bmap>;

// A 24-bit bitmap whose pixel (x, y) is f(x, y) as 0x00RRGGBB.
template <class F>
BmapPtr make_bmap(int w, int h, F f)
{
    BmapPtr bm(new _bmap(w, h, 24));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint32_t c = f(x, y);
            unsigned char* p = bm->bits + y * bm->stride + x * 3;
            p[0] = c & 0xFF;
            p[1] = (c >> 8) & 0xFF;
            p[2] = (c >> 16) & 0xFF;
        }
    return bm;
}

// Pixel (x, y) of a bitmap as 0x00RRGGBB.
std::uint32_t px(const _bmap* bm, int x, int y);
// Where a rotation by `angle` (90 counter-clockwise, -90, or a half turn) puts source
// pixel (x, y) of a w x h picture.
void rotated_place(int angle, int x, int y, int w, int h, int* col, int* row);
// True when both bitmaps have the same size and pixels (padding ignored).
bool same_pixels(const _bmap* a, const _bmap* b);

// BMP file bytes written by the tests themselves.
using bmp_bytes::rows24;
inline Bytes bmp_file(int w, int h, int bpp, std::uint32_t compression, const std::vector<std::uint32_t>& palette,
                      const Bytes& rows, int xppm = 2835, int yppm = 2835)
{
    return bmp_bytes::file(w, h, bpp, compression, palette, rows, xppm, yppm);
}

using TempDir = ScratchDir;
inline void write_file(const std::string& path, const Bytes& data) { put_file(path, data); }
inline Bytes read_file(const std::string& path)
{
    const std::string s = file_text(path);
    return Bytes(s.begin(), s.end());
}
// The width of the type icon a failed load falls back to.
int icon_w();
