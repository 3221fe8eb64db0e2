/* ostrel/bmap.h: the one in-memory picture of the runtime and what works on it.
 *
 * A _bmap is a 24-bit, top-down pixel buffer (rows of blue, green, red bytes, each
 * row padded to a multiple of 4) together with the BITMAPINFO header that the
 * platform's DIB calls take. Producers hand new heap objects to the caller, who
 * deletes them. This header also declares the reductions and rotations, the DIB
 * and BMP writers and page capture. Plain C++: no platform or toolkit headers.
 */
#ifndef OSTREL_BMAP_H
#define OSTREL_BMAP_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include "ostrel/export.h"

OSTREL_API_BEGIN

/* Byte-for-byte the platform's BITMAPINFOHEADER / RGBQUAD / BITMAPINFO (see
 * platform/gdi/wingdi.h); runtime code passes &bm->info to the DIB calls with
 * reinterpret_cast<const BITMAPINFO*>. */
struct ostrel_bitmapinfoheader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
struct ostrel_rgbquad {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
};
struct ostrel_bitmapinfo {
    ostrel_bitmapinfoheader bmiHeader;
    ostrel_rgbquad bmiColors[1];
};
static_assert(sizeof(ostrel_bitmapinfoheader) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(sizeof(ostrel_bitmapinfo) == 44, "BITMAPINFO is 44 bytes");

/* The platform's own header types, for the overloads that take them. */
struct BITMAPINFOHEADER;
struct BITMAPINFO;

class _bmap {
public:
    std::int32_t width;      // pixels
    std::int32_t height;     // pixels, always positive here
    std::int32_t stride;     // bytes per row, a multiple of 4
    unsigned char* bits;     // rows, top row first; null when empty
    std::int32_t size;       // bytes allocated for bits
    std::int32_t depth;      // bits per pixel: 24 for every bitmap the runtime makes
    ostrel_bitmapinfo info;  // top-down header for the DIB calls
    std::int32_t shared;     // nonzero: the rows belong to another owner

    _bmap();                                   // empty
    _bmap(int width, int height, int depth);   // rows not cleared; fatal when they cannot be allocated
    _bmap(const _bmap& other);                 // deep copy of the rows
    _bmap& operator=(const _bmap&) = delete;
    ~_bmap();

    void release();                    // frees owned rows, back to empty
    void update_info();                // stride and header from the fields; screen resolution when none
    void set_dpi(int xdpi, int ydpi);  // resolution from dots per inch
    void set_ppm(int xppm, int yppm);  // resolution as pixels per metre
};

/* Row bytes ((depth / 8) * width rounded up to 4) times height. Values that do not fit
 * an int give -1. */
int _bmap_bytes(int width, int height, int depth);
/* Bytes of the colour table that follows a DIB header. */
int _palette_bytes(const ostrel_bitmapinfoheader* header);
int _palette_bytes(const BITMAPINFOHEADER* header);

/* Resolution conversions (rounded to nearest). */
int _dpi_to_ppm(int dpi);
int _ppm_to_dpi(int ppm);

/* True when a w x h bitmap of this depth is a size the runtime will allocate: both at
 * least 1, the byte count fits in an int and stays under the runtime's limit (1 GiB).
 * Everything that sizes a bitmap from outside input checks this first. */
bool _bmap_size_ok(long long width, long long height, int depth = 24);
/* A new 24-bit bitmap, or null when the size is not sane or the rows cannot be
 * allocated (never fatal): for producers working from outside input. */
_bmap* _bmap_try_new(long long width, long long height);

/* Packed DIB (header, colour table, rows) to a new 24-bit bitmap: 8 and 24-bit
 * uncompressed only; null otherwise. `data` points at the rows. The caller vouches
 * that the block holds what its header says. */
_bmap* _dib_to_bmap(const void* dib, const void* data);
/* The same over a block of known size (rows at `dataoffset` from its start); every
 * read is checked against `blocksize`. */
_bmap* _dib_to_bmap_n(const void* dib, std::size_t blocksize, std::size_t dataoffset);
/* Any DIB the runtime reads (1, 4, 8, 16, 24, 32 bits; BI_RGB, BI_RLE8, BI_RLE4,
 * BI_BITFIELDS; bottom-up or top-down) to a new 24-bit bitmap, bounds-checked;
 * null for anything else. */
_bmap* _dib_decode(const void* dib, std::size_t blocksize, std::size_t dataoffset);

/* A whole BMP file in memory (file header, DIB) to a new 24-bit bitmap through
 * _dib_decode; null when it is not a BMP file the runtime reads. */
_bmap* _bmpfile_decode(const void* file, std::size_t size);

/* Reduction by `scale` (0 < scale <= 1) with an optional quarter turn (-2..2). */
_bmap* _bmap_shrink(const _bmap* bm, double scale, double tolerance, int turn);
_bmap* _bmap_shrink_box(const _bmap* bm, int n, int turn);
_bmap* _bmap_shrink_area(const _bmap* bm, double scale, int turn);
_bmap* _bmap_shrink_bilinear(const _bmap* bm, double scale, int turn);
/* Result size of a reduction by s; 1 when both are at least 1, else 0. */
int _shrink_size(int w, int h, double s, int* outw, int* outh);
/* Rotation by 90 (counter-clockwise), -90 (clockwise), 180 or -180. */
_bmap* _bmap_rotate(const _bmap* bm, int angle);

/* Packed DIBs in movable global memory (an HGLOBAL; unlocked; the caller frees it). */
void* _page_to_dib(int page, int* total, short depth);
void* _bmap_to_dib(const _bmap* bm, int* total);
/* BMP files: 1 when written, 0 otherwise. */
int _page_to_bmpfile(FILE* stream, int page, int depth);
int _savebmp(const char* name, int page, int depth);
int _bmap_savebmp(const char* name, const _bmap* bm);

OSTREL_API_END

#endif
