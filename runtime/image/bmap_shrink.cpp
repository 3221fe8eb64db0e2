// Reductions of a 24-bit bitmap with an optional quarter turn: the method choice,
// the size rule and the box, area and bilinear methods. Positions and weights are
// computed once per output column and row; the pixel loops only add. Every fast path
// here gives exactly the bytes of the plain per-pixel reading (checked by the tests).
#include "runtime/image/image_internal.h"
#include "runtime/image/image_threads.h"
#include "runtime/image/pixel_store.h"

#include <algorithm>
#include <cmath>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

int _shrink_size(int w, int h, double s, int* outw, int* outh)
{
    if (!(s > 0.0) || !std::isfinite(s) || w < 1 || h < 1)
        return 0;
    double dw = std::trunc(w * s), dh = std::trunc(h * s);
    if (dw > INT_MAX || dh > INT_MAX)
        return 0;
    int W = static_cast<int>(dw), H = static_cast<int>(dh);
    float kf = static_cast<float>(1.0 / s);
    if (std::trunc(static_cast<float>(W) * kf) > static_cast<float>(w - 1))
        --W;
    if (std::trunc(static_cast<float>(H) * kf) > static_cast<float>(h - 1))
        --H;
    if (W < 1 || H < 1)
        return 0;
    if (outw)
        *outw = W;
    if (outh)
        *outh = H;
    return 1;
}

static bool turn_known(int turn)
{
    return turn >= -2 && turn <= 2;
}

// The result bitmap for an unrotated W x H reduction.
static _bmap* new_result(int W, int H, int turn)
{
    bool odd = turn == 1 || turn == -1;
    return image_new_result(odd ? H : W, odd ? W : H);
}

// Unknown turns place no pixels; the rows are cleared rather than left as they
// came from the allocator.
static _bmap* blank(_bmap* out)
{
    std::memset(out->bits, 0, static_cast<std::size_t>(out->size));
    return out;
}

// Byte step in the result between unrotated columns x and x + 1.
static std::ptrdiff_t turn_step(int turn, int stride)
{
    switch (turn) {
    case 1: return -static_cast<std::ptrdiff_t>(stride);
    case -1: return stride;
    case 2:
    case -2: return -3;
    default: return 3;
    }
}

// Four lanes, the three colours of a pixel and one unused: each lane does exactly the
// single-precision operations the scalar code would, in the same order.
typedef float v4f __attribute__((vector_size(16)));
typedef std::int32_t v4i __attribute__((vector_size(16)));

static inline v4f load4f(const float* p)
{
    v4f v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// trunc(v) clamped to 0..255 for the three colours, as the low three bytes. The totals
// are never negative (all weights are), so the lower clamp is truncation's own, and
// the saturating packs do the upper one.
static inline std::uint32_t pack_bytes(v4f v)
{
#if defined(__SSE2__)
    __m128i i = _mm_cvttps_epi32(static_cast<__m128>(v));
    i = _mm_packs_epi32(i, i);
    i = _mm_packus_epi16(i, i);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(i));
#else
    const v4i i = __builtin_convertvector(v, v4i);
    std::uint32_t r = 0;
    for (int c = 0; c < 3; ++c)
        r |= static_cast<std::uint32_t>(i[c] > 255 ? 255 : i[c]) << (8 * c);
    return r;
#endif
}

// Eight 16-bit lanes, for the bilinear blend across a row (two pixels and spare lanes).
typedef std::uint16_t v8h __attribute__((vector_size(16)));
typedef unsigned char v8b __attribute__((vector_size(8)));

// Interior row counts up to this go through one fused pass per strip.
constexpr int kFusedRows = 6;

