// Image plug-in bridge: picks a plug-in by extension, loads it on first use through
// the platform's module loading (platform/win/winbase.h: the program's directory,
// the installed plug-in directory, the loader's own search path), and turns its
// picture into a 24-bit bitmap.
#include "ostrel/decoders.h"
#include "platform/packed_rows.h"
#include "ostrel/bmap.h"
#include "runtime/image/decoders/spi_abi.h"
#include "platform/win/winbase.h"

#include <strings.h>
#include <cstdlib>
#include <cstring>

namespace {

struct plugin {
    const char* file;
    void* module;
    spi_get_picture_info get_picture_info;
    spi_get_picture get_picture;
    spi_get_plugin_info get_plugin_info;
};

// 1 to 8: the plug-ins programs have always known; 9 to 11: the ones this project
// ships for the formats users bring today.
constexpr int plugin_count = 11;
plugin table[plugin_count + 1] = {
    {nullptr, nullptr, nullptr, nullptr, nullptr},
    {"iftiff.spi", nullptr, nullptr, nullptr, nullptr},
    {"iftiff6.spi", nullptr, nullptr, nullptr, nullptr},
    {"ifpng.spi", nullptr, nullptr, nullptr, nullptr},
    {"ifpi.spi", nullptr, nullptr, nullptr, nullptr},
    {"ifmag.spi", nullptr, nullptr, nullptr, nullptr},
    {"ifxld4.spi", nullptr, nullptr, nullptr, nullptr},
    {"ifpic.spi", nullptr, nullptr, nullptr, nullptr},
    {"ifpic2.spi", nullptr, nullptr, nullptr, nullptr},
    {"iftga.spi", nullptr, nullptr, nullptr, nullptr},
    {"ifpnm.spi", nullptr, nullptr, nullptr, nullptr},
    {"ifwebp.spi", nullptr, nullptr, nullptr, nullptr},
};

struct extension_choice {
    const char* extension;
    int plugin;
};
const extension_choice choices[] = {
    {".png", 3}, {".pi", 4}, {".mag", 5}, {".q4", 6}, {".pic", 7}, {".p2", 8},
    {".tga", 9}, {".ppm", 10}, {".pgm", 10}, {".pbm", 10}, {".pnm", 10}, {".webp", 11},
};

// Plug-ins stay loaded until the program ends.
const int unload_at_exit = [] {
    std::atexit([] { _spi_unload_all(); });
    return 0;
}();

template <class F>
F entry(void* module, const char* name)
{
    return reinterpret_cast<F>(GetProcAddress(module, name));
}

std::int32_t le32(const unsigned char* p)
{
    return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

// The plug-in's DIB (header and colour table in one block, rows in the other) to
// a new 24-bit bitmap; null for a layout the runtime does not read.
_bmap* dib_to_bitmap(const unsigned char* info, const unsigned char* bits)
{
    const std::uint32_t hsize = static_cast<std::uint32_t>(le32(info));
    const std::int32_t w = le32(info + 4);
    const std::int32_t hraw = le32(info + 8);
    const int bpp = info[14] | (info[15] << 8);
    const std::uint32_t compression = static_cast<std::uint32_t>(le32(info + 16));
    const std::uint32_t used = static_cast<std::uint32_t>(le32(info + 32));
    if (hsize < 40 || hsize > 124 || w < 1 || hraw == 0 || hraw == INT32_MIN || compression != 0)
        return nullptr;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return nullptr;
    const bool top_down = hraw < 0;
    const std::int32_t h = top_down ? -hraw : hraw;
    if (!_bmap_size_ok(w, h))
        return nullptr;
    unsigned char map[256 * 3] = {};
    if (bpp <= 8) {
        std::uint32_t n = used ? used : (1u << bpp);
        if (n > 256)
            return nullptr;
        const unsigned char* q = info + hsize;
        for (std::uint32_t i = 0; i < n; ++i, q += 4)
            std::memcpy(map + 3 * i, q, 3);
    }
    _bmap* bm = _bmap_try_new(w, h);
    if (!bm)
        return nullptr;
    const std::size_t rowbytes = ((static_cast<std::size_t>(w) * static_cast<std::size_t>(bpp) + 31) / 32) * 4;
    for (std::int32_t y = 0; y < h; ++y) {
        const unsigned char* in = bits + rowbytes * static_cast<std::size_t>(top_down ? y : h - 1 - y);
        unsigned char* out = bm->bits + static_cast<std::size_t>(bm->stride) * static_cast<std::size_t>(y);
        switch (bpp) {
        case 24:
            std::memcpy(out, in, static_cast<std::size_t>(w) * 3);
            break;
        case 32:
            for (std::int32_t x = 0; x < w; ++x, out += 3, in += 4)
                std::memcpy(out, in, 3);
            break;
        default: {
            for (std::int32_t x = 0; x < w; ++x, out += 3)
                std::memcpy(out, map + 3 * packed_index(in, std::size_t(x), unsigned(bpp)), 3);
        }
        }
    }
    return bm;
}

// A 24-bit top-down picture already has the bitmap's row layout: its rows block (from
// malloc, as every plug-in block is) becomes the bitmap's rows, so a large picture is
// neither copied nor faulted in twice. Null for any other layout.
_bmap* adopt_rows(const unsigned char* info, void* bits)
{
    const std::int32_t w = le32(info + 4);
    const std::int32_t hraw = le32(info + 8);
    const int bpp = info[14] | (info[15] << 8);
    if (le32(info) != 40 || le32(info + 16) != 0 || bpp != 24 || hraw >= 0 || hraw == INT32_MIN ||
        !_bmap_size_ok(w, -static_cast<long long>(hraw)))
        return nullptr;
    auto* bm = new _bmap;
    bm->width = w;
    bm->height = -hraw;
    bm->depth = 24;
    bm->size = _bmap_bytes(w, -hraw, 24);
    bm->bits = static_cast<unsigned char*>(bits);
    return bm;
}

} // namespace

int _spi_select(const char* name)
{
    if (!name)
        return 0;
    const char* dot = std::strrchr(name, '.');
    if (!dot)
        return 0;
    if (!strcasecmp(dot, ".tif") || !strcasecmp(dot, ".tiff"))
        return _spi_load(2) ? 2 : 1;
    for (const extension_choice& c : choices)
        if (!strcasecmp(dot, c.extension))
            return c.plugin;
    return 0;
}

int _spi_load(int n)
{
    (void)unload_at_exit;
    if (n < 1 || n > plugin_count)
        return 0;
    plugin& p = table[n];
    if (p.module)
        return 1;
    p.module = LoadLibraryA(p.file);
    if (!p.module)
        return 0;   // tried again on the next request
    p.get_picture_info = entry<spi_get_picture_info>(p.module, "GetPictureInfo");
    p.get_picture = entry<spi_get_picture>(p.module, "GetPicture");
    p.get_plugin_info = entry<spi_get_plugin_info>(p.module, "GetPluginInfo");
    return 1;
}

int _getspi_size(const char* name, int* width, int* height, int* xdpi, int* ydpi)
{
    int n = _spi_select(name);
    if (!n || !_spi_load(n) || !table[n].get_picture_info)
        return 0;
    spi_picture_info info{};
    if (table[n].get_picture_info(name, 0, 0, &info) != 0)
        return 0;
    std::free(info.info);
    if (width) *width = info.width;
    if (height) *height = info.height;
    if (xdpi) *xdpi = info.x_density;
    if (ydpi) *ydpi = info.y_density;
    return 1;
}

int _spi_getpicture(const char* name, void** info, void** bits)
{
    if (info) *info = nullptr;
    if (bits) *bits = nullptr;
    int n = _spi_select(name);
    if (!n || !info || !bits || !_spi_load(n) || !table[n].get_picture)
        return 0;
    if (table[n].get_picture(name, 0, 0, info, bits, nullptr, 0) == 0)
        return 1;
    std::free(*info);
    std::free(*bits);
    *info = *bits = nullptr;
    return 0;
}

_bmap* _getspi_bmap(const char* name)
{
    int w = 0, h = 0, xdpi = 0, ydpi = 0;
    if (!_getspi_size(name, &w, &h, &xdpi, &ydpi))
        return nullptr;
    void* info = nullptr;
    void* bits = nullptr;
    if (!_spi_getpicture(name, &info, &bits))
        return nullptr;
    _bmap* bm = nullptr;
    if (info && bits) {
        bm = adopt_rows(static_cast<const unsigned char*>(info), bits);
        if (bm)
            bits = nullptr;   // the bitmap owns them now
        else
            bm = dib_to_bitmap(static_cast<const unsigned char*>(info), static_cast<const unsigned char*>(bits));
        if (bm) {
            bm->set_dpi(xdpi, ydpi);
            bm->update_info();
        }
    }
    std::free(info);
    std::free(bits);
    return bm;
}

int _spi_unload_all()
{
    int freed = 0;
    for (int n = 1; n <= plugin_count; ++n) {
        plugin& p = table[n];
        if (p.module) {
            FreeLibrary(p.module);
            p = plugin{p.file, nullptr, nullptr, nullptr, nullptr};
            ++freed;
        }
    }
    return freed;
}
