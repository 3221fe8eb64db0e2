// The one step every picture transfer ends with: the block replaces what the
// clipboard holds. Shared by the clipboard transfer files of the page area.
#pragma once
#include "platform/win_types.h"

// Opens the clipboard for `owner`, empties it and hands it `block` in `format`
// (CF_DIB or CF_METAFILEPICT). 1 once the clipboard owns the block; 0 when the
// clipboard cannot be opened, and the block (with its metafile) is freed.
int clip_hand_over(HWND owner, UINT format, HGLOBAL block);
