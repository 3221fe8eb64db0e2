// Shared pieces of the image decoders: the image-library error manager and its
// recovery point, the file source for libjpeg, the row-reader interface and the
// size checks that keep a hostile header from sizing a huge allocation.
#pragma once
#include <csetjmp>
#include <cstdio>
#include <cstdint>
#include <jpeglib.h>
#include <jerror.h>

class _bmap;

// ---- image-library error state ----
// The error manager of one decoder call, with that call's recovery point. The
// call sets `recover` with setjmp before the first library call; the error exit
// returns there after reporting and destroying the library object. The error box
// pumps messages, so a hook may start another decoder call meanwhile: each call
// keeps its own recovery point and its own state, never a process-wide one.
// Nothing with a destructor may be alive in the frames between, and the state the
// call needs after the jump lives in the frame of its caller.
struct imgerr_mgr {
    jpeg_error_mgr pub;   // first: the library sees only this part
    std::jmp_buf recover;
};
// Installs the program's error manager on a library object's error record.
jpeg_error_mgr* _imgerr_manager(imgerr_mgr* err);
// Raises the error flag without a message (empty input, no image, ...).
void _imgerr_set();
// Raises the empty-input flag (and the error flag).
void _imgerr_set_empty();

// The file source: libjpeg's standard stdio source, except that an empty file
// raises the empty-input and error flags without a box and reads as an image-less
// stream, and a file ending early is completed with an end-of-image marker.
void _imgerr_file_source(j_decompress_ptr cinfo, std::FILE* file);

// ---- add-on messages of the row readers (codes 1000 and up) ----
enum rowreader_message : int {
    ROWMSG_FIRST = 1000,
    ROWMSG_BMP_BADHEADER = ROWMSG_FIRST,
    ROWMSG_BMP_BADDEPTH,
    ROWMSG_BMP_COMPRESSED,
    ROWMSG_BMP_NOTBMP,
    ROWMSG_BMP_OUTOFRANGE,
    ROWMSG_BMP_BADPLANES,
    ROWMSG_BMP_BADCMAP,
    ROWMSG_BMP_BADMASKS,
    ROWMSG_GIF_NOTGIF,
    ROWMSG_GIF_BADHEADER,
    ROWMSG_GIF_NOIMAGE,
    ROWMSG_GIF_BADIMAGE,
    ROWMSG_GIF_BADCODE,
    ROWMSG_GIF_EOF,
    ROWMSG_GIF_NOMEM,
    ROWMSG_GIF_BADEXT,
    ROWMSG_GIF_BADRECORD,
    ROWMSG_GIF_BADSIZE,
    ROWMSG_PPM_NONNUMERIC,
    ROWMSG_PPM_NOTPPM,
    ROWMSG_PPM_BADMAXVAL,
    ROWMSG_PPM_OUTOFRANGE,
    ROWMSG_PPM_BADSIZE,
    ROWMSG_PPM_EOF,
    ROWMSG_TGA_BADCMAP,
    ROWMSG_TGA_BADPARMS,
    ROWMSG_TGA_BADTYPE,
    ROWMSG_TGA_BADDEPTH,
    ROWMSG_TGA_EOF,
    ROWMSG_TGA_BADORIGIN,
    ROWMSG_TGA_BADINDEX,
    ROWMSG_IMG_TOOLARGE,
    ROWMSG_IMG_EMPTY,
    ROWMSG_IMG_UNKNOWN,
    ROWMSG_IMG_EOF,
    ROWMSG_IMG_NOSEEK,
    ROWMSG_IMG_BADWIDTH,
    ROWMSG_IMG_BADHEIGHT,
    ROWMSG_IMG_ROWS,
    ROWMSG_IMG_READ,
    ROWMSG_IMG_INTERNAL,
    ROWMSG_TGA_BADID,
    ROWMSG_GIF_BADCMAP,
    ROWMSG_PPM_BADTYPE,
    ROWMSG_LAST
};
static_assert(ROWMSG_LAST - 1 == 1043, "the readers' messages are codes 1000 to 1043");
extern const char* const _rowreader_messages[];

// Raise a reader error (fatal: box and recovery) or warning (flag only, once).
[[noreturn]] void _rowreader_error(j_compress_ptr host, int code, int p1 = 0, int p2 = 0);
void _rowreader_warning(j_compress_ptr host, int code, int p1 = 0);

// ---- row readers ----
// A reader works over the host object (a libjpeg compression object that carries
// the error manager and the memory pools) and an open stream. Everything it
// allocates comes from the host's image pool, so destroying the host frees it on
// every path, including the recovery point.
struct rowreader {
    j_compress_ptr host;
    std::FILE* file;
    long long file_size;
    int width;
    int height;
    int components;   // 3: blue, green, red; 1: grey
    int pixels_per_byte;  // the most pixels one byte of the file can encode
    int xdensity;     // dots per inch, 1 when the file says nothing
    int ydensity;
    unsigned char* row;   // components * width bytes, filled by next_row
    // Reads the next row, top row first. Errors leave through the recovery point.
    void (*next_row)(rowreader* r);
    // Releases `handle`, what the pools do not own (a library handle); called on
    // every path, also after the error exit has destroyed the pools (and with
    // them `state`), so it may only look at the reader record itself.
    void (*close)(rowreader* r);
    void* handle;
    void* state;
};

// Start functions: read the header, fill width, height, components, densities and
// the two functions. The first byte has been checked by the caller.
void _rowreader_start_bmp(rowreader* r);
void _rowreader_start_gif(rowreader* r);
void _rowreader_start_tga(rowreader* r);
void _rowreader_start_ppm(rowreader* r);

// Byte helpers for the readers: a short read is the reader's premature end.
int _rowreader_byte(rowreader* r);           // -1 at end of file
void _rowreader_read(rowreader* r, void* buf, std::size_t n);   // fatal at end of file
void* _rowreader_alloc(rowreader* r, std::size_t n);            // from the image pool

// ---- size checks against the file ----
long long _file_size(std::FILE* f);
// True when a width x height picture may be decoded from a file of this size:
// both at least 1, the 24-bit bitmap is one the runtime allocates, and the pixels
// do not exceed `pixels_per_byte` times the file's size (plus a small allowance),
// the most the format's compression can produce.
bool _decode_budget_ok(long long width, long long height, long long file_size, long long pixels_per_byte);
