// Device-independent bitmaps to 24-bit _bmap objects. One reader for every layout the
// runtime accepts (1, 2, 4, 8, 16, 24 and 32 bits; uncompressed, BI_BITFIELDS, RLE8,
// RLE4; Windows and OS/2 headers; bottom-up or top-down), written over the bytes
// with every read checked against the block, so that a hostile header can neither
// make it read outside the data nor allocate more than the data can justify.
#include "runtime/image/image_internal.h"
#include "platform/packed_rows.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <vector>

namespace {

enum : std::uint32_t { kRGB = 0, kRLE8 = 1, kRLE4 = 2, kBitfields = 3, kAlphaBitfields = 6 };

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;
    unsigned char get(std::uint32_t px) const
    {
        if (!max)
            return 0;
        std::uint64_t v = (px & mask) >> shift;
        return static_cast<unsigned char>(v * 255 / max);   // as Pillow scales narrow channels
    }
    void set(std::uint32_t m)
    {
        mask = m;
        shift = m ? std::countr_zero(m) : 0;
        max = m ? (m >> shift) : 0;
    }
};

struct Dib {
    int width = 0;
    int height = 0;       // rows, positive
    bool topdown = false;
    int bpp = 0;
    std::uint32_t compression = 0;
    std::int32_t xppm = 0, yppm = 0;
    Channel r, g, b;
    std::vector<std::uint32_t> palette;   // 0x00RRGGBB
};

// Reads the header and colour table that lie in [hdr, hdr + hdravail).
bool parse(const unsigned char* hdr, std::size_t hdravail, Dib& d)
{
    if (hdravail < 12)
        return false;
    const std::uint32_t hsz = image_le32(hdr);
    bool core = false;
    std::int64_t w, h;
    std::uint32_t clrused = 0;
    if (hsz == 12) {
        core = true;
        w = image_le16(hdr + 4);
        h = static_cast<std::int16_t>(image_le16(hdr + 6));
        d.bpp = image_le16(hdr + 10);
    } else if (hsz >= 16 && hsz <= 4096 && hsz <= hdravail) {
        w = static_cast<std::int32_t>(image_le32(hdr + 4));
        h = static_cast<std::int32_t>(image_le32(hdr + 8));
        d.bpp = image_le16(hdr + 14);
        if (hsz >= 20)
            d.compression = image_le32(hdr + 16);
        if (hsz >= 32) {
            d.xppm = static_cast<std::int32_t>(image_le32(hdr + 24));
            d.yppm = static_cast<std::int32_t>(image_le32(hdr + 28));
        }
        if (hsz >= 36)
            clrused = image_le32(hdr + 32);
    } else {
        return false;
    }
    // OS/2 2.x headers (not the Windows sizes) use 3 and 4 for Huffman and RLE24.
    const bool os2v2 = hsz >= 16 && hsz <= 64 && hsz != 40 && hsz != 52 && hsz != 56;
    if (os2v2 && (d.compression == 3 || d.compression == 4))
        return false;
    if (h == INT32_MIN || w < 1 || h == 0)
        return false;
    d.topdown = h < 0;
    d.height = static_cast<int>(h < 0 ? -h : h);
    if (!_bmap_size_ok(w, d.height, 24))
        return false;
    d.width = static_cast<int>(w);

    switch (d.compression) {
    case kRGB:
        if (d.bpp != 1 && d.bpp != 2 && d.bpp != 4 && d.bpp != 8 && d.bpp != 16 && d.bpp != 24 && d.bpp != 32)
            return false;
        break;
    case kRLE8:
        if (d.bpp != 8 || d.topdown)
            return false;
        break;
    case kRLE4:
        if (d.bpp != 4 || d.topdown)
            return false;
        break;
    case kBitfields:
    case kAlphaBitfields:
        if (d.bpp != 16 && d.bpp != 32)
            return false;
        break;
    default:
        return false;   // JPEG, PNG and unknown compressions
    }

    if (d.bpp == 16) {
        d.r.set(0x7C00);
        d.g.set(0x03E0);
        d.b.set(0x001F);
    } else if (d.bpp == 32) {
        d.r.set(0xFF0000);
        d.g.set(0x00FF00);
        d.b.set(0x0000FF);
    }
    std::size_t after = core ? 12 : hsz;   // where the colour table (or masks) start
    if (d.compression == kBitfields || d.compression == kAlphaBitfields) {
        std::size_t at = hsz >= 52 ? 40 : hsz;
        if (at + 12 > hdravail)
            return false;
        d.r.set(image_le32(hdr + at));
        d.g.set(image_le32(hdr + at + 4));
        d.b.set(image_le32(hdr + at + 8));
        if (hsz < 52)
            after = hsz + (d.compression == kAlphaBitfields ? 16 : 12);
    }
    if (d.bpp <= 8) {
        std::size_t want = clrused ? clrused : (1u << d.bpp);
        want = std::min<std::size_t>(want, std::size_t(1) << d.bpp);
        const std::size_t entry = core ? 3 : 4;
        std::size_t avail = hdravail > after ? (hdravail - after) / entry : 0;
        std::size_t n = std::min(want, avail);
        d.palette.assign(std::size_t(1) << d.bpp, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char* q = hdr + after + i * entry;
            d.palette[i] = (std::uint32_t(q[2]) << 16) | (std::uint32_t(q[1]) << 8) | q[0];
        }
    }
    return true;
}

