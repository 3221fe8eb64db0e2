// Consumers of a page's content: repaint by replay with the page origin, the
// Copy command (a metafile picture on the clipboard with its on-screen size in
// hundredths of a millimetre), the Print command (on-screen size, one inch from
// the corner), and metafile files (_savewmf, _loadwmf).
#include "runtime/pages/draw/draw_internal.h"
#include "runtime/pages/draw/draw_state.h"

#include "platform/gdi/winclip.h"
#include "platform/win/commdlg.h"
#include "platform/win/winuser.h"

#include <cstring>

namespace {
HWND shown_window(const _page* pg) { return pg->kind == 0 && pg->canvas ? pg->canvas : pg->hwnd; }

SIZE client_size(HWND w)
{
    RECT r{};
    GetClientRect(w, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void screen_dpi(HWND w, int& sx, int& sy)
{
    HDC dc = GetDC(w);
    sx = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    sy = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(w, dc);
    if (sx <= 0) sx = 96;
    if (sy <= 0) sy = 96;
}
}  // namespace

void _paintpage(_page* pg, HDC dc, const RECT* update)
{
    if (!pg || !dc || !pg->content) return;
    SIZE s = client_size(shown_window(pg));
    if (s.cx <= 0 || s.cy <= 0) return;
    int saved = SaveDC(dc);
    // the update region limits the work: pixels outside it are not touched
    if (update) IntersectClipRect(dc, update->left, update->top, update->right, update->bottom);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, twenty(pg->x0), twenty(pg->y0), nullptr);
    SetWindowExtEx(dc, twenty(s.cx), twenty(s.cy), nullptr);
    SetViewportExtEx(dc, s.cx, s.cy, nullptr);
    PlayMetaFile(dc, pg->content);
    RestoreDC(dc, saved);
}

SIZE _picture_extents(int w, int h, int sx, int sy)
{
    if (sx <= 0 || sy <= 0) return SIZE{0, 0};
    return SIZE{LONG(w * 1000.0 / sx * 2.54), LONG(h * 1000.0 / sy * 2.54)};
}

int _copypage(int page)
{
    _page* pg = _pagerecord(page);
    if (!pg || (pg->kind != 0 && pg->kind != 1)) return 0;
    HWND w = shown_window(pg);
    SIZE s = client_size(w);
    int sx, sy;
    screen_dpi(w, sx, sy);
    HDC rec = CreateMetaFileA(nullptr);
    if (!rec) return 0;
    SetWindowExtEx(rec, twenty(s.cx), twenty(s.cy), nullptr);
    if (pg->content) PlayMetaFile(rec, pg->content);
    HMETAFILE picture = CloseMetaFile(rec);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT));
    if (!block) {
        DeleteMetaFile(picture);
        return 0;
    }
    auto* mp = static_cast<METAFILEPICT*>(GlobalLock(block));
    SIZE ext = _picture_extents(s.cx, s.cy, sx, sy);
    *mp = METAFILEPICT{MM_ANISOTROPIC, ext.cx, ext.cy, picture};
    if (!OpenClipboard(w)) {
        DeleteMetaFile(picture);
        GlobalFree(block);
        return 0;
    }
    EmptyClipboard();
    GlobalUnlock(block);
    if (!SetClipboardData(CF_METAFILEPICT, block)) {
        DeleteMetaFile(picture);
        GlobalFree(block);
    }
    return CloseClipboard();
}

int _printpage_to(int page, HDC printer)
{
    _page* pg = _pagerecord(page);
    if (!pg || !printer || (pg->kind != 0 && pg->kind != 1)) return 0;
    HWND w = shown_window(pg);
    SIZE s = client_size(w);
    double cw = s.cx, ch = s.cy;
    int sx, sy;
    screen_dpi(w, sx, sy);
    int px = GetDeviceCaps(printer, LOGPIXELSX), py = GetDeviceCaps(printer, LOGPIXELSY);
    DOCINFOA di{int(sizeof(DOCINFOA)), "_ostrel 1.11", nullptr, nullptr, 0};
    StartDocA(printer, &di);
    StartPage(printer);
    SetMapMode(printer, MM_ANISOTROPIC);
    SetWindowExtEx(printer, twenty(cw), twenty(ch), nullptr);
    SetViewportExtEx(printer, int(cw / sx * px), int(ch / sy * py), nullptr);
    SetWindowOrgEx(printer, -sx * 20, -sy * 20, nullptr);
    if (pg->content) PlayMetaFile(printer, pg->content);
    EndPage(printer);
    EndDoc(printer);
    return 1;
}

int _printpage(int page)
{
    _page* pg = _pagerecord(page);
    if (!pg || (pg->kind != 0 && pg->kind != 1)) return 0;
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = shown_window(pg);
    if (!PrintDlgA(&pd)) return 0;
    _printpage_to(page, pd.hDC);
    return DeleteDC(pd.hDC);
}

int _savewmf(const char* filename)
{
    if (!page_current() || page_current()->kind == 2 || !filename) return 0;
    HMETAFILE content = page_current()->content;
    HMETAFILE empty = nullptr;
    if (!content) content = empty = CloseMetaFile(CreateMetaFileA(nullptr));
    HMETAFILE copy = CopyMetaFileA(content, filename);
    if (empty) DeleteMetaFile(empty);
    if (!copy) return 0;
    DeleteMetaFile(copy);
    return 1;
}

int _loadwmf(const char* filename)
{
    if (!page_current() || page_current()->kind == 2 || !page_current()->dc || !filename) return 0;
    HMETAFILE mf = GetMetaFileA(filename);
    if (!mf) return 0;
    PlayMetaFile(page_current()->dc, mf);
    DeleteMetaFile(mf);
    return 1;
}
