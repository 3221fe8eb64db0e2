// Win32 clipboard and global-memory subset of the platform layer: the blocks
// that carry DIBs and metafile pictures, and the clipboard they travel through.
// Implemented in platform/gdi over QClipboard: a CF_METAFILEPICT picture goes out
// as image/x-wmf and as an image, a CF_DIB as image/bmp and as an image.
#pragma once
#include "platform/win_types.h"
#include <cstddef>
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

enum : UINT { CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_DIB = 8, CF_UNICODETEXT = 13,
              CF_HDROP = 15 };
enum : UINT { GMEM_FIXED = 0x0000, GMEM_MOVEABLE = 0x0002, GMEM_ZEROINIT = 0x0040, GMEM_DDESHARE = 0x2000,
              GHND = 0x0042,
              GPTR = 0x0040 };

// ---- global memory blocks (sizes beyond what the caller asked are never read) ----
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
void* GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
HGLOBAL GlobalFree(HGLOBAL block);     // null on success, the block on failure
std::size_t GlobalSize(HGLOBAL block);

// ---- clipboard ----
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HGLOBAL SetClipboardData(UINT format, HGLOBAL data);   // the clipboard owns data from now on
HGLOBAL GetClipboardData(UINT format);                  // owned by the clipboard; valid until closed
BOOL IsClipboardFormatAvailable(UINT format);

// ---- the end of the program (not Win32) ----
// Hands what this process offers on the desktop clipboard to the desktop's
// clipboard manager, when one runs, so that it outlives the program; waits at
// most waitMs for the manager. 1 when the manager took it, else 0 (nothing
// owned, no manager, or a platform without one).
int platform_clipboard_handover(int waitMs);

OSTREL_INTERNAL_EXPORT_END
