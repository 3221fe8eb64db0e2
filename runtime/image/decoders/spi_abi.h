// The calling convention between the runtime and its image plug-ins (".spi"
// shared objects). Plain C functions; every block a plug-in hands out comes from
// malloc and belongs to the caller, who frees it with free().
#pragma once
#include <cstddef>
#include <cstdint>

extern "C" {

// Picture information filled by GetPictureInfo. The layout keeps the offsets of
// the first 24 bytes; the info text pointer follows at offset 24.
struct spi_picture_info {
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;
    std::uint16_t x_density;   // dots per inch, 0 when unknown
    std::uint16_t y_density;
    std::int16_t colour_depth;
    std::uint8_t reserved[2];
    char* info;                // text (malloc), or null
};
static_assert(offsetof(spi_picture_info, x_density) == 16);
static_assert(offsetof(spi_picture_info, colour_depth) == 20);
static_assert(offsetof(spi_picture_info, info) == 24);

using spi_progress = int (*)(int done, int total, long data);

// GetPluginInfo(number, buffer, size): 0 the interface version ("00IN"), 1 the name,
// 2n+2 a file pattern ("*.tif;*.tiff"), 2n+3 its description. Returns the length
// written, 0 when there is no such entry.
using spi_get_plugin_info = int (*)(int number, char* buffer, int size);
// IsSupported(name, head): head points at the first 2048 bytes of the file (zero
// filled when shorter). Nonzero when the plug-in reads it.
using spi_is_supported = int (*)(const char* name, const void* head);
// GetPictureInfo(source, offset, flag, info): flag 0 reads the file named by
// source from byte offset; 0 means success.
using spi_get_picture_info = int (*)(const char* source, long offset, unsigned flag, spi_picture_info* info);
// GetPicture(source, offset, flag, info block, bits block, progress, data): the
// picture as a packed BITMAPINFO (header and colour table) and its rows (the
// header's layout, padded to 4 bytes); 0 means success.
using spi_get_picture = int (*)(const char* source, long offset, unsigned flag, void** info, void** bits,
                                spi_progress progress, long data);

} // extern "C"
