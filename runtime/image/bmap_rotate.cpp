// Rotation of a 24-bit bitmap by quarter and half turns. The quarter turns walk the
// picture in square tiles so that both the rows read and the rows written stay in
// cache, and move four source columns at a time: one 12-byte read per source row, four
// 4-byte writes into the four destination rows.
#include "runtime/image/bmap_pages.h"
#include "runtime/image/image_internal.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// 128 x 128 pixels: 48 KiB read and 48 KiB written per tile, within the second-level
// cache with room to spare; smaller tiles measured slower, larger ones no faster.
constexpr int kTile = 128;

inline void put3(unsigned char* d, std::uint32_t v)
{
    d[0] = static_cast<unsigned char>(v);
    d[1] = static_cast<unsigned char>(v >> 8);
    d[2] = static_cast<unsigned char>(v >> 16);
}

// Writes a pixel as 4 bytes; the fourth lands on the first byte of the next pixel of
// the row, which the walk writes afterwards.
inline void put4(unsigned char* d, std::uint32_t v)
{
    std::memcpy(d, &v, 4);
}

// Source columns tx..xe-1, rows ty..ye-1 of one tile.
// source (x, y) -> destination (y, W - 1 - x)       angle 90 (counter-clockwise)
// source (x, y) -> destination (H - 1 - y, x)       angle -90 (clockwise)
// Each destination row is written left to right, so the spare fourth byte of a write is
// always overwritten by the next one; the last pixel of each run is written as 3 bytes.
template <bool Ccw>
void quarter_tile(const _bmap* src, _bmap* dst, int tx, int xe, int ty, int ye)
{
    const int W = src->width, H = src->height;
    const std::ptrdiff_t ss = src->stride, ds = dst->stride;
    // counter-clockwise walks the source rows down, clockwise up
    const int first = Ccw ? ty : ye - 1;
    const std::ptrdiff_t sstep = Ccw ? ss : -ss;
    const int run = ye - ty;
    // destination row of source column x, and the step to the row of column x + 1
    auto drow = [&](int x) {
        return dst->bits + static_cast<std::ptrdiff_t>(Ccw ? W - 1 - x : x) * ds + (Ccw ? ty : H - ye) * 3;
    };
    const std::ptrdiff_t dnext = Ccw ? -ds : ds;
    // pixels x..x+3 of one source row: exactly their 12 bytes are read
    auto load4 = [](const unsigned char* s, std::uint32_t p[4]) {
        std::uint64_t a;
        std::uint32_t b;
        std::memcpy(&a, s, 8);
        std::memcpy(&b, s + 8, 4);
        p[0] = static_cast<std::uint32_t>(a);
        p[1] = static_cast<std::uint32_t>(a >> 24);
        p[2] = static_cast<std::uint32_t>(a >> 48) | (b << 16);
        p[3] = b >> 8;
    };
    // source rows in the outer loop, so that the reads run along each row; the writes
    // go to the tile's destination rows, which all stay in cache
    const int xg = tx + (xe - tx) / 4 * 4;
    for (int i = 0; i < run; ++i) {
        const unsigned char* s = src->bits + static_cast<std::ptrdiff_t>(first) * ss + i * sstep + tx * 3;
        const bool last = i + 1 == run;
        for (int x = tx; x < xg; x += 4, s += 12) {
            unsigned char* d = drow(x) + i * 3;
            std::uint32_t p[4];
            load4(s, p);
            if (!last) {
                put4(d, p[0]);
                put4(d + dnext, p[1]);
                put4(d + 2 * dnext, p[2]);
                put4(d + 3 * dnext, p[3]);
            } else {
                put3(d, p[0]);
                put3(d + dnext, p[1]);
                put3(d + 2 * dnext, p[2]);
                put3(d + 3 * dnext, p[3]);
            }
        }
    }
    int x = xg;
    for (; x < xe; ++x) {
        unsigned char* d = drow(x);
        const unsigned char* s = src->bits + static_cast<std::ptrdiff_t>(first) * ss + x * 3;
        for (int i = 0; i < run; ++i, d += 3, s += sstep) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

template <bool Ccw>
void quarter(const _bmap* src, _bmap* dst)
{
    const int W = src->width, H = src->height;
    for (int ty = 0; ty < H; ty += kTile)
        for (int tx = 0; tx < W; tx += kTile)
            quarter_tile<Ccw>(src, dst, tx, std::min(W, tx + kTile), ty, std::min(H, ty + kTile));
}

void half(const _bmap* src, _bmap* dst)
{
    const int W = src->width, H = src->height;
    for (int y = 0; y < H; ++y) {
        const unsigned char* s = src->bits + static_cast<std::ptrdiff_t>(y) * src->stride;
        unsigned char* d = dst->bits + static_cast<std::ptrdiff_t>(H - 1 - y) * dst->stride + (W - 1) * 3;
        for (int x = 0; x < W; ++x) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            s += 3;
            d -= 3;
        }
    }
}

} // namespace

_bmap* _bmap_rotate(const _bmap* bm, int angle)
{
    if (!image_bmap_valid(bm))
        return nullptr;
    const auto& h = bm->info.bmiHeader;
    if (angle == 90 || angle == -90) {
        _bmap* out = new _bmap(bm->height, bm->width, 24);
        out->set_ppm(h.biYPelsPerMeter, h.biXPelsPerMeter);
        out->update_info();
        image_prefer_huge_pages(out);
        if (angle == 90)
            quarter<true>(bm, out);
        else
            quarter<false>(bm, out);
        return out;
    }
    if (angle == 180 || angle == -180) {
        _bmap* out = new _bmap(bm->width, bm->height, 24);
        out->set_ppm(h.biXPelsPerMeter, h.biYPelsPerMeter);
        out->update_info();
        image_prefer_huge_pages(out);
        half(bm, out);
        return out;
    }
    return nullptr;
}
