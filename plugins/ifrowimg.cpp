// "iftga.spi" and "ifpnm.spi": image plug-ins for Targa and for PPM/PGM/PBM/PNM
// files, over the runtime's own row readers (the host process has the runtime
// loaded, so the plug-in borrows its readers instead of carrying a second copy).
// Built twice from this file; OSTREL_ROWIMG_TGA selects the Targa flavour.
#include "plugins/spi_plugin.h"
#include "ostrel/bmap.h"
#include "ostrel/decoders.h"

#include <memory>

namespace {

#ifdef OSTREL_ROWIMG_TGA
const char* const plugin_name = "ostrel Targa plug-in over the runtime's row reader";
const char* const patterns[] = {"*.tga;*.tpic;*.vda;*.icb;*.vst", "Targa images"};
#else
const char* const plugin_name = "ostrel PNM plug-in over the runtime's row reader";
const char* const patterns[] = {"*.ppm;*.pgm;*.pbm;*.pnm", "Portable pixmaps, greymaps and bitmaps"};
#endif

// Plug-in failures are silent: the row readers' error boxes are switched off for the
// call and the previous choice put back afterwards.
struct quiet_boxes {
    int old = _imgerr_showboxes(0);
    ~quiet_boxes() { _imgerr_showboxes(old); }
};

bool looks_like_ours(const unsigned char* p)
{
#ifdef OSTREL_ROWIMG_TGA
    // colour-map flag 0 or 1 and one of the image types a Targa reader knows
    const unsigned type = p[2];
    return p[1] <= 1 && (type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11);
#else
    return p[0] == 'P' && p[1] >= '1' && p[1] <= '6';
#endif
}

} // namespace

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int size)
{
    return spi::plugin_info(number, buffer, size, plugin_name, patterns, 1);
}

SPI_EXPORT int IsSupported(const char*, const void* head)
{
    return head && looks_like_ours(static_cast<const unsigned char*>(head)) ? 1 : 0;
}

SPI_EXPORT int GetPictureInfo(const char* source, long offset, unsigned flag, spi_picture_info* info)
{
    if (!info || !spi::plain_file_request(source, offset, flag))
        return spi::NOT_IMPLEMENTED;
    quiet_boxes quiet;
    int w = 0, h = 0, xdpi = 0, ydpi = 0;
    if (!_getimg_size(source, &w, &h, &xdpi, &ydpi) || w < 1 || h < 1)
        return spi::UNKNOWN_FORMAT;
    // the readers report the library's 1 x 1 when the file says nothing: that is "unknown"
    if (xdpi <= 1 && ydpi <= 1)
        xdpi = ydpi = 0;
    spi::fill_info(info, w, h, xdpi, ydpi, 24);
    return spi::OK;
}

SPI_EXPORT int GetPicture(const char* source, long offset, unsigned flag, void** info, void** bits,
                          spi_progress progress, long data)
{
    if (!info || !bits)
        return spi::NOT_IMPLEMENTED;
    *info = *bits = nullptr;
    if (!spi::plain_file_request(source, offset, flag))
        return spi::NOT_IMPLEMENTED;
    quiet_boxes quiet;
    std::unique_ptr<_bmap> bm(_getimg_bmap(source));
    if (!bm)
        return spi::BROKEN;
    // the bitmap's rows are already a top-down 24-bit DIB's rows, from malloc: hand
    // them over instead of copying them
    if (!bm->bits || bm->stride != static_cast<std::int32_t>(spi::dib24_stride(bm->width)))
        return spi::BROKEN;
    unsigned char* header = spi::new_dib24_header(bm->width, bm->height);
    if (!header)
        return spi::NO_MEMORY;
    if (progress && progress(bm->height, bm->height, data) != 0) {
        std::free(header);
        return spi::CANCELLED;
    }
    *info = header;
    *bits = bm->bits;
    bm->bits = nullptr;
    bm->size = 0;
    return spi::OK;
}