inline void put(unsigned char* p, std::uint32_t rgb)
{
    p[0] = static_cast<unsigned char>(rgb);
    p[1] = static_cast<unsigned char>(rgb >> 8);
    p[2] = static_cast<unsigned char>(rgb >> 16);
}

bool decode_rows(const Dib& d, const unsigned char* data, std::size_t avail, _bmap* out)
{
    const std::uint64_t rowbytes = (static_cast<std::uint64_t>(d.bpp) * d.width + 31) / 32 * 4;
    if (rowbytes * static_cast<std::uint64_t>(d.height) > avail)
        return false;
    for (int r = 0; r < d.height; ++r) {
        const unsigned char* s = data + rowbytes * r;
        unsigned char* o = out->bits + static_cast<std::ptrdiff_t>(d.topdown ? r : d.height - 1 - r) * out->stride;
        switch (d.bpp) {
        case 24:
            std::memcpy(o, s, static_cast<std::size_t>(d.width) * 3);
            break;
        case 32:
            for (int x = 0; x < d.width; ++x, s += 4, o += 3) {
                std::uint32_t px = image_le32(s);
                o[0] = d.b.get(px);
                o[1] = d.g.get(px);
                o[2] = d.r.get(px);
            }
            break;
        case 16:
            for (int x = 0; x < d.width; ++x, s += 2, o += 3) {
                std::uint32_t px = image_le16(s);
                o[0] = d.b.get(px);
                o[1] = d.g.get(px);
                o[2] = d.r.get(px);
            }
            break;
        default: {   // 1, 2, 4, 8 bits: indices, leftmost pixel in the high bits
            for (int x = 0; x < d.width; ++x, o += 3)
                put(o, d.palette[packed_index(s, std::size_t(x), unsigned(d.bpp))]);
        }
        }
    }
    return true;
}

// Run-length rows. Pixels that the stream skips (delta, end of line, end of
// picture, a stream cut short) keep colour index 0.
void decode_rle(const Dib& d, const unsigned char* data, std::size_t avail, _bmap* out)
{
    const bool four = d.compression == kRLE4;
    for (int y = 0; y < d.height; ++y) {
        unsigned char* o = out->bits + static_cast<std::ptrdiff_t>(y) * out->stride;
        for (int x = 0; x < d.width; ++x)
            put(o + x * 3, d.palette[0]);
    }
    long long x = 0, y = 0;   // y counts rows from the bottom
    std::size_t i = 0;
    auto pixel = [&](unsigned idx) {
        if (x < d.width && y < d.height)
            put(out->bits + static_cast<std::ptrdiff_t>(d.height - 1 - y) * out->stride + x * 3, d.palette[idx]);
        ++x;
    };
    while (i + 1 < avail && y < d.height) {
        const unsigned n = data[i], v = data[i + 1];
        i += 2;
        if (n > 0) {
            const unsigned char run = static_cast<unsigned char>(v);
            for (unsigned k = 0; k < n && x < d.width; ++k)
                pixel(four ? packed_index<4>(&run, k & 1) : v);   // a four-bit run alternates the byte's pixels
            continue;
        }
        if (v == 0) {          // end of line
            x = 0;
            ++y;
        } else if (v == 1) {   // end of picture
            break;
        } else if (v == 2) {   // delta
            if (i + 1 >= avail)
                break;
            x += data[i];
            y += data[i + 1];
            i += 2;
        } else {               // absolute run of v pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (v + 1) / 2 : v;
            const std::size_t padded = (bytes + 1) & ~std::size_t(1);
            if (bytes > avail - i)
                break;
            for (unsigned k = 0; k < v; ++k)
                pixel(four ? packed_index<4>(data + i, k) : data[i + k]);
            i += std::min(padded, avail - i);
        }
    }
}

