// The primitives as pixels after replay at one pixel per unit: default fills in
// the text colour, the checkerboard mask, the circle outline, the twentieths
// rule, text alignments, pies and pixels.
#include "draw_fixture.h"

namespace {
constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0, kRed = 0x0000FF;

class DrawPrimitives : public DrawTest {};

TEST_F(DrawPrimitives, RectangleOutlinedInBlackFilledInTheTextColour)
{
    window_page(1);
    _rectangle(0, 10, 10, 30, 30);
    _setpage(1, 0);
    QImage a = painted(1);
    EXPECT_EQ(pixel(a, 10, 10), kBlack);
    EXPECT_EQ(pixel(a, 20, 20), kBlack);   // solid in the text colour (black)
    EXPECT_EQ(pixel(a, 30, 20), kWhite);   // right edge left out
    _settextcolor(0x0000FF);
    _rectangle(0, 40, 10, 60, 30);
    _setpage(1, 0);
    QImage b = painted(1);
    EXPECT_EQ(pixel(b, 50, 20), kRed);
    EXPECT_EQ(pixel(b, 40, 20), kBlack);
    EXPECT_EQ(pixel(b, 20, 20), kBlack);   // the earlier one stays
}

TEST_F(DrawPrimitives, CheckerboardMaskInTextAndBackgroundColours)
{
    window_page(1);
    const unsigned char checker[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    _setfillmask(checker);
    _settextcolor(kRed);
    _setbkcolor(0x00FF00);
    _rectangle(0, 0, 0, 40, 40);
    _setpage(1, 0);
    QImage img = painted(1);
    int red = 0, green = 0;
    for (int y = 8; y < 16; ++y)
        for (int x = 8; x < 16; ++x) {
            COLORREF c = pixel(img, x, y);
            red += c == kRed;
            green += c == 0x00FF00;
            EXPECT_NE(pixel(img, x, y), pixel(img, x + 1, y));
            EXPECT_NE(pixel(img, x, y), pixel(img, x, y + 1));
        }
    EXPECT_EQ(red, 32);
    EXPECT_EQ(green, 32);
}

TEST_F(DrawPrimitives, FrameEllipseIsACircleOutlineWithAnEmptyInside)
{
    window_page(1);
    _settextcolor(kRed);   // a fill would show red
    _frameellipse(50 - 5, 50 - 5, 50 + 5, 50 + 5);
    _setpage(1, 0);
    QImage img = painted(1);
    EXPECT_EQ(count(img, kRed), 0);
    EXPECT_EQ(pixel(img, 50, 50), kWhite);
    EXPECT_EQ(pixel(img, 49, 49), kWhite);
    int ring = count(img, kBlack);
    EXPECT_GT(ring, 20);
    EXPECT_LT(ring, 45);
    EXPECT_EQ(pixel(img, 45, 50) == kBlack || pixel(img, 45, 49) == kBlack, true);
}

TEST_F(DrawPrimitives, CoordinatesBecomeTwentiethsTruncatedTowardsZero)
{
    window_page(1);
    struct { double x; int twentieths; } rows[] = {{10.04, 200}, {10.06, 201}, {-0.06, -1}};
    for (auto& r : rows) {
        POINT p{};
        _lineto(r.x, 0);
        GetCurrentPositionEx(page_current()->dc, &p);
        EXPECT_EQ(p.x, r.twentieths) << r.x;
    }
    _moveto(7.99, 3.5);
    _dpoint c = _getcurrentposition();
    EXPECT_EQ(c.x, 7);   // 159 / 20 with integer division
    EXPECT_EQ(c.y, 3);   // 70 / 20
    EXPECT_EQ(_ellipse(2, 0, 0, 10, 10), 0);   // out-of-range modes draw nothing
    EXPECT_EQ(_rectangle(7, 0, 0, 10, 10), 0);
}

TEST_F(DrawPrimitives, LinesLeaveOutTheirLastPixel)
{
    window_page(1);
    _moveto(10, 10);
    _lineto(20, 10);
    _setpage(1, 0);
    QImage img = painted(1);
    EXPECT_EQ(pixel(img, 10, 10), kBlack);
    EXPECT_EQ(pixel(img, 19, 10), kBlack);
    EXPECT_EQ(pixel(img, 20, 10), kWhite);
    EXPECT_EQ(count(img, kBlack), 10);   // thinner than a pixel: one pixel wide
}

// The ink of "HHHH" written at (100, 60) on a fresh page, with the alignment,
// angle and style set while no page exists: they carry over to the next page.
QRect text_ink(int h, int v, int angle = 0, int bold = 0, int* inked = nullptr)
{
    _delpage(1);
    _settextalign(h, v);
    _settextangle(angle, angle);
    _setfontstyle(bold, 0, 0, 0);
    EXPECT_EQ(_newpage(1, "text", 10, 10, -200, -150, 0, 0), 1);
    _setfont("'tSystem'h20");
    _settextpos(100, 60);
    _textout("HHHH", 1);
    _setpage(1, 0);
    QImage img = painted(1);
    if (inked) *inked = img.width() * img.height() - count(img, kWhite);
    return ink_box(img);
}

TEST_F(DrawPrimitives, TextAlignmentAngleAndStyleFromBeforeThePage)
{
    QRect left = text_ink(3, 10), centre = text_ink(1, 10), right = text_ink(2, 10), bottom = text_ink(3, 20);
    ASSERT_FALSE(left.isEmpty());
    EXPECT_GE(left.left(), 100);
    EXPECT_LE(left.left(), 103);
    EXPECT_GE(left.top(), 59);
    EXPECT_NEAR((centre.left() + centre.right()) / 2.0, 100, 3);
    EXPECT_LE(right.right(), 100);
    EXPECT_GE(right.right(), 96);
    EXPECT_LE(bottom.bottom(), 60);
    EXPECT_GE(bottom.bottom(), 50);
    EXPECT_GT(left.width(), 2 * left.height());
    QRect turned = text_ink(3, 10, 90);   // a quarter turn: the text runs upwards
    EXPECT_GT(turned.height(), 2 * turned.width());
    EXPECT_LE(turned.bottom(), 100 + 20 / 2);
    int plain = 0, bold = 0;
    text_ink(3, 10, 0, 0, &plain);
    text_ink(3, 10, 0, 1, &bold);
    EXPECT_GT(bold, plain + plain / 5);
    _setfontstyle(0, 0, 0, 0);
    _settextangle(0, 0);
    _settextalign(3, 10);
}

TEST_F(DrawPrimitives, OpaqueTextUsesThePageBackground)
{
    window_page(1);
    _setpagecolor(0x00FF00, 1);
    _settextpos(10, 10);
    _textout("i", 2);
    _setpage(1, 0);
    QImage img = painted(1);
    EXPECT_GT(count(img, 0x00FF00), 10);
}

TEST_F(DrawPrimitives, PieFilledAndFramed)
{
    window_page(1);
    _settextcolor(kRed);
    _pie(0, 0, 0, 40, 40, 40, 20, 20, 0);   // upper-right quarter
    _framepie(60, 0, 100, 40, 100, 20, 80, 0);
    EXPECT_EQ(_pie(5, 0, 0, 1, 1, 1, 1, 1, 1), 0);
    _setpage(1, 0);
    QImage img = painted(1);
    EXPECT_EQ(pixel(img, 28, 12), kRed);
    EXPECT_EQ(pixel(img, 12, 28), kWhite);
    EXPECT_EQ(pixel(img, 88, 12), kWhite);   // framed: not filled
    EXPECT_EQ(pixel(img, 80, 10), kBlack);   // its radial to the top
}

TEST_F(DrawPrimitives, PixelsAndFloodFill)
{
    window_page(1);
    _setcolor(kRed);
    EXPECT_EQ(_setpixel(5, 6), kRed);
    _setcolor(kBlack);
    _framerect(20, 20, 40, 40);
    _settextcolor(0xFF0000);
    _floodfill(30, 30, kBlack);
    _setpage(1, 0);
    QImage img = painted(1);
    EXPECT_EQ(pixel(img, 5, 6), kRed);
    // flood fill works on the target's pixels at replay time
    EXPECT_EQ(pixel(img, 30, 30), COLORREF(0xFF0000));
    EXPECT_EQ(pixel(img, 50, 50), kWhite);
}

}  // namespace
