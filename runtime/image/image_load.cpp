// Loading image files by extension: the decoder table the program registers and the
// two dispatchers, each falling back to the file's associated icon.
#include "ostrel/image.h"
#include "runtime/image/image_internal.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

ostrel_size_fn g_jpeg_size, g_png_size, g_plugin_size;
ostrel_size2_fn g_psd_size;
ostrel_jpegload_fn g_jpeg_load;
ostrel_load_fn g_png_load, g_psd_load, g_plugin_load;

enum class Route { None, Bmp, Cur, Ico, Jpeg, Png, Psd, Wmf, Plugin };

} // namespace

std::string image_extension(const char* name)
{
    const char* base = std::strrchr(name, '/');
    base = base ? base + 1 : name;
    const char* dot = std::strrchr(base, '.');
    if (!dot)
        return {};
    std::string e(dot);
    for (char& c : e)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return e;
}

namespace {

Route route(const char* name)
{
    const std::string e = image_extension(name);
    if (e.empty())
        return Route::None;
    if (e == ".BMP")
        return Route::Bmp;
    if (e == ".CUR")
        return Route::Cur;
    if (e == ".ICO")
        return Route::Ico;
    if (e == ".JPG" || e == ".JPEG" || e == ".JPE" || e == ".GIF")
        return Route::Jpeg;
    if (e == ".PNG")
        return Route::Png;
    if (e == ".PDD" || e == ".PSD")
        return Route::Psd;
    if (e == ".WMF")
        return Route::Wmf;
    return Route::Plugin;
}

} // namespace

void _setimg_decoders(ostrel_size_fn jpeg_size, ostrel_size_fn png_size, ostrel_size2_fn psd_size,
                      ostrel_size_fn plugin_size, ostrel_jpegload_fn jpeg_load, ostrel_load_fn png_load,
                      ostrel_load_fn psd_load, ostrel_load_fn plugin_load)
{
    g_jpeg_size = jpeg_size;
    g_png_size = png_size;
    g_psd_size = psd_size;
    g_plugin_size = plugin_size;
    g_jpeg_load = jpeg_load;
    g_png_load = png_load;
    g_psd_load = psd_load;
    g_plugin_load = plugin_load;
}

int _getfile_size(const char* name, int* width, int* height, int* xdpi, int* ydpi)
{
    if (!name || !width || !height || !xdpi || !ydpi)
        return 0;
    *xdpi = 0;
    *ydpi = 0;
    int r = 0;
    switch (route(name)) {
    case Route::None: return 0;
    case Route::Bmp: r = _getbmp_size(name, width, height, xdpi, ydpi); break;
    case Route::Cur: r = _getcursor_size(name, width, height, xdpi, ydpi); break;
    case Route::Ico: r = _geticon_size(name, width, height, xdpi, ydpi); break;
    case Route::Jpeg: r = g_jpeg_size ? g_jpeg_size(name, width, height, xdpi, ydpi) : 0; break;
    case Route::Png: r = g_png_size ? g_png_size(name, width, height, xdpi, ydpi) : 0; break;
    case Route::Psd: r = g_psd_size ? g_psd_size(name, width, height) : 0; break;
    case Route::Wmf: r = _getwmf_size(name, width, height, xdpi, ydpi); break;
    case Route::Plugin: r = g_plugin_size ? g_plugin_size(name, width, height, xdpi, ydpi) : 0; break;
    }
    if (!r)
        r = _geticon_size(name, width, height, xdpi, ydpi);
    return r;
}

_bmap* _getfile_bmap(const char* name, double scale, int fast)
{
    if (!name)
        return nullptr;
    _bmap* bm = nullptr;
    switch (route(name)) {
    case Route::None: return nullptr;
    case Route::Bmp: bm = _getbmp_bmap(name); break;
    case Route::Cur:
    case Route::Ico: bm = _geticon_bmap(name); break;
    case Route::Jpeg:
        if (g_jpeg_load) {
            // the reduction the JPEG entry takes is a whole number
            double n = std::isfinite(scale) ? std::trunc(scale) : 0.0;
            n = n < -1e6 ? -1e6 : (n > 1e6 ? 1e6 : n);
            bm = g_jpeg_load(name, static_cast<int>(n), fast);
        }
        break;
    case Route::Png: bm = g_png_load ? g_png_load(name) : nullptr; break;
    case Route::Psd: bm = g_psd_load ? g_psd_load(name) : nullptr; break;
    case Route::Wmf: bm = _getwmf_bmap(name, scale); break;
    case Route::Plugin: bm = g_plugin_load ? g_plugin_load(name) : nullptr; break;
    }
    if (!bm)
        bm = _geticon_bmap(name);
    return bm;
}
