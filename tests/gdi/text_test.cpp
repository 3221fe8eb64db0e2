// Text: the background mode, fonts at the DC's scale and measurement in logical
// units (alignment, turned text and faces are checked on pages and in the window
// layer's tests).
#include "gdi_test_support.h"

#include <gtest/gtest.h>

namespace {
TEST(GdiText, OpaqueModeFillsTheCellWithTheBackground)
{
    Canvas c(100, 50);
    SetBkColor(c.dc, 0x00FF00);
    SetBkMode(c.dc, OPAQUE);
    TextOutA(c.dc, 10, 10, "i", 1);
    EXPECT_GT(c.count(0x00FF00), 20);
    Canvas t(100, 50);
    SetBkMode(t.dc, TRANSPARENT);
    TextOutA(t.dc, 10, 10, "i", 1);
    EXPECT_EQ(t.count(0x00FF00), 0);
}

TEST(GdiText, ExtentsInLogicalUnitsAtTwentyTimesTheSize)
{
    Canvas c(10, 10);
    HFONT big = CreateFontA(300, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, "System");
    HFONT small = CreateFontA(15, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, "System");
    SIZE a{}, b{};
    SelectObject(c.dc, big);
    GetTextExtentPoint32A(c.dc, "Hello", 5, &a);
    SelectObject(c.dc, small);
    GetTextExtentPoint32A(c.dc, "Hello", 5, &b);
    // glyphs are hinted per size, so twenty small words are not exactly one big one
    EXPECT_NEAR(a.cx / 20.0, b.cx, 3);
    EXPECT_EQ(a.cy, 300);
    // the same font under a 1/20 mapping gives the same logical extent
    SelectObject(c.dc, big);
    SetMapMode(c.dc, MM_ANISOTROPIC);
    SetWindowExtEx(c.dc, 20, 20, nullptr);
    SetViewportExtEx(c.dc, 1, 1, nullptr);
    SIZE m{};
    GetTextExtentPoint32A(c.dc, "Hello", 5, &m);
    EXPECT_NEAR(m.cx, a.cx, 40);   // the font is made at the device's size: its hinting again
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(big);
    DeleteObject(small);
}

}  // namespace
