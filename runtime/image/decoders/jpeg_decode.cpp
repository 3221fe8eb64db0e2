// JPEG entries over libjpeg: size and resolution from the header, pixels as
// 24-bit blue-green-red rows, optionally reduced by 2, 4 or 8 while decoding.
// Names whose extension does not start with J go to the row readers.
#include "ostrel/decoders.h"
#include "ostrel/bmap.h"
#include "runtime/image/decoders/decoders_internal.h"

#include <cstring>

namespace {

// The state of one call. It lives in the frame of the entry, above the function
// that sets the recovery point, so it survives the jump; a call started from a
// hook while an error box is open has its own.
struct jpeg_call {
    jpeg_decompress_struct cinfo;
    imgerr_mgr err;
    std::FILE* file;
    _bmap* bm;
};

// Huffman-coded JPEG spends at least two bits per 8 x 8 block; arithmetic
// coding less, so the allowance is generous.
constexpr long long jpeg_pixels_per_byte = 1024;
// Working memory of the library (coefficient buffers of progressive files).
constexpr long jpeg_memory_limit = 1024L * 1024L * 1024L;

bool is_jpeg_name(const char* name)
{
    const char* dot = std::strrchr(name, '.');
    return dot && (dot[1] == 'J' || dot[1] == 'j');
}

void close_file(jpeg_call& g)
{
    if (g.file)
        std::fclose(g.file);
    g.file = nullptr;
}

void begin(jpeg_call& g, std::FILE* f)
{
    g.file = f;
    g.cinfo.err = _imgerr_manager(&g.err);
    jpeg_create_decompress(&g.cinfo);
    g.cinfo.mem->max_memory_to_use = jpeg_memory_limit;
    _imgerr_file_source(&g.cinfo, f);
}

// JFIF densities as dots per inch; files without JFIF say 1 x 1.
void densities(const jpeg_call& g, int* xdpi, int* ydpi)
{
    int x = g.cinfo.X_density, y = g.cinfo.Y_density;
    if (g.cinfo.saw_JFIF_marker && g.cinfo.density_unit == 2) {
        // dots per centimetre
        x = static_cast<int>(x * 2.54 + 0.5);
        y = static_cast<int>(y * 2.54 + 0.5);
    }
    if (xdpi) *xdpi = x;
    if (ydpi) *ydpi = y;
}

// Reads the header under the current context; 1 when it describes an image.
int read_header(jpeg_call& g, const char* name, int* width, int* height, int* xdpi, int* ydpi, long long* file_size)
{
    std::FILE* f = std::fopen(name, "rb");
    if (!f) {
        _imgerr_set();
        return 0;
    }
    if (setjmp(g.err.recover)) {
        close_file(g);
        return 0;
    }
    begin(g, f);
    if (jpeg_read_header(&g.cinfo, FALSE) != JPEG_HEADER_OK) {
        _imgerr_set();   // tables only, or nothing at all: no image
    } else {
        if (width) *width = static_cast<int>(g.cinfo.image_width);
        if (height) *height = static_cast<int>(g.cinfo.image_height);
        densities(g, xdpi, ydpi);
    }
    if (file_size)
        *file_size = _file_size(f);
    jpeg_destroy_decompress(&g.cinfo);
    close_file(g);
    return 1 - _imgerr();
}

// Inverted (Adobe) CMYK to blue, green, red.
void cmyk_row(const JSAMPLE* in, unsigned char* out, JDIMENSION n)
{
    for (JDIMENSION i = 0; i < n; ++i, in += 4, out += 3) {
        unsigned k = in[3];
        out[0] = static_cast<unsigned char>((in[2] * k + 127) / 255);
        out[1] = static_cast<unsigned char>((in[1] * k + 127) / 255);
        out[2] = static_cast<unsigned char>((in[0] * k + 127) / 255);
    }
}

} // namespace

int _getjpg_size(const char* name, int* width, int* height, int* xdpi, int* ydpi)
{
    if (!name)
        return 0;
    if (!is_jpeg_name(name))
        return _getimg_size(name, width, height, xdpi, ydpi);
    _imgerr_context("_getjpg_size", name);
    jpeg_call call{};
    return read_header(call, name, width, height, xdpi, ydpi, nullptr);
}

