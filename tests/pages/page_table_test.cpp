// The page table: numbers, creation and re-creation, selection, deletion,
// off-screen and bitmap pages, temporary pages, colours and page information.
#include "tests/support/page_fixture.h"

#include <cstring>
#include <string>

namespace {

std::string class_of(HWND w)
{
    char buf[64] = {};
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

} // namespace

using PageTable = PageTest;

TEST_F(PageTable, NumbersOutsideTheTableAndAbsentPages)
{
    EXPECT_EQ(_getpage(), -1);
    EXPECT_EQ(_windowpage(nullptr), 0);
    EXPECT_EQ(_pagewindow(0), _consolewindow());
    EXPECT_EQ(_pagecanvas(0), _consoletext());
    EXPECT_EQ(_pagewindow(1), nullptr);
    EXPECT_EQ(_pagewindow(-1), nullptr);
    struct { int got; const char* call; } zero[] = {
        {_setpage(1, 0), "_setpage(1)"},
        {_ispage(1), "_ispage(1)"},
        {_newpage(4000, "x", 0, 0, 100, 100, 0, 0), "_newpage(4000)"},
        {_newpage(-1, "x", 0, 0, 100, 100, 0, 0), "_newpage(-1)"},
        {_newfullscreen(4000, 0, 0), "_newfullscreen(4000)"},
        {_newmempage(10, 10, 4000), "_newmempage(4000)"},
        {_newmempage(10, 10, 0), "_newmempage(0)"},
        {_ispage(4000), "_ispage(4000)"},
        {_ispage(-1), "_ispage(-1)"},
        {_delpage(0), "_delpage(0)"},
        {_delpage(4000), "_delpage(4000)"},
        {_delpage(5), "_delpage(5)"},
        {_countpages(PAGE_WINDOW) + _countpages(PAGE_MEMORY) + _countpages(PAGE_FULLSCREEN), "pages"},
    };
    for (auto& z : zero)
        EXPECT_EQ(z.got, 0) << z.call;
    EXPECT_EQ(_getpage(), -1);
}

TEST_F(PageTable, FirstPageBecomesCurrentWithARecording)
{
    ASSERT_EQ(_newpage(1, "first", 10, 10, 200, 150, 0, 0), 1);
    EXPECT_EQ(_getpage(), 1);
    _page* pg = _pagerecord(1);
    ASSERT_NE(pg, nullptr);
    EXPECT_EQ(pg->number, 1);
    EXPECT_EQ(pg->kind, PAGE_WINDOW);
    EXPECT_NE(pg->dc, nullptr);
    EXPECT_EQ(pg->content, nullptr);
    EXPECT_EQ(pg->canvas, nullptr);
    EXPECT_EQ(pg->x0, 0.0);
    EXPECT_EQ(pg->y0, 0.0);
    EXPECT_EQ(pg->bkcolor, _defaultpagecolor());
    EXPECT_EQ(_windowpage(pg->hwnd), 1);
    EXPECT_EQ(window_title(pg->hwnd), "first");
    EXPECT_TRUE(IsWindowVisible(pg->hwnd));
    // the classes are numbered, one a page
    ASSERT_EQ(_newpage(2, "b", 0, 0, 200, 150, PAGE_HIDDEN, 0), 1);
    EXPECT_FALSE(IsWindowVisible(_pagewindow(2)));
    std::string a = class_of(_pagewindow(1)), b = class_of(_pagewindow(2));
    ASSERT_EQ(a.rfind("OST", 0), 0u);
    EXPECT_EQ(std::atoi(b.c_str() + 3), std::atoi(a.c_str() + 3) + 1);
}

TEST_F(PageTable, EmptyTitleNamesThePageALongOneIsCutAtACharacter)
{
    ASSERT_EQ(_newpage(3, "", 0, 0, 200, 150, 0, 0), 1);
    EXPECT_EQ(window_title(_pagewindow(3)), "- 3 -");
    std::string t;
    for (int i = 0; i < 100; ++i)
        t += "ページ";   // 9 bytes a round: 263 falls inside a character
    ASSERT_EQ(_newpage(2, t.c_str(), 0, 0, 200, 150, 0, 0), 1);
    std::string got = window_title(_pagewindow(2));
    EXPECT_EQ(got, t.substr(0, 261));
}

TEST_F(PageTable, SelectionMovesTheOpenRecording)
{
    ASSERT_EQ(_newpage(1, "a", 0, 0, 200, 150, 0, 0), 1);
    ASSERT_EQ(_newpage(2, "b", 0, 0, 200, 150, 0, 0), 1);
    EXPECT_EQ(_getpage(), 2);
    EXPECT_EQ(_pagerecord(1)->dc, nullptr);
    EXPECT_NE(_pagerecord(1)->content, nullptr);
    EXPECT_EQ(_setpage(1, 0), 1);
    EXPECT_NE(_pagerecord(1)->dc, nullptr);
    EXPECT_EQ(_pagerecord(2)->dc, nullptr);
    EXPECT_NE(_pagerecord(2)->content, nullptr);
    EXPECT_EQ(_setpage(1, 0), 1);   // the current page again: its content renewed
    EXPECT_NE(_pagerecord(1)->content, nullptr);
    EXPECT_NE(_pagerecord(1)->dc, nullptr);
    EXPECT_EQ(_setpage(7, 0), 0);
    EXPECT_EQ(_setpage(4000, 0), 0);
    EXPECT_EQ(_getpage(), 1);
    // re-creating the current page gives a fresh current page
    ASSERT_EQ(_newpage(1, "again", 0, 0, 200, 150, 0, 0), 1);
    EXPECT_EQ(_getpage(), 1);
    EXPECT_EQ(_pagerecord(1)->content, nullptr);
    EXPECT_EQ(window_title(_pagewindow(1)), "again");
    EXPECT_EQ(_countpages(PAGE_WINDOW), 2);
    // deleting it leaves none current
    HWND w = _pagewindow(1);
    EXPECT_EQ(_delpage(1), 1);
    EXPECT_EQ(_getpage(), -1);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(_delpage(1), 0);
}

TEST_F(PageTable, MemoryPages)
{
    ASSERT_EQ(_newpage(4, "w", 0, 0, 200, 150, 0, 0), 1);
    EXPECT_EQ(_newmempage(50, 40, 4), 0);   // a window page is not replaced
    EXPECT_EQ(_pagerecord(4)->kind, PAGE_WINDOW);
    EXPECT_EQ(_bmappage(4), 0);

    ASSERT_EQ(_newmempage(30, 20, 5), 1);
    _pageinfo info = _getpageinfo(5);
    EXPECT_EQ(info.kind, PAGE_MEMORY);
    EXPECT_EQ(info.width, 30);
    EXPECT_EQ(info.height, 20);
    EXPECT_EQ(info.pbitmap, &_pagerecord(5)->bitmap);
    EXPECT_EQ(*info.pbitmap, info.bitmap);
    COLORREF bk = _pagerecord(5)->bkcolor;
    ASSERT_EQ(_fillpage(5, RGB(255, 0, 0)), 1);
    EXPECT_EQ(page_pixel(5, 29, 19), RGB(255, 0, 0));
    EXPECT_EQ(_fillpage(3, 0), 0);
    EXPECT_EQ(_newmempage(30, 20, 5), 1);   // the same size: the same image, cleared
    EXPECT_EQ(_getpageinfo(5).dc, info.dc);
    EXPECT_EQ(page_pixel(5, 29, 19), bk);
    ASSERT_EQ(_newmempage(12, 7, 5), 1);    // another size: remade
    EXPECT_EQ(_getpageinfo(5).width, 12);
    EXPECT_EQ(_getpageinfo(5).height, 7);
    EXPECT_EQ(_countpages(PAGE_MEMORY), 1);
    // an impossible image leaves a nine by nine page
    EXPECT_EQ(_newmempage(-5, 10, 7), 0);
    EXPECT_EQ(_newmempage(200000, 200000, 8), 0);
    for (int p : {7, 8}) {
        EXPECT_EQ(_getpageinfo(p).width, 9);
        EXPECT_EQ(_getpageinfo(p).height, 9);
        EXPECT_EQ(page_pixel(p, 8, 8), _pagerecord(p)->bkcolor);
    }
}

TEST_F(PageTable, TemporaryPageTakesTheHighestFreeNumber)
{
    ASSERT_EQ(_newmempage(4, 4, 3999), 1);
    ASSERT_EQ(_newmempage(4, 4, 3998), 1);
    {
        _tmppage tmp(16, 8);
        EXPECT_EQ(tmp.page, 3997);
        EXPECT_EQ(_getpageinfo(3997).width, 16);
        EXPECT_EQ(_getpageinfo(3997).height, 8);
    }
    EXPECT_EQ(_ispage(3997), 0);
    EXPECT_EQ(_ispage(3998), 1);
    {
        _tmppage number_only;
        EXPECT_EQ(number_only.page, 3997);
        EXPECT_EQ(_ispage(3997), 0);
    }
    _delpage(3999);
    _delpage(3998);
    {
        _tmppage tmp(-1, -1);   // cannot be made: leaves nothing
        EXPECT_EQ(tmp.page, 0);
    }
    EXPECT_EQ(_ispage(3999), 0);
}

TEST_F(PageTable, BitmapPageTakesTheRowsOverOrCopiesSharedOnes)
{
    _bmap* bm = new _bmap(3, 2, 24);
    std::memset(bm->bits, 0x5A, size_t(bm->size));
    unsigned char* rows = bm->bits;
    ASSERT_EQ(_newbmappage(bm, 6), 1);
    EXPECT_NE(bm->shared, 0);
    _pageinfo info = _getpageinfo(6);
    EXPECT_EQ(info.kind, PAGE_BMAP);
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 2);
    ASSERT_NE(info.bmap, nullptr);
    EXPECT_NE(info.bmap, bm);
    EXPECT_EQ(info.bmap->bits, rows);
    EXPECT_EQ(info.bmap->shared, 0);
    ASSERT_EQ(_newbmappage(bm, 7), 1);   // a second hand-over of the same rows: a copy
    EXPECT_NE(_getpageinfo(7).bmap->bits, rows);
    delete bm;                           // the rows stay with the page
    EXPECT_EQ(info.bmap->bits[0], 0x5A);
    EXPECT_EQ(_getpageinfo(7).bmap->bits[0], 0x5A);
    EXPECT_EQ(_delpage(6), 1);           // and go with it
    EXPECT_EQ(_newbmappage(nullptr, 6), 0);
    _bmap other(2, 2, 24);
    EXPECT_EQ(_newbmappage(&other, 0), 0);
    EXPECT_EQ(_newbmappage(&other, 4000), 0);
    EXPECT_EQ(other.shared, 0);
}

