// BMP row reader: Windows (40 to 124-byte headers) and OS/2 (12-byte header)
// files of 1, 4, 8, 16, 24 and 32 bits, uncompressed or with colour masks.
// Bottom-up files are read whole and handed out top row first.
#include "runtime/image/decoders/decoders_internal.h"

#include <cstring>

namespace {

struct mask {
    unsigned shift;
    unsigned bits;   // width of the field, 0 when absent
};

struct bmp_state {
    unsigned char map[256 * 3];   // blue, green, red
    int bpp;
    bool bottom_up;
    std::size_t rowbytes;
    unsigned char* raw;     // one file row, or the whole picture of a bottom-up file
    int y;
    mask masks[3];          // red, green, blue
};

unsigned le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
unsigned long le32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (static_cast<unsigned long>(p[2]) << 16) | (static_cast<unsigned long>(p[3]) << 24);
}

mask make_mask(unsigned long m)
{
    mask k{0, 0};
    if (!m)
        return k;
    while (!(m & 1)) { m >>= 1; ++k.shift; }
    while (m & 1) { m >>= 1; ++k.bits; }
    if (k.bits > 8) {   // keep the top eight bits
        k.shift += k.bits - 8;
        k.bits = 8;
    }
    return k;
}

unsigned char field(unsigned long v, const mask& k)
{
    if (!k.bits)
        return 0;
    unsigned long f = (v >> k.shift) & ((1UL << k.bits) - 1);
    return static_cast<unsigned char>(f * 255 / ((1UL << k.bits) - 1));
}

void convert(rowreader* r, bmp_state* st, const unsigned char* in)
{
    unsigned char* out = r->row;
    const int w = r->width;
    switch (st->bpp) {
    case 1: case 4: case 8: {
        const int per = 8 / st->bpp;
        const unsigned m = (1u << st->bpp) - 1;
        for (int x = 0; x < w; ++x, out += 3) {
            unsigned byte = in[x / per];
            unsigned i = (byte >> ((per - 1 - x % per) * st->bpp)) & m;
            std::memcpy(out, st->map + 3 * i, 3);
        }
        break;
    }
    case 16:
        for (int x = 0; x < w; ++x, out += 3) {
            unsigned long v = le16(in + 2 * x);
            out[2] = field(v, st->masks[0]);
            out[1] = field(v, st->masks[1]);
            out[0] = field(v, st->masks[2]);
        }
        break;
    case 24:
        std::memcpy(out, in, static_cast<std::size_t>(w) * 3);
        break;
    case 32:
        for (int x = 0; x < w; ++x, out += 3) {
            unsigned long v = le32(in + 4 * x);
            out[2] = field(v, st->masks[0]);
            out[1] = field(v, st->masks[1]);
            out[0] = field(v, st->masks[2]);
        }
        break;
    }
}

void next_row(rowreader* r)
{
    auto* st = static_cast<bmp_state*>(r->state);
    if (!st->bottom_up) {
        _rowreader_read(r, st->raw, st->rowbytes);
        convert(r, st, st->raw);
    } else {
        if (!st->raw) {
            std::size_t total = st->rowbytes * static_cast<std::size_t>(r->height);
            st->raw = static_cast<unsigned char*>(_rowreader_alloc(r, total));
            _rowreader_read(r, st->raw, total);
        }
        convert(r, st, st->raw + st->rowbytes * static_cast<std::size_t>(r->height - 1 - st->y));
    }
    ++st->y;
}

} // namespace

