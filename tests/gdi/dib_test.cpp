// DIBs in the Windows layouts: 1/4/8/24/32 bits, bottom-up and top-down, rows
// padded to 4 bytes, through SetDIBits, GetDIBits, StretchDIBits and
// SetDIBitsToDevice, on raster DCs and through a recording.
#include "gdi_test_support.h"
#include "tests/support/pixels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {
// A 3 x 2 picture: top row red green blue, bottom row white black grey-ish.
const COLORREF kPix[2][3] = {{0x0000FF, 0x00FF00, 0xFF0000}, {0xFFFFFF, 0x000000, 0x808080}};

// kPix in `bpp` bits: palette indices of the same colours, at 1 bit black and
// white by brightness.
PackedDib make(int bpp, bool topDown)
{
    const std::vector<COLORREF> pal = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x000000, 0x808080};
    return packed_dib(3, 2, bpp, topDown, [&](int x, int y) -> COLORREF {
        const COLORREF c = kPix[y][x];
        if (bpp == 1) return GetRValue(c) + GetGValue(c) + GetBValue(c) > 383;
        return bpp <= 8 ? 3 * y + x : c;
    }, bpp == 1 ? std::vector<COLORREF>{0x000000, 0xFFFFFF} : pal);
}

// A DIB of two rows for GetDIBits to fill: every byte 0xEE until written.
PackedDib blank(int w, int bpp, bool topDown)
{
    return packed_dib(w, 2, bpp, topDown, [](int, int) { return COLORREF(0xEEEEEE); }, {}, 0xEE);
}

std::vector<BYTE> rows_of(PackedDib d) { return std::vector<BYTE>(d.rows(), d.data() + d.bytes); }

class GdiDib : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(GdiDib, StretchDIBitsPlacesRowsTheRightWayUp)
{
    auto [bpp, topDown] = GetParam();
    PackedDib d = make(bpp, topDown);
    Canvas c(6, 4, 0x00FFFF);
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 3, 2, 0, 0, 3, 2, d.rows(), d.info(), DIB_RGB_COLORS, SRCCOPY), 2);
    if (bpp == 1) {
        EXPECT_EQ(c.at(0, 1), COLORREF(0xFFFFFF));
        EXPECT_EQ(c.at(1, 1), COLORREF(0));
    } else {
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) EXPECT_EQ(c.at(x, y), kPix[y][x]) << x << "," << y;
    }
    EXPECT_EQ(c.at(3, 0), COLORREF(0x00FFFF));
    // the same through a recording and its file form
    HDC rec = CreateMetaFileA(nullptr);
    StretchDIBits(rec, 0, 0, 6, 4, 0, 0, 3, 2, d.rows(), d.info(), DIB_RGB_COLORS, SRCCOPY);
    HMETAFILE mf = CloseMetaFile(rec);
    std::vector<unsigned char> b = wmf_bytes(mf);
    HMETAFILE back = SetMetaFileBitsEx(UINT(b.size()), b.data());
    ASSERT_NE(back, nullptr);
    Canvas c2(6, 4);
    replay(back, c2);
    if (bpp != 1) {
        EXPECT_EQ(c2.at(0, 0), kPix[0][0]);
        EXPECT_EQ(c2.at(5, 3), kPix[1][2]);
    }
    DeleteMetaFile(mf);
    DeleteMetaFile(back);
}

TEST_P(GdiDib, SetDIBitsThenGetDIBitsRoundTrip)
{
    auto [bpp, topDown] = GetParam();
    PackedDib d = make(bpp, topDown);
    HBITMAP bm = CreateCompatibleBitmap(nullptr, 3, 2);
    EXPECT_EQ(SetDIBits(nullptr, bm, 0, 2, d.rows(), d.info(), DIB_RGB_COLORS), 2);
    PackedDib out = blank(3, 24, topDown);
    EXPECT_EQ(GetDIBits(nullptr, bm, 0, 2, out.rows(), out.info(), DIB_RGB_COLORS), 2);
    if (bpp != 1) {   // row 0 of a bottom-up DIB is the bottom row; padding zero
        EXPECT_EQ(rows_of(out), rows_of(make(24, topDown))) << bpp << " " << topDown;
    }
    DeleteObject(bm);
}

INSTANTIATE_TEST_SUITE_P(Layouts, GdiDib,
                         ::testing::Combine(::testing::Values(1, 4, 8, 24, 32), ::testing::Bool()));

