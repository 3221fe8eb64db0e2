/* ostrel/image.h: loading image files into a _bmap, chosen by the file's extension.
 *
 * BMP, icon, cursor and placeable-metafile files are read by the runtime itself;
 * JPEG/GIF, PNG, 8BPS (.psd/.pdd) and every other extension go through the eight
 * decoder entries the program registers with _setimg_decoders. A route that fails
 * falls back to a picture of the file's associated icon. Plain C++.
 */
#ifndef OSTREL_IMAGE_H
#define OSTREL_IMAGE_H

#include <cstdint>
#include <cstdio>

#include "ostrel/bmap.h"
#include "ostrel/export.h"

OSTREL_API_BEGIN

/* Decoder entry shapes (the slots of the decoder table). */
typedef int (*ostrel_size_fn)(const char* name, int* width, int* height, int* xdpi, int* ydpi);
typedef int (*ostrel_size2_fn)(const char* name, int* width, int* height);
typedef _bmap* (*ostrel_jpegload_fn)(const char* name, int reduction, int fast);
typedef _bmap* (*ostrel_load_fn)(const char* name);

/* Registers the eight entries; a null entry leaves its slot answering failure. */
void _setimg_decoders(ostrel_size_fn jpeg_size, ostrel_size_fn png_size, ostrel_size2_fn psd_size,
                      ostrel_size_fn plugin_size, ostrel_jpegload_fn jpeg_load, ostrel_load_fn png_load,
                      ostrel_load_fn psd_load, ostrel_load_fn plugin_load);

/* Size and resolution (dots per inch; 0 when unknown) of an image file: nonzero on
 * success. Every output must be given. */
int _getfile_size(const char* name, int* width, int* height, int* xdpi, int* ydpi);
/* The file's pixels as a new 24-bit bitmap (the caller deletes it), or null. */
_bmap* _getfile_bmap(const char* name, double scale, int fast);

/* The routes of the dispatcher, usable on their own. */
int _getbmp_size(const char* name, int* width, int* height, int* xdpi, int* ydpi);
_bmap* _getbmp_bmap(const char* name);
_bmap* _readbmp_bmap(const char* name);
int _geticon_size(const char* name, int* width, int* height, int* xdpi, int* ydpi);
int _getcursor_size(const char* name, int* width, int* height, int* xdpi, int* ydpi);
_bmap* _geticon_bmap(const char* name);
int _getwmf_size(const char* name, int* width, int* height, int* xdpi, int* ydpi);
_bmap* _getwmf_bmap(const char* name, double scale);
/* Makes `page` an off-screen page showing the file (a BMP file) or its associated
 * icon on `colour` (0xFFFFFF: the page's own background): 1 on success. */
int _drawfile_to_page(const char* name, int page, std::uint32_t colour);
/* The associated icon of a file drawn on a new bitmap of the system icon size, on
 * `background` (0xFFFFFF: the default page colour), or null when there is none. */
_bmap* _associated_icon_bmap(const char* name, std::uint32_t background = 0xFFFFFF);

/* The 22-byte header of a placeable metafile, as stored (little-endian). */
#pragma pack(push, 1)
struct ostrel_placeable_header {
    std::uint32_t key;
    std::uint16_t handle;
    std::int16_t left;
    std::int16_t top;
    std::int16_t right;
    std::int16_t bottom;
    std::uint16_t inch;      // units per inch
    std::uint32_t reserved;
    std::uint16_t checksum;
};
#pragma pack(pop)
static_assert(sizeof(ostrel_placeable_header) == 22, "placeable header is 22 bytes");

struct MetaFile; /* the platform's metafile handle (HMETAFILE) */

/* One placeable metafile being read: its header and, once loaded, the metafile
 * handle over a temporary copy of the records. Only one may be open at a time
 * (the temporary file is shared). */
class _wmfile {
public:
    ostrel_placeable_header header;
    MetaFile* mf;

    _wmfile();    // temporary path ready, no metafile
    ~_wmfile();   // deletes the metafile handle and the temporary file
    _wmfile(const _wmfile&) = delete;
    _wmfile& operator=(const _wmfile&) = delete;

    /* Reads the header: 1 on success; on failure the stream is closed. */
    int read_header(FILE* stream);
    /* Copies the rest of the stream into the temporary file and opens it as the
     * metafile: 1 on success. The stream stays open. */
    int load(FILE* stream);
    /* Extent in metafile units, and its size in pixels at the screen resolution. */
    int extent_width() const;
    int extent_height() const;
    int pixel_width() const;
    int pixel_height() const;

    /* "<temp dir>/~ostrel.mf", computed once per run. */
    static const char* tmppath();
};

OSTREL_API_END

#endif
