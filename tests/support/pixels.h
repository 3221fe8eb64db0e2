// Pictures for the tests that look at pixels: reads as COLORREF, the box of
// what a picture draws, and packed DIBs built pixel by pixel in the Windows
// layout (header, colour table, rows padded to 4 bytes, bottom-up or top-down).
#pragma once
#include "ostrel/bmap.h"
#include "platform/gdi/wingdi.h"

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

inline COLORREF pixel(const QImage& img, int x, int y)
{
    QRgb c = img.pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

inline int count(const QImage& img, COLORREF c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += pixel(img, x, y) == c;
    return n;
}

// The box of the pixels darker than `grey` (255: every pixel that is not white).
inline QRect ink_box(const QImage& img, int grey = 255)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < grey) r |= QRect(x, y, 1, 1);
    return r;
}

// The picture flattened on white and cut to the box of what it draws; the
// light fringes of anti-aliasing (grey 245 and above) count as paper, so that
// pictures of two renderers frame alike.
inline QImage inked(const QImage& src)
{
    QImage flat(src.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, src);
    QRect ink = ink_box(flat, 245);
    return ink.isEmpty() ? flat : flat.copy(ink);
}

// A 24-bit bitmap object whose pixel (x, y) is colour(x, y); its padding
// bytes are `pad`.
inline _bmap* bmap_of(int w, int h, const std::function<COLORREF(int, int)>& colour, unsigned char pad = 0)
{
    auto* bm = new _bmap(w, h, 24);
    std::memset(bm->bits, pad, std::size_t(bm->size));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = bm->bits + std::size_t(y) * bm->stride + 3 * x;
            const COLORREF c = colour(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    return bm;
}

struct PackedDib {
    std::vector<std::uint32_t> words;   // 4-byte aligned storage of the whole block
    std::size_t bytes = 0, rows_at = 0;  // size of the block, offset of its rows
    BYTE* data() { return reinterpret_cast<BYTE*>(words.data()); }
    BYTE* rows() { return data() + rows_at; }
    BITMAPINFOHEADER* header() { return reinterpret_cast<BITMAPINFOHEADER*>(words.data()); }
    BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(words.data()); }
};

// A w x h DIB of 1, 4, 8, 24 or 32 bits whose pixel (x, y), y from the top, is
// value(x, y): a palette index up to 8 bits (the table has all 1 << bits entries,
// `palette` first, black after), else a colour. Padding bytes are `pad`.
inline PackedDib packed_dib(int w, int h, int bits, bool topdown, const std::function<COLORREF(int, int)>& value,
                            const std::vector<COLORREF>& palette = {}, BYTE pad = 0)
{
    const std::size_t colours = bits <= 8 ? std::size_t(1) << bits : 0;
    const std::size_t stride = (std::size_t(w) * bits + 31) / 32 * 4, used = (std::size_t(w) * bits + 7) / 8;
    PackedDib d;
    d.rows_at = 40 + 4 * colours;
    d.bytes = d.rows_at + stride * h;
    d.words.assign((d.bytes + 3) / 4, 0);
    *d.header() = BITMAPINFOHEADER{40, w, topdown ? -h : h, 1, WORD(bits), 0, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < palette.size() && i < colours; ++i) {
        BYTE* q = d.data() + 40 + 4 * i;
        q[0] = GetBValue(palette[i]);
        q[1] = GetGValue(palette[i]);
        q[2] = GetRValue(palette[i]);
    }
    for (int y = 0; y < h; ++y) {
        BYTE* r = d.rows() + stride * std::size_t(topdown ? y : h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const COLORREF v = value(x, y);
            if (bits <= 8) {
                const int bit = x * bits;
                r[bit / 8] |= BYTE(v << (8 - bits - bit % 8));
            } else {
                BYTE* p = r + std::size_t(x) * (bits / 8);
                p[0] = GetBValue(v);
                p[1] = GetGValue(v);
                p[2] = GetRValue(v);
            }
        }
        std::memset(r + used, pad, stride - used);
    }
    return d;
}
