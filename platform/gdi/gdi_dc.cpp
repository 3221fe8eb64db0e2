// Device contexts: creation of image, memory, device and recording contexts,
// their GDI state (objects, colours, modes, mapping, clipping), SaveDC and
// RestoreDC. A recording context records every state change it is given.
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/gdi_surface.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QScreen>

#include <cmath>
#include <unordered_set>

namespace {
std::unordered_set<DeviceContext*>& dcs()
{
    static std::unordered_set<DeviceContext*> s;
    return s;
}
}  // namespace

bool gdi_valid_dc(HDC dc) { return dc && dcs().count(dc); }

int gdi_screen_dpi_x()
{
    if (auto* s = QGuiApplication::primaryScreen()) return std::max(1, int(std::lround(s->logicalDotsPerInchX())));
    return 96;
}
int gdi_screen_dpi_y()
{
    if (auto* s = QGuiApplication::primaryScreen()) return std::max(1, int(std::lround(s->logicalDotsPerInchY())));
    return 96;
}

GdiObject* gdi_state_select(DcState& st, GdiObject* o)
{
    GdiObject** slot = nullptr;
    switch (o->kind) {
    case GdiObject::Pen: slot = &st.pen; break;
    case GdiObject::Brush: slot = &st.brush; break;
    case GdiObject::Font: slot = &st.font; break;
    case GdiObject::Bitmap: slot = &st.bitmap; break;
    default: return nullptr;
    }
    GdiObject* old = *slot;
    gdi_retain(o);
    *slot = o;
    gdi_release(old);
    return old;
}

void gdi_state_retain(DcState& st)
{
    gdi_retain(st.pen);
    gdi_retain(st.brush);
    gdi_retain(st.font);
    gdi_retain(st.bitmap);
}
void gdi_state_release(DcState& st)
{
    gdi_release(st.pen);
    gdi_release(st.brush);
    gdi_release(st.font);
    gdi_release(st.bitmap);
}

HDC gdi_new_dc(DeviceContext::Kind k)
{
    auto* dc = new DeviceContext;
    dc->kind = k;
    dc->st.pen = gdi_stock(BLACK_PEN);
    dc->st.brush = gdi_stock(WHITE_BRUSH);
    dc->st.font = gdi_stock(SYSTEM_FONT);
    dc->st.bitmap = k == DeviceContext::Memory ? gdi_stock(100) : nullptr;
    gdi_state_retain(dc->st);
    dc->dpiX = gdi_screen_dpi_x();
    dc->dpiY = gdi_screen_dpi_y();
    dcs().insert(dc);
    return dc;
}

void gdi_free_dc(HDC dc)
{
    if (!gdi_valid_dc(dc)) return;
    dcs().erase(dc);
    for (auto& s : dc->saved) gdi_state_release(s);
    gdi_state_release(dc->st);
    if (dc->painter) {
        dc->painter->end();
        delete dc->painter;
    }
    delete dc;
}

std::vector<HDC> gdi_all_record_dcs()
{
    std::vector<HDC> v;
    for (auto* d : dcs())
        if (d->kind == DeviceContext::Record) v.push_back(d);
    return v;
}

QImage* gdi_target_image(HDC dc)
{
    if (!dc) return nullptr;
    if (dc->kind == DeviceContext::Image) return dc->image;
    if (dc->kind == DeviceContext::Memory && dc->st.bitmap) return &dc->st.bitmap->image;
    return nullptr;
}

HDC gdi_create_image_dc(QImage* target, HWND owner)
{
    if (!target) return nullptr;
    HDC dc = gdi_new_dc(DeviceContext::Image);
    dc->image = target;
    dc->owner = owner;
    return dc;
}

void gdi_destroy_image_dc(HDC dc)
{
    if (gdi_valid_dc(dc) && dc->kind == DeviceContext::Image) gdi_free_dc(dc);
}

HDC gdi_create_device_dc(QPaintDevice* device, HWND owner)
{
    if (!device) return nullptr;
    HDC dc = gdi_new_dc(DeviceContext::Device);
    dc->device = device;
    dc->owner = owner;
    dc->dpiX = std::max(1, device->logicalDpiX());
    dc->dpiY = std::max(1, device->logicalDpiY());
    return dc;
}

namespace {
GdiWindowSettle window_settle = nullptr;
GdiWindowReach window_reach = nullptr;
}

