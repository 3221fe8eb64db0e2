/* ostrel image decoders: the eight entries a program registers with
 * _setimg_decoders (JPEG and the GIF/BMP/Targa/PPM row readers, PNG, 8BPS
 * layered images, image plug-ins), the shared image-library error state and
 * the image plug-in bridge.
 *
 * Size entries return 1 on success and 0 on failure; load entries return a
 * new 24-bit _bmap owned by the caller, or null.
 */
#ifndef OSTREL_DECODERS_H
#define OSTREL_DECODERS_H
#include "ostrel/export.h"

OSTREL_API_BEGIN

class _bmap;

/* JPEG through libjpeg; names not starting their extension with J go to the row readers. */
int _getjpg_size(const char* name, int* width, int* height, int* xdpi, int* ydpi);
_bmap* _getjpg_bmap(const char* name, int reduction, int fast);

/* The image-library error state shared by the JPEG library and the row readers. */
void _imgerr_context(const char* operation, const char* name);
int _imgerr();
void _imgerr_report(const char* text);

/* Row readers: GIF, BMP, Targa, PPM/PGM, chosen by the file's first byte. */
int _getimg_size(const char* name, int* width, int* height, int* xdpi, int* ydpi);
_bmap* _getimg_bmap(const char* name);

/* PNG through libpng. */
int _getpng_size(const char* name, int* width, int* height, int* xdpi, int* ydpi);
_bmap* _getpng_bmap(const char* name);

/* 8BPS layered-image files (.psd, .pdd). */
int _getpsd_size(const char* name, int* width, int* height);
_bmap* _getpsd_bmap(const char* name);

/* Image plug-ins (".spi" shared objects), numbered 1 to 11 (9 Targa, 10 PPM/PGM/PBM/PNM,
 * 11 WebP). */
int _spi_select(const char* name);
int _spi_load(int n);
int _getspi_size(const char* name, int* width, int* height, int* xdpi, int* ydpi);
/* info and bits receive blocks owned by the caller (free them with free()). */
int _spi_getpicture(const char* name, void** info, void** bits);
_bmap* _getspi_bmap(const char* name);
int _spi_unload_all();

/* Message boxes of the image library: 1 shows them (the default), 0 writes
 * their text to the standard error stream instead. The environment variable
 * OSTREL_QUIET_BOXES=1 sets 0 at start-up (tests, fuzzers, batch runs).
 * Returns the previous setting. */
int _imgerr_showboxes(int show);

OSTREL_API_END

#endif
