// Device-independent bitmaps in the Windows layouts (BITMAPINFOHEADER, colour
// table, rows padded to 4 bytes, blue-green-red, bottom-up or top-down):
// decoding into RGB32 images and encoding back, and the DIB calls SetDIBits,
// GetDIBits, SetDIBitsToDevice and StretchDIBits. Sizes are checked against the
// bytes present, so a header never makes us read or allocate beyond its data.
#include "platform/gdi/gdi_internal.h"
#include "platform/packed_rows.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace {
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 27;

struct Header {
    std::int32_t w = 0, h = 0;
    int bpp = 0;
    DWORD compression = BI_RGB;
    DWORD clrUsed = 0;
    std::size_t headerSize = 0;
    bool core = false;   // 12-byte OS/2 header, 3-byte colours
};

bool read_header(const BYTE* info, std::size_t size, Header& h)
{
    if (!info || size < 12) return false;
    DWORD hs;
    std::memcpy(&hs, info, 4);
    if (hs == 12) {
        WORD w, hh, planes, bpp;
        std::memcpy(&w, info + 4, 2);
        std::memcpy(&hh, info + 6, 2);
        std::memcpy(&planes, info + 8, 2);
        std::memcpy(&bpp, info + 10, 2);
        h.w = w;
        h.h = std::int16_t(hh);
        h.bpp = bpp;
        h.core = true;
        h.headerSize = 12;
    } else {
        if (hs < 40 || size < 40) return false;
        BITMAPINFOHEADER b;
        std::memcpy(&b, info, 40);
        h.w = b.biWidth;
        h.h = b.biHeight;
        h.bpp = b.biBitCount;
        h.compression = b.biCompression;
        h.clrUsed = b.biClrUsed;
        h.headerSize = hs;
        if (hs > size) return false;
    }
    if (h.w <= 0 || h.h == 0 || h.h == INT32_MIN) return false;
    std::int64_t ah = h.h < 0 ? -std::int64_t(h.h) : h.h;
    if (std::int64_t(h.w) * ah > kMaxPixels) return false;
    switch (h.bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    if (h.compression == BI_RLE8 && h.bpp != 8) return false;
    if (h.compression == BI_RLE4 && h.bpp != 4) return false;
    if (h.compression == BI_BITFIELDS && h.bpp != 16 && h.bpp != 32) return false;
    if (h.compression > BI_BITFIELDS) return false;
    return true;
}

std::size_t palette_entries(const Header& h)
{
    if (h.bpp > 8) return 0;
    std::size_t max = std::size_t(1) << h.bpp;
    return h.clrUsed && h.clrUsed < max ? h.clrUsed : max;
}

std::size_t stride_of(std::int64_t w, int bpp) { return std::size_t(((w * bpp + 31) / 32) * 4); }

int shift_of(DWORD mask)
{
    if (!mask) return 0;
    int s = 0;
    while (!(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}
int bits_of(DWORD mask)
{
    int n = 0;
    while (mask) {
        n += mask & 1;
        mask >>= 1;
    }
    return n;
}
BYTE channel(DWORD v, DWORD mask)
{
    if (!mask) return 0;
    DWORD c = (v & mask) >> shift_of(mask);
    int b = bits_of(mask);
    if (b >= 8) return BYTE(c >> (b - 8));
    DWORD max = (1u << b) - 1;
    return BYTE(c * 255 / max);
}

void decode_rle(const BYTE* src, std::size_t n, const Header& h, const QRgb* pal, std::size_t npal, QImage& img,
                bool bottomUp)
{
    int height = img.height(), width = img.width();
    int x = 0, y = 0;   // y counts rows in file order
    auto put = [&](int idx) {
        if (x < width && y < height) {
            int row = bottomUp ? height - 1 - y : y;
            reinterpret_cast<QRgb*>(img.scanLine(row))[x] = std::size_t(idx) < npal ? pal[idx] : 0xFF000000;
        }
        ++x;
    };
    std::size_t i = 0;
    while (i + 1 < n) {
        BYTE a = src[i], b = src[i + 1];
        i += 2;
        if (a) {
            for (int k = 0; k < a; ++k) {
                if (h.bpp == 8) put(b);
                else put(packed_index<4>(&b, std::size_t(k % 2)));   // the byte's two pixels in turn
            }
        } else if (b == 0) {
            x = 0;
            ++y;
        } else if (b == 1) {
            return;
        } else if (b == 2) {
            if (i + 1 >= n) return;
            x += src[i];
            y += src[i + 1];
            i += 2;
        } else {
            std::size_t bytes = h.bpp == 8 ? b : (std::size_t(b) + 1) / 2;
            if (i + bytes > n) return;
            for (int k = 0; k < b; ++k) {
                if (h.bpp == 8) put(src[i + k]);
                else put(packed_index<4>(src + i, std::size_t(k)));
            }
            i += (bytes + 1) & ~std::size_t(1);
        }
        if (y >= height) return;
    }
}
}  // namespace

std::size_t gdi_dib_colors_bytes(const BITMAPINFOHEADER& bh, UINT usage)
{
    Header h;
    if (!read_header(reinterpret_cast<const BYTE*>(&bh), 40, h)) return 0;
    std::size_t masks = h.compression == BI_BITFIELDS && h.headerSize == 40 ? 12 : 0;
    return masks + palette_entries(h) * (usage == DIB_PAL_COLORS ? 2 : 4);
}

std::size_t gdi_dib_rows_bytes(const BITMAPINFOHEADER& bh)
{
    Header h;
    if (!read_header(reinterpret_cast<const BYTE*>(&bh), 40, h)) return 0;
    if (h.compression == BI_RLE4 || h.compression == BI_RLE8) return bh.biSizeImage;
    std::int64_t ah = h.h < 0 ? -std::int64_t(h.h) : h.h;
    return stride_of(h.w, h.bpp) * std::size_t(ah);
}

QImage gdi_dib_to_image(const BYTE* info, std::size_t infoSize, const BYTE* rows, std::size_t rowsSize, UINT usage,
                        bool* mono, bool* bottomUpOut)
{
    Header h;
    if (!read_header(info, infoSize, h)) return QImage();
    bool bottomUp = h.h > 0;
    int height = h.h < 0 ? -h.h : h.h;
    if (bottomUpOut) *bottomUpOut = bottomUp;
    // colour table / masks
    std::size_t off = h.headerSize;
    DWORD rm = 0, gm = 0, bmask = 0;
    if (h.compression == BI_BITFIELDS) {
        if (h.headerSize >= 52) {
            std::memcpy(&rm, info + 40, 4);
            std::memcpy(&gm, info + 44, 4);
            std::memcpy(&bmask, info + 48, 4);
        } else {
            if (infoSize < off + 12) return QImage();
            std::memcpy(&rm, info + off, 4);
            std::memcpy(&gm, info + off + 4, 4);
            std::memcpy(&bmask, info + off + 8, 4);
            off += 12;
        }
    } else if (h.bpp == 16) {
        rm = 0x7C00; gm = 0x03E0; bmask = 0x001F;
    } else if (h.bpp == 32) {
        rm = 0xFF0000; gm = 0xFF00; bmask = 0xFF;
    }
    std::vector<QRgb> pal;
    std::size_t np = palette_entries(h);
    std::size_t entry = h.core ? 3 : (usage == DIB_PAL_COLORS ? 2 : 4);
    if (np) {
        if (infoSize < off + np * entry) return QImage();
        pal.resize(np);
        for (std::size_t i = 0; i < np; ++i) {
            const BYTE* e = info + off + i * entry;
            if (usage == DIB_PAL_COLORS && !h.core) {
                // indexes into a palette we do not keep: grey ramp by index
                WORD idx;
                std::memcpy(&idx, e, 2);
                int g = np > 1 ? int(idx * 255 / (np - 1)) & 0xFF : 0;
                pal[i] = qRgb(g, g, g);
            } else {
                pal[i] = qRgb(e[2], e[1], e[0]);
            }
        }
        if (mono) *mono = np == 2 && pal[0] == qRgb(0, 0, 0) && pal[1] == qRgb(255, 255, 255);
    } else if (mono) {
        *mono = false;
    }
    if (!rows) return QImage();
    // the sizes are checked against the bytes present before any pixel is allocated
    const bool rle = h.compression == BI_RLE4 || h.compression == BI_RLE8;
    std::size_t stride = stride_of(h.w, h.bpp);
    if (rle ? std::int64_t(h.w) * height > (std::int64_t(1) << 24) : rowsSize / stride < std::size_t(height))
        return QImage();
    QImage img(h.w, height, QImage::Format_RGB32);
    if (img.isNull()) return QImage();
    if (rle) {
        img.fill(pal.empty() ? 0xFF000000 : pal[0]);
        decode_rle(rows, rowsSize, h, pal.data(), pal.size(), img, bottomUp);
        return img;
    }
    for (int y = 0; y < height; ++y) {
        const BYTE* s = rows + std::size_t(bottomUp ? height - 1 - y : y) * stride;
        auto* d = reinterpret_cast<QRgb*>(img.scanLine(y));
        switch (h.bpp) {
        case 1:
            for (int x = 0; x < h.w; ++x) {
                std::size_t i = packed_index<1>(s, std::size_t(x));
                d[x] = i < pal.size() ? pal[i] : 0xFF000000;
            }
            break;
        case 4:
            for (int x = 0; x < h.w; ++x) {
                std::size_t i = packed_index<4>(s, std::size_t(x));
                d[x] = i < pal.size() ? pal[i] : 0xFF000000;
            }
            break;
        case 8:
            for (int x = 0; x < h.w; ++x) d[x] = s[x] < pal.size() ? pal[s[x]] : 0xFF000000;
            break;
        case 16:
            for (int x = 0; x < h.w; ++x) {
                DWORD v = DWORD(s[2 * x]) | (DWORD(s[2 * x + 1]) << 8);
                d[x] = qRgb(channel(v, rm), channel(v, gm), channel(v, bmask));
            }
            break;
        case 24:
            for (int x = 0; x < h.w; ++x) d[x] = 0xFF000000u | (DWORD(s[3 * x + 2]) << 16) | (DWORD(s[3 * x + 1]) << 8) | s[3 * x];
            break;
        case 32:
            if (rm == 0xFF0000 && gm == 0xFF00 && bmask == 0xFF) {
                for (int x = 0; x < h.w; ++x) {
                    DWORD v;
                    std::memcpy(&v, s + 4 * x, 4);
                    d[x] = 0xFF000000u | v;
                }
            } else {
                for (int x = 0; x < h.w; ++x) {
                    DWORD v;
                    std::memcpy(&v, s + 4 * x, 4);
                    d[x] = qRgb(channel(v, rm), channel(v, gm), channel(v, bmask));
                }
            }
            break;
        }
    }
    return img;
}

std::vector<BYTE> gdi_image_to_dib24(const QImage& src)
{
    QImage img = src.format() == QImage::Format_RGB32 || src.format() == QImage::Format_ARGB32
                     ? src
                     : src.convertToFormat(QImage::Format_RGB32);
    int w = img.width(), h = img.height();
    std::size_t stride = stride_of(w, 24);
    std::vector<BYTE> out(40 + stride * std::size_t(h), 0);
    BITMAPINFOHEADER bh{};
    bh.biSize = 40;
    bh.biWidth = w;
    bh.biHeight = h;
    bh.biPlanes = 1;
    bh.biBitCount = 24;
    bh.biCompression = BI_RGB;
    bh.biSizeImage = DWORD(stride * std::size_t(h));
    std::memcpy(out.data(), &bh, 40);
    for (int y = 0; y < h; ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        BYTE* d = out.data() + 40 + std::size_t(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            d[3 * x] = BYTE(qBlue(s[x]));
            d[3 * x + 1] = BYTE(qGreen(s[x]));
            d[3 * x + 2] = BYTE(qRed(s[x]));
        }
    }
    return out;
}

const QImage& MetaBlob::picture() const
{
    if (!decoded) {
        decoded = true;
        Header h;
        if (read_header(bytes.data(), bytes.size(), h)) {
            BITMAPINFOHEADER bh{};
            if (!h.core) std::memcpy(&bh, bytes.data(), 40);
            std::size_t colors;
            if (h.core) colors = palette_entries(h) * 3;
            else colors = gdi_dib_colors_bytes(bh, DIB_RGB_COLORS);
            std::size_t infoSize = h.headerSize + colors, size = 0;
            if (const BYTE* rows = rows_after(infoSize, size))
                image = gdi_dib_to_image(bytes.data(), infoSize, rows, size, DIB_RGB_COLORS, &mono, &bottomUp);
        }
    }
    return image;
}

bool MetaBlob::rows24(QImage& view, bool& rowsBottomUp) const
{
    // the conditions under which picture() would decode exactly these rows
    Header h;
    if (!read_header(bytes.data(), bytes.size(), h) || h.core || h.bpp != 24 || h.compression != BI_RGB) return false;
    BITMAPINFOHEADER bh{};
    std::memcpy(&bh, bytes.data(), 40);
    std::size_t infoSize = h.headerSize + gdi_dib_colors_bytes(bh, DIB_RGB_COLORS);
    int height = h.h < 0 ? -h.h : h.h;
    std::size_t stride = stride_of(h.w, 24);
    std::size_t size = 0;
    const BYTE* rows = rows_after(infoSize, size);
    if (!rows || size / stride < std::size_t(height)) return false;
    // Qt reads the rows in place when their start is 4-byte aligned, as the rows of a DIB are
    if (reinterpret_cast<std::uintptr_t>(rows) % 4) return false;
    view = QImage(rows, h.w, height, qsizetype(stride), QImage::Format_BGR888);
    rowsBottomUp = h.h > 0;
    return !view.isNull();
}

const BYTE* MetaBlob::rows_after(std::size_t infoSize, std::size_t& size) const
{
    if (apart) {
        size = infoSize == bytes.size() ? apartSize : 0;
        return size ? apart->data() + apartAt : nullptr;
    }
    size = infoSize <= bytes.size() ? bytes.size() - infoSize : 0;
    return infoSize <= bytes.size() ? bytes.data() + infoSize : nullptr;
}

const std::vector<BYTE>& MetaBlob::dib() const
{
    if (bytes.empty() && !image.isNull()) const_cast<MetaBlob*>(this)->bytes = gdi_image_to_dib24(image);
    return bytes;
}

// ---- the DIB calls ----
namespace {
// The image of a DIB given as header + rows (the caller's buffers, sizes trusted
// as the Windows call does, the rows computed from the header).
QImage image_of(const void* bits, const BITMAPINFO* bi, UINT usage, bool* bottomUp = nullptr)
{
    if (!bits || !bi) return QImage();
    const auto* info = reinterpret_cast<const BYTE*>(bi);
    std::size_t hs = bi->bmiHeader.biSize;
    if (hs < 40) return QImage();
    std::size_t colors = gdi_dib_colors_bytes(bi->bmiHeader, usage);
    std::size_t rows = gdi_dib_rows_bytes(bi->bmiHeader);
    if (!rows) return QImage();
    return gdi_dib_to_image(info, hs + colors, static_cast<const BYTE*>(bits), rows, usage, nullptr, bottomUp);
}

// 1/4/8-bit output palettes: black and white, the 16 VGA colours, a 6x6x6 cube with greys.
std::vector<QRgb> out_palette(int bpp)
{
    std::vector<QRgb> p;
    if (bpp == 1) return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    if (bpp == 4) {
        static const int v[16][3] = {{0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128},
                                     {0, 128, 128}, {128, 128, 128}, {192, 192, 192}, {255, 0, 0}, {0, 255, 0},
                                     {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        for (auto& c : v) p.push_back(qRgb(c[0], c[1], c[2]));
        return p;
    }
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) p.push_back(qRgb(r * 51, g * 51, b * 51));
    for (int i = 0; i < 40; ++i) {
        int g = 8 + i * 6;
        p.push_back(qRgb(g, g, g));
    }
    return p;
}

int nearest(const std::vector<QRgb>& pal, QRgb c)
{
    int best = 0, bd = INT32_MAX;
    for (std::size_t i = 0; i < pal.size(); ++i) {
        int dr = qRed(pal[i]) - qRed(c), dg = qGreen(pal[i]) - qGreen(c), db = qBlue(pal[i]) - qBlue(c);
        int d = dr * dr + dg * dg + db * db;
        if (d < bd) {
            bd = d;
            best = int(i);
        }
    }
    return best;
}
}  // namespace

int SetDIBits(HDC dc, HBITMAP bm, UINT start, UINT lines, const void* bits, const BITMAPINFO* bi, UINT usage)
{
    (void)dc;
    if (!gdi_valid_object(bm) || bm->kind != GdiObject::Bitmap || !bits || !bi) return 0;
    BITMAPINFOHEADER h = bi->bmiHeader;
    if (h.biSize < 40 || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return 0;
    int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (start >= UINT(height)) return 0;
    lines = std::min<UINT>(lines, UINT(height) - start);
    // decode just the given band: a DIB of `lines` rows
    BITMAPINFOHEADER band = h;
    band.biHeight = h.biHeight < 0 ? -int(lines) : int(lines);
    std::vector<BYTE> info(reinterpret_cast<const BYTE*>(bi),
                           reinterpret_cast<const BYTE*>(bi) + 40 + gdi_dib_colors_bytes(h, usage));
    std::memcpy(info.data(), &band, 40);
    std::size_t rows = gdi_dib_rows_bytes(band);
    if (!rows) return 0;
    QImage img = gdi_dib_to_image(info.data(), info.size(), static_cast<const BYTE*>(bits), rows, usage);
    if (img.isNull()) return 0;
    QImage& dst = bm->image;
    // band rows count from the bottom scan line for bottom-up DIBs
    int top = h.biHeight > 0 ? height - int(start) - int(lines) : int(start);
    for (int y = 0; y < int(lines); ++y) {
        int dy = top + y;
        if (dy < 0 || dy >= dst.height()) continue;
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(dy));
        const auto* s = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int w = std::min(dst.width(), img.width());
        if (bm->bpp == 1)
            for (int x = 0; x < w; ++x) d[x] = qGray(s[x]) >= 128 ? 0xFFFFFFFF : 0xFF000000;
        else
            std::memcpy(d, s, std::size_t(w) * 4);
    }
    return int(lines);
}

int GetDIBits(HDC dc, HBITMAP bm, UINT start, UINT lines, void* bits, BITMAPINFO* bi, UINT usage)
{
    (void)dc;
    if (!gdi_valid_object(bm) || bm->kind != GdiObject::Bitmap || !bi) return 0;
    BITMAPINFOHEADER& h = bi->bmiHeader;
    if (h.biSize < 40) return 0;
    const QImage& img = bm->image;
    if (h.biBitCount == 0) {
        // describe the bitmap
        h.biWidth = img.width();
        h.biHeight = img.height();
        h.biPlanes = 1;
        h.biBitCount = WORD(bm->bpp == 1 ? 1 : 32);
        h.biCompression = BI_RGB;
        h.biSizeImage = DWORD(stride_of(img.width(), h.biBitCount) * std::size_t(img.height()));
        return 1;
    }
    int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return 0;
    if (h.biCompression != BI_RGB) return 0;
    if (h.biWidth != img.width()) h.biWidth = img.width();
    int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (height == 0 || height > img.height()) height = img.height();
    bool topDown = h.biHeight < 0;
    h.biHeight = topDown ? -height : height;
    h.biPlanes = 1;
    std::size_t stride = stride_of(img.width(), bpp);
    h.biSizeImage = DWORD(stride * std::size_t(height));
    std::vector<QRgb> pal;
    if (bpp <= 8) {
        pal = out_palette(bpp);
        auto* colors = reinterpret_cast<BYTE*>(bi->bmiColors);
        if (usage == DIB_RGB_COLORS) {
            for (std::size_t i = 0; i < pal.size(); ++i) {
                colors[4 * i] = BYTE(qBlue(pal[i]));
                colors[4 * i + 1] = BYTE(qGreen(pal[i]));
                colors[4 * i + 2] = BYTE(qRed(pal[i]));
                colors[4 * i + 3] = 0;
            }
        }
        h.biClrUsed = 0;
    }
    if (!bits) return 1;
    if (start >= UINT(height)) return 0;
    lines = std::min<UINT>(lines, UINT(height) - start);
    auto* out = static_cast<BYTE*>(bits);
    const int width = img.width();
    for (UINT i = 0; i < lines; ++i) {
        UINT row = start + i;   // DIB scan line number
        int sy = topDown ? int(row) : height - 1 - int(row);
        const auto* s = reinterpret_cast<const QRgb*>(img.constScanLine(sy));
        BYTE* d = out + std::size_t(i) * stride;
        // packed depths build their bytes by OR; the others only need zero padding
        const std::size_t used = bpp >= 8 ? std::size_t(width) * std::size_t(bpp / 8) : 0;
        std::memset(d + used, 0, stride - used);
        // one loop per depth: the common 24 and 32-bit rows stay tight
        switch (bpp) {
        case 1:
            for (int x = 0; x < width; ++x)
                if (qGray(s[x]) >= 128) d[x >> 3] |= BYTE(0x80 >> (x & 7));
            break;
        case 4:
            for (int x = 0; x < width; ++x) d[x >> 1] |= BYTE(nearest(pal, s[x]) << ((x & 1) ? 0 : 4));
            break;
        case 8:
            for (int x = 0; x < width; ++x) d[x] = BYTE(nearest(pal, s[x]));
            break;
        case 24: {
            int x = 0;
            if constexpr (std::endian::native == std::endian::little) {
                // four pixels make three little-endian words of blue, green, red bytes
                for (; x + 4 <= width; x += 4, d += 12) {
                    const std::uint32_t p0 = s[x], p1 = s[x + 1], p2 = s[x + 2], p3 = s[x + 3];
                    const std::uint32_t w[3] = {(p0 & 0xFFFFFFu) | (p1 << 24), ((p1 >> 8) & 0xFFFFu) | (p2 << 16),
                                                ((p2 >> 16) & 0xFFu) | (p3 << 8)};
                    std::memcpy(d, w, 12);
                }
            }
            for (; x < width; ++x, d += 3) {
                QRgb c = s[x];
                d[0] = BYTE(c);
                d[1] = BYTE(c >> 8);
                d[2] = BYTE(c >> 16);
            }
            break;
        }
        case 32:
            for (int x = 0; x < width; ++x, d += 4) {
                QRgb c = s[x];
                d[0] = BYTE(c);
                d[1] = BYTE(c >> 8);
                d[2] = BYTE(c >> 16);
            }
            break;
        }
    }
    return int(lines);
}

// The last large picture recorded. Programs put the same big image again and
// again (a redraw after an undo, say); its copy and decoded image are reused
// when the bytes are equal, compared in full, never assumed.
static BlobPtr& recent_large_dib()
{
    static BlobPtr blob;
    return blob;
}

static bool same_dib(const MetaBlob& b, const BITMAPINFO* bi, std::size_t hs, std::size_t colors, const void* bits,
                     std::size_t rows)
{
    if (b.bytes.size() != 40 + colors + rows) return false;
    DWORD forty = 40;
    const BYTE* have = b.bytes.data();
    return std::memcmp(have, &forty, 4) == 0 && std::memcmp(have + 4, reinterpret_cast<const BYTE*>(bi) + 4, 36) == 0 &&
           std::memcmp(have + 40, reinterpret_cast<const BYTE*>(bi) + hs, colors) == 0 &&
           std::memcmp(have + 40 + colors, bits, rows) == 0;
}

// The header (as 40 bytes) and colour table of a recorded DIB.
static std::vector<BYTE> dib_info(const BITMAPINFO* bi, std::size_t hs, std::size_t colors)
{
    std::vector<BYTE> info(40 + colors);
    std::memcpy(info.data(), bi, 40);
    DWORD forty = 40;
    std::memcpy(info.data(), &forty, 4);
    std::memcpy(info.data() + 40, reinterpret_cast<const BYTE*>(bi) + hs, colors);
    return info;
}

// Rows in a bitmap's shared rows are recorded as a view of them, not a copy; putting
// the same unwritten bitmap again gives the same view.
static BlobPtr shared_dib_blob(const void* bits, const BITMAPINFO* bi, std::size_t hs, std::size_t colors,
                               std::size_t rows)
{
    std::size_t at = 0;
    auto view = shared_rows_snapshot(static_cast<const BYTE*>(bits), rows, at);
    if (!view) return nullptr;
    std::vector<BYTE> info = dib_info(bi, hs, colors);
    BlobPtr& recent = recent_large_dib();
    if (recent && recent->apart == view && recent->apartAt == at && recent->apartSize == rows && recent->bytes == info)
        return recent;
    auto b = std::make_shared<MetaBlob>();
    b->bytes = std::move(info);
    b->apart = std::move(view);
    b->apartAt = at;
    b->apartSize = rows;
    recent = b;
    return b;
}

// Recording a DIB call: the header, colour table and rows are copied once.
static BlobPtr dib_blob(const void* bits, const BITMAPINFO* bi, UINT usage)
{
    constexpr std::size_t kLarge = std::size_t(1) << 20;
    std::size_t hs = bi->bmiHeader.biSize;
    if (hs < 40) return nullptr;
    std::size_t colors = gdi_dib_colors_bytes(bi->bmiHeader, usage);
    std::size_t rows = gdi_dib_rows_bytes(bi->bmiHeader);
    if (!rows && bi->bmiHeader.biCompression == BI_RGB) return nullptr;
    const bool large = usage == DIB_RGB_COLORS && rows >= kLarge;
    if (usage == DIB_RGB_COLORS && rows >= kSharedRowsMin)
        if (BlobPtr shared = shared_dib_blob(bits, bi, hs, colors, rows)) return shared;
    BlobPtr& recent = recent_large_dib();
    if (large && recent && same_dib(*recent, bi, hs, colors, bits, rows)) return recent;
    auto b = std::make_shared<MetaBlob>();
    b->bytes = dib_info(bi, hs, colors);
    b->bytes.resize(40 + colors + rows);
    std::memcpy(b->bytes.data() + 40 + colors, bits, rows);
    if (usage == DIB_PAL_COLORS) {
        // a recording carries colours, not indexes into our palette
        bool bu = false;
        QImage img = image_of(bits, bi, usage, &bu);
        if (img.isNull()) return nullptr;
        b->bytes.clear();
        b->image = img;
        b->decoded = true;
    }
    if (large) recent = b;
    return b;
}

int StretchDIBits(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh, const void* bits,
                  const BITMAPINFO* bi, UINT usage, DWORD rop)
{
    if (!gdi_valid_dc(dc) || !bits || !bi) return 0;
    int height = bi->bmiHeader.biHeight < 0 ? -bi->bmiHeader.biHeight : bi->bmiHeader.biHeight;
    if (dc->kind == DeviceContext::Record) {
        BlobPtr b = dib_blob(bits, bi, usage);
        if (!b) return 0;
        if (b->bytes.empty() && bi->bmiHeader.biHeight > 0) sy = height - sy - sh;   // image is top-down now
        rec_add(dc, META_STRETCHDIB, {x, y, w, h, sx, sy, sw, sh, DIB_RGB_COLORS, std::int32_t(rop)}, b);
        return height;
    }
    bool bottomUp = false;
    QImage img = image_of(bits, bi, usage, &bottomUp);
    if (img.isNull()) return 0;
    HDC src = CreateCompatibleDC(nullptr);
    GdiObject* bm = gdi_new_object(GdiObject::Bitmap);
    bm->image = img;
    SelectObject(src, bm);
    int top = bottomUp ? img.height() - sy - sh : sy;
    BOOL ok = StretchBlt(dc, x, y, w, h, src, sx, top, sw, sh, rop);
    DeleteDC(src);
    DeleteObject(bm);
    return ok ? height : 0;
}

int SetDIBitsToDevice(HDC dc, int x, int y, DWORD w, DWORD h, int sx, int sy, UINT start, UINT lines,
                      const void* bits, const BITMAPINFO* bi, UINT usage)
{
    if (!gdi_valid_dc(dc) || !bits || !bi) return 0;
    BITMAPINFOHEADER hh = bi->bmiHeader;
    if (hh.biSize < 40 || hh.biWidth <= 0 || hh.biHeight == 0 || hh.biHeight == INT32_MIN) return 0;
    int height = hh.biHeight < 0 ? -hh.biHeight : hh.biHeight;
    if (start >= UINT(height) || lines == 0) return 0;
    lines = std::min<UINT>(lines, UINT(height) - start);
    // the band of `lines` scan lines starting at `start`, as its own DIB
    std::vector<BYTE> info(40 + gdi_dib_colors_bytes(hh, usage));
    std::memcpy(info.data(), bi, info.size());
    BITMAPINFOHEADER band = hh;
    band.biSize = 40;
    band.biHeight = hh.biHeight < 0 ? -int(lines) : int(lines);
    band.biSizeImage = 0;
    std::memcpy(info.data(), &band, 40);
    auto* bandInfo = reinterpret_cast<const BITMAPINFO*>(info.data());
    // source y counts from the bottom for bottom-up DIBs; the band holds rows start..start+lines-1
    int srcTopInBand;
    if (hh.biHeight > 0) srcTopInBand = int(start + lines) - (sy + int(h));
    else srcTopInBand = sy - int(start);
    if (dc->kind == DeviceContext::Record) {
        BlobPtr b = dib_blob(bits, bandInfo, usage);
        if (!b) return 0;
        int bandSy = hh.biHeight > 0 ? sy - int(start) : srcTopInBand;
        if (b->bytes.empty() && hh.biHeight > 0) bandSy = srcTopInBand;
        rec_add(dc, META_STRETCHDIB, {x, y, int(w), int(h), sx, bandSy, int(w), int(h), DIB_RGB_COLORS, std::int32_t(SRCCOPY)}, b);
        return int(lines);
    }
    QImage img = image_of(bits, bandInfo, usage);
    if (img.isNull()) return 0;
    HDC src = CreateCompatibleDC(nullptr);
    GdiObject* bm = gdi_new_object(GdiObject::Bitmap);
    bm->image = img;
    SelectObject(src, bm);
    // one source pixel per device pixel whatever the mapping: blit in device units
    QPoint d = gdi_to_device(dc, x, y);
    DcState keep = dc->st;
    dc->st.mapMode = MM_TEXT;
    dc->st.wOrg = dc->st.vOrg = POINT{0, 0};
    dc->st.wExt = dc->st.vExt = SIZE{1, 1};
    BOOL ok = BitBlt(dc, d.x(), d.y(), int(w), int(h), src, sx, srcTopInBand, SRCCOPY);
    dc->st.mapMode = keep.mapMode;
    dc->st.wOrg = keep.wOrg;
    dc->st.vOrg = keep.vOrg;
    dc->st.wExt = keep.wExt;
    dc->st.vExt = keep.vExt;
    DeleteDC(src);
    DeleteObject(bm);
    return ok ? int(lines) : 0;
}
