// Placeable metafiles (.wmf): the 22-byte header, the records handed to the
// metafile player, and the picture played onto a temporary off-screen page.
#include "ostrel/image.h"
#include "ostrel/pages.h"
#include "platform/gdi/wingdi.h"
#include "runtime/image/image_deps.h"
#include "runtime/image/image_internal.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kRecordLimit = std::size_t(256) << 20;

// Pixel size of an extent at a resolution; 0 for an unusable header.
int pixels(int extent, int inch, int dpi)
{
    if (extent <= 0 || inch <= 0 || dpi <= 0)
        return 0;
    return static_cast<int>(static_cast<double>(extent) / inch * dpi);
}

bool read_header(FILE* f, ostrel_placeable_header* h)
{
    unsigned char b[22];
    if (std::fread(b, 1, 22, f) != 22)
        return false;
    h->key = image_le32(b);
    h->handle = image_le16(b + 4);
    h->left = static_cast<std::int16_t>(image_le16(b + 6));
    h->top = static_cast<std::int16_t>(image_le16(b + 8));
    h->right = static_cast<std::int16_t>(image_le16(b + 10));
    h->bottom = static_cast<std::int16_t>(image_le16(b + 12));
    h->inch = image_le16(b + 14);
    h->reserved = image_le32(b + 16);
    h->checksum = image_le16(b + 20);
    return true;
}

} // namespace

_wmfile::_wmfile() : header{}, mf(nullptr)
{
    tmppath();
}

_wmfile::~_wmfile()
{
    if (mf)
        DeleteMetaFile(mf);
}

int _wmfile::read_header(FILE* stream)
{
    if (!stream)
        return 0;
    if (!::read_header(stream, &header)) {
        std::fclose(stream);
        return 0;
    }
    return 1;
}

int _wmfile::load(FILE* stream)
{
    if (!stream)
        return 0;
    if (mf) {
        DeleteMetaFile(mf);
        mf = nullptr;
    }
    // The records go to the player from memory: a temporary file of one fixed name
    // would be shared by every process of the runtime at once.
    std::vector<BYTE> bytes;
    BYTE buf[65536];
    std::size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, stream)) > 0) {
        if (bytes.size() + got > kRecordLimit)
            return 0;
        bytes.insert(bytes.end(), buf, buf + got);
    }
    if (bytes.empty())
        return 0;
    mf = SetMetaFileBitsEx(static_cast<UINT>(bytes.size()), bytes.data());
    return mf ? 1 : 0;
}

int _wmfile::extent_width() const
{
    return header.right - header.left;
}

int _wmfile::extent_height() const
{
    return header.bottom - header.top;
}

int _wmfile::pixel_width() const
{
    return pixels(extent_width(), header.inch, image_screen_dpix());
}

int _wmfile::pixel_height() const
{
    return pixels(extent_height(), header.inch, image_screen_dpiy());
}

const char* _wmfile::tmppath()
{
    static const std::string path = [] {
        std::error_code ec;
        std::string dir = std::filesystem::temp_directory_path(ec).string();
        if (ec || dir.empty())
            dir = "/tmp";
        if (dir.back() != '/')
            dir += '/';
        return dir + "~ostrel.mf";
    }();
    return path.c_str();
}

int _getwmf_size(const char* name, int* width, int* height, int* xdpi, int* ydpi)
{
    if (!name || !width || !height || !xdpi || !ydpi)
        return 0;
    *width = 0;
    *height = 0;
    FILE* f = std::fopen(name, "rb");
    if (!f)
        return 0;
    _wmfile wf;
    if (!wf.read_header(f))
        return 0;   // read_header closed the stream
    std::fclose(f);
    const int w = wf.pixel_width(), h = wf.pixel_height();
    if (w < 1 || h < 1)
        return 0;
    *width = w;
    *height = h;
    *xdpi = image_screen_dpix();
    *ydpi = image_screen_dpiy();
    return 1;
}

_bmap* _getwmf_bmap(const char* name, double scale)
{
    if (!name || !(scale > 0.0) || !std::isfinite(scale))
        return nullptr;
    FILE* f = std::fopen(name, "rb");
    if (!f)
        return nullptr;
    _wmfile wf;
    if (!wf.read_header(f))
        return nullptr;
    const int loaded = wf.load(f);
    std::fclose(f);
    if (!loaded)
        return nullptr;
    const double pw = std::trunc(wf.pixel_width() * scale), ph = std::trunc(wf.pixel_height() * scale);
    if (!_bmap_size_ok(static_cast<long long>(std::fmin(pw, 1e12)), static_cast<long long>(std::fmin(ph, 1e12))))
        return nullptr;
    const int w = static_cast<int>(pw), h = static_cast<int>(ph);
    _tmppage tp(w, h);
    if (!tp.page)
        return nullptr;
    _pageinfo pi = _getpageinfo(tp.page);
    if (!pi.dc)
        return nullptr;
    SetMapMode(pi.dc, MM_ANISOTROPIC);
    SetWindowExtEx(pi.dc, wf.extent_width(), wf.extent_height(), nullptr);
    SetViewportExtEx(pi.dc, w, h, nullptr);
    PlayMetaFile(pi.dc, wf.mf);
    _bmap* bm = _page_to_bmap(tp.page);
    if (bm)
        bm->set_dpi(wf.header.inch, wf.header.inch);
    return bm;
}
