// PNG images inside icon files: decoded from memory with libpng into 0xAARRGGBB
// pixels (straight alpha), the form the icon route composes from. Samples are
// taken as stored: no gamma or colour-profile correction, as the desktop's own
// icon loaders draw them.
#include "runtime/image/image_internal.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace {

struct MemoryRead {
    const unsigned char* data;
    std::size_t size;
    std::size_t pos;
};

void read_from_memory(png_structp png, png_bytep out, png_size_t n)
{
    auto* src = static_cast<MemoryRead*>(png_get_io_ptr(png));
    if (n > src->size - src->pos)
        png_error(png, "truncated");
    std::memcpy(out, src->data + src->pos, n);
    src->pos += n;
}

// Errors leave through this call's own recovery point; warnings are dropped.
void on_warning(png_structp, png_const_charp) {}

} // namespace

bool image_ico_png(const unsigned char* data, std::size_t size, int max_side, IcoImage* out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, on_warning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    MemoryRead src{data, size, 0};
    // Kept outside the jump's reach: both are only assigned before any libpng call
    // that can fail after them.
    std::vector<png_bytep>* rows = new std::vector<png_bytep>;
    IcoImage* result = out;
    if (setjmp(png_jmpbuf(png))) {
        delete rows;
        png_destroy_read_struct(&png, &info, nullptr);
        result->argb.clear();
        return false;
    }
    png_set_read_fn(png, &src, read_from_memory);
    png_set_chunk_malloc_max(png, 8u * 1024 * 1024);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    if (w < 1 || h < 1 || w > static_cast<png_uint_32>(max_side) || h > static_cast<png_uint_32>(max_side))
        png_error(png, "size");
    const int type = png_get_color_type(png, info);
    png_set_strip_16(png);
    png_set_packing(png);
    if (type == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);   // no-op where alpha is present
    png_set_bgr(png);                               // B, G, R, A bytes: 0xAARRGGBB words
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(w) * 4)
        png_error(png, "layout");
    result->width = static_cast<int>(w);
    result->height = static_cast<int>(h);
    result->argb.assign(static_cast<std::size_t>(w) * h, 0);
    rows->resize(h);
    for (png_uint_32 y = 0; y < h; ++y)
        (*rows)[y] = reinterpret_cast<png_bytep>(result->argb.data() + static_cast<std::size_t>(y) * w);
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    delete rows;
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}
