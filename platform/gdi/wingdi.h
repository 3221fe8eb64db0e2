// Win32 GDI subset of the platform layer: device contexts, drawing objects,
// drawing calls, mapping modes, DIB calls, metafile recording and replay.
// Names, signatures, numbers and layouts follow Win32; implemented on Qt
// (QImage raster targets, QPrinter, and our own recording) in platform/gdi.
#pragma once
#include "ostrel/constants.h"
#include "platform/win_types.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

#pragma pack(push, 1)
struct BITMAPFILEHEADER {   // 14 bytes on disk
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14);

struct BITMAPINFOHEADER {   // 40 bytes
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD { BYTE rgbBlue; BYTE rgbGreen; BYTE rgbRed; BYTE rgbReserved; };
struct BITMAPINFO { BITMAPINFOHEADER bmiHeader; RGBQUAD bmiColors[1]; };
static_assert(sizeof(BITMAPINFO) == 44);

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

enum : int { LF_FACESIZE = 32 };
struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};

struct TEXTMETRICA {
    LONG tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading;
    LONG tmAveCharWidth, tmMaxCharWidth, tmWeight, tmOverhang;
    LONG tmDigitizedAspectX, tmDigitizedAspectY;
    BYTE tmFirstChar, tmLastChar, tmDefaultChar, tmBreakChar;
    BYTE tmItalic, tmUnderlined, tmStruckOut, tmPitchAndFamily, tmCharSet;
};

struct LOGBRUSH { UINT lbStyle; COLORREF lbColor; std::uintptr_t lbHatch; };

// The clipboard's picture header; extents in MM_ANISOTROPIC are HIMETRIC (0.01 mm).
struct METAFILEPICT { LONG mm; LONG xExt; LONG yExt; HMETAFILE hMF; };

enum : DWORD { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };
enum : UINT { DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1 };

// raster operations are the public ones (ostrel/constants.h); mix modes and stretch modes
enum : int { R2_BLACK = 1, R2_NOT = 6, R2_XORPEN = 7, R2_NOP = 11, R2_COPYPEN = 13, R2_WHITE = 16 };
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };

// pens and brushes
enum : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
             PS_INSIDEFRAME = 6 };
enum : UINT { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3 };
enum : int { WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
             NULL_BRUSH = 5, HOLLOW_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
             SYSTEM_FONT = 13, DEFAULT_GUI_FONT = 17 };

// flood fill, mapping modes (background modes and text alignments: ostrel/constants.h)
enum : UINT { FLOODFILLBORDER = 0, FLOODFILLSURFACE = 1 };
enum : int { MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5,
             MM_TWIPS = 6, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8 };

// font weights and character sets
enum : int { FW_DONTCARE = 0, FW_NORMAL = 400, FW_BOLD = 700 };
enum : BYTE { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SHIFTJIS_CHARSET = 128 };

// GetDeviceCaps
enum : int { HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14,
             LOGPIXELSX = 88, LOGPIXELSY = 90, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113 };

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// ---- device contexts ----
HDC CreateCompatibleDC(HDC dc);               // null: compatible with the screen
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);
int GetDeviceCaps(HDC dc, int index);

// ---- objects ----
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
BOOL DeleteObject(HGDIOBJ obj);
HGDIOBJ GetStockObject(int which);
int GetObjectA(HGDIOBJ obj, int size, void* out);
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bm);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
HBITMAP CreateBitmap(int w, int h, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h);
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* bih, DWORD init, const void* bits,
                       const BITMAPINFO* bi, UINT usage);
HFONT CreateFontIndirectA(const LOGFONTA* lf);
HRGN CreateRectRgn(int l, int t, int r, int b);
int SelectClipRgn(HDC dc, HRGN rgn);
int IntersectClipRect(HDC dc, int l, int t, int r, int b);

// ---- state ----
COLORREF SetTextColor(HDC dc, COLORREF c);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF c);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
UINT SetTextAlign(HDC dc, UINT align);
int SetROP2(HDC dc, int rop);
int SetStretchBltMode(HDC dc, int mode);
int SetMapMode(HDC dc, int mode);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* old);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* old);
BOOL GetCurrentPositionEx(HDC dc, POINT* p);

