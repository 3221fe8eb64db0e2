// Page-level drawing: clearing (3, 6 and off-screen pages), putting a page onto
// itself, putting bitmaps at scale 2 on both paths, saving an area, and
// _getpixel reading what the window shows.
#include "draw_fixture.h"

#include "ostrel/console.h"
#include "platform/win/window_surface.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstring>

namespace {
constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0, kRed = 0x0000FF;

class DrawPages : public DrawTest {};

_bmap* two_by_two()   // top-left red, the rest white
{
    return bmap_of(2, 2, [](int x, int y) { return x + y ? kWhite : kRed; });
}

// What the window shows at client pixel (x, y), painted up to date.
COLORREF on_screen(HWND w, int x, int y)
{
    QImage* img = platform_window_surface(w);
    return img ? pixel(*img, x, y) : CLR_INVALID;
}

TEST_F(DrawPages, ClearscreenThreeRepaintsBothSixOnlyClearsThePage)
{
    window_page(1);
    HWND w = _pagewindow(1);
    _rectangle(0, 10, 10, 30, 30);
    _setpage(1, 0);
    EXPECT_EQ(on_screen(w, 20, 20), kBlack);
    _setcolor(kRed);
    _clearscreen(6);
    EXPECT_EQ(count(painted(1), kBlack), 0);   // the content is empty
    EXPECT_EQ(_getcolor(), 0u);                // defaults applied
    for (int i = 0; i < 5; ++i) _pumpmessages();
    EXPECT_EQ(on_screen(w, 20, 20), kBlack);   // but the window is not repainted
    InvalidateRect(w, nullptr, TRUE);
    EXPECT_EQ(on_screen(w, 20, 20), kWhite);   // until the next repaint

    _rectangle(0, 10, 10, 30, 30);
    _setpage(1, 0);
    ostrel_printf("console text");
    ASSERT_EQ(window_title(_pagecanvas(0)), "console text");
    EXPECT_EQ(on_screen(w, 20, 20), kBlack);
    _clearscreen(3);
    EXPECT_EQ(on_screen(w, 20, 20), kWhite);
    EXPECT_EQ(window_title(_pagecanvas(0)), "");
    EXPECT_EQ(count(painted(1), kBlack), 0);
    _setpagecolor(0x00FF00, 1);   // a coloured page records its background
    _clearscreen(6);
    _setpage(1, 0);
    EXPECT_EQ(pixel(painted(1), 5, 5), COLORREF(0x00FF00));
}

TEST_F(DrawPages, ClearscreenOnAnOffscreenPageClearsItsImageAndLeavesTheConsole)
{
    window_page(1);
    ASSERT_EQ(_newmempage(20, 20, 2), 1);
    ASSERT_EQ(_setpage(2, 0), 1);
    _setcolor(kRed);
    _rectangle(0, 0, 0, 10, 10);
    _pageinfo pi = _getpageinfo(2);
    EXPECT_EQ(GetPixel(pi.dc, 0, 0), kRed);   // page units are pixels on an off-screen page
    EXPECT_EQ(GetPixel(pi.dc, 10, 10), _defaultpagecolor());
    ostrel_printf("kept");
    _clearscreen(3);
    EXPECT_EQ(GetPixel(pi.dc, 0, 0), _defaultpagecolor());
    EXPECT_EQ(window_title(_pagecanvas(0)), "kept");
    _clearscreen(1);
}

TEST_F(DrawPages, PutpageOfAWindowPageShiftsItsPictureOntoItselfDoesNothing)
{
    window_page(2);
    _settextcolor(kRed);
    _rectangle(0, 0, 0, 10, 10);
    _setpage(2, 0);
    QImage two = painted(2);
    _putpage(50, 50, 2, SRCCOPY, 1.0);
    _setpage(2, 0);
    EXPECT_EQ(painted(2), two);
    window_page(1);
    _putpage(50, 40, 2, SRCCOPY, 1.0);
    _setpage(1, 0);
    QImage img = painted(1);
    EXPECT_EQ(pixel(img, 55, 45), kRed);
    EXPECT_EQ(pixel(img, 5, 5), kWhite);
}

TEST_F(DrawPages, PutbmapAtScaleTwoCoversTwiceItsSize)
{
    window_page(1);
    _bmap* b = two_by_two();
    _putbmap(10, 10, b, SRCCOPY, 2.0);
    _setpage(1, 0);
    QImage one = painted(1);
    EXPECT_EQ(pixel(one, 10, 10), kRed);
    EXPECT_EQ(pixel(one, 11, 11), kRed);
    EXPECT_EQ(pixel(one, 12, 10), kWhite);
    EXPECT_EQ(pixel(one, 13, 13), kWhite);
    delete b;
}

TEST_F(DrawPages, PutpageOfAnOffscreenPageIgnoresItsMapping)
{
    window_page(1);
    _rectangle(0, 0, 0, 100, 100);
    _setpage(1, 0);
    ASSERT_NE(_savearea(40, 40, 60, 60, 3), 0);   // leaves page coordinates in its mapping
    _pageinfo pi = _getpageinfo(3);
    EXPECT_EQ(GetPixel(pi.dc, 45, 45), kBlack);   // its own units name page points
    window_page(2);
    _putpage(0, 0, 3, SRCCOPY, 1.0);
    _setpage(2, 0);
    QImage img = painted(2);
    EXPECT_EQ(pixel(img, 5, 5), kBlack);
    EXPECT_EQ(pixel(img, 25, 25), kWhite);
}

TEST_F(DrawPages, SaveareaCopiesTheContentAsOfTheLastSetpage)
{
    window_page(1);
    _settextcolor(kRed);
    _rectangle(0, 10, 10, 20, 20);
    _setpage(1, 0);
    _rectangle(0, 30, 30, 40, 40);   // not yet in the content
    ASSERT_NE(_savearea(5, 5, 45, 45, 2), 0);
    _pageinfo pi = _getpageinfo(2);
    EXPECT_EQ(pi.width, 40);
    // the memory context now names page coordinates
    EXPECT_EQ(GetPixel(pi.dc, 15, 15), kRed);
    EXPECT_EQ(GetPixel(pi.dc, 35, 35), _defaultpagecolor());
    EXPECT_EQ(_getpage(), 1);
}

TEST_F(DrawPages, GetpixelReadsWhatTheWindowShows)
{
    window_page(1);
    _pumpmessages();
    COLORREF before = _getpixel(20, 20);
    _settextcolor(kRed);
    _rectangle(0, 10, 10, 30, 30);
    EXPECT_EQ(_getpixel(20, 20), before);   // not shown before _setpage
    _setpage(1, 0);
    // the repaint arrives through the message pumps
    QElapsedTimer t;
    t.start();
    while (_getpixel(20, 20) != kRed && t.elapsed() < 2000) {
        QCoreApplication::processEvents();
        _pumpmessages();
        UpdateWindow(_pagewindow(1));
        QThread::msleep(5);
    }
    EXPECT_EQ(_getpixel(20, 20), kRed);
    EXPECT_EQ(_getpixel(-5, 20), 0xFFFFFFFFu);
}
}  // namespace