void gdi_set_window_settle(GdiWindowSettle settle) { window_settle = settle; }

void gdi_settle_pixels(HDC dc, const RECT* r)
{
    if (window_settle && dc && dc->kind == DeviceContext::Image && dc->owner) window_settle(dc->owner, r);
}

void gdi_set_window_reach(GdiWindowReach reach) { window_reach = reach; }

void gdi_reach_pixels(HDC dc, const QRect& r)
{
    if (!window_reach || !dc || dc->kind != DeviceContext::Image || !dc->owner || r.isEmpty()) return;
    const RECT box{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    window_reach(dc->owner, &box);
}

HDC CreateCompatibleDC(HDC dc)
{
    (void)dc;
    return gdi_new_dc(DeviceContext::Memory);
}

BOOL DeleteDC(HDC dc)
{
    if (!gdi_valid_dc(dc)) return FALSE;
    if (dc->kind == DeviceContext::Record) {
        // an abandoned recording: nothing to hand out
        for (GdiObject* o : dc->table.entries) gdi_release(o);
    }
    QPaintDevice* owned = dc->ownsDevice ? dc->device : nullptr;
    gdi_free_dc(dc);
    delete owned;   // after the DC's painter has let go of it
    return TRUE;
}

void gdi_own_device(HDC dc)
{
    if (gdi_valid_dc(dc) && dc->kind == DeviceContext::Device) dc->ownsDevice = true;
}

int GetDeviceCaps(HDC dc, int index)
{
    if (!gdi_valid_dc(dc)) return 0;
    QImage* img = gdi_target_image(dc);
    int w = 0, h = 0;
    if (img) {
        w = img->width();
        h = img->height();
    } else if (dc->device) {
        w = dc->device->width();
        h = dc->device->height();
    } else if (auto* s = QGuiApplication::primaryScreen()) {
        w = s->geometry().width();
        h = s->geometry().height();
    }
    switch (index) {
    case LOGPIXELSX: return dc->dpiX;
    case LOGPIXELSY: return dc->dpiY;
    case HORZRES: case PHYSICALWIDTH: return w;
    case VERTRES: case PHYSICALHEIGHT: return h;
    case HORZSIZE: return int(w * 25.4 / dc->dpiX);
    case VERTSIZE: return int(h * 25.4 / dc->dpiY);
    case BITSPIXEL: return dc->kind == DeviceContext::Memory && dc->st.bitmap && dc->st.bitmap->bpp == 1 ? 1 : 32;
    case PLANES: return 1;
    case PHYSICALOFFSETX: case PHYSICALOFFSETY: return 0;
    default: return 0;
    }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj)
{
    if (!gdi_valid_dc(dc) || !gdi_valid_object(obj)) return nullptr;
    if (obj->kind == GdiObject::Region) {
        SelectClipRgn(dc, obj);
        return reinterpret_cast<HGDIOBJ>(std::uintptr_t(SIMPLEREGION));
    }
    if (obj->kind == GdiObject::Palette) return nullptr;
    if (obj->kind == GdiObject::Bitmap) {
        if (dc->kind != DeviceContext::Memory) return nullptr;
        if (obj->image.isNull()) return nullptr;
    }
    if (dc->kind == DeviceContext::Record) {
        if (obj->kind == GdiObject::Bitmap) return nullptr;
        rec_select(dc, obj);
    }
    GdiObject* old = nullptr;
    switch (obj->kind) {
    case GdiObject::Pen: old = dc->st.pen; break;
    case GdiObject::Brush: old = dc->st.brush; break;
    case GdiObject::Font: old = dc->st.font; break;
    case GdiObject::Bitmap: old = dc->st.bitmap; break;
    default: break;
    }
    // a previous object that was deleted while selected is freed now: no handle to give
    bool gone = old && old->deleted;
    gdi_state_select(dc->st, obj);
    return gone ? nullptr : old;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type)
{
    if (!gdi_valid_dc(dc)) return nullptr;
    switch (type) {
    case OBJ_PEN: return dc->st.pen;
    case OBJ_BRUSH: return dc->st.brush;
    case OBJ_FONT: return dc->st.font;
    case OBJ_BITMAP: return dc->st.bitmap;
    default: return nullptr;
    }
}

// ---- simple state ----
#define DC_OR(fail) \
    if (!gdi_valid_dc(dc)) return fail

COLORREF SetTextColor(HDC dc, COLORREF c)
{
    DC_OR(CLR_INVALID);
    COLORREF old = dc->st.text;
    dc->st.text = c & 0xFFFFFF;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETTEXTCOLOR, {std::int32_t(dc->st.text)});
    return old;
}
COLORREF GetTextColor(HDC dc)
{
    DC_OR(CLR_INVALID);
    return dc->st.text;
}
COLORREF SetBkColor(HDC dc, COLORREF c)
{
    DC_OR(CLR_INVALID);
    COLORREF old = dc->st.bk;
    dc->st.bk = c & 0xFFFFFF;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETBKCOLOR, {std::int32_t(dc->st.bk)});
    return old;
}
COLORREF GetBkColor(HDC dc)
{
    DC_OR(CLR_INVALID);
    return dc->st.bk;
}
int SetBkMode(HDC dc, int mode)
{
    DC_OR(0);
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    int old = dc->st.bkMode;
    dc->st.bkMode = mode;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETBKMODE, {mode});
    return old;
}
int GetBkMode(HDC dc)
{
    DC_OR(0);
    return dc->st.bkMode;
}
UINT SetTextAlign(HDC dc, UINT align)
{
    DC_OR(0xFFFFFFFF);
    UINT old = dc->st.align;
    dc->st.align = align;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETTEXTALIGN, {std::int32_t(align)});
    return old;
}
UINT GetTextAlign(HDC dc)
{
    DC_OR(0xFFFFFFFF);
    return dc->st.align;
}
int SetROP2(HDC dc, int rop)
{
    DC_OR(0);
    if (rop < R2_BLACK || rop > R2_WHITE) return 0;
    int old = dc->st.rop2;
    dc->st.rop2 = rop;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETROP2, {rop});
    return old;
}
int GetROP2(HDC dc)
{
    DC_OR(0);
    return dc->st.rop2;
}
int SetStretchBltMode(HDC dc, int mode)
{
    DC_OR(0);
    if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
    int old = dc->st.stretchMode;
    dc->st.stretchMode = mode;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETSTRETCHBLTMODE, {mode});
    return old;
}
int SetPolyFillMode(HDC dc, int mode)
{
    DC_OR(0);
    if (mode != ALTERNATE && mode != WINDING) return 0;
    int old = dc->st.polyFill;
    dc->st.polyFill = mode;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETPOLYFILLMODE, {mode});
    return old;
}

