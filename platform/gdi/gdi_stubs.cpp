// Placeholder bodies of the GDI layer while the real ones are written.
#include "platform/gdi/wingdi.h"
#include "platform/gdi/winclip.h"
#include "platform/gdi/gdi_surface.h"
#pragma GCC diagnostic ignored "-Wunused-parameter"
HDC CreateCompatibleDC(HDC dc) { return {}; }
BOOL DeleteDC(HDC dc) { return {}; }
int SaveDC(HDC dc) { return {}; }
BOOL RestoreDC(HDC dc, int saved) { return {}; }
int GetDeviceCaps(HDC dc, int index) { return {}; }
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) { return {}; }
BOOL DeleteObject(HGDIOBJ obj) { return {}; }
HGDIOBJ GetStockObject(int which) { return {}; }
int GetObjectA(HGDIOBJ obj, int size, void* out) { return {}; }
HPEN CreatePen(int style, int width, COLORREF color) { return {}; }
HBRUSH CreateSolidBrush(COLORREF color) { return {}; }
HBRUSH CreatePatternBrush(HBITMAP bm) { return {}; }
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) { return {}; }
HBITMAP CreateBitmap(int w, int h, UINT planes, UINT bitsPerPixel, const void* bits) { return {}; }
HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h) { return {}; }
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* bih, DWORD init, const void* bits,
                       const BITMAPINFO* bi, UINT usage) { return {}; }
HFONT CreateFontIndirectA(const LOGFONTA* lf) { return {}; }
HRGN CreateRectRgn(int l, int t, int r, int b) { return {}; }
int SelectClipRgn(HDC dc, HRGN rgn) { return {}; }
int IntersectClipRect(HDC dc, int l, int t, int r, int b) { return {}; }
COLORREF SetTextColor(HDC dc, COLORREF c) { return {}; }
COLORREF GetTextColor(HDC dc) { return {}; }
COLORREF SetBkColor(HDC dc, COLORREF c) { return {}; }
COLORREF GetBkColor(HDC dc) { return {}; }
int SetBkMode(HDC dc, int mode) { return {}; }
UINT SetTextAlign(HDC dc, UINT align) { return {}; }
int SetROP2(HDC dc, int rop) { return {}; }
int SetStretchBltMode(HDC dc, int mode) { return {}; }
int SetMapMode(HDC dc, int mode) { return {}; }
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old) { return {}; }
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* old) { return {}; }
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old) { return {}; }
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* old) { return {}; }
BOOL GetCurrentPositionEx(HDC dc, POINT* p) { return {}; }
BOOL MoveToEx(HDC dc, int x, int y, POINT* old) { return {}; }
BOOL LineTo(HDC dc, int x, int y) { return {}; }
BOOL Polyline(HDC dc, const POINT* pts, int n) { return {}; }
BOOL Polygon(HDC dc, const POINT* pts, int n) { return {}; }
BOOL Arc(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) { return {}; }
BOOL Pie(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) { return {}; }
BOOL Chord(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) { return {}; }
BOOL Ellipse(HDC dc, int l, int t, int r, int b) { return {}; }
BOOL Rectangle(HDC dc, int l, int t, int r, int b) { return {}; }
BOOL RoundRect(HDC dc, int l, int t, int r, int b, int w, int h) { return {}; }
int FillRect(HDC dc, const RECT* r, HBRUSH br) { return {}; }
int FrameRect(HDC dc, const RECT* r, HBRUSH br) { return {}; }
BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop) { return {}; }
BOOL FloodFill(HDC dc, int x, int y, COLORREF border) { return {}; }
BOOL ExtFloodFill(HDC dc, int x, int y, COLORREF color, UINT type) { return {}; }
COLORREF SetPixel(HDC dc, int x, int y, COLORREF c) { return {}; }
COLORREF GetPixel(HDC dc, int x, int y) { return {}; }
BOOL TextOutA(HDC dc, int x, int y, const char* text, int len) { return {}; }
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int len, SIZE* size) { return {}; }
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm) { return {}; }
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) { return {}; }
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop) { return {}; }
int SetDIBits(HDC dc, HBITMAP bm, UINT start, UINT lines, const void* bits, const BITMAPINFO* bi, UINT usage) { return {}; }
int GetDIBits(HDC dc, HBITMAP bm, UINT start, UINT lines, void* bits, BITMAPINFO* bi, UINT usage) { return {}; }
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD w, DWORD h, int sx, int sy, UINT start, UINT lines,
                      const void* bits, const BITMAPINFO* bi, UINT usage) { return {}; }