// col[i] = whole rows summed as integers + top weighted + bottom weighted, for the
// first n bytes of the rows; R interior rows known at compile time, so the loop is one
// straight vector pass.
template <int R>
static void column_sums_of(const unsigned char* const* rows, const unsigned char* top, const unsigned char* bot,
                           float wt, float wb, float* col, int n)
{
    const unsigned char* r[R > 0 ? R : 1];
    for (int k = 0; k < R; ++k)
        r[k] = rows[k];
    for (int i = 0; i < n; ++i) {
        std::int32_t whole = 0;
        for (int k = 0; k < R; ++k)
            whole += r[k][i];
        col[i] = static_cast<float>(whole) + wt * static_cast<float>(top[i]) + wb * static_cast<float>(bot[i]);
    }
}

static void column_sums(int inner, const unsigned char* const* rows, const unsigned char* top,
                        const unsigned char* bot, float wt, float wb, float* col, int n)
{
    switch (inner) {
    case 0: column_sums_of<0>(rows, top, bot, wt, wb, col, n); break;
    case 1: column_sums_of<1>(rows, top, bot, wt, wb, col, n); break;
    case 2: column_sums_of<2>(rows, top, bot, wt, wb, col, n); break;
    case 3: column_sums_of<3>(rows, top, bot, wt, wb, col, n); break;
    case 4: column_sums_of<4>(rows, top, bot, wt, wb, col, n); break;
    default: column_sums_of<5>(rows, top, bot, wt, wb, col, n); break;
    }
}

_bmap* _bmap_shrink(const _bmap* bm, double scale, double tolerance, int turn)
{
    if (!image_bmap_valid(bm) || !(scale > 0.0) || !std::isfinite(scale))
        return nullptr;
    double k = 1.0 / scale;
    if (!(k < INT_MAX))
        return nullptr;
    float kf = static_cast<float>(k);
    int n = static_cast<int>(k) + 1;
    float e = 1.0f - kf / static_cast<float>(n);
    if (e < tolerance)
        return _bmap_shrink_box(bm, static_cast<int>(kf) + 1, turn);
    return _bmap_shrink_area(bm, scale, turn);
}

// Result rows ya..yb-1 of a box reduction to W x H. Rows of a block are first added
// column by column (a loop the vectoriser turns into wide adds), then each block's n
// columns are summed. The sums are divided by multiplying with a 64-bit reciprocal,
// which gives the exact quotient for every 32-bit sum (Lemire, Kaser and Kurz), without
// a division per colour. Every value the loops use is a parameter or a local here:
// the byte stores could otherwise alias them and force reloads.
static void box_rows(const _bmap* bm, _bmap* out, int W, int H, int n, int turn, int ya, int yb)
{
    const int cols = W * n * 3;
    std::vector<std::uint32_t> acc(static_cast<std::size_t>(cols));
    const std::uint32_t div = static_cast<std::uint32_t>(n) * static_cast<std::uint32_t>(n);
    const std::uint64_t recip = div > 1 ? UINT64_MAX / div + 1 : 0;
    auto quotient = [div, recip](std::uint32_t v) {
        return div > 1 ? static_cast<std::uint32_t>((static_cast<unsigned __int128>(recip) * v) >> 64) : v;
    };
    const std::ptrdiff_t step = turn_step(turn, out->stride);
    for (int y = ya; y < yb; ++y) {
        std::fill(acc.begin(), acc.end(), 0u);
        for (int r = 0; r < n; ++r) {
            const unsigned char* src = bm->bits + static_cast<std::ptrdiff_t>(y * n + r) * bm->stride;
            std::uint32_t* a = acc.data();
            for (int i = 0; i < cols; ++i)
                a[i] += src[i];
        }
        const std::uint32_t* a = acc.data();
        unsigned char* d = out->bits + image_turn_offset(turn, 0, y, W, H, out->stride);
        for (int x = 0; x < W; ++x, d += step) {
            std::uint32_t b = 0, g = 0, rr = 0;
            for (int i = 0; i < n; ++i, a += 3) {
                b += a[0];
                g += a[1];
                rr += a[2];
            }
            d[0] = static_cast<unsigned char>(quotient(b));
            d[1] = static_cast<unsigned char>(quotient(g));
            d[2] = static_cast<unsigned char>(quotient(rr));
        }
    }
}

