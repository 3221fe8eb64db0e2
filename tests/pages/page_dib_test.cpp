// Pictures into and out of off-screen pages: bitmap objects (with regrowing),
// packed DIBs of 8 and 24 bits, bottom-up and top-down, BMP streams (good,
// bad and lying), the clipboard and fills.
#include "tests/support/page_fixture.h"
#include "platform/gdi/winclip.h"
#include "tests/support/pixels.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using Dib = PackedDib;

// An 8-bit DIB of w x h whose pixel (x, y) has index (x + 3y) % 4; palette
// entry i is blue 10i+1, green 10i+2, red 10i+3; padding that must not show.
Dib make_dib8(int w, int h, bool topdown)
{
    return packed_dib(w, h, 8, topdown, [](int x, int y) { return COLORREF((x + 3 * y) % 4); },
                      {RGB(3, 2, 1), RGB(13, 12, 11), RGB(23, 22, 21), RGB(33, 32, 31)}, 0xEE);
}

COLORREF expected8(int x, int y)
{
    int i = (x + 3 * y) % 4;
    return RGB(10 * i + 3, 10 * i + 2, 10 * i + 1);
}

// A 24-bit DIB of w x h whose pixel (x, y) is red x*20, green y*30, blue 7.
COLORREF expected24(int x, int y)
{
    return RGB(x * 20, y * 30, 7);
}

Dib make_dib24(int w, int h, bool topdown)
{
    return packed_dib(w, h, 24, topdown, expected24);
}

// A bitmap object whose pixel (x, y) is red x, green y, blue 200.
_bmap* make_bmap(int w, int h)
{
    return bmap_of(w, h, [](int x, int y) { return RGB(x, y, 200); });
}

// The DIB as a BMP file in a temporary stream, the header claiming `claimed`
// bytes (0: the true size) and only `keep` bytes of the DIB written (all if 0).
FILE* bmp_stream(Dib& d, std::uint32_t claimed = 0, std::size_t keep = 0, WORD type = 0x4D42)
{
    FILE* f = std::tmpfile();
    BITMAPFILEHEADER fh{};
    fh.bfType = type;
    fh.bfSize = claimed ? claimed : std::uint32_t(14 + d.bytes);
    fh.bfOffBits = DWORD(14 + d.rows_at);
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(d.data(), 1, keep ? keep : d.bytes, f);
    std::rewind(f);
    return f;
}

} // namespace

using PageDib = PageTest;

TEST_F(PageDib, BitmapIntoAPageThatRegrowsOrKeepsItsSize)
{
    struct { int page_w, page_h, bw, bh, x, y, result, w, h; } rows[] = {
        {0, 0, 6, 4, 0, 0, 4, 6, 4},          // no page: one of the bitmap's size
        {20, 20, 30, 15, 10, 10, 15, 40, 25}, // does not fit: regrown
        {50, 50, 5, 5, 10, 20, 5, 50, 50},    // fits: kept, earlier contents too
    };
    for (auto& r : rows) {
        _delpage(3);
        if (r.page_w) {
            ASSERT_EQ(_newmempage(r.page_w, r.page_h, 3), 1);
            _fillpage(3, RGB(1, 1, 1));
        }
        _bmap* bm = make_bmap(r.bw, r.bh);
        EXPECT_EQ(_bmap_to_page(bm, 3, r.x, r.y), r.result);
        delete bm;
        _pageinfo info = _getpageinfo(3);
        EXPECT_EQ(info.kind, PAGE_MEMORY);
        EXPECT_EQ(info.width, r.w);
        EXPECT_EQ(info.height, r.h);
        EXPECT_EQ(page_pixel(3, r.x, r.y), RGB(0, 0, 200));
        EXPECT_EQ(page_pixel(3, r.x + r.bw - 1, r.y + r.bh - 1), RGB(r.bw - 1, r.bh - 1, 200));
        if (r.x) {   // a regrown page starts from its background
            EXPECT_EQ(page_pixel(3, r.x - 1, r.y - 1), r.w == r.page_w ? RGB(1, 1, 1) : _pagerecord(3)->bkcolor);
        }
    }
}

TEST_F(PageDib, BitmapRefusals)
{
    _bmap* bm = make_bmap(5, 5);
    EXPECT_EQ(_bmap_to_page(bm, 3, -1, 0), 0);
    EXPECT_EQ(_bmap_to_page(bm, 3, 0, -1), 0);
    EXPECT_EQ(_bmap_to_page(nullptr, 3, 0, 0), 0);
    EXPECT_EQ(_bmap_to_page(bm, 4000, 0, 0), 0);
    EXPECT_EQ(_bmap_to_page(bm, 3, 2147483640, 0), 0);
    ASSERT_EQ(_newpage(1, "w", 0, 0, 100, 100, 0, 0), 1);
    EXPECT_EQ(_bmap_to_page(bm, 1, 3, 3), 0);
    EXPECT_EQ(_pagerecord(1)->kind, PAGE_WINDOW);
    delete bm;
    // and only off-screen pages can be captured
    EXPECT_EQ(_page_to_bmap(1), nullptr);
    EXPECT_EQ(_page_to_bmap(2), nullptr);
    EXPECT_EQ(_page_to_bmap(0), nullptr);
}

