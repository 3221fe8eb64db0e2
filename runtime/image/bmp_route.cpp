// The BMP route of the loader: size from the headers, pixels through the runtime's
// own DIB reader, the associated icon when the file cannot be read.
#include "ostrel/image.h"
#include "ostrel/pages.h"
#include "runtime/image/image_internal.h"

#include <cstdlib>

namespace {

constexpr std::size_t kFileLimit = std::size_t(1) << 30;

// Offset of the rows from the start of the DIB: the file's own bfOffBits where it
// points inside the file past the header, else right after header, masks and
// colour table.
std::size_t data_offset(const unsigned char* file, std::size_t size)
{
    const unsigned char* dib = file + 14;
    const std::size_t dibsize = size - 14;
    const std::uint32_t hsz = image_le32(dib);
    const std::uint32_t off = image_le32(file + 10);
    if (off >= 14 + static_cast<std::uint64_t>(hsz) && off <= size)
        return off - 14;
    std::uint64_t def = hsz;
    if (hsz == 12) {
        const unsigned bpp = image_le16(dib + 10);
        if (bpp <= 8)
            def += 3u << bpp;
    } else if (hsz >= 40 && dibsize >= 40) {
        const std::uint32_t comp = image_le32(dib + 16);
        if (hsz == 40 && comp == 3)
            def += 12;
        if (hsz == 40 && comp == 6)
            def += 16;
        def += static_cast<std::uint64_t>(_palette_bytes(reinterpret_cast<const ostrel_bitmapinfoheader*>(dib)));
    }
    return def > dibsize ? dibsize : static_cast<std::size_t>(def);
}

// The whole file when it starts with a BMP file header and a DIB header size.
bool read_bmp(const char* name, unsigned char** data, std::size_t* size)
{
    if (!image_read_file(name, data, size, kFileLimit))
        return false;
    if (*size < 14 + 12 || (*data)[0] != 0x42 || (*data)[1] != 0x4D) {
        std::free(*data);
        *data = nullptr;
        return false;
    }
    return true;
}

} // namespace

_bmap* _bmpfile_decode(const void* file, std::size_t size)
{
    const auto* p = static_cast<const unsigned char*>(file);
    if (!p || size < 14 + 12 || p[0] != 0x42 || p[1] != 0x4D)
        return nullptr;
    return _dib_decode(p + 14, size - 14, data_offset(p, size));
}

int _getbmp_size(const char* name, int* width, int* height, int* xdpi, int* ydpi)
{
    if (!name)
        return 0;
    FILE* f = std::fopen(name, "rb");
    if (!f)
        return 0;
    unsigned char b[14 + 44] = {};
    const std::size_t got = std::fread(b, 1, sizeof b, f);
    std::fclose(f);
    if (got < 14 + 16 || b[0] != 0x42 || b[1] != 0x4D)
        return 0;
    const unsigned char* h = b + 14;
    const std::uint32_t hsz = image_le32(h);
    if (hsz == 12) {   // OS/2 core header: 16-bit sizes, no resolution
        *width = image_le16(h + 4);
        *height = image_le16(h + 6);
        *xdpi = *ydpi = 0;
        return 1;
    }
    if (hsz < 16 || got < 14 + 32)
        return 0;
    *width = static_cast<std::int32_t>(image_le32(h + 4));
    *height = static_cast<std::int32_t>(image_le32(h + 8));   // negative for a top-down file
    *xdpi = _ppm_to_dpi(static_cast<std::int32_t>(image_le32(h + 24)));
    *ydpi = _ppm_to_dpi(static_cast<std::int32_t>(image_le32(h + 28)));
    return 1;
}

_bmap* _readbmp_bmap(const char* name)
{
    unsigned char* data;
    std::size_t size;
    if (!read_bmp(name, &data, &size))
        return nullptr;
    _bmap* bm = _dib_to_bmap_n(data + 14, size - 14, data_offset(data, size));
    std::free(data);
    return bm;
}

_bmap* _getbmp_bmap(const char* name)
{
    unsigned char* data;
    std::size_t size;
    _bmap* bm = nullptr;
    if (read_bmp(name, &data, &size)) {
        bm = _bmpfile_decode(data, size);
        std::free(data);
    }
    if (!bm)
        bm = _associated_icon_bmap(name);   // a picture of the icon at the icon's size
    return bm;
}

int _drawfile_to_page(const char* name, int page, std::uint32_t colour)
{
    if (!name)
        return 0;
    _bmap* bm = nullptr;
    if (image_extension(name) == ".BMP") {
        unsigned char* data;
        std::size_t size;
        if (read_bmp(name, &data, &size)) {
            bm = _dib_decode(data + 14, size - 14, data_offset(data, size));
            std::free(data);
        }
    }
    if (!bm)
        bm = _associated_icon_bmap(name, colour);
    if (!bm)
        return 0;
    int r = _bmap_to_page(bm, page, 0, 0) > 0 ? 1 : 0;
    delete bm;
    return r;
}
