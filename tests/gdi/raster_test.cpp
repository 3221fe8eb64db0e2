// Raster semantics programs can see: exclusive right and bottom edges, wide
// pens, monochrome pattern brushes, flood fill, ROP2 (the curves against the
// reference pixels: curve_box_test).
#include "gdi_test_support.h"

#include <gtest/gtest.h>

namespace {
constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0, kRed = 0x0000FF, kBlue = 0xFF0000;

TEST(GdiRaster, RectangleExcludesRightAndBottomEdges)
{
    Canvas c(20, 20);
    HBRUSH br = CreateSolidBrush(kRed);
    SelectObject(c.dc, br);
    Rectangle(c.dc, 2, 3, 10, 12);
    EXPECT_EQ(c.at(2, 3), kBlack);      // outline
    EXPECT_EQ(c.at(9, 11), kBlack);     // last pixel of the outline
    EXPECT_EQ(c.at(10, 5), kWhite);     // right edge left out
    EXPECT_EQ(c.at(5, 12), kWhite);     // bottom edge left out
    EXPECT_EQ(c.at(5, 6), kRed);        // filled
    EXPECT_EQ(c.count(kBlack) + c.count(kRed), 8 * 9);
    DeleteObject(br);
}

// (a line's last pixel and pens below a pixel: DrawPrimitives, through the page)
TEST(GdiRaster, WidePenCoversItsWidthAcrossTheLine)
{
    Canvas c(40, 40);
    HPEN pen = CreatePen(PS_SOLID, 5, kBlue);
    SelectObject(c.dc, pen);
    MoveToEx(c.dc, 0, 10, nullptr);
    LineTo(c.dc, 30, 10);
    for (int d = -2; d <= 2; ++d)
        EXPECT_EQ(c.at(5, 10 + d), kBlue) << d;
    EXPECT_EQ(c.at(5, 14), kWhite);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

// (the checker's bits and colours: GdiWmf.MonochromeBrushesAreWrittenInTheirColours
// and DrawPrimitives.CheckerboardMaskInTextAndBackgroundColours)
TEST(GdiRaster, MonochromePatternOfZeroBitsIsSolidInTheTextColour)
{
    Canvas c(16, 16);
    const unsigned char zero[8] = {};
    HBRUSH br = mask_brush(zero);
    SelectObject(c.dc, br);
    SetTextColor(c.dc, kRed);
    SetBkColor(c.dc, kBlue);
    Rectangle(c.dc, 0, 0, 10, 10);
    EXPECT_EQ(c.at(5, 5), kRed);
    EXPECT_EQ(c.at(0, 0), kBlack);
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(br);
}

TEST(GdiRaster, FloodFillStopsAtTheBorderColour)
{
    Canvas c(30, 30);
    Rectangle(c.dc, 5, 5, 15, 15);   // black outline, white inside
    HBRUSH br = CreateSolidBrush(kRed);
    SelectObject(c.dc, br);
    EXPECT_TRUE(FloodFill(c.dc, 8, 8, kBlack));
    EXPECT_EQ(c.at(8, 8), kRed);
    EXPECT_EQ(c.at(13, 13), kRed);
    EXPECT_EQ(c.at(20, 20), kWhite);
    EXPECT_EQ(c.at(5, 5), kBlack);
    EXPECT_FALSE(FloodFill(c.dc, 5, 5, kBlack));   // starting on the border
    EXPECT_TRUE(ExtFloodFill(c.dc, 20, 20, kWhite, FLOODFILLSURFACE));
    EXPECT_EQ(c.at(0, 0), kRed);
    DeleteObject(br);
}

TEST(GdiRaster, XorPenTwiceRestores)
{
    Canvas c(20, 20, 0x123456);
    SetROP2(c.dc, R2_XORPEN);
    HPEN pen = CreatePen(PS_SOLID, 0, 0x00FFFF);
    SelectObject(c.dc, pen);
    MoveToEx(c.dc, 0, 3, nullptr);
    LineTo(c.dc, 10, 3);
    EXPECT_EQ(c.at(4, 3), COLORREF(0x123456 ^ 0x00FFFF));
    MoveToEx(c.dc, 0, 3, nullptr);
    LineTo(c.dc, 10, 3);
    EXPECT_EQ(c.at(4, 3), COLORREF(0x123456));
    DeleteObject(pen);
}

TEST(GdiRaster, SetAndGetPixelWithClipping)
{
    Canvas c(10, 10);
    EXPECT_EQ(SetPixel(c.dc, 3, 4, kRed), kRed);
    EXPECT_EQ(GetPixel(c.dc, 3, 4), kRed);
    EXPECT_EQ(GetPixel(c.dc, 10, 4), CLR_INVALID);
    EXPECT_EQ(GetPixel(c.dc, -1, 0), CLR_INVALID);
    IntersectClipRect(c.dc, 0, 0, 2, 2);
    EXPECT_EQ(SetPixel(c.dc, 5, 5, kRed), CLR_INVALID);
    EXPECT_EQ(c.at(5, 5), kWhite);
}

TEST(GdiRaster, DashedPenLeavesGapsInTheBackgroundWhenOpaque)
{
    Canvas c(60, 4);
    HPEN pen = CreatePen(PS_DASH, 0, kBlack);
    SelectObject(c.dc, pen);
    SetBkColor(c.dc, kRed);
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 48, 1);
    EXPECT_EQ(c.at(0, 1), kBlack);
    EXPECT_EQ(c.at(17, 1), kBlack);
    EXPECT_EQ(c.at(18, 1), kRed);
    SetBkMode(c.dc, TRANSPARENT);
    MoveToEx(c.dc, 0, 2, nullptr);
    LineTo(c.dc, 48, 2);
    EXPECT_EQ(c.at(18, 2), kWhite);
    DeleteObject(pen);
}

TEST(GdiRaster, BlitsPlaceStretchAndMirror)
{
    Canvas src(4, 4, kRed);
    Canvas dst(8, 8, kBlue);
    EXPECT_TRUE(BitBlt(dst.dc, 2, 2, 4, 4, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.at(2, 2), kRed);
    EXPECT_EQ(dst.at(6, 6), kBlue);
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 8, 8, nullptr, 0, 0, DSTINVERT));   // no source DC needed
    EXPECT_EQ(dst.at(2, 2), COLORREF(0xFFFFFF ^ kRed));
    // stretching by 2, nearest pixels
    Canvas big(8, 8);
    SetPixel(src.dc, 0, 0, kBlack);
    EXPECT_TRUE(StretchBlt(big.dc, 0, 0, 8, 8, src.dc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(big.at(1, 1), kBlack);
    EXPECT_EQ(big.at(2, 2), kRed);
    // a negative width mirrors
    Canvas m(4, 4);
    EXPECT_TRUE(StretchBlt(m.dc, 3, 0, -4, 4, src.dc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(m.at(3, 0), kBlack);
}

// Every ternary code, bit by bit: pattern (solid and hatched brushes), source
// and destination combine as the code's minterms say, on every pixel.
COLORREF rop3_reference(unsigned code, COLORREF p, COLORREF s, COLORREF d)
{
    COLORREF out = 0;
    for (int bit = 0; bit < 24; ++bit) {
        unsigned k = (((p >> bit) & 1u) << 2) | (((s >> bit) & 1u) << 1) | ((d >> bit) & 1u);
        out |= COLORREF((code >> k) & 1u) << bit;
    }
    return out;
}

TEST(GdiRaster, EveryTernaryCodeCombinesPatternSourceAndDestination)
{
    const COLORREF brushColour = 0x5A3C96;
    for (bool hatched : {false, true}) {
        HBRUSH brush = hatched ? CreateHatchBrush(HS_CROSS, brushColour) : CreateSolidBrush(brushColour);
        for (unsigned code = 0; code < 256; ++code) {
            Canvas src(6, 5), dst(6, 5), pat(6, 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 6; ++x) {
                    SetPixel(src.dc, x, y, COLORREF(0x123456u * unsigned(x + 7 * y + 1)) & 0xFFFFFF);
                    SetPixel(dst.dc, x, y, COLORREF(0x9E3779u * unsigned(3 * x + y + 2)) & 0xFFFFFF);
                }
            // what the brush paints on its own, pixel by pixel, for the reference
            SetBkColor(pat.dc, 0x00FF00);
            SelectObject(pat.dc, brush);
            PatBlt(pat.dc, 0, 0, 6, 5, PATCOPY);
            SetBkColor(dst.dc, 0x00FF00);
            SelectObject(dst.dc, brush);
            Canvas before(6, 5);
            BitBlt(before.dc, 0, 0, 6, 5, dst.dc, 0, 0, SRCCOPY);
            DWORD rop = DWORD(code) << 16;
            bool usesSource = ((code >> 2) & 0x33) != (code & 0x33);
            if (usesSource)
                ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 6, 5, src.dc, 0, 0, rop));
            else
                ASSERT_TRUE(PatBlt(dst.dc, 0, 0, 6, 5, rop));
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 6; ++x) {
                    COLORREF want = rop3_reference(code, pat.at(x, y), usesSource ? src.at(x, y) : 0, before.at(x, y));
                    ASSERT_EQ(dst.at(x, y), want) << "code " << code << " hatched " << hatched << " at " << x << ","
                                                  << y;
                }
            SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
            SelectObject(pat.dc, GetStockObject(WHITE_BRUSH));
        }
        DeleteObject(brush);
    }
}

TEST(GdiRaster, MemoryDcDrawsIntoItsSelectedBitmap)
{
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateCompatibleBitmap(mem, 10, 10);
    HGDIOBJ old = SelectObject(mem, bm);
    ASSERT_NE(old, nullptr);
    PatBlt(mem, 0, 0, 10, 10, WHITENESS);
    SetPixel(mem, 2, 2, kRed);
    EXPECT_EQ(GetPixel(mem, 2, 2), kRed);
    EXPECT_EQ(GetDeviceCaps(mem, BITSPIXEL), 32);
    SelectObject(mem, old);
    EXPECT_TRUE(DeleteDC(mem));
    BITMAP info{};
    EXPECT_EQ(GetObjectA(bm, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 10);
    EXPECT_TRUE(DeleteObject(bm));
    EXPECT_FALSE(DeleteObject(bm));   // a stale handle fails cleanly
}

TEST(GdiRaster, DeletingAnObjectStillSelectedSucceedsAndKeepsDrawing)
{
    Canvas c(10, 10);
    HPEN pen = CreatePen(PS_SOLID, 0, kRed);
    SelectObject(c.dc, pen);
    EXPECT_TRUE(DeleteObject(pen));
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 5, 0);
    EXPECT_EQ(c.at(2, 0), kRed);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
}

TEST(GdiRaster, MappingModesPlaceLogicalUnits)
{
    Canvas c(100, 100);
    SetMapMode(c.dc, MM_ANISOTROPIC);
    SetWindowOrgEx(c.dc, 100, 100, nullptr);
    SetWindowExtEx(c.dc, 200, 200, nullptr);
    SetViewportExtEx(c.dc, 100, 100, nullptr);
    POINT p{300, 500};
    LPtoDP(c.dc, &p, 1);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 200);
    DPtoLP(c.dc, &p, 1);
    EXPECT_EQ(p.x, 300);
    SetMapMode(c.dc, MM_TEXT);
    SaveDC(c.dc);
    SetTextColor(c.dc, kRed);
    RestoreDC(c.dc, -1);
    EXPECT_EQ(GetTextColor(c.dc), kBlack);
}
}  // namespace