TEST_F(PageTable, MemoryPageBecomesABitmapPage)
{
    ASSERT_EQ(_newmempage(4, 3, 9), 1);
    _fillpage(9, RGB(10, 20, 30));
    EXPECT_EQ(_bmappage(9), 1);
    _pageinfo info = _getpageinfo(9);
    EXPECT_EQ(info.kind, PAGE_BMAP);
    ASSERT_NE(info.bmap, nullptr);
    EXPECT_EQ(info.bmap->width, 4);
    EXPECT_EQ(std::memcmp(info.bmap->bits, "\x1E\x14\x0A", 3), 0);   // blue, green, red
    EXPECT_EQ(_bmappage(9), 1);
    EXPECT_EQ(_bmappage(10), 0);
}

TEST_F(PageTable, PageColours)
{
    COLORREF old = _defaultpagecolor();
    ASSERT_EQ(_newmempage(5, 5, 2), 1);
    EXPECT_EQ(_setpagecolor(RGB(1, 2, 3), 2), 1);
    EXPECT_EQ(_pagerecord(2)->bkcolor, RGB(1, 2, 3));
    EXPECT_EQ(_setpagecolor(RGB(1, 2, 3), 3), 0);
    EXPECT_EQ(_setpagecolor(RGB(9, 9, 9), 0), 1);
    EXPECT_EQ(_pagerecord(2)->bkcolor, RGB(1, 2, 3));
    EXPECT_EQ(_setpagecolor(RGB(4, 5, 6), -1), 1);
    EXPECT_EQ(_pagerecord(2)->bkcolor, RGB(4, 5, 6));
    EXPECT_EQ(_defaultpagecolor(), RGB(4, 5, 6));
    ASSERT_EQ(_newmempage(5, 5, 3), 1);
    EXPECT_EQ(page_pixel(3, 2, 2), RGB(4, 5, 6));
    _setpagecolor(old, -1);

    ASSERT_EQ(_newpage(1, "c", 0, 0, -300, -200, PAGE_CANVAS, 0), 1);
    HWND canvas = _pagecanvas(1);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(_setpagecolor(_pagerecord(1)->bkcolor, 1), 1);
    EXPECT_EQ(_pagecanvas(1), canvas);   // same colour: kept
    EXPECT_EQ(_setpagecolor(RGB(0, 0, 128), 1), 1);
    HWND fresh = _pagecanvas(1);
    EXPECT_NE(fresh, canvas);            // another one: the canvas replaced
    EXPECT_FALSE(IsWindow(canvas));
    EXPECT_EQ(GetParent(fresh), _pagewindow(1));
    EXPECT_EQ(_windowpage(fresh), 0);
}

