// What every image plug-in of this project shares: the result codes, the exported
// entry points' visibility, GetPluginInfo's numbered texts, and the 24-bit top-down
// DIB blocks a plug-in hands to the runtime (malloc'd; the caller frees them).
#pragma once
#include "runtime/image/decoders/spi_abi.h"

#include <sys/stat.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define SPI_EXPORT extern "C" __attribute__((visibility("default")))

namespace spi {

// Result codes of the plug-in interface.
enum : int { OK = 0, NOT_IMPLEMENTED = -1, CANCELLED = 1, UNKNOWN_FORMAT = 2, BROKEN = 3, NO_MEMORY = 4,
             READ_ERROR = 6 };

// GetPluginInfo: 0 the interface version, 1 the plug-in's name, then pairs of a file
// pattern and its description. Answers the length written, 0 for no such entry.
inline int plugin_info(int number, char* buffer, int size, const char* name, const char* const* pairs,
                       int pair_count)
{
    const char* text = nullptr;
    if (number == 0)
        text = "00IN";
    else if (number == 1)
        text = name;
    else if (number >= 2 && number < 2 + 2 * pair_count)
        text = pairs[number - 2];
    if (!text || !buffer || size <= 0)
        return 0;
    std::snprintf(buffer, static_cast<std::size_t>(size), "%s", text);
    return static_cast<int>(std::strlen(buffer));
}

// Only "a file named by source, read from its start" is offered.
inline bool plain_file_request(const char* source, long offset, unsigned flag)
{
    return source && offset == 0 && (flag & 7) == 0;
}

inline long long file_size(const char* name)
{
    struct stat st;
    return name && stat(name, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<long long>(st.st_size) : -1;
}

inline void put_le32(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

inline std::size_t dib24_stride(std::int32_t width)
{
    return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
}

// The 40-byte header of a 24-bit top-down picture (calloc'd), or null.
inline unsigned char* new_dib24_header(std::int32_t width, std::int32_t height)
{
    auto* header = static_cast<unsigned char*>(std::calloc(1, 40));
    if (!header)
        return nullptr;
    put_le32(header, 40);
    put_le32(header + 4, static_cast<std::uint32_t>(width));
    put_le32(header + 8, static_cast<std::uint32_t>(-height));
    header[12] = 1;    // planes
    header[14] = 24;   // bits per pixel
    return header;
}

// The two blocks of a 24-bit top-down picture: the header and rows of
// dib24_stride(width) bytes (padding cleared). False, with nothing allocated, when
// either block cannot be had.
inline bool new_dib24(std::int32_t width, std::int32_t height, void** info, void** bits)
{
    *info = *bits = nullptr;
    if (width < 1 || height < 1)
        return false;
    unsigned char* header = new_dib24_header(width, height);
    auto* rows = static_cast<unsigned char*>(std::calloc(dib24_stride(width), static_cast<std::size_t>(height)));
    if (!header || !rows) {
        std::free(header);
        std::free(rows);
        return false;
    }
    *info = header;
    *bits = rows;
    return true;
}

inline void fill_info(spi_picture_info* info, std::int32_t width, std::int32_t height, int xdpi, int ydpi,
                      int depth)
{
    std::memset(info, 0, sizeof *info);
    info->width = width;
    info->height = height;
    info->x_density = static_cast<std::uint16_t>(xdpi < 0 ? 0 : xdpi > 65535 ? 65535 : xdpi);
    info->y_density = static_cast<std::uint16_t>(ydpi < 0 ? 0 : ydpi > 65535 ? 65535 : ydpi);
    info->colour_depth = static_cast<std::int16_t>(depth);
    info->info = nullptr;
}

} // namespace spi