void _rowreader_start_bmp(rowreader* r)
{
    auto* st = static_cast<bmp_state*>(_rowreader_alloc(r, sizeof(bmp_state)));
    std::memset(st, 0, sizeof *st);
    r->state = st;
    unsigned char fh[14];
    _rowreader_read(r, fh, sizeof fh);
    if (fh[0] != 'B' || fh[1] != 'M')
        _rowreader_error(r->host, ROWMSG_BMP_NOTBMP);
    const unsigned long offbits = le32(fh + 10);
    unsigned char ih[124];
    _rowreader_read(r, ih, 4);
    const unsigned long hsize = le32(ih);
    if (hsize != 12 && hsize != 40 && hsize != 52 && hsize != 56 && hsize != 64 && hsize != 108 && hsize != 124)
        _rowreader_error(r->host, ROWMSG_BMP_BADHEADER);
    _rowreader_read(r, ih + 4, hsize - 4);
    long long width, height;
    unsigned planes, bpp;
    unsigned long compression = 0, colours = 0;
    long xppm = 0, yppm = 0;
    int entry = 4;
    if (hsize == 12) {
        width = static_cast<std::int16_t>(le16(ih + 4));
        height = static_cast<std::int16_t>(le16(ih + 6));
        planes = le16(ih + 8);
        bpp = le16(ih + 10);
        entry = 3;
    } else {
        width = static_cast<std::int32_t>(le32(ih + 4));
        height = static_cast<std::int32_t>(le32(ih + 8));
        planes = le16(ih + 12);
        bpp = le16(ih + 14);
        compression = le32(ih + 16);
        xppm = static_cast<std::int32_t>(le32(ih + 24));
        yppm = static_cast<std::int32_t>(le32(ih + 28));
        colours = le32(ih + 32);
    }
    if (planes != 1)
        _rowreader_error(r->host, ROWMSG_BMP_BADPLANES);
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        _rowreader_error(r->host, ROWMSG_BMP_BADDEPTH, static_cast<int>(bpp));
    std::size_t consumed = 14 + hsize;
    if (compression == 3 && (bpp == 16 || bpp == 32)) {
        unsigned char m[12];
        if (hsize >= 52) {
            std::memcpy(m, ih + 40, 12);
        } else {
            _rowreader_read(r, m, 12);
            consumed += 12;
        }
        st->masks[0] = make_mask(le32(m));
        st->masks[1] = make_mask(le32(m + 4));
        st->masks[2] = make_mask(le32(m + 8));
        if (!st->masks[0].bits && !st->masks[1].bits && !st->masks[2].bits)
            _rowreader_error(r->host, ROWMSG_BMP_BADMASKS);
    } else if (compression != 0) {
        _rowreader_error(r->host, ROWMSG_BMP_COMPRESSED);
    } else if (bpp == 16) {
        st->masks[0] = make_mask(0x7C00);
        st->masks[1] = make_mask(0x03E0);
        st->masks[2] = make_mask(0x001F);
    } else if (bpp == 32) {
        st->masks[0] = make_mask(0xFF0000);
        st->masks[1] = make_mask(0xFF00);
        st->masks[2] = make_mask(0xFF);
    }
    if (bpp <= 8) {
        unsigned long n = colours ? colours : (1UL << bpp);
        if (n > 256)
            _rowreader_error(r->host, ROWMSG_BMP_BADCMAP);
        for (unsigned long i = 0; i < n; ++i) {
            unsigned char e[4];
            _rowreader_read(r, e, static_cast<std::size_t>(entry));
            std::memcpy(st->map + 3 * i, e, 3);
        }
        consumed += n * static_cast<std::size_t>(entry);
    }
    if (offbits < consumed || static_cast<long long>(offbits) > r->file_size)
        _rowreader_error(r->host, ROWMSG_BMP_OUTOFRANGE);
    for (std::size_t skip = offbits - consumed; skip > 0; --skip)
        if (_rowreader_byte(r) < 0)
            _rowreader_error(r->host, ROWMSG_IMG_EOF);

    st->bpp = static_cast<int>(bpp);
    st->bottom_up = height > 0;
    if (height < 0)
        height = -height;
    r->width = width > 0 && width <= 0x7FFFFFFF ? static_cast<int>(width) : 0;
    r->height = height <= 0x7FFFFFFF ? static_cast<int>(height) : 0;
    r->components = 3;
    r->pixels_per_byte = 8;
    if (xppm > 0 && yppm > 0) {
        r->xdensity = static_cast<int>(xppm * 0.0254 + 0.5);
        r->ydensity = static_cast<int>(yppm * 0.0254 + 0.5);
    }
    if (r->width < 1 || r->height < 1)
        return;
    // the rows must be in the file before anything is sized from them
    st->rowbytes = ((static_cast<std::size_t>(r->width) * bpp + 31) / 32) * 4;
    if (static_cast<long double>(st->rowbytes) * r->height > static_cast<long double>(r->file_size - static_cast<long long>(offbits)))
        _rowreader_error(r->host, ROWMSG_IMG_TOOLARGE, r->width, r->height);
    if (!st->bottom_up)
        st->raw = static_cast<unsigned char*>(_rowreader_alloc(r, st->rowbytes));
    r->row = static_cast<unsigned char*>(_rowreader_alloc(r, static_cast<std::size_t>(r->width) * 3));
    r->next_row = next_row;
}
