// Rotation with a chosen inner loop and number of threads (not public): lets the tests
// compare the vector and the portable paths, split or not, on any machine.
#pragma once
#include "ostrel/bmap.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

// _bmap_rotate, with `vectors` false forcing the portable loops; true takes the vector
// loops where this processor has them (and the portable ones elsewhere). `threads` 0
// chooses by the size of the result, as _bmap_rotate does; more threads than the
// picture has parts are not started.
_bmap* image_rotate_with(const _bmap* bm, int angle, bool vectors, int threads);
// True when image_rotate_with(..., true) runs the vector loops on this processor.
bool image_rotate_has_vectors();

OSTREL_INTERNAL_EXPORT_END
