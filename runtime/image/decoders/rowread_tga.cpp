// Targa row reader: colour-mapped, true-colour and grey images, plain or
// run-length encoded, any corner as origin. The picture is decoded whole on the
// first row, since run-length packets cross rows and most files are bottom-up.
#include "runtime/image/decoders/decoders_internal.h"

#include <cstring>

namespace {

struct tga_state {
    int type;               // 1 mapped, 2 true colour, 3 grey (+8: run-length)
    int bytes;              // bytes per file pixel
    int bits;               // bits per file pixel
    unsigned char* map;     // blue, green, red per entry
    int map_first;
    int map_count;
    bool top_first;
    bool right_to_left;
    unsigned char* image;   // decoded picture, top row first
    int y;
};

unsigned le16(const unsigned char* p) { return p[0] | (p[1] << 8); }

// One file pixel to output components (3: blue, green, red; 1: grey).
void put_pixel(rowreader* r, const tga_state* st, const unsigned char* px, unsigned char* out)
{
    switch (st->type & 7) {
    case 3:
        out[0] = px[0];
        return;
    case 1: {
        int i = st->bytes == 2 ? static_cast<int>(le16(px)) : px[0];
        i -= st->map_first;
        if (i < 0 || i >= st->map_count)
            _rowreader_error(r->host, ROWMSG_TGA_BADINDEX);
        std::memcpy(out, st->map + 3 * i, 3);
        return;
    }
    default:
        if (st->bytes == 2) {
            unsigned v = le16(px);
            out[0] = static_cast<unsigned char>((v & 31) * 255 / 31);
            out[1] = static_cast<unsigned char>(((v >> 5) & 31) * 255 / 31);
            out[2] = static_cast<unsigned char>(((v >> 10) & 31) * 255 / 31);
        } else {
            std::memcpy(out, px, 3);
        }
    }
}

void decode(rowreader* r, tga_state* st)
{
    const std::size_t comps = static_cast<std::size_t>(r->components);
    const std::size_t w = static_cast<std::size_t>(r->width);
    const std::size_t h = static_cast<std::size_t>(r->height);
    const std::size_t total = w * h;
    unsigned char* pixels = static_cast<unsigned char*>(_rowreader_alloc(r, total * comps));
    unsigned char px[4];
    std::size_t n = 0;
    const bool rle = st->type & 8;
    while (n < total) {
        std::size_t count = 1;
        bool repeat = false;
        if (rle) {
            int c = _rowreader_byte(r);
            if (c < 0)
                _rowreader_error(r->host, ROWMSG_TGA_EOF);
            count = static_cast<std::size_t>(c & 0x7F) + 1;
            repeat = c & 0x80;
            if (count > total - n)
                count = total - n;   // a packet may not run past the picture
        }
        if (repeat) {
            if (std::fread(px, 1, static_cast<std::size_t>(st->bytes), r->file) != static_cast<std::size_t>(st->bytes))
                _rowreader_error(r->host, ROWMSG_TGA_EOF);
            unsigned char one[3];
            put_pixel(r, st, px, one);
            for (std::size_t i = 0; i < count; ++i, ++n)
                std::memcpy(pixels + n * comps, one, comps);
        } else {
            for (std::size_t i = 0; i < count; ++i, ++n) {
                if (std::fread(px, 1, static_cast<std::size_t>(st->bytes), r->file) != static_cast<std::size_t>(st->bytes))
                    _rowreader_error(r->host, ROWMSG_TGA_EOF);
                put_pixel(r, st, px, pixels + n * comps);
            }
        }
    }
    // rows top first, pixels left to right
    st->image = static_cast<unsigned char*>(_rowreader_alloc(r, total * comps));
    const std::size_t rowbytes = w * comps;
    for (std::size_t y = 0; y < h; ++y) {
        const unsigned char* src = pixels + (st->top_first ? y : h - 1 - y) * rowbytes;
        unsigned char* dst = st->image + y * rowbytes;
        if (!st->right_to_left) {
            std::memcpy(dst, src, rowbytes);
        } else {
            for (std::size_t x = 0; x < w; ++x)
                std::memcpy(dst + x * comps, src + (w - 1 - x) * comps, comps);
        }
    }
}

void next_row(rowreader* r)
{
    auto* st = static_cast<tga_state*>(r->state);
    if (!st->image)
        decode(r, st);
    const std::size_t rowbytes = static_cast<std::size_t>(r->width) * static_cast<std::size_t>(r->components);
    std::memcpy(r->row, st->image + rowbytes * static_cast<std::size_t>(st->y), rowbytes);
    ++st->y;
}

} // namespace

