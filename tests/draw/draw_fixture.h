// Shared set-up of the drawing tests: that of the page tests, window pages made
// current, and the picture a page's content gives at one pixel per unit.
#pragma once
#include "ostrel/draw.h"
#include "platform/gdi/gdi_surface.h"
#include "runtime/pages/draw/draw_internal.h"
#include "tests/support/page_fixture.h"
#include "tests/support/pixels.h"

class DrawTest : public PageTest {
protected:
    // A window page of exactly w x h client pixels, made current.
    static void window_page(int page, int w = 200, int h = 150)
    {
        ASSERT_EQ(_newpage(page, "draw", 10, 10, -w, -h, 0, 0), 1);
        ASSERT_EQ(_setpage(page, 0), 1);
    }
};

// The content of `page` replayed as a repaint would, onto a new white image of
// the page's client size (or w x h).
inline QImage painted(int page, int w = 0, int h = 0)
{
    _page* pg = _pagerecord(page);
    if (!pg) return QImage();
    if (w <= 0 || h <= 0) {
        RECT r{};
        GetClientRect(pg->canvas ? pg->canvas : pg->hwnd, &r);
        w = r.right;
        h = r.bottom;
    }
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    HDC dc = gdi_create_image_dc(&img, nullptr);
    _paintpage(pg, dc, nullptr);
    gdi_destroy_image_dc(dc);
    return img;
}