_bmap* _bmap_shrink_box(const _bmap* bm, int n, int turn)
{
    if (n < 1 || !image_bmap_valid(bm))
        return nullptr;
    int W, H;
    if (!_shrink_size(bm->width, bm->height, 1.0 / n, &W, &H))
        return nullptr;
    _bmap* out = new_result(W, H, turn);
    if (!turn_known(turn))
        return blank(out);
    // result rows are independent: runs of them go to threads of their own
    image_run_rows(H, image_threads_for(bm->size), [&](int ya, int yb) { box_rows(bm, out, W, H, n, turn, ya, yb); });
    return out;
}

// The fixed positions and weights of an area or bilinear reduction to W x H.
struct ShrinkPlan {
    const int* pos;
    const float* frac;          // area: fraction of each position
    const std::uint32_t* wgt;   // bilinear: weight of each position
    float kf;
    int W, H, turn;
};

// Result rows ya..yb-1 of an area reduction. As in box_rows, everything the loops use
// is a parameter or a local.
static void area_rows(const _bmap* bm, _bmap* out, ShrinkPlan plan, int ya, int yb)
{
    const int* const pos = plan.pos;
    const float* const frac = plan.frac;
    const float kf = plan.kf;
    const float norm = 1.0f / (kf * kf);
    const int W = plan.W, H = plan.H, turn = plan.turn;
    // Per output row and per strip of output columns (so that the sums stay in the
    // first-level cache), the footprint rows are first summed down each source column
    // (whole rows as integers, the two edge rows weighted), then across the footprint
    // columns, three colours at once. The order of the single-precision operations is
    // part of the result (another order can round a byte differently): it is the same
    // in every path below.
    constexpr int kStrip = 256;
    const int maxcols = pos[std::min(W, kStrip)] + 1 + static_cast<int>(kf) + 2;
    std::vector<std::uint32_t> whole(static_cast<std::size_t>(maxcols) * 3);
    // one spare entry: the last column is read as four floats
    std::vector<float> col(static_cast<std::size_t>(maxcols) * 3 + 1, 0.0f);
    const unsigned char* rows[kFusedRows];
    for (int y = ya; y < yb; ++y) {
        const int y0 = pos[y], y1 = pos[y + 1];
        const float wt = 1.0f - frac[y], wb = frac[y + 1];
        const int inner = y1 - y0 - 1;
        unsigned char* const line = out->bits + image_turn_offset(turn, 0, y, W, H, out->stride);
        const std::ptrdiff_t step = turn_step(turn, out->stride);
        for (int xs = 0; xs < W; xs += kStrip) {
            const int xe = std::min(W, xs + kStrip);
            const int c0 = pos[xs], n = (pos[xe] - c0 + 1) * 3;
            const unsigned char* top = bm->bits + static_cast<std::ptrdiff_t>(y0) * bm->stride + c0 * 3;
            const unsigned char* bot = bm->bits + static_cast<std::ptrdiff_t>(y1) * bm->stride + c0 * 3;
            if (inner < kFusedRows) {
                for (int r = 0; r < inner; ++r)
                    rows[r] = top + static_cast<std::ptrdiff_t>(r + 1) * bm->stride;
                column_sums(inner, rows, top, bot, wt, wb, col.data(), n);
            } else {
                std::fill(whole.begin(), whole.begin() + n, 0u);
                for (int r = y0 + 1; r < y1; ++r) {
                    const unsigned char* src = bm->bits + static_cast<std::ptrdiff_t>(r) * bm->stride + c0 * 3;
                    std::uint32_t* a = whole.data();
                    for (int i = 0; i < n; ++i)
                        a[i] += src[i];
                }
                for (int i = 0; i < n; ++i)
                    col[i] = static_cast<float>(whole[i]) + wt * top[i] + wb * bot[i];
            }
            for (int x = xs; x < xe; ++x) {
                const float* c = col.data() + (pos[x] - c0) * 3;
                const int span = pos[x + 1] - pos[x];
                v4f t = load4f(c) * (1.0f - frac[x]) + load4f(c + span * 3) * frac[x + 1];
                for (int i = 1; i < span; ++i)
                    t += load4f(c + i * 3);
                const std::uint32_t px = pack_bytes(t * norm);
                unsigned char* d = line + x * step;
                if (step == 3 && x + 1 < W) {
                    // the spare fourth byte lands on the next pixel, written next
                    std::memcpy(d, &px, 4);
                } else {
                    d[0] = static_cast<unsigned char>(px);
                    d[1] = static_cast<unsigned char>(px >> 8);
                    d[2] = static_cast<unsigned char>(px >> 16);
                }
            }
        }
    }
}

