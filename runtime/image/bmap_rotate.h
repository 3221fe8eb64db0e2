// Rotation with a chosen inner loop (not public): lets the tests compare the vector and
// the portable paths on any machine.
#pragma once
#include "ostrel/bmap.h"

// _bmap_rotate, with `vectors` false forcing the portable loops; true takes the vector
// loops where this processor has them (and the portable ones elsewhere).
_bmap* image_rotate_with(const _bmap* bm, int angle, bool vectors);
// True when image_rotate_with(..., true) runs the vector loops on this processor.
bool image_rotate_has_vectors();
