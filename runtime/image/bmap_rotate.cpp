// Rotation of a 24-bit bitmap by quarter and half turns. The quarter turns walk the
// picture in tiles so that both the rows read and the rows written stay in
// cache. Where the processor has SSSE3 (chosen at run time: the build targets baseline
// x86-64), blocks of 4 x 4 pixels are transposed in registers: four 12-byte rows in,
// four 12-byte rows out. Elsewhere four source columns move at a time: one 12-byte read
// per source row, four 4-byte writes into the four destination rows. The half turn
// reverses four pixels per shuffle where it can. Large pictures are split between
// threads (image_threads.h).
#include "runtime/image/bmap_rotate.h"
#include "runtime/image/image_internal.h"
#include "runtime/image/image_threads.h"
#include "runtime/image/pixel_store.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define OSTREL_ROTATE_SSSE3 1
#endif

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

#if OSTREL_ROTATE_SSSE3
#define OSTREL_SSSE3 __attribute__((target("ssse3")))

// Pixels x..x+3 of a source row in the low 12 bytes. The 16-byte load reads 4 bytes
// past them, which only the last row of the buffer may not have.
template <bool Wide>
OSTREL_SSSE3 inline __m128i load12(const unsigned char* s)
{
    if (Wide)
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    std::uint32_t t;
    std::memcpy(&t, s + 8, 4);
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s)),
                              _mm_cvtsi32_si128(static_cast<int>(t)));
}

// Four result pixels in the low 12 bytes. The wide store also writes 4 bytes past them,
// which must belong to pixels of the same row that are written afterwards.
template <bool Wide>
OSTREL_SSSE3 inline void store12(unsigned char* d, __m128i v)
{
    if (Wide) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
        return;
    }
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d), v);
    const std::uint32_t t = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
    std::memcpy(d + 8, &t, 4);
}

// One 4 x 4 block: pixel k of source row j (rows s, s + sstep, ...) becomes pixel j of
// destination row k (rows d, d + dnext, ...).
template <bool WideLoad, bool WideStore>
OSTREL_SSSE3 inline void block4(const unsigned char* s, std::ptrdiff_t sstep, unsigned char* d,
                                std::ptrdiff_t dnext)
{
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m128i a = _mm_shuffle_epi8(load12<WideLoad>(s), spread);
    const __m128i b = _mm_shuffle_epi8(load12<WideLoad>(s + sstep), spread);
    const __m128i c = _mm_shuffle_epi8(load12<WideLoad>(s + 2 * sstep), spread);
    const __m128i e = _mm_shuffle_epi8(load12<WideLoad>(s + 3 * sstep), spread);
    const __m128i ab01 = _mm_unpacklo_epi32(a, b), ab23 = _mm_unpackhi_epi32(a, b);
    const __m128i ce01 = _mm_unpacklo_epi32(c, e), ce23 = _mm_unpackhi_epi32(c, e);
    store12<WideStore>(d, _mm_shuffle_epi8(_mm_unpacklo_epi64(ab01, ce01), pack));
    store12<WideStore>(d + dnext, _mm_shuffle_epi8(_mm_unpackhi_epi64(ab01, ce01), pack));
    store12<WideStore>(d + 2 * dnext, _mm_shuffle_epi8(_mm_unpacklo_epi64(ab23, ce23), pack));
    store12<WideStore>(d + 3 * dnext, _mm_shuffle_epi8(_mm_unpackhi_epi64(ab23, ce23), pack));
}

// Four source rows from s (step sstep), columns x..xg-1 in blocks, into the destination
// rows from d (step dnext per column); wide loads up to column xw.
template <bool WideStore>
OSTREL_SSSE3 inline void block_row(const unsigned char* s, std::ptrdiff_t sstep, unsigned char* d,
                                   std::ptrdiff_t dnext, int x, int xw, int xg)
{
    for (; x < xw; x += 4, s += 12, d += 4 * dnext)
        block4<true, WideStore>(s, sstep, d, dnext);
    for (; x < xg; x += 4, s += 12, d += 4 * dnext)
        block4<false, WideStore>(s, sstep, d, dnext);
}

// Where the next tile reads: its first row (in walk order), the step between its rows,
// its number of rows and the bytes of each.
struct NextTile {
    const unsigned char* s = nullptr;
    std::ptrdiff_t step = 0;
    int rows = 0;
    int bytes = 0;
};

