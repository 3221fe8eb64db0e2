// Reductions of a 24-bit bitmap with an optional quarter turn: the method choice,
// the size rule and the box, area and bilinear methods. Positions and weights are
// computed once per output column and row; the pixel loops only add.
#include "runtime/image/image_internal.h"

#include <algorithm>
#include <cmath>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

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
    return new _bmap(odd ? H : W, odd ? W : H, 24);
}

// Unknown turns place no pixels; the rows are cleared rather than left as they
// came from the allocator.
static _bmap* blank(_bmap* out)
{
    std::memset(out->bits, 0, static_cast<std::size_t>(out->size));
    return out;
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
    // Rows of a block are first added column by column (a loop the vectoriser turns
    // into wide adds), then each block's n columns are summed.
    const int cols = W * n * 3;
    std::vector<std::uint32_t> acc(static_cast<std::size_t>(cols));
    const std::uint32_t div = static_cast<std::uint32_t>(n) * static_cast<std::uint32_t>(n);
    for (int y = 0; y < H; ++y) {
        std::fill(acc.begin(), acc.end(), 0u);
        for (int r = 0; r < n; ++r) {
            const unsigned char* src = bm->bits + static_cast<std::ptrdiff_t>(y * n + r) * bm->stride;
            std::uint32_t* a = acc.data();
            for (int i = 0; i < cols; ++i)
                a[i] += src[i];
        }
        const std::uint32_t* a = acc.data();
        for (int x = 0; x < W; ++x) {
            std::uint32_t b = 0, g = 0, rr = 0;
            for (int i = 0; i < n; ++i, a += 3) {
                b += a[0];
                g += a[1];
                rr += a[2];
            }
            unsigned char* d = out->bits + image_turn_offset(turn, x, y, W, H, out->stride);
            d[0] = static_cast<unsigned char>(b / div);
            d[1] = static_cast<unsigned char>(g / div);
            d[2] = static_cast<unsigned char>(rr / div);
        }
    }
    return out;
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
    const float norm = 1.0f / (kf * kf);
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
    // Per output row and per strip of output columns (so that the sums stay in the
    // first-level cache), the footprint rows are first summed down each source column
    // (whole rows as integers, the two edge rows weighted), then across the footprint
    // columns.
    constexpr int kStrip = 256;
    const int maxcols = pos[std::min(W, kStrip)] + 1 + static_cast<int>(kf) + 2;
    std::vector<std::uint32_t> whole(static_cast<std::size_t>(maxcols) * 3);
    std::vector<float> col(static_cast<std::size_t>(maxcols) * 3);
    for (int y = 0; y < H; ++y) {
        const int y0 = pos[y], y1 = pos[y + 1];
        const float wt = 1.0f - frac[y], wb = frac[y + 1];
        for (int xs = 0; xs < W; xs += kStrip) {
            const int xe = std::min(W, xs + kStrip);
            const int c0 = pos[xs], n = (pos[xe] - c0 + 1) * 3;
            std::fill(whole.begin(), whole.begin() + n, 0u);
            for (int r = y0 + 1; r < y1; ++r) {
                const unsigned char* src = bm->bits + static_cast<std::ptrdiff_t>(r) * bm->stride + c0 * 3;
                std::uint32_t* a = whole.data();
                for (int i = 0; i < n; ++i)
                    a[i] += src[i];
            }
            const unsigned char* top = bm->bits + static_cast<std::ptrdiff_t>(y0) * bm->stride + c0 * 3;
            const unsigned char* bot = bm->bits + static_cast<std::ptrdiff_t>(y1) * bm->stride + c0 * 3;
            for (int i = 0; i < n; ++i)
                col[i] = static_cast<float>(whole[i]) + wt * top[i] + wb * bot[i];
            for (int x = xs; x < xe; ++x) {
                const int x0 = pos[x] - c0, x1 = pos[x + 1] - c0;
                const float wl = 1.0f - frac[x], wr = frac[x + 1];
                float t[3];
                for (int c = 0; c < 3; ++c)
                    t[c] = wl * col[x0 * 3 + c] + wr * col[x1 * 3 + c];
                for (int i = x0 + 1; i < x1; ++i)
                    for (int c = 0; c < 3; ++c)
                        t[c] += col[i * 3 + c];
                unsigned char* d = out->bits + image_turn_offset(turn, x, y, W, H, out->stride);
                for (int c = 0; c < 3; ++c) {
                    const float v = t[c] * norm;
                    d[c] = static_cast<unsigned char>(v >= 255.0f ? 255 : (v <= 0.0f ? 0 : static_cast<int>(v)));
                }
            }
        }
    }
    return out;
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
    for (int y = 0; y < H; ++y) {
        const std::uint32_t wy = wgt[y];
        const unsigned char* r0 = bm->bits + static_cast<std::ptrdiff_t>(pos[y]) * bm->stride;
        const unsigned char* r1 = r0 + bm->stride;
        for (int x = 0; x < W; ++x) {
            const std::uint32_t wx = wgt[x];
            const std::uint32_t w00 = wx * wy, w01 = wx * (256 - wy), w10 = (256 - wx) * wy,
                                w11 = (256 - wx) * (256 - wy);
            const int sx = pos[x] * 3;
            unsigned char* d = out->bits + image_turn_offset(turn, x, y, W, H, out->stride);
            for (int c = 0; c < 3; ++c) {
                std::uint32_t v = w00 * r0[sx + c] + w01 * r1[sx + c] + w10 * r0[sx + 3 + c] + w11 * r1[sx + 3 + c];
                d[c] = static_cast<unsigned char>((v >> 16) & 0xFF);
            }
        }
    }
    return out;
}
