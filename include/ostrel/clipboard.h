/* ostrel clipboard: pictures put on the desktop clipboard by a program.
 *
 * The image of an off-screen page or a bitmap object goes as a packed 24-bit
 * DIB (CF_DIB: a 40-byte header followed by bottom-up rows); a BMP file as the
 * DIB that follows its file header; a placeable metafile file as a metafile
 * picture (CF_METAFILEPICT: MM_LOENGLISH, extents in hundredths of an inch).
 * Other programs receive them as image/bmp, image/x-wmf and as an image. Each
 * call replaces what the clipboard held; one that fails leaves it as it was.
 * Results: 1 success, 0 failure. Plain C++.
 */
#ifndef OSTREL_CLIPBOARD_H
#define OSTREL_CLIPBOARD_H

#include "ostrel/export.h"

OSTREL_API_BEGIN

class _bmap;

/* The image of off-screen page `page` (0 for any other kind of page). */
int _copypagedib(int page);
/* The bitmap object's pixels (0 for an unusable object or when memory cannot be had). */
int _copybmapdib(const _bmap* bitmap);
/* A ".bmp" or ".wmf" file (any case), by its extension; 0 for any other name. */
int _copyfile(const char* name);
/* A BMP file: 0 when it cannot be read or is no BMP file the clipboard can carry. */
int _copybmpfile(const char* name);
/* A placeable metafile file: 0 when it cannot be read or is malformed. */
int _copywmffile(const char* name);

OSTREL_API_END

#endif
