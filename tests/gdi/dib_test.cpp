// DIBs in the Windows layouts: 1/4/8/24/32 bits, bottom-up and top-down, rows
// padded to 4 bytes, through SetDIBits, GetDIBits, StretchDIBits and
// SetDIBitsToDevice, on raster DCs and through a recording.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {
struct Dib {
    std::vector<unsigned char> info;   // header + colours
    std::vector<unsigned char> rows;
    const BITMAPINFO* bi() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};

// A 3 x 2 picture: top row red green blue, bottom row white black grey-ish.
const COLORREF kPix[2][3] = {{0x0000FF, 0x00FF00, 0xFF0000}, {0xFFFFFF, 0x000000, 0x808080}};

Dib make(int bpp, bool topDown)
{
    Dib d;
    int ncol = bpp <= 8 ? (1 << bpp) : 0;
    d.info.assign(40 + 4 * std::size_t(ncol), 0);
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = 3;
    h.biHeight = topDown ? -2 : 2;
    h.biPlanes = 1;
    h.biBitCount = WORD(bpp);
    std::memcpy(d.info.data(), &h, 40);
    std::vector<COLORREF> pal;
    if (bpp == 1) pal = {0x000000, 0xFFFFFF};
    else if (ncol) pal = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x000000, 0x808080};
    for (std::size_t i = 0; i < pal.size(); ++i) {
        d.info[40 + 4 * i] = GetBValue(pal[i]);
        d.info[40 + 4 * i + 1] = GetGValue(pal[i]);
        d.info[40 + 4 * i + 2] = GetRValue(pal[i]);
    }
    int stride = ((3 * bpp + 31) / 32) * 4;
    d.rows.assign(std::size_t(stride) * 2, 0);
    for (int y = 0; y < 2; ++y) {
        unsigned char* r = d.rows.data() + std::size_t(topDown ? y : 1 - y) * std::size_t(stride);
        for (int x = 0; x < 3; ++x) {
            COLORREF c = kPix[y][x];
            int idx = 0;
            for (std::size_t i = 0; i < pal.size(); ++i)
                if (pal[i] == c) idx = int(i);
            if (bpp == 1) idx = (GetRValue(c) + GetGValue(c) + GetBValue(c)) > 383 ? 1 : 0;
            switch (bpp) {
            case 1: if (idx) r[x / 8] |= 0x80 >> (x % 8); break;
            case 4: r[x / 2] |= idx << (x % 2 ? 0 : 4); break;
            case 8: r[x] = static_cast<unsigned char>(idx); break;
            case 24: r[3 * x] = GetBValue(c); r[3 * x + 1] = GetGValue(c); r[3 * x + 2] = GetRValue(c); break;
            case 32: r[4 * x] = GetBValue(c); r[4 * x + 1] = GetGValue(c); r[4 * x + 2] = GetRValue(c); break;
            }
        }
    }
    return d;
}

class GdiDib : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(GdiDib, StretchDIBitsPlacesRowsTheRightWayUp)
{
    auto [bpp, topDown] = GetParam();
    Dib d = make(bpp, topDown);
    Canvas c(6, 4, 0x00FFFF);
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 3, 2, 0, 0, 3, 2, d.rows.data(), d.bi(), DIB_RGB_COLORS, SRCCOPY), 2);
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
    StretchDIBits(rec, 0, 0, 6, 4, 0, 0, 3, 2, d.rows.data(), d.bi(), DIB_RGB_COLORS, SRCCOPY);
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
    Dib d = make(bpp, topDown);
    HBITMAP bm = CreateCompatibleBitmap(nullptr, 3, 2);
    EXPECT_EQ(SetDIBits(nullptr, bm, 0, 2, d.rows.data(), d.bi(), DIB_RGB_COLORS), 2);
    std::vector<unsigned char> info(40 + 1024, 0);
    auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
    bi->bmiHeader.biSize = 40;
    bi->bmiHeader.biWidth = 3;
    bi->bmiHeader.biHeight = topDown ? -2 : 2;
    bi->bmiHeader.biPlanes = 1;
    bi->bmiHeader.biBitCount = 24;
    std::vector<unsigned char> rows(24, 0xEE);   // two rows of 12 bytes
    EXPECT_EQ(GetDIBits(nullptr, bm, 0, 2, rows.data(), bi, DIB_RGB_COLORS), 2);
    if (bpp != 1) {
        // row 0 of a bottom-up DIB is the bottom row
        const unsigned char* top = rows.data() + (topDown ? 0 : 12);
        EXPECT_EQ(top[2], 0xFF);   // red: blue, green, red order
        EXPECT_EQ(top[3 + 1], 0xFF);
        EXPECT_EQ(top[9], 0);      // padding to 4 bytes stays zero
    }
    DeleteObject(bm);
}