_bmap* _bmap_shrink_area(const _bmap* bm, double s, int turn)
{
    if (!image_bmap_valid(bm) || !(s > 0.0) || !std::isfinite(s) || s > 1.0)
        return nullptr;
    if (s > 0.5)
        return _bmap_shrink_bilinear(bm, s, turn);
    int W, H;
    if (!_shrink_size(bm->width, bm->height, s, &W, &H))
        return nullptr;
    const float kf = static_cast<float>(1.0 / s);
    const int m = std::max(W, H);
    std::vector<int> pos(static_cast<std::size_t>(m) + 1);
    std::vector<float> frac(static_cast<std::size_t>(m) + 1);
    for (int i = 0; i <= m; ++i) {
        float p = static_cast<float>(i) * kf;
        pos[i] = static_cast<int>(p);
        frac[i] = p - static_cast<float>(pos[i]);
    }
    _bmap* out = new_result(W, H, turn);
    if (!turn_known(turn))
        return blank(out);
    image_run_rows(H, image_threads_for(bm->size), [&](int ya, int yb) {
        area_rows(bm, out, ShrinkPlan{pos.data(), frac.data(), nullptr, kf, W, H, turn}, ya, yb);
    });
    return out;
}

// Result rows ya..yb-1 of a bilinear reduction; parameters and locals only, as above.
static void bilinear_rows(const _bmap* bm, _bmap* out, ShrinkPlan plan, int ya, int yb)
{
    const int* const pos = plan.pos;
    const std::uint32_t* const wgt = plan.wgt;
    const int W = plan.W, H = plan.H, turn = plan.turn;
    // The blend is taken in two passes, which is the same sum regrouped:
    //   wy (wx p00 + (256 - wx) p10) + (256 - wy) (wx p01 + (256 - wx) p11)
    // Every term is a non-negative integer and the total stays below 2^24 (weights at
    // most 256, bytes at most 255), so the regrouping changes no bit. Across each source
    // row first (at most 256 x 255, kept as 16 bits, and a row shared by two result
    // rows is blended once), then down, a straight loop over the row.
    const int n = W * 3;
    // one spare entry per row: a pixel's three sums are stored as four
    std::vector<std::uint16_t> across[2] = {std::vector<std::uint16_t>(static_cast<std::size_t>(n) + 1),
                                            std::vector<std::uint16_t>(static_cast<std::size_t>(n) + 1)};
    // columns whose two source pixels can be read as two 8-byte loads (up to
    // pos * 3 + 10) without passing the end of the row
    int xwide = 0;
    while (xwide < W && pos[xwide] * 3 + 11 <= bm->width * 3)
        ++xwide;
    int held[2] = {-1, -1};
    std::vector<unsigned char> bytes(static_cast<std::size_t>(n));
    auto blend_across = [&](int row, std::uint16_t* h) {
        const unsigned char* r = bm->bits + static_cast<std::ptrdiff_t>(row) * bm->stride;
        int x = 0;
        for (; x < xwide; ++x, h += 3) {
            // lanes 0..2 the left pixel, then the right one; 16-bit lanes hold every
            // sum (at most 256 x 255)
            v8b b, c;
            std::memcpy(&b, r + pos[x] * 3, sizeof b);
            std::memcpy(&c, r + pos[x] * 3 + 3, sizeof c);
            const v8h left = __builtin_convertvector(b, v8h), right = __builtin_convertvector(c, v8h);
            const std::uint16_t wx = static_cast<std::uint16_t>(wgt[x]);
            const v8h sum = left * wx + right * static_cast<std::uint16_t>(256 - wx);
            // four lanes stored: the fourth is the next pixel's first, written next
            std::memcpy(h, &sum, 8);
        }
        for (; x < W; ++x, h += 3) {
            const std::uint32_t wx = wgt[x], wr = 256 - wx;
            const unsigned char* p = r + pos[x] * 3;
            for (int c = 0; c < 3; ++c)
                h[c] = static_cast<std::uint16_t>(wx * p[c] + wr * p[3 + c]);
        }
    };
    // the slot holding source row `row`, blending it into the other slot when needed
    auto row_across = [&](int row, int keep) -> const std::uint16_t* {
        for (int k = 0; k < 2; ++k)
            if (held[k] == row)
                return across[k].data();
        const int k = held[0] == keep ? 1 : 0;
        blend_across(row, across[k].data());
        held[k] = row;
        return across[k].data();
    };
    const std::ptrdiff_t step = turn_step(turn, out->stride);
    for (int y = ya; y < yb; ++y) {
        // weights at most 256: 16 bits each, so the products are 16 x 16 -> 32-bit
        const std::uint16_t wy = static_cast<std::uint16_t>(wgt[y]), wb = static_cast<std::uint16_t>(256 - wy);
        const std::uint16_t* h0 = row_across(pos[y], pos[y] + 1);
        const std::uint16_t* h1 = row_across(pos[y] + 1, pos[y]);
        unsigned char* const line = out->bits + image_turn_offset(turn, 0, y, W, H, out->stride);
        unsigned char* b = step == 3 ? line : bytes.data();
        for (int i = 0; i < n; ++i)
            b[i] = static_cast<unsigned char>(
                ((static_cast<std::uint32_t>(wy) * h0[i] + static_cast<std::uint32_t>(wb) * h1[i]) >> 16) & 0xFF);
        if (step != 3)
            for (int x = 0; x < W; ++x)
                std::memcpy(line + x * step, b + x * 3, 3);
    }
}

