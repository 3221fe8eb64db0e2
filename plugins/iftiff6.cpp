// "iftiff6.spi": the image plug-in for TIFF files, over libtiff. Any TIFF that
// libtiff's RGBA interface reads (every photometric, compression and tiling it
// supports) comes out as a 24-bit top-down DIB; transparent parts are put on white.
#include "plugins/spi_plugin.h"

#include <tiffio.h>
#include <sys/stat.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using spi::file_size;
constexpr int SPI_OK = spi::OK, SPI_NOT_IMPLEMENTED = spi::NOT_IMPLEMENTED,
              SPI_UNKNOWN_FORMAT = spi::UNKNOWN_FORMAT, SPI_BROKEN = spi::BROKEN, SPI_NO_MEMORY = spi::NO_MEMORY;
const char* const patterns[] = {"*.tif;*.tiff", "TIFF images"};

// A picture may not claim more pixels than its file can plausibly encode (fax
// coding of blank pages is the densest), nor a raster beyond this.
constexpr long long pixels_per_byte = 16384;
constexpr long long max_raster_bytes = 1LL << 30;

void quiet(const char*, const char*, va_list) {}

// Opens a file for reading with libtiff's messages silenced.
TIFF* open_tiff(const char* source, long offset, unsigned flag)
{
    if ((flag & 7) != 0 || offset != 0 || !source)
        return nullptr;
    TIFFSetErrorHandler(quiet);
    TIFFSetWarningHandler(quiet);
    return TIFFOpen(source, "r");
}

std::uint16_t density(TIFF* tif, ttag_t tag)
{
    float res = 0;
    std::uint16_t unit = RESUNIT_INCH;
    if (!TIFFGetField(tif, tag, &res) || !(res > 0))
        return 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    double dpi = unit == RESUNIT_CENTIMETER ? res * 2.54 : unit == RESUNIT_INCH ? res : 0;
    if (dpi > 65535)
        dpi = 65535;
    return static_cast<std::uint16_t>(dpi + 0.5);
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int GetPluginInfo(int number, char* buffer, int size)
{
    return spi::plugin_info(number, buffer, size, "ostrel TIFF plug-in over libtiff", patterns, 1);
}

__attribute__((visibility("default"))) int IsSupported(const char*, const void* head)
{
    if (!head)
        return 0;
    const unsigned char* p = static_cast<const unsigned char*>(head);
    const bool ii = p[0] == 'I' && p[1] == 'I' && (p[2] == 42 || p[2] == 43) && p[3] == 0;
    const bool mm = p[0] == 'M' && p[1] == 'M' && p[2] == 0 && (p[3] == 42 || p[3] == 43);
    return ii || mm;
}

__attribute__((visibility("default"))) int GetPictureInfo(const char* source, long offset, unsigned flag,
                                                          spi_picture_info* info)
{
    if (!info)
        return SPI_NOT_IMPLEMENTED;
    if ((flag & 7) != 0 || offset != 0)
        return SPI_NOT_IMPLEMENTED;
    TIFF* tif = open_tiff(source, offset, flag);
    if (!tif)
        return SPI_UNKNOWN_FORMAT;
    std::uint32_t w = 0, h = 0;
    std::uint16_t bps = 1, spp = 1;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    std::memset(info, 0, sizeof *info);
    info->width = static_cast<std::int32_t>(w);
    info->height = static_cast<std::int32_t>(h);
    info->x_density = density(tif, TIFFTAG_XRESOLUTION);
    info->y_density = density(tif, TIFFTAG_YRESOLUTION);
    info->colour_depth = static_cast<std::int16_t>(bps * spp > 24 ? 24 : bps * spp);
    info->info = nullptr;
    TIFFClose(tif);
    if (w < 1 || h < 1 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        return SPI_BROKEN;
    return SPI_OK;
}

__attribute__((visibility("default"))) int GetPicture(const char* source, long offset, unsigned flag, void** info,
                                                      void** bits, spi_progress progress, long data)
{
    if (!info || !bits)
        return SPI_NOT_IMPLEMENTED;
    *info = *bits = nullptr;
    if ((flag & 7) != 0 || offset != 0)
        return SPI_NOT_IMPLEMENTED;
    TIFF* tif = open_tiff(source, offset, flag);
    if (!tif)
        return SPI_UNKNOWN_FORMAT;
    std::uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    const long long pixels = static_cast<long long>(w) * h;
    if (w < 1 || h < 1 || w > 0x7FFFFFFF || h > 0x7FFFFFFF || pixels * 4 > max_raster_bytes ||
        pixels > (file_size(source) + 64) * pixels_per_byte) {
        TIFFClose(tif);
        return SPI_BROKEN;
    }
    auto* raster = static_cast<std::uint32_t*>(std::malloc(static_cast<std::size_t>(pixels) * 4));
    const std::size_t stride = spi::dib24_stride(static_cast<std::int32_t>(w));
    void* header_block = nullptr;
    void* rows_block = nullptr;
    if (!raster || !spi::new_dib24(static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), &header_block, &rows_block)) {
        std::free(raster);
        TIFFClose(tif);
        return SPI_NO_MEMORY;
    }
    auto* header = static_cast<unsigned char*>(header_block);
    auto* rows = static_cast<unsigned char*>(rows_block);
    int ok = TIFFReadRGBAImageOriented(tif, w, h, raster, ORIENTATION_TOPLEFT, 0);
    TIFFClose(tif);
    if (!ok) {
        std::free(raster);
        std::free(header);
        std::free(rows);
        return SPI_BROKEN;
    }
    for (std::uint32_t y = 0; y < h; ++y) {
        const std::uint32_t* in = raster + static_cast<std::size_t>(y) * w;
        unsigned char* out = rows + stride * y;
        for (std::uint32_t x = 0; x < w; ++x, out += 3) {
            // libtiff hands out premultiplied colour: adding the uncovered part of white
            // puts the picture on a white ground
            const std::uint32_t p = in[x];
            const unsigned a = TIFFGetA(p), white = 255 - a;
            const unsigned r = TIFFGetR(p) + white, g = TIFFGetG(p) + white, b = TIFFGetB(p) + white;
            out[0] = static_cast<unsigned char>(b > 255 ? 255 : b);
            out[1] = static_cast<unsigned char>(g > 255 ? 255 : g);
            out[2] = static_cast<unsigned char>(r > 255 ? 255 : r);
        }
        if (progress && (y & 63) == 0 && progress(static_cast<int>(y), static_cast<int>(h), data) != 0) {
            std::free(raster);
            std::free(header);
            std::free(rows);
            return 1;   // cancelled
        }
    }
    std::free(raster);
    *info = header;
    *bits = rows;
    return SPI_OK;
}

} // extern "C"
