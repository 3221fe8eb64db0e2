// Page window geometry: the size rule (negative sizes ask for an exact client
// area), moving, centring, titles, the canvas child and the frame figures.
#include "tests/support/page_fixture.h"

namespace {

SIZE client_size(HWND w)
{
    RECT r{};
    GetClientRect(w, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT window_rect(HWND w)
{
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

} // namespace

using PageGeometry = PageTest;

TEST_F(PageGeometry, NegativeSizesGiveTheClientAreaPositiveOnesTheOuterSize)
{
    struct { double w, h; int flags; bool client; } rows[] = {
        {-640, -480, 0, true},
        {-200, -100, PAGE_NOMENU | PAGE_NOOWNER, true},   // an empty menu bar too
        {640, 480, 0, false},
    };
    for (auto& r : rows) {
        ASSERT_EQ(_newpage(1, "size", 300, 200, r.w, r.h, r.flags, 0), 1);
        HWND w = _pagewindow(1);
        SIZE c = client_size(w);
        RECT o = window_rect(w);
        EXPECT_EQ(o.left, 300);
        EXPECT_EQ(o.top, 200);
        if (r.client) {
            EXPECT_EQ(c.cx, -r.w);
            EXPECT_EQ(c.cy, -r.h);
            EXPECT_EQ(o.bottom - o.top, -r.h + (r.flags & PAGE_NOMENU ? 0 : GetSystemMetrics(SM_CYMENU)));
        } else {
            EXPECT_EQ(o.right - o.left, r.w);
            EXPECT_EQ(o.bottom - o.top, r.h);
            EXPECT_LT(c.cy, r.h);
        }
    }
}

TEST_F(PageGeometry, SizeMoveAndPlace)
{
    ASSERT_EQ(_newpage(1, "s", 0, 0, 400, 300, 0, 0), 1);
    HWND w = _pagewindow(1);
    RECT before = window_rect(w);
    EXPECT_EQ(_sizepage(1, -250, 0), 1);   // zero keeps a side
    EXPECT_EQ(client_size(w).cx, 250);
    RECT after = window_rect(w);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(_sizepage(1, 0, -123.9), 1);   // truncated towards zero
    EXPECT_EQ(client_size(w).cy, 123);
    EXPECT_EQ(_sizepage(2, 10, 10), 0);
    EXPECT_EQ(_sizepage(1, -1e300, 1e300), 1);   // huge sizes do not overflow
    EXPECT_EQ(_sizepage(1, 400, 300), 1);

    EXPECT_NE(_movepage(1, 55.9, 66.2), 0);
    RECT r = window_rect(w);
    EXPECT_EQ(r.left, 55);
    EXPECT_EQ(r.top, 66);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 300);
    EXPECT_EQ(_movepage(9, 0, 0), 0);

    EXPECT_EQ(_placepage(1, "placed", 20, 30, -160, -120), 1);
    r = window_rect(w);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(client_size(w).cx, 160);
    EXPECT_EQ(client_size(w).cy, 120);
    EXPECT_EQ(window_title(w), "placed");
    EXPECT_EQ(_settitle(1, "renamed"), 1);
    EXPECT_EQ(window_title(w), "renamed");
    EXPECT_EQ(_settitle(2, "x"), 0);
}

TEST_F(PageGeometry, CentreInTheWorkArea)
{
    ASSERT_EQ(_newpage(1, "c", 0, 0, 300, 201, 0, 0), 1);
    HWND w = _pagewindow(1);
    RECT a{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &a, 0);
    EXPECT_EQ(_centerpage(1, nullptr, 0, 0), 1);   // at the present size
    RECT r = window_rect(w);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 201);
    EXPECT_EQ(r.left, a.left + (a.right - a.left - 300) / 2);
    EXPECT_EQ(r.top, a.top + int((a.bottom - a.top - 201) / 2.0));   // truncated
    EXPECT_EQ(_centerpage(1, "t", 100, 80), 1);
    r = window_rect(w);
    EXPECT_EQ(r.right - r.left, 100);
    EXPECT_EQ(r.left, a.left + (a.right - a.left - 100) / 2);
    EXPECT_EQ(_centerpage(1, nullptr, -5, 80), 1);   // a negative side skips the move
    EXPECT_EQ(window_rect(w).right - window_rect(w).left, 100);
    EXPECT_EQ(_centerpage(3, nullptr, 0, 0), 0);
}

TEST_F(PageGeometry, CanvasCoversTheClientArea)
{
    ASSERT_EQ(_newpage(1, "canvas", 0, 0, -300, -200, PAGE_CANVAS | PAGE_NOOWNER, 0), 1);
    HWND canvas = _pagecanvas(1);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(GetParent(canvas), _pagewindow(1));
    EXPECT_EQ(_windowpage(canvas), 0);
    EXPECT_EQ(DWORD(GetWindowLongA(canvas, GWL_STYLE)) & (WS_CHILD | WS_VISIBLE | WS_VSCROLL),
              DWORD(WS_CHILD | WS_VISIBLE | WS_VSCROLL));
    for (int side : {300, 400}) {
        _sizepage(1, -side, -(side - 100));
        _pumpmessages();
        RECT r = window_rect(canvas);
        EXPECT_EQ(r.right - r.left, side);
        EXPECT_EQ(r.bottom - r.top, side - 100);
    }
}

TEST_F(PageGeometry, TopAndFrameFigures)
{
    ASSERT_EQ(_newpage(1, "t", 0, 0, 300, 200, 0, 0), 1);
    EXPECT_NE(_toppage(1, 0), 0);
    EXPECT_EQ(_toppage(2, 0), 0);
    EXPECT_EQ(_framewidth(), 2 * GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(_frameheight(), GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU)
                                  + 2 * GetSystemMetrics(SM_CYFRAME));
    EXPECT_GT(_statusheight(), 0);
    EXPECT_GT(_dpix(), 0);
    EXPECT_GT(_dpiy(), 0);
}