// ---- mapping ----
int SetMapMode(HDC dc, int mode)
{
    DC_OR(0);
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
    int old = dc->st.mapMode;
    dc->st.mapMode = mode;
    if (mode != MM_ISOTROPIC && mode != MM_ANISOTROPIC) {
        dc->st.wExt = SIZE{1, 1};
        dc->st.vExt = SIZE{1, 1};
    }
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETMAPMODE, {mode});
    return old;
}
int GetMapMode(HDC dc)
{
    DC_OR(0);
    return dc->st.mapMode;
}
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old)
{
    DC_OR(FALSE);
    if (old) *old = dc->st.wOrg;
    dc->st.wOrg = POINT{x, y};
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETWINDOWORG, {x, y});
    return TRUE;
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old)
{
    DC_OR(FALSE);
    if (old) *old = dc->st.vOrg;
    dc->st.vOrg = POINT{x, y};
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETVIEWPORTORG, {x, y});
    return TRUE;
}
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old)
{
    DC_OR(FALSE);
    if (old) *old = dc->st.wOrg;
    dc->st.wOrg.x += dx;
    dc->st.wOrg.y += dy;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_OFFSETWINDOWORG, {dx, dy});
    return TRUE;
}
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old)
{
    DC_OR(FALSE);
    if (old) *old = dc->st.vOrg;
    dc->st.vOrg.x += dx;
    dc->st.vOrg.y += dy;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_OFFSETVIEWPORTORG, {dx, dy});
    return TRUE;
}
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* old)
{
    DC_OR(FALSE);
    if (old) *old = dc->st.wExt;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETWINDOWEXT, {x, y});
    if (dc->st.mapMode != MM_ISOTROPIC && dc->st.mapMode != MM_ANISOTROPIC) return TRUE;
    if (x == 0 || y == 0) return FALSE;
    dc->st.wExt = SIZE{x, y};
    return TRUE;
}
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* old)
{
    DC_OR(FALSE);
    if (old) *old = dc->st.vExt;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SETVIEWPORTEXT, {x, y});
    if (dc->st.mapMode != MM_ISOTROPIC && dc->st.mapMode != MM_ANISOTROPIC) return TRUE;
    if (x == 0 || y == 0) return FALSE;
    dc->st.vExt = SIZE{x, y};
    return TRUE;
}
BOOL GetWindowOrgEx(HDC dc, POINT* p)
{
    DC_OR(FALSE);
    if (p) *p = dc->st.wOrg;
    return TRUE;
}
BOOL GetWindowExtEx(HDC dc, SIZE* s)
{
    DC_OR(FALSE);
    if (s) *s = dc->st.wExt;
    return TRUE;
}
BOOL GetViewportOrgEx(HDC dc, POINT* p)
{
    DC_OR(FALSE);
    if (p) *p = dc->st.vOrg;
    return TRUE;
}
BOOL GetViewportExtEx(HDC dc, SIZE* s)
{
    DC_OR(FALSE);
    if (s) *s = dc->st.vExt;
    return TRUE;
}

