// The row-reader path: the first byte of the file chooses the reader (Targa, BMP,
// GIF, PPM/PGM); rows come top row first as blue-green-red or grey and become a
// 24-bit bitmap. Errors are reported through the image-library error state.
#include "ostrel/decoders.h"
#include "ostrel/bmap.h"
#include "runtime/image/decoders/decoders_internal.h"

#include <cstring>

namespace {

// The state of one call. It lives in the frame of the entry, above the function
// that sets the recovery point, so it survives the jump; a call started from a
// hook while an error box is open has its own.
struct img_call {
    jpeg_compress_struct host;
    imgerr_mgr err;
    rowreader r;
    _bmap* bm;
};

bool looks_like_targa(std::FILE* f)
{
    unsigned char h[3];
    bool ok = std::fread(h, 1, 3, f) == 3 && h[1] <= 1 &&
              (h[2] == 1 || h[2] == 2 || h[2] == 3 || h[2] == 9 || h[2] == 10 || h[2] == 11) &&
              (h[1] == 1 || !(h[2] == 1 || h[2] == 9));
    return std::fseek(f, 0, SEEK_SET) == 0 && ok;
}

void finish(img_call& g)
{
    if (g.r.close)
        g.r.close(&g.r);
    g.r.close = nullptr;
    jpeg_destroy_compress(&g.host);   // harmless when the error exit did it already
    if (g.r.file)
        std::fclose(g.r.file);
    g.r.file = nullptr;
}

// Sets up the host object and starts the reader the first byte names. False
// (error flag set, no box) for an empty file or an unknown first byte.
bool start(img_call& g, std::FILE* f)
{
    std::memset(&g.r, 0, sizeof g.r);
    g.r.file = f;
    g.r.file_size = _file_size(f);
    g.host.err = _imgerr_manager(&g.err);
    jpeg_create_compress(&g.host);
    g.host.in_color_space = JCS_RGB;
    g.host.input_components = 3;
    jpeg_set_defaults(&g.host);
    g.r.host = &g.host;
    g.r.xdensity = g.host.X_density;
    g.r.ydensity = g.host.Y_density;
    int c = std::getc(f);
    if (c == EOF || std::ungetc(c, f) == EOF) {
        _imgerr_set();
        return false;
    }
    switch (c) {
    case 0x00: _rowreader_start_tga(&g.r); break;
    case 'B': _rowreader_start_bmp(&g.r); break;
    case 'G': _rowreader_start_gif(&g.r); break;
    case 'P': _rowreader_start_ppm(&g.r); break;
    default:
        // A Targa file that starts with an image ID: its first byte is the ID's
        // length, so it is known by the colour-map flag and image type instead.
        if (looks_like_targa(f)) {
            _rowreader_start_tga(&g.r);
            break;
        }
        _imgerr_set();
        return false;
    }
    if (g.r.width < 1)
        _rowreader_error(&g.host, ROWMSG_IMG_BADWIDTH);
    if (g.r.height < 1)
        _rowreader_error(&g.host, ROWMSG_IMG_BADHEIGHT);
    if (!_decode_budget_ok(g.r.width, g.r.height, g.r.file_size, g.r.pixels_per_byte))
        _rowreader_error(&g.host, ROWMSG_IMG_TOOLARGE, g.r.width, g.r.height);
    return true;
}

} // namespace

int _rowreader_byte(rowreader* r)
{
    int c = std::getc(r->file);
    return c == EOF ? -1 : c;
}

void _rowreader_read(rowreader* r, void* buf, std::size_t n)
{
    if (std::fread(buf, 1, n, r->file) != n)
        _rowreader_error(r->host, ROWMSG_IMG_EOF);
}

void* _rowreader_alloc(rowreader* r, std::size_t n)
{
    j_common_ptr c = reinterpret_cast<j_common_ptr>(r->host);
    return (*r->host->mem->alloc_large)(c, JPOOL_IMAGE, n ? n : 1);
}

namespace {

// Reads the header; 1 when it describes an image. The recovery point is this
// call's own.
int read_size(img_call& g, std::FILE* f, int* width, int* height, int* xdpi, int* ydpi)
{
    if (setjmp(g.err.recover)) {
        finish(g);
        return 0;
    }
    if (start(g, f)) {
        if (width) *width = g.r.width;
        if (height) *height = g.r.height;
        if (xdpi) *xdpi = g.r.xdensity;
        if (ydpi) *ydpi = g.r.ydensity;
    }
    finish(g);
    return 1 - _imgerr();
}

// Reads the rows into g.bm (made by the caller); null, with g.bm deleted, on
// failure. The recovery point is this call's own.
_bmap* decode(img_call& g, const char* name, int w, int h)
{
    std::FILE* f = std::fopen(name, "rb");
    if (!f) {
        delete g.bm;
        g.bm = nullptr;
        _imgerr_set();
        return nullptr;
    }
    if (setjmp(g.err.recover)) {
        finish(g);
        delete g.bm;
        g.bm = nullptr;
        return nullptr;
    }
    if (!start(g, f) || g.r.width != w || g.r.height != h)
        _rowreader_error(&g.host, ROWMSG_IMG_NOSEEK);
    const std::size_t stride = static_cast<std::size_t>(g.bm->stride);
    for (int y = 0; y < h; ++y) {
        g.r.next_row(&g.r);
        if (_imgerr()) {
            finish(g);
            delete g.bm;
            g.bm = nullptr;
            return nullptr;
        }
        unsigned char* dst = g.bm->bits + stride * static_cast<std::size_t>(y);
        if (g.r.components == 3) {
            std::memcpy(dst, g.r.row, static_cast<std::size_t>(w) * 3);
        } else {
            const unsigned char* src = g.r.row;
            for (int x = 0; x < w; ++x, dst += 3)
                dst[0] = dst[1] = dst[2] = src[x];
        }
    }
    finish(g);
    _bmap* bm = g.bm;
    g.bm = nullptr;
    bm->update_info();
    return bm;
}

} // namespace

int _getimg_size(const char* name, int* width, int* height, int* xdpi, int* ydpi)
{
    if (!name)
        return 0;
    _imgerr_context("_getimg_size", name);
    std::FILE* f = std::fopen(name, "rb");
    if (!f) {
        _imgerr_set();
        return 0;
    }
    img_call call{};
    return read_size(call, f, width, height, xdpi, ydpi);
}

_bmap* _getimg_bmap(const char* name)
{
    if (!name)
        return nullptr;
    _imgerr_context("_getimg_bmap", name);
    int w = 0, h = 0, xdpi = 1, ydpi = 1;
    if (!_getimg_size(name, &w, &h, &xdpi, &ydpi))
        return nullptr;
    _imgerr_context("_getimg", name);
    img_call call{};
    call.bm = _bmap_try_new(w, h);
    if (!call.bm) {
        _imgerr_set();
        return nullptr;
    }
    call.bm->set_dpi(xdpi, ydpi);
    return decode(call, name, w, h);
}