void _rowreader_start_tga(rowreader* r)
{
    auto* st = static_cast<tga_state*>(_rowreader_alloc(r, sizeof(tga_state)));
    std::memset(st, 0, sizeof *st);
    r->state = st;
    unsigned char h[18];
    if (std::fread(h, 1, sizeof h, r->file) != sizeof h)
        _rowreader_error(r->host, ROWMSG_TGA_EOF);
    const int idlen = h[0], maptype = h[1], type = h[2];
    const int map_first = static_cast<int>(le16(h + 3)), map_len = static_cast<int>(le16(h + 5)), map_bits = h[7];
    const int width = static_cast<int>(le16(h + 12)), height = static_cast<int>(le16(h + 14));
    const int bits = h[16], desc = h[17];
    if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11)
        _rowreader_error(r->host, ROWMSG_TGA_BADTYPE, type);
    if (maptype > 1)
        _rowreader_error(r->host, ROWMSG_TGA_BADCMAP);
    for (int i = 0; i < idlen; ++i)
        if (_rowreader_byte(r) < 0)
            _rowreader_error(r->host, ROWMSG_TGA_EOF);
    st->type = type;
    st->bits = bits;
    const int kind = type & 7;
    if (kind == 1 && !(bits == 8 || bits == 16))
        _rowreader_error(r->host, ROWMSG_TGA_BADDEPTH, bits);
    if (kind == 2 && !(bits == 15 || bits == 16 || bits == 24 || bits == 32))
        _rowreader_error(r->host, ROWMSG_TGA_BADDEPTH, bits);
    if (kind == 3 && bits != 8 && bits != 16)   // 16: grey and alpha
        _rowreader_error(r->host, ROWMSG_TGA_BADDEPTH, bits);
    st->bytes = (bits + 7) / 8;
    if (maptype == 1) {
        int eb = (map_bits + 7) / 8;
        if (!(map_bits == 15 || map_bits == 16 || map_bits == 24 || map_bits == 32))
            _rowreader_error(r->host, ROWMSG_TGA_BADCMAP);
        if (static_cast<long long>(map_len) * eb > r->file_size)
            _rowreader_error(r->host, ROWMSG_TGA_EOF);
        if (kind == 1) {
            st->map = static_cast<unsigned char*>(_rowreader_alloc(r, static_cast<std::size_t>(map_len) * 3));
            st->map_first = map_first;
            st->map_count = map_len;
        }
        for (int i = 0; i < map_len; ++i) {
            unsigned char e[4];
            if (std::fread(e, 1, static_cast<std::size_t>(eb), r->file) != static_cast<std::size_t>(eb))
                _rowreader_error(r->host, ROWMSG_TGA_EOF);
            if (kind != 1)
                continue;
            unsigned char* m = st->map + 3 * i;
            if (eb == 2) {
                unsigned v = le16(e);
                m[0] = static_cast<unsigned char>((v & 31) * 255 / 31);
                m[1] = static_cast<unsigned char>(((v >> 5) & 31) * 255 / 31);
                m[2] = static_cast<unsigned char>(((v >> 10) & 31) * 255 / 31);
            } else {
                std::memcpy(m, e, 3);
            }
        }
    } else if (kind == 1) {
        _rowreader_error(r->host, ROWMSG_TGA_BADCMAP);
    }
    st->top_first = desc & 0x20;
    st->right_to_left = desc & 0x10;
    r->width = width;
    r->height = height;
    r->components = kind == 3 ? 1 : 3;
    // a two-byte run-length packet gives up to 128 pixels
    r->pixels_per_byte = (type & 8) ? 64 : 1;
    if (r->width < 1 || r->height < 1)
        return;
    r->row = static_cast<unsigned char*>(_rowreader_alloc(r, static_cast<std::size_t>(width) * 3));
    r->next_row = next_row;
}