TEST_F(PageTable, OriginAndInformationByKind)
{
    ASSERT_EQ(_newpage(1, "o", 0, 0, -320, -240, 0, 0), 1);
    ASSERT_EQ(_newmempage(5, 5, 2), 1);
    EXPECT_EQ(_setorigin(1, 12.5, -3), 1);
    EXPECT_EQ(_pagerecord(1)->x0, 12.5);
    EXPECT_EQ(_pagerecord(1)->y0, -3);
    EXPECT_EQ(_setorigin(1, 12.5, -3), 1);
    EXPECT_EQ(_setorigin(2, 1, 1), 0);   // off-screen pages have no origin
    EXPECT_EQ(_setorigin(3, 1, 1), 0);
    EXPECT_EQ(_getpageinfo(0).kind, 0);
    EXPECT_EQ(_getpageinfo(0).width, 0);
    EXPECT_EQ(_getpageinfo(4000).dc, nullptr);
    _pageinfo info = _getpageinfo(1);
    EXPECT_EQ(info.kind, PAGE_WINDOW);
    EXPECT_EQ(info.width, 320);
    EXPECT_EQ(info.height, 240);
    EXPECT_EQ(info.dc, nullptr);
    EXPECT_EQ(info.bitmap, nullptr);
    EXPECT_EQ(info.pbitmap, nullptr);
    EXPECT_EQ(info.bmap, nullptr);
}

