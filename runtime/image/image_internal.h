// Helpers shared by the files of the image area (not public).
#pragma once
#include "ostrel/bmap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

// A 24-bit bitmap whose fields agree with its rows: the transforms and writers
// refuse anything else rather than read past the rows.
bool image_bmap_valid(const _bmap* bm);

// Little-endian reads from a byte block.
inline std::uint16_t image_le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t image_le32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void image_put16(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void image_put32(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

// Where the reductions put the unrotated result pixel (x, y) of a w x h result,
// as a byte offset into a bitmap of the given stride; -1 for an unknown turn.
inline std::ptrdiff_t image_turn_offset(int turn, int x, int y, int w, int h, int stride)
{
    switch (turn) {
    case 0: return static_cast<std::ptrdiff_t>(y) * stride + x * 3;
    case 1: return static_cast<std::ptrdiff_t>(w - 1 - x) * stride + y * 3;
    case -1: return static_cast<std::ptrdiff_t>(x) * stride + (h - 1 - y) * 3;
    case 2:
    case -2: return static_cast<std::ptrdiff_t>(h - 1 - y) * stride + (w - 1 - x) * 3;
    default: return -1;
    }
}

// Reads a whole file into memory, refusing more than `limit` bytes; the buffer is
// malloc'ed (free it). Returns false when the file cannot be read.
bool image_read_file(const char* name, unsigned char** data, std::size_t* size, std::size_t limit);

// The extension of the file name itself (a dot in a directory name does not count),
// from its last dot, upper-cased; empty when the name has no dot.
std::string image_extension(const char* name);

// One picture of an icon or cursor file: straight (not premultiplied) 0xAARRGGBB
// pixels, rows top first.
struct IcoImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};
// Picks the image of an .ico/.cur file closest to want x want pixels and decodes it
// (DIB images with their AND mask or alpha, PNG images): false for anything else.
bool image_ico_decode(const unsigned char* data, std::size_t size, int want, IcoImage* out);
// A PNG image of an icon file, at most max_side pixels a side: false when broken.
bool image_ico_png(const unsigned char* data, std::size_t size, int max_side, IcoImage* out);

OSTREL_INTERNAL_EXPORT_END