int gdi_round(double v)
{
    double r = std::floor(v + 0.5);
    if (r > 2147483647.0) return 2147483647;
    if (r < -2147483648.0) return int(-2147483647 - 1);
    return int(r);
}

Mapping gdi_mapping(const DcState& st, int dpiX, int dpiY)
{
    double wx = 1, wy = 1, vx = 1, vy = 1;
    switch (st.mapMode) {
    case MM_LOMETRIC: wx = wy = 254; vx = dpiX; vy = -dpiY; break;
    case MM_HIMETRIC: wx = wy = 2540; vx = dpiX; vy = -dpiY; break;
    case MM_LOENGLISH: wx = wy = 100; vx = dpiX; vy = -dpiY; break;
    case MM_HIENGLISH: wx = wy = 1000; vx = dpiX; vy = -dpiY; break;
    case MM_TWIPS: wx = wy = 1440; vx = dpiX; vy = -dpiY; break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
        wx = st.wExt.cx;
        wy = st.wExt.cy;
        vx = st.vExt.cx;
        vy = st.vExt.cy;
        if (st.mapMode == MM_ISOTROPIC) {
            // one scale for both axes: the smaller, keeping each axis's direction
            double ax = std::abs(vx / wx), ay = std::abs(vy / wy);
            double s = std::min(ax, ay);
            vx = (vx / wx < 0 ? -s : s) * wx;
            vy = (vy / wy < 0 ? -s : s) * wy;
        }
        break;
    default: break;
    }
    Mapping m;
    m.sx = vx / wx;
    m.sy = vy / wy;
    m.ox = st.vOrg.x - st.wOrg.x * m.sx;
    m.oy = st.vOrg.y - st.wOrg.y * m.sy;
    return m;
}

QPoint gdi_to_device(HDC dc, int x, int y)
{
    Mapping m = gdi_mapping(dc->st, dc->dpiX, dc->dpiY);
    return QPoint(gdi_round(m.dx(x)), gdi_round(m.dy(y)));
}

BOOL LPtoDP(HDC dc, POINT* pts, int n)
{
    DC_OR(FALSE);
    if (!pts || n < 0) return FALSE;
    Mapping m = gdi_mapping(dc->st, dc->dpiX, dc->dpiY);
    for (int i = 0; i < n; ++i) pts[i] = POINT{gdi_round(m.dx(pts[i].x)), gdi_round(m.dy(pts[i].y))};
    return TRUE;
}
BOOL DPtoLP(HDC dc, POINT* pts, int n)
{
    DC_OR(FALSE);
    if (!pts || n < 0) return FALSE;
    Mapping m = gdi_mapping(dc->st, dc->dpiX, dc->dpiY);
    if (m.sx == 0 || m.sy == 0) return FALSE;
    for (int i = 0; i < n; ++i)
        pts[i] = POINT{gdi_round((pts[i].x - m.ox) / m.sx), gdi_round((pts[i].y - m.oy) / m.sy)};
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC dc, POINT* p)
{
    DC_OR(FALSE);
    if (p) *p = dc->st.cur;
    return TRUE;
}

