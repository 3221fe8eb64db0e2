// Helpers of the image tests.
#include "image_test_util.h"
#include "ostrel/image.h"

#include <cstring>

std::uint32_t px(const _bmap* bm, int x, int y)
{
    const unsigned char* p = bm->bits + y * bm->stride + x * 3;
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

void rotated_place(int angle, int x, int y, int w, int h, int* col, int* row)
{
    if (angle == 90) {
        *col = y;
        *row = w - 1 - x;
    } else if (angle == -90) {
        *col = h - 1 - y;
        *row = x;
    } else {
        *col = w - 1 - x;
        *row = h - 1 - y;
    }
}

bool same_pixels(const _bmap* a, const _bmap* b)
{
    if (!a || !b || a->width != b->width || a->height != b->height)
        return false;
    for (int y = 0; y < a->height; ++y)
        if (std::memcmp(a->bits + y * a->stride, b->bits + y * b->stride, a->width * 3) != 0)
            return false;
    return true;
}

int icon_w()
{
    int w, h, x, y;
    _geticon_size("x", &w, &h, &x, &y);
    return w;
}