TEST_F(PageDib, PageToBitmapAndBack)
{
    _bmap* bm = make_bmap(7, 3);
    ASSERT_EQ(_bmap_to_page(bm, 2, 0, 0), 3);
    _bmap* back = _page_to_bmap(2);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->width, 7);
    EXPECT_EQ(back->height, 3);
    EXPECT_EQ(back->depth, 24);
    EXPECT_EQ(back->info.bmiHeader.biHeight, -3);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(std::memcmp(back->bits + y * back->stride, bm->bits + y * bm->stride, 21), 0) << y;
    delete back;
    delete bm;
}

TEST_F(PageDib, RowsOfEveryWidthBothWaysUp)
{
    for (int bits : {8, 24})
        for (int w : {5, 6, 7, 9})   // odd widths: the padding must not skew the rows
            for (bool topdown : {false, true}) {
                Dib d = bits == 8 ? make_dib8(w, 3, topdown) : make_dib24(w, 3, topdown);
                ASSERT_EQ(_dib_to_page(2, d.info(), nullptr), 1) << w;
                EXPECT_EQ(_getpageinfo(2).width, w);
                EXPECT_EQ(_getpageinfo(2).height, 3);
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < w; ++x)
                        EXPECT_EQ(page_pixel(2, x, y), bits == 8 ? expected8(x, y) : expected24(x, y))
                            << bits << " " << w << " " << topdown << " " << x << "," << y;
            }
    Dib d = make_dib24(3, 2, false);   // rows given apart from the header
    std::vector<BYTE> rows(d.rows(), d.data() + d.bytes);
    std::memset(d.rows(), 0, d.bytes - d.rows_at);
    ASSERT_EQ(_dib_to_page(2, d.info(), rows.data()), 1);
    EXPECT_EQ(page_pixel(2, 2, 1), expected24(2, 1));
}

TEST_F(PageDib, ImpossibleHeadersAreRefused)
{
    struct { LONG w, h; WORD bits; DWORD size; } rows[] = {
        {0, 2, 24, 40},
        {3, 2, 7, 40},
        {3, 2, 24, 0x7FFFFFFF},   // rows "after" a header far beyond the block
        {3, 2, 24, 12},           // the old core header is not taken
        {3, INT32_MIN, 24, 40},
        {0x7FFFFFFF, 0x7FFFFFFF, 24, 40},
    };
    EXPECT_EQ(_dib_to_page(2, nullptr, nullptr), 0);
    for (auto& r : rows) {
        Dib d = make_dib24(3, 2, false);
        d.header()->biWidth = r.w;
        d.header()->biHeight = r.h;
        d.header()->biBitCount = r.bits;
        d.header()->biSize = r.size;
        EXPECT_EQ(_dib_to_page(2, d.info(), nullptr), 0) << r.w << " " << r.h << " " << r.bits << " " << r.size;
    }
    EXPECT_EQ(_ispage(2), 0);
}

TEST_F(PageDib, BmpStreams)
{
    Dib d = make_dib8(5, 3, false);
    FILE* f = bmp_stream(d);
    EXPECT_EQ(_bmpfile_to_page(f, 4), 1);
    std::fclose(f);
    EXPECT_EQ(_getpageinfo(4).width, 5);
    EXPECT_EQ(page_pixel(4, 4, 2), expected8(4, 2));
    EXPECT_EQ(_bmpfile_to_page(nullptr, 4), 0);
    _delpage(4);

    struct { const char* what; std::uint32_t claimed; std::size_t cut; WORD type; LONG h; DWORD colours; } bad[] = {
        {"not B M", 0, 0, 0x4D43, 4, 0},
        {"short", 0, 5, 0x4D42, 4, 0},
        {"claims 4 GB", 0xFFFFFFF0u, 0, 0x4D42, 4, 0},
        {"too small for a header", 30, 0, 0x4D42, 4, 0},
        {"more rows than it holds", 0, 0, 0x4D42, 4000, 0},
        {"a colour table beyond the file", 0, 0, 0x4D42, 4, 0x40000000},
        {"empty", 0, 0, 0, 4, 0},
    };
    for (auto& b : bad) {
        Dib d24 = make_dib24(4, 4, false);
        d24.header()->biHeight = b.h;
        d24.header()->biClrUsed = b.colours;
        FILE* bf = b.type ? bmp_stream(d24, b.claimed, b.cut ? d24.bytes - b.cut : 0, b.type) : std::tmpfile();
        EXPECT_EQ(_bmpfile_to_page(bf, 4), 0) << b.what;
        std::fclose(bf);
    }
    EXPECT_EQ(_ispage(4), 0);
}

TEST_F(PageDib, ClipboardDib)
{
    Dib d = make_dib24(3, 3, false);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, d.bytes);
    ASSERT_NE(block, nullptr);
    std::memcpy(GlobalLock(block), d.data(), d.bytes);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(_consolewindow()));
    EmptyClipboard();
    SetClipboardData(CF_DIB, block);
    CloseClipboard();
    EXPECT_EQ(_clipdib_to_page(5), 1);
    EXPECT_EQ(page_pixel(5, 2, 2), expected24(2, 2));

    ASSERT_TRUE(OpenClipboard(_consolewindow()));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(_clipdib_to_page(6), 0);
    EXPECT_EQ(_ispage(6), 0);
}
