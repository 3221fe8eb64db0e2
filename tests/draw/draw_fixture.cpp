// Shared set-up of the drawing tests (see draw_fixture.h).
#include "draw_fixture.h"

void DrawTest::window_page(int page, int w, int h)
{
    ASSERT_EQ(_newpage(page, "draw", 10, 10, -w, -h, 0, 0), 1);
    ASSERT_EQ(_setpage(page, 0), 1);
}

QImage painted(int page, int w, int h)
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