TEST(GdiDibCalls, SetDIBitsToDeviceIgnoresTheMappingScale)
{
    PackedDib d = make(24, false);
    Canvas c(8, 8);
    SetMapMode(c.dc, MM_ANISOTROPIC);
    SetWindowExtEx(c.dc, 20, 20, nullptr);
    SetViewportExtEx(c.dc, 1, 1, nullptr);
    EXPECT_EQ(SetDIBitsToDevice(c.dc, 40, 20, 3, 2, 0, 0, 0, 2, d.rows(), d.info(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(c.at(2, 1), kPix[0][0]);
    EXPECT_EQ(c.at(4, 2), kPix[1][2]);
}

// A recorded 24-bit DIB is replayed from its own rows, read in place; every
// call's pixels equal those the same call draws directly (from a decoded image):
// both row orders, partial, stretched and mirrored sources, raster operations.
TEST(GdiDibCalls, ReplayedTwentyFourBitRowsMatchTheDirectCall)
{
    struct Call {
        int x, y, w, h, sx, sy, sw, sh;
        DWORD rop;
        bool toDevice;   // SetDIBitsToDevice instead of StretchDIBits
    };
    const Call calls[] = {
        {0, 0, 7, 5, 0, 0, 7, 5, SRCCOPY, false},     {2, 1, 4, 3, 1, 1, 4, 3, SRCCOPY, false},
        {0, 0, 15, 11, 1, 0, 5, 4, SRCCOPY, false},   {9, 0, -7, 5, 0, 0, 7, 5, SRCCOPY, false},
        {0, 10, 7, -5, 0, 0, 7, 5, SRCCOPY, false},   {1, 1, 7, 5, 0, 0, 7, 5, SRCINVERT, false},
        {0, 0, 6, 4, 1, 1, 6, 4, SRCAND, false},      {3, 2, 4, 3, 2, 1, 0, 0, 0, true},
    };
    for (bool topDown : {false, true}) {
        PackedDib d = packed_dib(7, 5, 24, topDown, [](int x, int y) {
            return COLORREF(RGB((x * 37 + y * 11) & 255, (x * 53 + y * 7) & 255, (x * 19 + y * 29) & 255));
        });
        for (const Call& k : calls) {
            auto draw = [&](HDC dc) {
                if (k.toDevice)
                    SetDIBitsToDevice(dc, k.x, k.y, DWORD(k.w), DWORD(k.h), k.sx, k.sy, 0, 5, d.rows(), d.info(),
                                      DIB_RGB_COLORS);
                else
                    StretchDIBits(dc, k.x, k.y, k.w, k.h, k.sx, k.sy, k.sw, k.sh, d.rows(), d.info(),
                                  DIB_RGB_COLORS, k.rop);
            };
            Canvas direct(16, 12, 0x3366CC), played(16, 12, 0x3366CC);
            draw(direct.dc);
            HDC rec = CreateMetaFileA(nullptr);
            draw(rec);
            HMETAFILE mf = CloseMetaFile(rec);
            replay(mf, played);
            DeleteMetaFile(mf);
            EXPECT_EQ(played.img, direct.img) << "top-down " << topDown << ", call at " << k.x << "," << k.y;
            EXPECT_NE(direct.count(0x3366CC), 16 * 12);
        }
    }
}

TEST(GdiDibCalls, BadHeadersAreRefused)
{
    PackedDib d = make(24, false);
    d.header()->biBitCount = 7;
    Canvas c(4, 4);
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 3, 2, 0, 0, 3, 2, d.rows(), d.info(), DIB_RGB_COLORS, SRCCOPY), 0);
    d.header()->biBitCount = 24;
    d.header()->biWidth = d.header()->biHeight = 1 << 20;
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 3, 2, 0, 0, 3, 2, d.rows(), d.info(), DIB_RGB_COLORS, SRCCOPY), 0);
}
}  // namespace

// 24 and 32-bit rows of several widths (whole groups of four pixels and the
// rest) give every pixel's blue, green and red bytes and zero padding.
TEST(GdiDibCalls, GetDIBitsWritesEveryPixelOfWideRows)
{
    auto colour = [](int x, int y) { return RGB(10 + x * 17, 200 - x * 9 - y, 33 * y + x); };
    for (int bpp : {24, 32}) {
        for (int width : {1, 4, 5, 7, 8, 13}) {
            HBITMAP bm = CreateCompatibleBitmap(nullptr, width, 2);
            HDC mem = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(mem, bm);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < width; ++x)
                    SetPixel(mem, x, y, colour(x, y));
            SelectObject(mem, old);
            DeleteDC(mem);
            PackedDib out = blank(width, bpp, true);
            ASSERT_EQ(GetDIBits(nullptr, bm, 0, 2, out.rows(), out.info(), DIB_RGB_COLORS), 2);
            EXPECT_EQ(rows_of(out), rows_of(packed_dib(width, 2, bpp, true, colour))) << bpp << " " << width;
            DeleteObject(bm);
        }
    }
}
