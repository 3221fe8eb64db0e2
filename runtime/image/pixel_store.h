// Rows of large bitmaps: where they come from and where they go (not public).
#pragma once
#include "ostrel/bmap.h"

#include <cstddef>
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

// Rows for a bitmap, not cleared. Large rows live in a memory file that recordings of
// the bitmap share (platform/gdi/shared_rows.h), other rows come from malloc. Null when
// memory runs out.
unsigned char* image_rows_alloc(std::size_t size);

// Rows for a bitmap whose every pixel the caller is about to write (the transforms'
// results). A large request may be served by the block of the last large bitmap
// released, which is still mapped: its pages are neither faulted in nor cleared again.
// Null when memory runs out.
unsigned char* image_rows_for_overwrite(std::size_t size);

// Gives back rows that came from malloc, image_rows_alloc or image_rows_for_overwrite.
// A large block of plain memory is kept for the next large result, in place of the one
// kept before; the kernel may take its pages back meanwhile, in which case they are
// simply faulted in again.
void image_rows_release(unsigned char* rows);

// Frees the kept block, if any.
void image_rows_drop_kept();

// A new 24-bit w x h bitmap for a result that writes every pixel; the row padding is
// cleared here. Failing memory is fatal, as for the plain constructor.
_bmap* image_new_result(int w, int h);

OSTREL_INTERNAL_EXPORT_END
