// 8BPS layered-image files (.psd, .pdd): the merged picture of bitmap, grey,
// indexed and RGB files of 8 bits (1 for bitmap), raw or PackBits. A file that
// ends early gives the picture as far as it was filled (the rest stays white).
#include "ostrel/decoders.h"
#include "ostrel/bmap.h"
#include "runtime/image/decoders/decoders_internal.h"

#include <cstring>
#include <memory>

namespace {

struct psd_header {
    int channels;
    long long width;
    long long height;
    int depth;
    int mode;
};

unsigned be16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
unsigned long be32(const unsigned char* p)
{
    return (static_cast<unsigned long>(p[0]) << 24) | (static_cast<unsigned long>(p[1]) << 16) | (p[2] << 8) | p[3];
}

struct file_closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using file_ptr = std::unique_ptr<std::FILE, file_closer>;

// Reads and checks the 26-byte header.
bool read_header(std::FILE* f, psd_header* h)
{
    unsigned char b[26];
    if (std::fread(b, 1, sizeof b, f) != sizeof b)
        return false;
    if (std::memcmp(b, "8BPS", 4) != 0 || be16(b + 4) != 1)
        return false;
    h->channels = static_cast<int>(be16(b + 12));
    h->height = static_cast<long long>(be32(b + 14));
    h->width = static_cast<long long>(be32(b + 18));
    h->depth = static_cast<int>(be16(b + 22));
    h->mode = static_cast<int>(be16(b + 24));
    if (h->channels < 1 || h->width < 1 || h->height < 1)
        return false;
    if (h->mode == 0)
        return h->depth == 1;
    return (h->mode == 1 || h->mode == 2 || h->mode == 3) && h->depth == 8;
}

bool skip(std::FILE* f, unsigned long n)
{
    return std::fseek(f, static_cast<long>(n), SEEK_CUR) == 0;
}

bool read_length(std::FILE* f, unsigned long* n)
{
    unsigned char b[4];
    if (std::fread(b, 1, 4, f) != 4)
        return false;
    *n = be32(b);
    return true;
}

// Bytes of one plane, decoded from raw or PackBits data, one row at a time.
class plane_reader {
public:
    plane_reader(std::FILE* f, bool packbits) : f_(f), packbits_(packbits) {}

    // Fills `n` bytes; false at the end of the data. A run may carry over into
    // the next row: the plane is one stream of packets.
    bool row(unsigned char* out, std::size_t n)
    {
        if (!packbits_)
            return std::fread(out, 1, n, f_) == n;
        std::size_t got = 0;
        while (got < n) {
            if (run_left_ > 0) {
                std::size_t k = std::min(run_left_, n - got);
                if (run_literal_) {
                    if (std::fread(out + got, 1, k, f_) != k)
                        return false;
                } else {
                    std::memset(out + got, run_byte_, k);
                }
                got += k;
                run_left_ -= k;
                continue;
            }
            int c = std::getc(f_);
            if (c == EOF)
                return false;
            signed char hdr = static_cast<signed char>(c);
            if (hdr >= 0) {
                run_literal_ = true;
                run_left_ = static_cast<std::size_t>(hdr) + 1;
            } else if (hdr != -128) {   // -128 is the format's no-op
                int b = std::getc(f_);
                if (b == EOF)
                    return false;
                run_literal_ = false;
                run_byte_ = static_cast<unsigned char>(b);
                run_left_ = static_cast<std::size_t>(1 - hdr);
            }
        }
        return true;
    }

private:
    std::FILE* f_;
    bool packbits_;
    bool run_literal_ = false;
    unsigned char run_byte_ = 0;
    std::size_t run_left_ = 0;
};

} // namespace

