// Rotation of a 24-bit bitmap by quarter and half turns. The quarter turns walk the
// picture in square tiles so that both the rows read and the rows written stay in
// cache.
#include "runtime/image/image_internal.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kTile = 32;

// source (x, y) -> destination (y, W - 1 - x)       angle 90 (counter-clockwise)
// source (x, y) -> destination (H - 1 - y, x)       angle -90 (clockwise)
void quarter(const _bmap* src, _bmap* dst, bool ccw)
{
    const int W = src->width, H = src->height;
    for (int ty = 0; ty < H; ty += kTile) {
        const int ye = std::min(H, ty + kTile);
        for (int tx = 0; tx < W; tx += kTile) {
            const int xe = std::min(W, tx + kTile);
            for (int x = tx; x < xe; ++x) {
                unsigned char* d;
                std::ptrdiff_t step;
                if (ccw) {
                    d = dst->bits + static_cast<std::ptrdiff_t>(W - 1 - x) * dst->stride + ty * 3;
                    step = 3;
                } else {
                    d = dst->bits + static_cast<std::ptrdiff_t>(x) * dst->stride + (H - 1 - ty) * 3;
                    step = -3;
                }
                const unsigned char* s = src->bits + static_cast<std::ptrdiff_t>(ty) * src->stride + x * 3;
                for (int y = ty; y < ye; ++y) {
                    d[0] = s[0];
                    d[1] = s[1];
                    d[2] = s[2];
                    d += step;
                    s += src->stride;
                }
            }
        }
    }
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
        quarter(bm, out, angle == 90);
        return out;
    }
    if (angle == 180 || angle == -180) {
        _bmap* out = new _bmap(bm->width, bm->height, 24);
        out->set_ppm(h.biXPelsPerMeter, h.biYPelsPerMeter);
        out->update_info();
        half(bm, out);
        return out;
    }
    return nullptr;
}
