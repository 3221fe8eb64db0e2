// PNG entries over libpng: size and resolution from the header; pixels as 24-bit
// blue-green-red rows with 16-bit samples stripped, palettes and grey expanded and
// transparency composited onto the file's background colour or white.
#include "ostrel/decoders.h"
#include "ostrel/bmap.h"
#include "runtime/image/decoders/decoders_internal.h"

#include <png.h>
#include <algorithm>
#include <cstdlib>

namespace {

// zlib's densest stream inflates about 1032 to 1, and the filter byte of each row
// costs nothing extra; so a file can hold at most this many raw bytes per byte.
constexpr long long inflate_ratio = 1040;

// State that must survive libpng's jump back to the recovery point.
struct png_call {
    std::FILE* file;
    png_structp png;
    png_infop info;
    _bmap* bm;
    png_bytepp rows;
};
png_call g;

void cleanup()
{
    if (g.png)
        png_destroy_read_struct(&g.png, g.info ? &g.info : nullptr, nullptr);
    g.png = nullptr;
    g.info = nullptr;
    std::free(g.rows);
    g.rows = nullptr;
    if (g.file)
        std::fclose(g.file);
    g.file = nullptr;
}

// Opens the file and checks the signature; false when it is not a PNG file.
bool open_png(const char* name)
{
    g = png_call{};
    g.file = std::fopen(name, "rb");
    if (!g.file)
        return false;
    png_byte sig[8];
    if (std::fread(sig, 1, 8, g.file) != 8 || png_sig_cmp(sig, 0, 8) != 0) {
        cleanup();
        return false;
    }
    g.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!g.png) {
        cleanup();
        return false;
    }
    g.info = png_create_info_struct(g.png);
    if (!g.info) {
        cleanup();
        return false;
    }
    // Ancillary chunks (text, profiles) are held whole; a header may claim any
    // length, so keep them to what a file of this size can hold after inflating.
    long long limit = _file_size(g.file);
    limit = limit < 0 ? 0 : limit * inflate_ratio;
    png_set_chunk_malloc_max(g.png, static_cast<png_alloc_size_t>(std::clamp(limit, 65536LL, 8LL * 1024 * 1024)));
    return true;
}

int ppm_to_dpi(png_uint_32 ppm)
{
    return static_cast<int>(ppm * 0.0254 + 0.5);
}

} // namespace

int _getpng_size(const char* name, int* width, int* height, int* xdpi, int* ydpi)
{
    if (!name || !open_png(name))
        return 0;
    if (setjmp(png_jmpbuf(g.png))) {
        cleanup();
        return 0;
    }
    png_init_io(g.png, g.file);
    png_set_sig_bytes(g.png, 8);
    png_read_info(g.png, g.info);
    if (width) *width = static_cast<int>(png_get_image_width(g.png, g.info));
    if (height) *height = static_cast<int>(png_get_image_height(g.png, g.info));
    if (xdpi) *xdpi = ppm_to_dpi(png_get_x_pixels_per_meter(g.png, g.info));
    if (ydpi) *ydpi = ppm_to_dpi(png_get_y_pixels_per_meter(g.png, g.info));
    cleanup();
    return 1;
}

_bmap* _getpng_bmap(const char* name)
{
    if (!name || !open_png(name))
        return nullptr;
    if (setjmp(png_jmpbuf(g.png))) {
        delete g.bm;
        g.bm = nullptr;
        cleanup();
        return nullptr;
    }
    png_init_io(g.png, g.file);
    png_set_sig_bytes(g.png, 8);
    png_read_info(g.png, g.info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(g.png, g.info, &w, &h, &depth, &colour, &interlace, nullptr, nullptr);

    // The file must be able to hold the rows it claims before a bitmap is sized.
    const long long channels = png_get_channels(g.png, g.info);
    const long long rowbytes = (static_cast<long long>(w) * depth * channels + 7) / 8 + 1;
    const long long file_size = _file_size(g.file);
    if (!_bmap_size_ok(w, h) || file_size < 0 ||
        static_cast<long double>(rowbytes) * h > static_cast<long double>(file_size + 64) * inflate_ratio) {
        cleanup();
        return nullptr;
    }

    if (depth == 16)
        png_set_strip_16(g.png);
    if (colour == PNG_COLOR_TYPE_PALETTE) {
        png_set_expand(g.png);
        png_set_bgr(g.png);
    }
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) {
        if (depth < 8)
            png_set_expand(g.png);
        png_set_gray_to_rgb(g.png);
    }
    if (colour == PNG_COLOR_TYPE_RGB || colour == PNG_COLOR_TYPE_RGB_ALPHA)
        png_set_bgr(g.png);
    if (colour & PNG_COLOR_MASK_ALPHA)
        png_set_strip_alpha(g.png);
    png_color_16p background = nullptr;
    if (png_get_bKGD(g.png, g.info, &background)) {
        png_set_background(g.png, background, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
    } else {
        png_color_16 white{0, 255, 255, 255, 255};
        png_set_background(g.png, &white, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    }
    // asked before the rows are sized, so that libpng does not warn on interlaced files
    png_set_interlace_handling(g.png);
    png_read_update_info(g.png, g.info);
    if (png_get_rowbytes(g.png, g.info) > static_cast<png_size_t>(w) * 3) {
        // anything but three bytes a pixel would overrun the rows
        cleanup();
        return nullptr;
    }

    g.bm = _bmap_try_new(w, h);
    if (!g.bm) {
        cleanup();
        return nullptr;
    }
    g.rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * h));
    if (!g.rows) {
        delete g.bm;
        g.bm = nullptr;
        cleanup();
        return nullptr;
    }
    for (png_uint_32 i = 0; i < h; ++i)
        g.rows[i] = g.bm->bits + static_cast<std::size_t>(i) * static_cast<std::size_t>(g.bm->stride);
    png_read_image(g.png, g.rows);
    png_read_end(g.png, nullptr);
    g.bm->set_ppm(static_cast<int>(png_get_x_pixels_per_meter(g.png, g.info)),
                  static_cast<int>(png_get_y_pixels_per_meter(g.png, g.info)));
    _bmap* bm = g.bm;
    g.bm = nullptr;
    cleanup();
    bm->update_info();
    return bm;
}
