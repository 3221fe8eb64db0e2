// The _bmap object: construction, ownership of the rows, header and resolution.
#include "ostrel/bmap.h"
#include "runtime/image/image_deps.h"
#include "runtime/image/pixel_store.h"

#include <climits>
#include <cstdlib>
#include <cstring>

int _bmap_bytes(int width, int height, int depth)
{
    long long row = ((static_cast<long long>(depth / 8) * width + 3) / 4) * 4;
    long long total = row * height;
    if (row < 0 || total < 0 || total > INT_MAX)
        return -1;
    return static_cast<int>(total);
}

int _palette_bytes(const ostrel_bitmapinfoheader* header)
{
    if (!header)
        return 0;
    // headers often sit inside file buffers at odd offsets: copy before reading
    ostrel_bitmapinfoheader h;
    std::memcpy(&h, header, sizeof h);
    if (h.biClrUsed)
        return h.biClrUsed > (INT_MAX / 4) ? INT_MAX : static_cast<int>(h.biClrUsed * 4);
    if (h.biBitCount <= 8)
        return 4 << h.biBitCount;
    return 0;
}

int _palette_bytes(const BITMAPINFOHEADER* h)
{
    return _palette_bytes(reinterpret_cast<const ostrel_bitmapinfoheader*>(h));
}

int _dpi_to_ppm(int dpi)
{
    // the product is taken as an integer first, as the file formats expect
    long long hundred = static_cast<long long>(dpi) * 100;
    return static_cast<int>(static_cast<double>(hundred) / 2.54 + 0.5);
}

int _ppm_to_dpi(int ppm)
{
    return static_cast<int>(ppm * 2.54 / 100 + 0.5);
}

bool _bmap_size_ok(long long width, long long height, int depth)
{
    if (width < 1 || height < 1 || depth < 8 || depth > 32)
        return false;
    if (width > INT_MAX / 4 || height > INT_MAX)
        return false;
    long long row = ((depth / 8) * width + 3) / 4 * 4;
    if (row > (1LL << 30) / height)
        return false;
    return true;
}

_bmap* _bmap_try_new(long long width, long long height)
{
    if (!_bmap_size_ok(width, height, 24))
        return nullptr;
    _bmap* bm = new _bmap;
    int size = _bmap_bytes(static_cast<int>(width), static_cast<int>(height), 24);
    bm->bits = image_rows_alloc(static_cast<std::size_t>(size));
    if (!bm->bits) {
        delete bm;
        return nullptr;
    }
    bm->width = static_cast<int>(width);
    bm->height = static_cast<int>(height);
    bm->depth = 24;
    bm->size = size;
    bm->update_info();
    return bm;
}

_bmap::_bmap()
    : width(0), height(0), stride(0), bits(nullptr), size(0), depth(24), info{}, shared(0)
{
}

_bmap::_bmap(int w, int h, int d)
    : width(w), height(h), stride(0), bits(nullptr), size(0), depth(d), info{}, shared(0)
{
    size = _bmap_bytes(w, h, d);
    if (size > 0)
        bits = image_rows_alloc(static_cast<std::size_t>(size));
    if (!bits) {
        // a request that cannot be sized is as fatal as one that cannot be met
        image_fatal("_bmap::_bmap", "could not allocate b");
        size = 0;
        width = height = 0;
        return;
    }
    update_info();
}

_bmap::_bmap(const _bmap& o)
    : width(o.width), height(o.height), stride(o.stride), bits(o.bits), size(o.size), depth(o.depth),
      info(o.info), shared(o.shared)
{
    if (size > 0 && o.bits) {
        bits = image_rows_alloc(static_cast<std::size_t>(size));
        if (!bits) {
            image_fatal("_bmap::_bmap", "could not allocate b");
            size = 0;
            width = height = 0;
            return;
        }
        std::memcpy(bits, o.bits, static_cast<std::size_t>(size));
        shared = 0;   // the copy owns its rows
    } else {
        bits = nullptr;
    }
}

_bmap::~_bmap()
{
    release();
}

void _bmap::release()
{
    if (shared == 0 && bits) {
        width = 0;
        height = 0;
        image_rows_release(bits);
        bits = nullptr;
    }
}

void _bmap::update_info()
{
    int rowbytes = _bmap_bytes(width, 1, depth);
    stride = rowbytes > 0 ? rowbytes : 0;
    ostrel_bitmapinfoheader& h = info.bmiHeader;
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = -height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<std::uint16_t>(depth);
    h.biCompression = 0;
    h.biSizeImage = 0;
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    if (h.biXPelsPerMeter == 0) {
        h.biXPelsPerMeter = _dpi_to_ppm(image_screen_dpix());
        h.biYPelsPerMeter = _dpi_to_ppm(image_screen_dpiy());
    }
}

void _bmap::set_dpi(int xdpi, int ydpi)
{
    info.bmiHeader.biXPelsPerMeter = _dpi_to_ppm(xdpi);
    info.bmiHeader.biYPelsPerMeter = _dpi_to_ppm(ydpi);
}

void _bmap::set_ppm(int xppm, int yppm)
{
    info.bmiHeader.biXPelsPerMeter = xppm;
    info.bmiHeader.biYPelsPerMeter = yppm;
}