int StretchDIBits(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                  const void* bits, const BITMAPINFO* bi, UINT usage, DWORD rop) { return {}; }
HDC CreateMetaFileA(const char* file) { return {}; }
HMETAFILE CloseMetaFile(HDC dc) { return {}; }
BOOL PlayMetaFile(HDC dc, HMETAFILE mf) { return {}; }
BOOL DeleteMetaFile(HMETAFILE mf) { return {}; }
HMETAFILE CopyMetaFileA(HMETAFILE mf, const char* file) { return {}; }
HMETAFILE GetMetaFileA(const char* file) { return {}; }
UINT GetMetaFileBitsEx(HMETAFILE mf, UINT size, void* out) { return {}; }
HMETAFILE SetMetaFileBitsEx(UINT size, const BYTE* data) { return {}; }
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, const char* face) { return {}; }
HBRUSH CreateHatchBrush(int style, COLORREF color) { return {}; }
HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage) { return {}; }
HGDIOBJ GetCurrentObject(HDC dc, UINT type) { return {}; }
DWORD GetObjectType(HGDIOBJ obj) { return {}; }
BOOL UnrealizeObject(HGDIOBJ obj) { return {}; }
int GetBkMode(HDC dc) { return {}; }
UINT GetTextAlign(HDC dc) { return {}; }
int GetROP2(HDC dc) { return {}; }
int GetMapMode(HDC dc) { return {}; }
int SetPolyFillMode(HDC dc, int mode) { return {}; }
BOOL GetWindowOrgEx(HDC dc, POINT* p) { return {}; }
BOOL GetWindowExtEx(HDC dc, SIZE* s) { return {}; }
BOOL GetViewportOrgEx(HDC dc, POINT* p) { return {}; }
BOOL GetViewportExtEx(HDC dc, SIZE* s) { return {}; }
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old) { return {}; }
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old) { return {}; }
BOOL LPtoDP(HDC dc, POINT* pts, int n) { return {}; }
BOOL DPtoLP(HDC dc, POINT* pts, int n) { return {}; }
int GetClipBox(HDC dc, RECT* r) { return {}; }
int ExcludeClipRect(HDC dc, int l, int t, int r, int b) { return {}; }
BOOL PolyPolygon(HDC dc, const POINT* pts, const int* counts, int n) { return {}; }
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* r, const char* text, UINT len, const int* dx) { return {}; }
int StartDocA(HDC dc, const DOCINFOA* di) { return {}; }
int EndDoc(HDC dc) { return {}; }
int StartPage(HDC dc) { return {}; }
int EndPage(HDC dc) { return {}; }
int AbortDoc(HDC dc) { return {}; }
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) { return {}; }
void* GlobalLock(HGLOBAL block) { return {}; }
BOOL GlobalUnlock(HGLOBAL block) { return {}; }
HGLOBAL GlobalFree(HGLOBAL block) { return {}; }
std::size_t GlobalSize(HGLOBAL block) { return {}; }
BOOL OpenClipboard(HWND owner) { return {}; }
BOOL CloseClipboard() { return {}; }
BOOL EmptyClipboard() { return {}; }
HGLOBAL SetClipboardData(UINT format, HGLOBAL data) { return {}; }
HGLOBAL GetClipboardData(UINT format) { return {}; }
BOOL IsClipboardFormatAvailable(UINT format) { return {}; }
HDC gdi_create_image_dc(QImage* target, HWND owner) { return {}; }
void gdi_destroy_image_dc(HDC dc) { }
HDC gdi_create_device_dc(QPaintDevice* device, HWND owner) { return {}; }
QImage* gdi_dc_image(HDC dc) { return {}; }