int _getpsd_size(const char* name, int* width, int* height)
{
    if (!name)
        return 0;
    file_ptr f(std::fopen(name, "rb"));
    psd_header h;
    if (!f || !read_header(f.get(), &h) || h.width > 0x7FFFFFFF || h.height > 0x7FFFFFFF)
        return 0;
    if (width) *width = static_cast<int>(h.width);
    if (height) *height = static_cast<int>(h.height);
    return 1;
}

_bmap* _getpsd_bmap(const char* name)
{
    if (!name)
        return nullptr;
    file_ptr f(std::fopen(name, "rb"));
    psd_header h;
    if (!f || !read_header(f.get(), &h))
        return nullptr;
    unsigned long len = 0;
    unsigned char palette[768] = {};
    if (!read_length(f.get(), &len))
        return nullptr;
    const unsigned long keep = len < sizeof palette ? len : sizeof palette;
    if (std::fread(palette, 1, keep, f.get()) != keep || !skip(f.get(), len - keep))
        return nullptr;
    for (int section = 0; section < 2; ++section)   // image resources, layers and masks
        if (!read_length(f.get(), &len) || !skip(f.get(), len))
            return nullptr;
    unsigned char cb[2];
    if (std::fread(cb, 1, 2, f.get()) != 2)
        return nullptr;
    const unsigned compression = be16(cb);

    // The planes must fit in the file (PackBits gives at most 128 bytes for 2)
    // before anything is sized from the header.
    const long long file_size = _file_size(f.get());
    const long long here = std::ftell(f.get());
    const long long planes = h.channels < 3 ? h.channels : 3;
    const long long rowbytes = h.mode == 0 ? (h.width + 7) / 8 : h.width;
    long double need = static_cast<long double>(rowbytes) * h.height * (h.mode == 3 ? planes : 1);
    if (compression == 1)
        need = need / 64 + static_cast<long double>(h.height) * h.channels * 2;
    if (!_bmap_size_ok(h.width, h.height) || file_size < 0 || need > file_size - here + 64)
        return nullptr;
    if (compression == 1 && !skip(f.get(), static_cast<unsigned long>(h.height * h.channels * 2)))
        return nullptr;

    _bmap* bm = _bmap_try_new(h.width, h.height);
    if (!bm)
        return nullptr;
    bm->set_ppm(0, 0);
    bm->update_info();
    std::memset(bm->bits, 0xFF, static_cast<std::size_t>(bm->stride) * static_cast<std::size_t>(bm->height));
    if (compression != 0 && compression != 1)
        return bm;   // rows left unfilled

    const std::size_t w = static_cast<std::size_t>(h.width);
    const std::size_t stride = static_cast<std::size_t>(bm->stride);
    std::unique_ptr<unsigned char[]> row(new unsigned char[static_cast<std::size_t>(rowbytes)]);
    plane_reader rd(f.get(), compression == 1);
    const int nplanes = h.mode == 3 ? static_cast<int>(planes) : 1;
    for (int c = 0; c < nplanes; ++c) {
        for (long long y = 0; y < h.height; ++y) {
            if (!rd.row(row.get(), static_cast<std::size_t>(rowbytes)))
                return bm;   // a short read ends decoding
            unsigned char* out = bm->bits + stride * static_cast<std::size_t>(y);
            const unsigned char* in = row.get();
            switch (h.mode) {
            case 3:
                for (std::size_t x = 0; x < w; ++x)
                    out[3 * x + 2 - c] = in[x];
                break;
            case 1:
                for (std::size_t x = 0; x < w; ++x, out += 3)
                    out[0] = out[1] = out[2] = in[x];
                break;
            case 2:
                for (std::size_t x = 0; x < w; ++x, out += 3) {
                    out[0] = palette[512 + in[x]];
                    out[1] = palette[256 + in[x]];
                    out[2] = palette[in[x]];
                }
                break;
            default:
                for (std::size_t x = 0; x < w; ++x, out += 3) {
                    unsigned char v = (in[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
                    out[0] = out[1] = out[2] = v;
                }
                break;
            }
        }
    }
    return bm;
}