// ---- clipping (kept in device pixels) ----
static QRect device_rect(HDC dc, int l, int t, int r, int b)
{
    QPoint a = gdi_to_device(dc, l, t), c = gdi_to_device(dc, r, b);
    return QRect(QPoint(std::min(a.x(), c.x()), std::min(a.y(), c.y())),
                 QPoint(std::max(a.x(), c.x()) - 1, std::max(a.y(), c.y()) - 1));
}

static QRegion full_region(HDC dc)
{
    if (QImage* img = gdi_target_image(dc)) return QRegion(img->rect());
    if (dc->device) return QRegion(0, 0, dc->device->width(), dc->device->height());
    return QRegion(-(1 << 29), -(1 << 29), 1 << 30, 1 << 30);
}

int IntersectClipRect(HDC dc, int l, int t, int r, int b)
{
    DC_OR(RGN_ERROR);
    if (dc->kind == DeviceContext::Record) {
        rec_add(dc, META_INTERSECTCLIPRECT, {l, t, r, b});
        return SIMPLEREGION;
    }
    QRegion cur = dc->st.hasClip ? dc->st.clip : full_region(dc);
    dc->st.clip = cur.intersected(device_rect(dc, l, t, r, b));
    dc->st.hasClip = true;
    return dc->st.clip.isEmpty() ? NULLREGION : (dc->st.clip.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION);
}

int ExcludeClipRect(HDC dc, int l, int t, int r, int b)
{
    DC_OR(RGN_ERROR);
    if (dc->kind == DeviceContext::Record) {
        rec_add(dc, META_EXCLUDECLIPRECT, {l, t, r, b});
        return SIMPLEREGION;
    }
    QRegion cur = dc->st.hasClip ? dc->st.clip : full_region(dc);
    dc->st.clip = cur.subtracted(device_rect(dc, l, t, r, b));
    dc->st.hasClip = true;
    return dc->st.clip.isEmpty() ? NULLREGION : (dc->st.clip.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION);
}

int SelectClipRgn(HDC dc, HRGN rgn)
{
    DC_OR(RGN_ERROR);
    if (rgn && (!gdi_valid_object(rgn) || rgn->kind != GdiObject::Region)) return RGN_ERROR;
    if (dc->kind == DeviceContext::Record) {
        // only removing the clip is recordable without a region record
        if (!rgn) rec_add(dc, META_SELECTCLIPREGION, {0});
        return SIMPLEREGION;
    }
    if (!rgn) {
        dc->st.hasClip = false;
        dc->st.clip = QRegion();
        return SIMPLEREGION;
    }
    // region coordinates are device coordinates
    dc->st.clip = QRegion(QRect(QPoint(rgn->rect.left, rgn->rect.top), QPoint(rgn->rect.right - 1, rgn->rect.bottom - 1)));
    dc->st.hasClip = true;
    return dc->st.clip.isEmpty() ? NULLREGION : SIMPLEREGION;
}

int GetClipBox(HDC dc, RECT* r)
{
    DC_OR(RGN_ERROR);
    QRect b = dc->st.hasClip ? dc->st.clip.boundingRect() : full_region(dc).boundingRect();
    // back to logical units
    POINT p[2] = {{b.left(), b.top()}, {b.right() + 1, b.bottom() + 1}};
    DPtoLP(dc, p, 2);
    if (r) *r = RECT{std::min(p[0].x, p[1].x), std::min(p[0].y, p[1].y), std::max(p[0].x, p[1].x), std::max(p[0].y, p[1].y)};
    return b.isEmpty() ? NULLREGION : SIMPLEREGION;
}

// ---- save and restore ----
int SaveDC(HDC dc)
{
    DC_OR(0);
    if (dc->saved.size() >= 1024) return 0;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_SAVEDC, {});
    dc->saved.push_back(dc->st);
    gdi_state_retain(dc->saved.back());
    return int(dc->saved.size());
}

BOOL RestoreDC(HDC dc, int saved)
{
    DC_OR(FALSE);
    int n = int(dc->saved.size());
    int target = saved < 0 ? n + saved + 1 : saved;   // -1: the last one saved
    if (target < 1 || target > n) return FALSE;
    if (dc->kind == DeviceContext::Record) rec_add(dc, META_RESTOREDC, {saved});
    gdi_state_release(dc->st);
    dc->st = dc->saved[target - 1];   // the saved copy's references move to st
    for (int i = n - 1; i >= target; --i) gdi_state_release(dc->saved[i]);
    dc->saved.resize(target - 1);
    return TRUE;
}