namespace {

// Decodes the pixels into g.bm (made by the caller); null, with g.bm deleted, on
// failure. The recovery point is this call's own.
_bmap* decode(jpeg_call& g, const char* name, int n, int fast)
{
    std::FILE* f = std::fopen(name, "rb");
    if (!f) {
        delete g.bm;
        g.bm = nullptr;
        _imgerr_set();
        return nullptr;
    }
    if (setjmp(g.err.recover)) {
        close_file(g);
        delete g.bm;
        g.bm = nullptr;
        return nullptr;
    }
    begin(g, f);
    if (jpeg_read_header(&g.cinfo, TRUE) != JPEG_HEADER_OK)
        ERREXIT(&g.cinfo, JERR_NO_IMAGE);
    g.cinfo.scale_num = 1;
    g.cinfo.scale_denom = static_cast<unsigned>(n);
    if (fast)
        g.cinfo.do_fancy_upsampling = FALSE;
    switch (g.cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE: g.cinfo.out_color_space = JCS_GRAYSCALE; break;
    case JCS_CMYK:
    case JCS_YCCK: g.cinfo.out_color_space = JCS_CMYK; break;
    default: g.cinfo.out_color_space = JCS_EXT_BGR; break;
    }
    jpeg_start_decompress(&g.cinfo);
    if (g.cinfo.output_width > static_cast<JDIMENSION>(g.bm->width) ||
        g.cinfo.output_height > static_cast<JDIMENSION>(g.bm->height))
        ERREXIT(&g.cinfo, JERR_IMAGE_TOO_BIG);

    const JDIMENSION ow = g.cinfo.output_width;
    const int comps = g.cinfo.output_components;
    const std::size_t stride = (static_cast<std::size_t>(ow) * 3 + 3) & ~std::size_t(3);
    JSAMPARRAY buffer = (*g.cinfo.mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(&g.cinfo), JPOOL_IMAGE, ow * static_cast<JDIMENSION>(comps), 1);
    while (g.cinfo.output_scanline < g.cinfo.output_height) {
        unsigned char* dst = g.bm->bits + stride * g.cinfo.output_scanline;
        if (comps == 3) {
            // already blue, green, red: straight into the bitmap
            JSAMPROW row = dst;
            jpeg_read_scanlines(&g.cinfo, &row, 1);
            continue;
        }
        jpeg_read_scanlines(&g.cinfo, buffer, 1);
        const JSAMPLE* src = buffer[0];
        if (comps == 4) {
            cmyk_row(src, dst, ow);
        } else {
            for (JDIMENSION x = 0; x < ow; ++x, src += comps, dst += 3)
                dst[0] = dst[1] = dst[2] = src[0];
        }
    }
    g.bm->width = static_cast<int>(ow);
    g.bm->height = static_cast<int>(g.cinfo.output_height);
    jpeg_finish_decompress(&g.cinfo);
    jpeg_destroy_decompress(&g.cinfo);
    close_file(g);
    _bmap* bm = g.bm;
    g.bm = nullptr;
    bm->update_info();
    return bm;
}

} // namespace

_bmap* _getjpg_bmap(const char* name, int reduction, int fast)
{
    if (!name)
        return nullptr;
    if (!is_jpeg_name(name))
        return _getimg_bmap(name);
    _imgerr_context("_getjpg_bmap (1)", name);
    int w = 0, h = 0, xdpi = 1, ydpi = 1;
    long long file_size = -1;
    jpeg_call header{};
    if (!read_header(header, name, &w, &h, &xdpi, &ydpi, &file_size))
        return nullptr;
    _imgerr_context("_getjpg_bmap (2)", name);

    const int n = reduction == 0 ? 1 : reduction;
    if (n != 1 && n != 2 && n != 4 && n != 8) {
        _imgerr_set();
        return nullptr;
    }
    long long bw = w, bh = h;
    if (n > 1) {
        bw = (w + w % n) / n + 1;
        bh = (h + h % n) / n + 1;
    }
    if (!_decode_budget_ok(w, h, file_size, jpeg_pixels_per_byte) || !_bmap_size_ok(bw, bh)) {
        _imgerr_set();
        return nullptr;
    }
    jpeg_call call{};
    call.bm = _bmap_try_new(bw, bh);
    if (!call.bm) {
        _imgerr_set();
        return nullptr;
    }
    call.bm->set_dpi(xdpi, ydpi);
    return decode(call, name, n, fast);
}
