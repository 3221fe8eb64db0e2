// Reader of icon and cursor files (.ico, .cur): the directory, the choice of one
// image, and its pixels with transparency. DIB images go through the runtime's DIB
// reader, PNG images through libpng (ico_png.cpp).
#include "runtime/image/image_internal.h"
#include "platform/packed_rows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

struct Entry {
    int w, h, bpp;
    std::uint32_t bytes, offset;
};

enum : std::uint32_t { kRGB = 0, kBitfields = 3, kAlphaBitfields = 6 };

bool is_png(const unsigned char* p, std::size_t n)
{
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return n >= 8 && std::memcmp(p, sig, 8) == 0;
}

bool decode_png(const unsigned char* p, std::size_t n, IcoImage* out)
{
    return n <= 64u * 1024 * 1024 && image_ico_png(p, n, 1024, out);
}

// What the image itself says of its size and depth: directories often say 0 or
// disagree, and the loader goes by the image. False when there is no header to read.
bool image_says(const unsigned char* p, std::size_t n, Entry* en)
{
    if (is_png(p, n)) {
        if (n < 24)
            return false;
        auto be32 = [](const unsigned char* q) {
            return std::uint32_t(q[0]) << 24 | std::uint32_t(q[1]) << 16 | std::uint32_t(q[2]) << 8 | q[3];
        };
        const std::uint32_t w = be32(p + 16), h = be32(p + 20);
        if (w < 1 || h < 1 || w > 1024 || h > 1024)
            return false;
        en->w = static_cast<int>(w);
        en->h = static_cast<int>(h);
        en->bpp = 32;
        return true;
    }
    if (n < 16)
        return false;
    const std::uint32_t hsz = image_le32(p);
    if (hsz == 12) {
        en->w = image_le16(p + 4);
        en->h = image_le16(p + 6) / 2;
        en->bpp = image_le16(p + 10);
    } else if (hsz >= 40 && n >= 16) {
        en->w = static_cast<std::int32_t>(image_le32(p + 4));
        en->h = static_cast<std::int32_t>(image_le32(p + 8)) / 2;
        en->bpp = image_le16(p + 14);
    } else {
        return false;
    }
    return en->w > 0 && en->h > 0;
}