INSTANTIATE_TEST_SUITE_P(Layouts, GdiDib,
                         ::testing::Combine(::testing::Values(1, 4, 8, 24, 32), ::testing::Bool()));

TEST(GdiDibCalls, SetDIBitsToDeviceIgnoresTheMappingScale)
{
    Dib d = make(24, false);
    Canvas c(8, 8);
    SetMapMode(c.dc, MM_ANISOTROPIC);
    SetWindowExtEx(c.dc, 20, 20, nullptr);
    SetViewportExtEx(c.dc, 1, 1, nullptr);
    EXPECT_EQ(SetDIBitsToDevice(c.dc, 40, 20, 3, 2, 0, 0, 0, 2, d.rows.data(), d.bi(), DIB_RGB_COLORS), 2);
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
        Dib d;
        d.info.assign(40, 0);
        BITMAPINFOHEADER h{};
        h.biSize = 40;
        h.biWidth = 7;
        h.biHeight = topDown ? -5 : 5;
        h.biPlanes = 1;
        h.biBitCount = 24;
        std::memcpy(d.info.data(), &h, 40);
        d.rows.resize(24 * 5);
        for (std::size_t i = 0; i < d.rows.size(); ++i) d.rows[i] = static_cast<unsigned char>(i * 37 + 11);
        for (const Call& k : calls) {
            auto draw = [&](HDC dc) {
                if (k.toDevice)
                    SetDIBitsToDevice(dc, k.x, k.y, DWORD(k.w), DWORD(k.h), k.sx, k.sy, 0, 5, d.rows.data(), d.bi(),
                                      DIB_RGB_COLORS);
                else
                    StretchDIBits(dc, k.x, k.y, k.w, k.h, k.sx, k.sy, k.sw, k.sh, d.rows.data(), d.bi(),
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
    Dib d = make(24, false);
    BITMAPINFOHEADER h{};
    std::memcpy(&h, d.info.data(), 40);
    h.biBitCount = 7;
    std::memcpy(d.info.data(), &h, 40);
    Canvas c(4, 4);
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 3, 2, 0, 0, 3, 2, d.rows.data(), d.bi(), DIB_RGB_COLORS, SRCCOPY), 0);
    h.biBitCount = 24;
    h.biWidth = 1 << 20;
    h.biHeight = 1 << 20;
    std::memcpy(d.info.data(), &h, 40);
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 3, 2, 0, 0, 3, 2, d.rows.data(), d.bi(), DIB_RGB_COLORS, SRCCOPY), 0);
}
}  // namespace

// 24 and 32-bit rows of several widths (whole groups of four pixels and the
// rest) give every pixel's blue, green and red bytes and zero padding.
TEST(GdiDibCalls, GetDIBitsWritesEveryPixelOfWideRows)
{
    for (int bpp : {24, 32}) {
        for (int width : {1, 4, 5, 7, 8, 13}) {
            HBITMAP bm = CreateCompatibleBitmap(nullptr, width, 2);
            HDC mem = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(mem, bm);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < width; ++x)
                    SetPixel(mem, x, y, RGB(10 + x * 17, 200 - x * 9 - y, 33 * y + x));
            SelectObject(mem, old);
            DeleteDC(mem);
            std::vector<unsigned char> info(40, 0);
            auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
            bi->bmiHeader.biSize = 40;
            bi->bmiHeader.biWidth = width;
            bi->bmiHeader.biHeight = -2;
            bi->bmiHeader.biPlanes = 1;
            bi->bmiHeader.biBitCount = WORD(bpp);
            const std::size_t stride = (std::size_t(width) * bpp / 8 + 3) & ~std::size_t(3);
            std::vector<unsigned char> rows(stride * 2, 0xEE);
            ASSERT_EQ(GetDIBits(nullptr, bm, 0, 2, rows.data(), bi, DIB_RGB_COLORS), 2);
            const int step = bpp / 8;
            for (int y = 0; y < 2; ++y) {
                const unsigned char* r = rows.data() + stride * std::size_t(y);
                for (int x = 0; x < width; ++x) {
                    EXPECT_EQ(r[x * step], 33 * y + x) << bpp << " " << width << " " << x;
                    EXPECT_EQ(r[x * step + 1], 200 - x * 9 - y) << bpp << " " << width << " " << x;
                    EXPECT_EQ(r[x * step + 2], 10 + x * 17) << bpp << " " << width << " " << x;
                }
                for (std::size_t k = std::size_t(width * step); k < stride; ++k)
                    EXPECT_EQ(r[k], 0) << "padding";
            }
            DeleteObject(bm);
        }
    }
}
