// Text: alignment against the reference point, the background mode, fonts at
// the DC's scale, measurement in logical units, and face substitution.
#include "gdi_test_support.h"
#include "platform/gdi/font_faces.h"

#include <gtest/gtest.h>

namespace {
constexpr COLORREF kWhite = 0xFFFFFF;

QRect ink(const Canvas& c)
{
    QRect r;
    for (int y = 0; y < c.img.height(); ++y)
        for (int x = 0; x < c.img.width(); ++x)
            if (c.at(x, y) != kWhite) r |= QRect(x, y, 1, 1);
    return r;
}

struct TextCase {
    UINT align;
};

QRect draw(UINT align)
{
    Canvas c(200, 100);
    HFONT f = CreateFontA(30, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, "System");
    SelectObject(c.dc, f);
    SetBkMode(c.dc, TRANSPARENT);
    SetTextAlign(c.dc, align);
    TextOutA(c.dc, 100, 50, "HHHH", 4);
    QRect r = ink(c);
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
    return r;
}

TEST(GdiText, AlignmentAgainstTheReferencePoint)
{
    QRect left = draw(TA_LEFT | TA_TOP), right = draw(TA_RIGHT | TA_TOP), centre = draw(TA_CENTER | TA_TOP);
    QRect bottom = draw(TA_LEFT | TA_BOTTOM);
    ASSERT_FALSE(left.isEmpty());
    EXPECT_GE(left.left(), 100);
    EXPECT_LE(left.left(), 104);
    EXPECT_LE(right.right(), 100);
    EXPECT_GE(right.right(), 95);
    EXPECT_NEAR((centre.left() + centre.right()) / 2.0, 100, 3);
    EXPECT_GE(left.top(), 50);
    EXPECT_LE(bottom.bottom(), 50);
    EXPECT_GT(bottom.bottom(), 35);
}

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
    EXPECT_NEAR(a.cx / 20.0, b.cx, 3);
    EXPECT_NEAR(a.cy, 300, 2);
    // the same font under a 1/20 mapping gives the same logical extent
    SelectObject(c.dc, big);
    SetMapMode(c.dc, MM_ANISOTROPIC);
    SetWindowExtEx(c.dc, 20, 20, nullptr);
    SetViewportExtEx(c.dc, 1, 1, nullptr);
    SIZE m{};
    GetTextExtentPoint32A(c.dc, "Hello", 5, &m);
    EXPECT_NEAR(m.cx, a.cx, 40);
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(big);
    DeleteObject(small);
}

TEST(GdiText, EscapementTurnsTheText)
{
    Canvas c(120, 120);
    HFONT f = CreateFontA(20, 0, 900, 900, 400, 0, 0, 0, 1, 0, 0, 0, 0, "System");
    SelectObject(c.dc, f);
    SetBkMode(c.dc, TRANSPARENT);
    TextOutA(c.dc, 60, 100, "HHHHHH", 6);
    QRect r = ink(c);
    EXPECT_GT(r.height(), r.width());   // runs upwards
    EXPECT_LE(r.bottom(), 100);
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(GdiText, JapaneseFaceMapsToAnInstalledMonospaceFace)
{
    QString f = platform_font_family("ＭＳ ゴシック");
    EXPECT_FALSE(f.isEmpty());
    EXPECT_NE(f, platform_font_family("System"));
}
}  // namespace