// The same tile as quarter_tile, in 4 x 4 blocks; rows and columns beyond the last whole
// block go pixel by pixel. The tiles of a strip must come in the order of their
// destination columns, left to right (see store12), so the wide stores' spare bytes
// are always overwritten.
template <bool Ccw>
OSTREL_SSSE3 void quarter_tile_ssse3(const _bmap* src, _bmap* dst, int tx, int xe, int ty, int ye,
                                     const NextTile& next)
{
    const int W = src->width, H = src->height;
    const std::ptrdiff_t ss = src->stride, ds = dst->stride;
    const int first = Ccw ? ty : ye - 1;
    const std::ptrdiff_t sstep = Ccw ? ss : -ss;
    const std::ptrdiff_t dnext = Ccw ? -ds : ds;
    const int col0 = Ccw ? ty : H - ye;  // destination column of the tile's first row
    auto drow = [&](int x) {
        return dst->bits + static_cast<std::ptrdiff_t>(Ccw ? W - 1 - x : x) * ds + col0 * 3;
    };
    const int run = ye - ty, rg = run / 4 * 4;
    const int xg = tx + (xe - tx) / 4 * 4;
    // first column whose 16-byte load would pass the end of the last row
    const int xwide = ss >= 16 ? static_cast<int>((ss - 16) / 3) + 1 : 0;
    for (int i = 0; i < rg; i += 4) {
        // the group holding the last row of the buffer loads its last blocks narrowly
        const int bottom = Ccw ? first + i + 3 : first - i;
        const int xw = bottom == H - 1 ? std::clamp(xwide, tx, xg) : xg;
        if (i + 4 <= next.rows)
            for (int j = 0; j < 4; ++j) {
                const unsigned char* p = next.s + (i + j) * next.step;
                for (int b = 0; b < next.bytes; b += 64)
                    _mm_prefetch(reinterpret_cast<const char*>(p + b), _MM_HINT_T0);
            }
        const unsigned char* s = src->bits + static_cast<std::ptrdiff_t>(first) * ss + i * sstep + tx * 3;
        unsigned char* d = drow(tx) + i * 3;
        // wide stores while two more pixels of the row follow
        if ((col0 + i + 6) <= H)
            block_row<true>(s, sstep, d, dnext, tx, xw, xg);
        else
            block_row<false>(s, sstep, d, dnext, tx, xw, xg);
    }
    for (int i = rg; i < run; ++i) {
        const unsigned char* s = src->bits + static_cast<std::ptrdiff_t>(first) * ss + i * sstep;
        for (int x = tx; x < xg; ++x)
            std::memcpy(drow(x) + i * 3, s + x * 3, 3);
    }
    for (int x = xg; x < xe; ++x) {
        unsigned char* d = drow(x);
        const unsigned char* s = src->bits + static_cast<std::ptrdiff_t>(first) * ss + x * 3;
        for (int i = 0; i < run; ++i, d += 3, s += sstep)
            std::memcpy(d, s, 3);
    }
}

// Tiles of the vector path: 256 source columns (destination rows) by 32 source rows,
// 24 KiB read and 24 KiB written, both within the first-level cache. Wide, short tiles
// measured faster than square ones (128 x 128 by about a tenth, 64 x 256 by half).
constexpr int kCols = 256, kRows = 32;

// Source columns x0..x1-1; x0 is a multiple of kCols.
template <bool Ccw>
OSTREL_SSSE3 void quarter_ssse3(const _bmap* src, _bmap* dst, int x0, int x1)
{
    const int H = src->height;
    const std::ptrdiff_t ss = src->stride;
    const int last = (H - 1) / kRows * kRows;
    // Source columns outer: each strip of columns fills a run of whole destination rows,
    // so the result's pages are first touched (and cleared by the kernel) one after the
    // other, just before they are written. Within a strip the tiles go left to right in
    // the destination: down the source for 90, up for -90.
    for (int tx = x0; tx < x1; tx += kCols) {
        const int xe = std::min(x1, tx + kCols);
        for (int k = 0; k <= last; k += kRows) {
            const int ty = Ccw ? k : last - k;
            const int ye = std::min(H, ty + kRows);
            NextTile next;  // the next tile of the strip, or the first of the next strip
            int nx = tx, nk = k + kRows;
            if (nk > last) {
                nx = xe;
                nk = 0;
            }
            if (nx < x1) {
                const int ny = Ccw ? nk : last - nk;
                const int nye = std::min(H, ny + kRows);
                next.s = src->bits + static_cast<std::ptrdiff_t>(Ccw ? ny : nye - 1) * ss + nx * 3;
                next.step = Ccw ? ss : -ss;
                next.rows = nye - ny;
                next.bytes = std::min(x1 - nx, kCols) * 3;
            }
            quarter_tile_ssse3<Ccw>(src, dst, tx, xe, ty, ye, next);
        }
    }
}

bool have_ssse3()
{
    static const bool yes = __builtin_cpu_supports("ssse3");
    return yes;
}
#else
bool have_ssse3()
{
    return false;
}
#endif

