// Win32-shaped base types of the platform layer.
// The runtime's algorithms are written against Win32 names and layouts; these are
// our own definitions of the few types they need (values checked against the
// Windows API headers, which are never included). 32-bit target widths are kept
// where a layout is observable (messages, DIB headers, metafile records).
// What programs see too (integer widths, window handles, POINT, MSG) is the
// public header's; this one adds the rest.
#pragma once
#include "ostrel/win_types.h"

#include <cstdint>

using BYTE = std::uint8_t;
using SHORT = std::int16_t;
using BOOL = int;
using LRESULT = std::intptr_t;
using ATOM = WORD;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Handles are pointers to the platform's own records (opaque outside platform/):
// windows, menus, accelerator tables and drops in platform/win, device contexts
// and drawing objects in platform/gdi.
struct MetaFile;        // a closed recording (platform/gdi)

using HGDIOBJ = GdiObject*;
using HPEN = GdiObject*;
using HBRUSH = GdiObject*;
using HFONT = GdiObject*;
using HRGN = GdiObject*;
using HPALETTE = GdiObject*;
using HMETAFILE = MetaFile*;
using HMODULE = void*;
using HICON = void*;
using HGLOBAL = void*;

struct SIZE { LONG cx; LONG cy; };
struct RECT { LONG left; LONG top; LONG right; LONG bottom; };

inline constexpr COLORREF RGB(int r, int g, int b)
{
    return COLORREF((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int GetRValue(COLORREF c) { return int(c & 0xFF); }
inline constexpr int GetGValue(COLORREF c) { return int((c >> 8) & 0xFF); }
inline constexpr int GetBValue(COLORREF c) { return int((c >> 16) & 0xFF); }
inline constexpr LPARAM MAKELPARAM(int lo, int hi) { return LPARAM(DWORD(WORD(lo)) | (DWORD(WORD(hi)) << 16)); }
inline constexpr WPARAM MAKEWPARAM(int lo, int hi) { return WPARAM(DWORD(WORD(lo)) | (DWORD(WORD(hi)) << 16)); }