// ---- drawing ----
BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* pts, int n);
BOOL Polygon(HDC dc, const POINT* pts, int n);
BOOL Arc(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye);
BOOL Pie(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye);
BOOL Chord(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye);
BOOL Ellipse(HDC dc, int l, int t, int r, int b);
BOOL Rectangle(HDC dc, int l, int t, int r, int b);
BOOL RoundRect(HDC dc, int l, int t, int r, int b, int w, int h);
int FillRect(HDC dc, const RECT* r, HBRUSH br);
int FrameRect(HDC dc, const RECT* r, HBRUSH br);
BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop);
BOOL FloodFill(HDC dc, int x, int y, COLORREF border);
BOOL ExtFloodFill(HDC dc, int x, int y, COLORREF color, UINT type);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF c);
COLORREF GetPixel(HDC dc, int x, int y);
BOOL TextOutA(HDC dc, int x, int y, const char* text, int len);   // text is UTF-8
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int len, SIZE* size);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm);
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop);

// ---- DIBs ----
int SetDIBits(HDC dc, HBITMAP bm, UINT start, UINT lines, const void* bits, const BITMAPINFO* bi, UINT usage);
int GetDIBits(HDC dc, HBITMAP bm, UINT start, UINT lines, void* bits, BITMAPINFO* bi, UINT usage);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD w, DWORD h, int sx, int sy, UINT start, UINT lines,
                      const void* bits, const BITMAPINFO* bi, UINT usage);
int StretchDIBits(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                  const void* bits, const BITMAPINFO* bi, UINT usage, DWORD rop);

// ---- metafiles (recording and replay) ----
HDC CreateMetaFileA(const char* file);        // null: in memory
HMETAFILE CloseMetaFile(HDC dc);
BOOL PlayMetaFile(HDC dc, HMETAFILE mf);
BOOL DeleteMetaFile(HMETAFILE mf);
HMETAFILE CopyMetaFileA(HMETAFILE mf, const char* file);
HMETAFILE GetMetaFileA(const char* file);
UINT GetMetaFileBitsEx(HMETAFILE mf, UINT size, void* out);   // the WMF bytes (16-bit records)
HMETAFILE SetMetaFileBitsEx(UINT size, const BYTE* data);

// ---- additions (same Win32 names and layouts) ----
enum : int { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_METADC = 4, OBJ_PAL = 5, OBJ_FONT = 6,
             OBJ_BITMAP = 7, OBJ_REGION = 8, OBJ_METAFILE = 9, OBJ_MEMDC = 10 };
enum : int { ALTERNATE = 1, WINDING = 2 };
enum : int { R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5, R2_NOTMASKPEN = 8,
             R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_MERGENOTPEN = 12, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15 };
enum : UINT { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004 };
enum : int { NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3, RGN_ERROR = 0 };
enum : int { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4,
             HS_DIAGCROSS = 5 };
enum : BYTE { OUT_DEFAULT_PRECIS = 0, CLIP_DEFAULT_PRECIS = 0, DEFAULT_QUALITY = 0,
              DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2 };
enum : int { PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111 };
enum : DWORD { CBM_INIT = 4 };

struct DOCINFOA { int cbSize; const char* lpszDocName; const char* lpszOutput; const char* lpszDatatype; DWORD fwType; };

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, const char* face);
HBRUSH CreateHatchBrush(int style, COLORREF color);
HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
DWORD GetObjectType(HGDIOBJ obj);
BOOL UnrealizeObject(HGDIOBJ obj);
int GetBkMode(HDC dc);
UINT GetTextAlign(HDC dc);
int GetROP2(HDC dc);
int GetMapMode(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
BOOL GetWindowOrgEx(HDC dc, POINT* p);
BOOL GetWindowExtEx(HDC dc, SIZE* s);
BOOL GetViewportOrgEx(HDC dc, POINT* p);
BOOL GetViewportExtEx(HDC dc, SIZE* s);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL LPtoDP(HDC dc, POINT* pts, int n);
BOOL DPtoLP(HDC dc, POINT* pts, int n);
int GetClipBox(HDC dc, RECT* r);
int ExcludeClipRect(HDC dc, int l, int t, int r, int b);
BOOL PolyPolygon(HDC dc, const POINT* pts, const int* counts, int n);
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* r, const char* text, UINT len, const int* dx);
int StartDocA(HDC dc, const DOCINFOA* di);
int EndDoc(HDC dc);
int StartPage(HDC dc);
int EndPage(HDC dc);
int AbortDoc(HDC dc);

OSTREL_INTERNAL_EXPORT_END