TEST_F(PageTable, FullScreenPages)
{
    ASSERT_EQ(_newpage(1, "a", 0, 0, 200, 150, 0, 0), 1);
    ASSERT_EQ(_newfullscreen(2, RGB(0, 0, 0), 0), 1);
    ASSERT_EQ(_newfullscreen(3, RGB(0, 0, 0), 0), 1);
    ASSERT_EQ(_newfullscreen(4, RGB(255, 255, 255), 0), 1);
    EXPECT_EQ(_getpage(), 4);
    EXPECT_EQ(_countpages(PAGE_FULLSCREEN), 3);
    EXPECT_EQ(_getpageinfo(2).kind, PAGE_FULLSCREEN);
    EXPECT_EQ(_getpageinfo(2).width, 0);
    EXPECT_EQ(_pagerecord(4)->bkcolor, RGB(255, 255, 255));
    EXPECT_EQ(class_of(_pagewindow(2)).rfind("ostfscrn", 0), 0u);
    EXPECT_NE(class_of(_pagewindow(2)), class_of(_pagewindow(4)));   // another colour, another class
    RECT r{};
    GetWindowRect(_pagewindow(2), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(GetMenu(_pagewindow(2)), nullptr);
    EXPECT_TRUE(IsWindowVisible(_pagewindow(2)));
    EXPECT_EQ(_hidefullscreens(), 3);
    EXPECT_FALSE(IsWindowVisible(_pagewindow(2)));
    EXPECT_EQ(_setpage(3, 0), 1);
    EXPECT_TRUE(IsWindowVisible(_pagewindow(3)));
}