_bmap* _bmap_shrink_bilinear(const _bmap* bm, double s, int turn)
{
    if (!image_bmap_valid(bm) || !(s > 0.0) || !std::isfinite(s) || s > 1.0)
        return nullptr;
    int W, H;
    if (!_shrink_size(bm->width, bm->height, s, &W, &H))
        return nullptr;
    const float kf = static_cast<float>(1.0 / s);
    const int m = std::max(W, H);
    std::vector<int> pos(static_cast<std::size_t>(m) + 1);
    std::vector<std::uint32_t> wgt(static_cast<std::size_t>(m) + 1);
    for (int i = 0; i <= m; ++i) {
        float p = static_cast<float>(i) * kf;
        pos[i] = static_cast<int>(p);
        float keep = (1.0f - (p - static_cast<float>(pos[i]))) * 256.0f;
        double w = keep * s;
        wgt[i] = static_cast<std::uint32_t>(std::clamp(w, 0.0, 256.0));
    }
    _bmap* out = new_result(W, H, turn);
    if (!turn_known(turn))
        return blank(out);
    image_run_rows(H, image_threads_for(bm->size), [&](int ya, int yb) {
        bilinear_rows(bm, out, ShrinkPlan{pos.data(), nullptr, wgt.data(), kf, W, H, turn}, ya, yb);
    });
    return out;
}