// Source columns x0..x1-1 (x0 a multiple of kCols) by the chosen inner loop.
template <bool Ccw>
void quarter_part(const _bmap* src, _bmap* dst, bool vectors, int x0, int x1)
{
#if OSTREL_ROTATE_SSSE3
    if (vectors && have_ssse3()) {
        quarter_ssse3<Ccw>(src, dst, x0, x1);
        return;
    }
#endif
    (void)vectors;
    const int H = src->height;
    static_assert(kCols % kTile == 0, "parts must start on a tile of the portable path");
    for (int ty = 0; ty < H; ty += kTile)
        for (int tx = x0; tx < x1; tx += kTile)
            quarter_tile<Ccw>(src, dst, tx, std::min(x1, tx + kTile), ty, std::min(H, ty + kTile));
}

// Each thread takes a run of whole strips: its own destination rows, so no two threads
// write the same bytes (a wide store's spill stays within its row, see store12).
template <bool Ccw>
void quarter(const _bmap* src, _bmap* dst, bool vectors, int threads)
{
    const int W = src->width;
    const int strips = (W + kCols - 1) / kCols;
    const int parts = std::clamp(threads > 0 ? threads : image_threads_for(dst->size), 1, strips);
    image_run_parts(parts, [&](int k) {
        const int x0 = strips * k / parts * kCols;
        const int x1 = std::min(W, strips * (k + 1) / parts * kCols);
        quarter_part<Ccw>(src, dst, vectors, x0, x1);
    });
}

// One row turned end for end, pixel by pixel: destination pixel j is source pixel
// W - 1 - j.
void half_row(const unsigned char* s, unsigned char* d, int W)
{
    for (int j = 0; j < W; ++j)
        std::memcpy(d + j * 3, s + (W - 1 - j) * 3, 3);
}

#if OSTREL_ROTATE_SSSE3
// The same, four pixels per shuffle, destination left to right so that a 16-byte
// store's spare 4 bytes land on pixels written next (the last two pixels go one by
// one). The 16-byte load reads 4 bytes past the group; `room` is how many bytes may be
// read from the row's start (less than that only in the last row of the buffer).
OSTREL_SSSE3 void half_row_ssse3(const unsigned char* s, unsigned char* d, int W, std::ptrdiff_t room)
{
    const __m128i reverse = _mm_setr_epi8(9, 10, 11, 6, 7, 8, 3, 4, 5, 0, 1, 2, -1, -1, -1, -1);
    int j = 0;
    for (; j + 6 <= W; j += 4) {
        const unsigned char* group = s + (W - 4 - j) * 3;   // source pixels of j + 3 .. j
        if (group - s + 16 > room) {
            half_row(group, d + j * 3, 4);
            continue;
        }
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(group));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + j * 3), _mm_shuffle_epi8(v, reverse));
    }
    for (; j < W; ++j)
        std::memcpy(d + j * 3, s + (W - 1 - j) * 3, 3);
}
#endif

// Source rows y0..y1-1; each thread takes a run of rows.
void half_part(const _bmap* src, _bmap* dst, bool vectors, int y0, int y1)
{
    const int W = src->width, H = src->height;
    for (int y = y0; y < y1; ++y) {
        const unsigned char* s = src->bits + static_cast<std::ptrdiff_t>(y) * src->stride;
        unsigned char* d = dst->bits + static_cast<std::ptrdiff_t>(H - 1 - y) * dst->stride;
#if OSTREL_ROTATE_SSSE3
        if (vectors && have_ssse3()) {
            // rows below the last have the whole next row after them
            const std::ptrdiff_t room = y + 1 < H ? 2 * src->stride : src->stride;
            half_row_ssse3(s, d, W, room);
            continue;
        }
#endif
        (void)vectors;
        half_row(s, d, W);
    }
}

void half(const _bmap* src, _bmap* dst, bool vectors, int threads)
{
    image_run_rows(src->height, threads > 0 ? threads : image_threads_for(dst->size),
                   [&](int y0, int y1) { half_part(src, dst, vectors, y0, y1); });
}

} // namespace

bool image_rotate_has_vectors()
{
    return have_ssse3();
}

_bmap* _bmap_rotate(const _bmap* bm, int angle)
{
    return image_rotate_with(bm, angle, true, 0);
}

_bmap* image_rotate_with(const _bmap* bm, int angle, bool vectors, int threads)
{
    if (!image_bmap_valid(bm))
        return nullptr;
    const auto& h = bm->info.bmiHeader;
    if (angle == 90 || angle == -90) {
        _bmap* out = image_new_result(bm->height, bm->width);
        if (!out->bits)
            return out;
        out->set_ppm(h.biYPelsPerMeter, h.biXPelsPerMeter);
        out->update_info();
        if (angle == 90)
            quarter<true>(bm, out, vectors, threads);
        else
            quarter<false>(bm, out, vectors, threads);
        return out;
    }
    if (angle == 180 || angle == -180) {
        _bmap* out = image_new_result(bm->width, bm->height);
        if (!out->bits)
            return out;
        out->set_ppm(h.biXPelsPerMeter, h.biYPelsPerMeter);
        out->update_info();
        half(bm, out, vectors, threads);
        return out;
    }
    return nullptr;
}
