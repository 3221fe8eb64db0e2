// PPM/PGM row reader (and PBM): plain (P1, P2, P3) and binary (P4, P5, P6)
// files, any maximum value up to 65535, scaled to 0..255. PGM and PBM give grey
// rows, PPM blue-green-red rows.
#include "runtime/image/decoders/decoders_internal.h"

#include <cstring>

namespace {

struct ppm_state {
    int kind;          // 1 to 6
    unsigned maxval;
    unsigned char* raw;    // one binary file row
    std::size_t rawbytes;
};

// Next number of the header or of a plain file, past white space and comments.
unsigned read_number(rowreader* r, unsigned limit)
{
    int c;
    do {
        c = _rowreader_byte(r);
        if (c == '#')
            while (c >= 0 && c != '\n' && c != '\r')
                c = _rowreader_byte(r);
    } while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f');
    if (c < 0)
        _rowreader_error(r->host, ROWMSG_PPM_EOF);
    if (c < '0' || c > '9')
        _rowreader_error(r->host, ROWMSG_PPM_NONNUMERIC);
    unsigned long v = 0;
    while (c >= '0' && c <= '9') {
        v = v * 10 + static_cast<unsigned>(c - '0');
        if (v > limit)
            _rowreader_error(r->host, ROWMSG_PPM_BADSIZE);
        c = _rowreader_byte(r);
    }
    return static_cast<unsigned>(v);
}

// A plain bitmap's digit: 0 or 1, white space between digits optional.
unsigned read_bit(rowreader* r)
{
    int c;
    do {
        c = _rowreader_byte(r);
        if (c == '#')
            while (c >= 0 && c != '\n' && c != '\r')
                c = _rowreader_byte(r);
    } while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f');
    if (c < 0)
        _rowreader_error(r->host, ROWMSG_PPM_EOF);
    if (c != '0' && c != '1')
        _rowreader_error(r->host, ROWMSG_PPM_NONNUMERIC);
    return static_cast<unsigned>(c - '0');
}

unsigned char scale(unsigned v, unsigned maxval)
{
    if (v > maxval)
        v = maxval;
    return static_cast<unsigned char>((v * 255UL + maxval / 2) / maxval);
}

void next_row(rowreader* r)
{
    auto* st = static_cast<ppm_state*>(r->state);
    const int w = r->width;
    unsigned char* out = r->row;
    switch (st->kind) {
    case 1:
        for (int x = 0; x < w; ++x)
            out[x] = read_bit(r) ? 0 : 255;
        break;
    case 2:
        for (int x = 0; x < w; ++x)
            out[x] = scale(read_number(r, 65535), st->maxval);
        break;
    case 3:
        for (int x = 0; x < w; ++x, out += 3) {
            out[2] = scale(read_number(r, 65535), st->maxval);
            out[1] = scale(read_number(r, 65535), st->maxval);
            out[0] = scale(read_number(r, 65535), st->maxval);
        }
        break;
    case 4:
        _rowreader_read(r, st->raw, st->rawbytes);
        for (int x = 0; x < w; ++x)
            out[x] = (st->raw[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
        break;
    default: {
        _rowreader_read(r, st->raw, st->rawbytes);
        const int samples = st->kind == 5 ? 1 : 3;
        const bool wide = st->maxval > 255;
        const unsigned char* in = st->raw;
        for (int x = 0; x < w; ++x) {
            unsigned char s[3];
            for (int k = 0; k < samples; ++k) {
                unsigned v = wide ? (in[0] << 8 | in[1]) : in[0];
                in += wide ? 2 : 1;
                s[k] = scale(v, st->maxval);
            }
            if (samples == 1) {
                out[x] = s[0];
            } else {
                out[3 * x] = s[2];
                out[3 * x + 1] = s[1];
                out[3 * x + 2] = s[0];
            }
        }
    }
    }
}

} // namespace

void _rowreader_start_ppm(rowreader* r)
{
    auto* st = static_cast<ppm_state*>(_rowreader_alloc(r, sizeof(ppm_state)));
    std::memset(st, 0, sizeof *st);
    r->state = st;
    if (_rowreader_byte(r) != 'P')
        _rowreader_error(r->host, ROWMSG_PPM_NOTPPM);
    int k = _rowreader_byte(r);
    if (k < '1' || k > '6')
        _rowreader_error(r->host, ROWMSG_PPM_NOTPPM);
    st->kind = k - '0';
    const unsigned w = read_number(r, 0x7FFFFFFF);
    const unsigned h = read_number(r, 0x7FFFFFFF);
    st->maxval = 1;
    if (st->kind != 1 && st->kind != 4) {
        st->maxval = read_number(r, 65535);
        if (st->maxval < 1)
            _rowreader_error(r->host, ROWMSG_PPM_BADMAXVAL, static_cast<int>(st->maxval));
    }
    // (the one white-space byte that ends a binary header went with the last number)
    r->width = static_cast<int>(w);
    r->height = static_cast<int>(h);
    r->components = (st->kind == 3 || st->kind == 6) ? 3 : 1;
    // plain files spend at least one character per sample, binary ones a byte
    // (a bit for P4)
    r->pixels_per_byte = st->kind == 4 ? 8 : 1;
    if (r->width < 1 || r->height < 1)
        return;
    const std::size_t samples = static_cast<std::size_t>(w) * (st->kind == 6 ? 3 : 1);
    if (st->kind == 4)
        st->rawbytes = (static_cast<std::size_t>(w) + 7) / 8;
    else
        st->rawbytes = samples * (st->maxval > 255 ? 2 : 1);
    if (static_cast<long double>(st->rawbytes) > static_cast<long double>(r->file_size))
        _rowreader_error(r->host, ROWMSG_IMG_TOOLARGE, r->width, r->height);
    if (st->kind >= 4)
        st->raw = static_cast<unsigned char*>(_rowreader_alloc(r, st->rawbytes));
    r->row = static_cast<unsigned char*>(_rowreader_alloc(r, static_cast<std::size_t>(w) * 3));
    r->next_row = next_row;
}