// A DIB image: XOR rows (height / 2 of the header's doubled height), then the 1-bit
// AND mask. A mask cut short by the end of the file leaves those pixels opaque; a
// header whose height was not doubled (it equals the directory's) has no mask.
bool decode_dib(const unsigned char* p, std::size_t n, int dir_h, IcoImage* out)
{
    if (n < 12)
        return false;
    const std::uint32_t hsz = image_le32(p);
    if (hsz != 12 && (hsz < 40 || hsz > n))
        return false;
    const bool core = hsz == 12;
    long long w = core ? image_le16(p + 4) : static_cast<std::int32_t>(image_le32(p + 4));
    long long h2 = core ? image_le16(p + 6) : static_cast<std::int32_t>(image_le32(p + 8));
    const int bpp = core ? image_le16(p + 10) : image_le16(p + 14);
    const std::uint32_t comp = core ? 0 : image_le32(p + 16);
    const bool fields = (comp == kBitfields || comp == kAlphaBitfields) && (bpp == 16 || bpp == 32);
    if (w < 1 || w > 1024 || h2 < 1 || h2 > 2048 || (comp != kRGB && !fields))
        return false;
    const bool undoubled = dir_h > 0 && h2 == dir_h && h2 != 2 * dir_h;
    const long long h = undoubled ? h2 : h2 / 2;
    if (h < 1)
        return false;
    std::vector<unsigned char> copy(p, p + n);
    if (core)
        image_put16(copy.data() + 6, static_cast<std::uint32_t>(h));
    else
        image_put32(copy.data() + 8, static_cast<std::uint32_t>(h));
    std::uint64_t off = hsz;
    if (fields && hsz == 40)
        off += comp == kAlphaBitfields ? 16 : 12;   // the masks follow a short header
    if (bpp <= 8) {
        std::uint32_t colours = core ? 0 : image_le32(p + 32);
        if (!colours || colours > (1u << bpp))
            colours = 1u << bpp;
        off += static_cast<std::uint64_t>(colours) * (core ? 3 : 4);
    }
    if (off > n)
        return false;
    _bmap* bm = _dib_decode(copy.data(), n, static_cast<std::size_t>(off));
    if (!bm)
        return false;
    out->width = static_cast<int>(w);
    out->height = static_cast<int>(h);
    out->argb.assign(static_cast<std::size_t>(w * h), 0);
    const std::uint64_t xorrow = (static_cast<std::uint64_t>(bpp) * w + 31) / 32 * 4;
    const std::uint64_t androw = (static_cast<std::uint64_t>(w) + 31) / 32 * 4;
    const std::uint64_t andoff = off + xorrow * h;
    // rows of the mask present in the file, counted from the bottom
    const std::uint64_t and_rows = undoubled || andoff >= n ? 0 : std::min<std::uint64_t>((n - andoff) / androw, h);
    bool alpha = false;
    if (bpp == 32)
        for (long long y = 0; y < h && !alpha; ++y)
            for (long long x = 0; x < w; ++x)
                if (p[off + xorrow * y + x * 4 + 3]) {
                    alpha = true;
                    break;
                }
    for (long long y = 0; y < h; ++y) {   // y counts rows from the bottom of the file
        const unsigned char* src = bm->bits + static_cast<std::size_t>(h - 1 - y) * bm->stride;
        std::uint32_t* dst = out->argb.data() + static_cast<std::size_t>(h - 1 - y) * w;
        for (long long x = 0; x < w; ++x) {
            std::uint32_t a = 255;
            if (alpha)
                a = p[off + xorrow * y + x * 4 + 3];
            else if (static_cast<std::uint64_t>(y) < and_rows && packed_index<1>(p + andoff + androw * y, std::size_t(x)))
                a = 0;
            dst[x] = (a << 24) | (std::uint32_t(src[x * 3 + 2]) << 16) | (std::uint32_t(src[x * 3 + 1]) << 8) |
                     src[x * 3];
        }
    }
    delete bm;
    return true;
}

} // namespace

bool image_ico_decode(const unsigned char* data, std::size_t size, int want, IcoImage* out)
{
    if (!data || !out || size < 6)
        return false;
    const unsigned type = image_le16(data + 2);
    const unsigned count = image_le16(data + 4);
    if (image_le16(data) != 0 || (type != 1 && type != 2) || count == 0)
        return false;
    // closest size first (a larger image before a smaller one the same distance
    // away), then the deepest colour the screen shows; the image's own header
    // counts over the directory's figures
    const int screen_depth = 32;
    int best = -1;
    Entry chosen{};
    long long bestscore = 0;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t at = 6 + static_cast<std::size_t>(i) * 16;
        if (at + 16 > size)
            break;
        const unsigned char* e = data + at;
        Entry en{e[0] ? e[0] : 256, e[1] ? e[1] : 256, type == 1 ? image_le16(e + 6) : 0, image_le32(e + 8),
                 image_le32(e + 12)};
        if (en.offset >= size || en.bytes == 0)
            continue;
        // an entry that runs past the end of the file keeps what is there
        if (en.bytes > size - en.offset)
            en.bytes = static_cast<std::uint32_t>(size - en.offset);
        if (!image_says(data + en.offset, en.bytes, &en))
            continue;
        const long long d = en.w - want;
        const int depth = en.bpp > screen_depth ? 0 : en.bpp;
        const long long score = (d < 0 ? -d * 2 + 1 : d * 2) * 1000 - depth;
        if (best < 0 || score < bestscore) {
            best = static_cast<int>(i);
            bestscore = score;
            chosen = en;
        }
    }
    if (best < 0)
        return false;
    const unsigned char* img = data + chosen.offset;
    if (is_png(img, chosen.bytes))
        return decode_png(img, chosen.bytes, out);
    const unsigned char* dir = data + 6 + static_cast<std::size_t>(best) * 16;
    return decode_dib(img, chosen.bytes, dir[1], out);
}