_bmap* decode(const unsigned char* hdr, std::size_t hdravail, const unsigned char* data, std::size_t dataavail,
              bool only_8_24)
{
    Dib d;
    if (!parse(hdr, hdravail, d))
        return nullptr;
    if (only_8_24 && (d.compression != kRGB || (d.bpp != 8 && d.bpp != 24) || image_le32(hdr) < 40))
        return nullptr;
    const bool rle = d.compression == kRLE8 || d.compression == kRLE4;
    if (rle) {
        // a run-length stream of a real picture covers at most a few hundred pixels per byte
        const long long pixels = static_cast<long long>(d.width) * d.height;
        if (pixels > 65536 && static_cast<unsigned long long>(pixels) / 1024 > dataavail)
            return nullptr;
    } else {
        const std::uint64_t rowbytes = (static_cast<std::uint64_t>(d.bpp) * d.width + 31) / 32 * 4;
        if (rowbytes * static_cast<std::uint64_t>(d.height) > dataavail)
            return nullptr;
    }
    _bmap* out = _bmap_try_new(d.width, d.height);
    if (!out)
        return nullptr;
    if (rle)
        decode_rle(d, data, dataavail, out);
    else if (!decode_rows(d, data, dataavail, out)) {
        delete out;
        return nullptr;
    }
    out->set_ppm(d.xppm, d.yppm);
    return out;
}

} // namespace

_bmap* _dib_decode(const void* dib, std::size_t blocksize, std::size_t dataoffset)
{
    if (!dib || dataoffset > blocksize)
        return nullptr;
    const auto* p = static_cast<const unsigned char*>(dib);
    return decode(p, dataoffset, p + dataoffset, blocksize - dataoffset, false);
}

_bmap* _dib_to_bmap_n(const void* dib, std::size_t blocksize, std::size_t dataoffset)
{
    if (!dib || dataoffset > blocksize)
        return nullptr;
    const auto* p = static_cast<const unsigned char*>(dib);
    return decode(p, dataoffset, p + dataoffset, blocksize - dataoffset, true);
}

_bmap* _dib_to_bmap(const void* dib, const void* data)
{
    if (!dib || !data)
        return nullptr;
    ostrel_bitmapinfoheader head;
    std::memcpy(&head, dib, sizeof head);
    const ostrel_bitmapinfoheader* h = &head;
    if (h->biSize < 40 || h->biSize > 4096 || h->biCompression != 0 || (h->biBitCount != 8 && h->biBitCount != 24))
        return nullptr;
    // The caller vouches for the block: header, colour table and the rows its header
    // describes.
    const std::size_t hdr = h->biSize + static_cast<std::size_t>(_palette_bytes(h));
    long long hgt = h->biHeight < 0 ? -static_cast<long long>(h->biHeight) : h->biHeight;
    if (!_bmap_size_ok(h->biWidth, hgt, 24))
        return nullptr;
    const std::uint64_t rowbytes = (static_cast<std::uint64_t>(h->biBitCount) * h->biWidth + 31) / 32 * 4;
    return decode(static_cast<const unsigned char*>(dib), hdr, static_cast<const unsigned char*>(data),
                  static_cast<std::size_t>(rowbytes * hgt), true);
}
