// Win32-shaped base types of the platform layer.
// The runtime's algorithms are written against Win32 names and layouts; these are
// our own definitions of the few types they need (values checked against the
// Windows API headers, which are never included). 32-bit target widths are kept
// where a layout is observable (messages, DIB headers, metafile records).
#pragma once
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using SHORT = std::int16_t;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = DWORD;        // 0x00BBGGRR
using ATOM = WORD;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Handles are pointers to the platform's own records (opaque outside platform/).
struct Wnd;             // a window (platform/win)
struct Menu;            // a menu or menu bar (platform/win)
struct AccelTable;      // an accelerator table (platform/win)
struct DeviceContext;   // a device context (platform/gdi)
struct GdiObject;       // pen, brush, font, bitmap, region, palette (platform/gdi)
struct MetaFile;        // a closed recording (platform/gdi)
struct DropInfo;        // files dropped on a window (platform/win)

using HWND = Wnd*;
using HMENU = Menu*;
using HACCEL = AccelTable*;
using HDC = DeviceContext*;
using HGDIOBJ = GdiObject*;
using HPEN = GdiObject*;
using HBRUSH = GdiObject*;
using HFONT = GdiObject*;
using HBITMAP = GdiObject*;
using HRGN = GdiObject*;
using HPALETTE = GdiObject*;
using HMETAFILE = MetaFile*;
using HDROP = DropInfo*;
using HINSTANCE = void*;
using HMODULE = void*;
using HICON = void*;
using HCURSOR = void*;
using HGLOBAL = void*;

struct POINT { LONG x; LONG y; };
struct SIZE { LONG cx; LONG cy; };
struct RECT { LONG left; LONG top; LONG right; LONG bottom; };

inline constexpr COLORREF RGB(int r, int g, int b)
{
    return COLORREF((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int GetRValue(COLORREF c) { return int(c & 0xFF); }
inline constexpr int GetGValue(COLORREF c) { return int((c >> 8) & 0xFF); }
inline constexpr int GetBValue(COLORREF c) { return int((c >> 16) & 0xFF); }
inline constexpr WORD LOWORD(std::uintptr_t v) { return WORD(v & 0xFFFF); }
inline constexpr WORD HIWORD(std::uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
inline constexpr LPARAM MAKELPARAM(int lo, int hi) { return LPARAM(DWORD(WORD(lo)) | (DWORD(WORD(hi)) << 16)); }
inline constexpr WPARAM MAKEWPARAM(int lo, int hi) { return WPARAM(DWORD(WORD(lo)) | (DWORD(WORD(hi)) << 16)); }
