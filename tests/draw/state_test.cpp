// The shared drawing state: set-calls and getters, _setfont option parsing,
// text settings, and the results without a current page.
#include "draw_fixture.h"

#include <cstring>

namespace {
class DrawState : public DrawTest {};

TEST_F(DrawState, WithoutAPageSetCallsChangeNothing)
{
    ASSERT_EQ(_getpage(), -1);
    EXPECT_EQ(_setcolor(0x123456), 0xFFFFFFFFu);
    EXPECT_EQ(_getcolor(), 0u);   // not stored
    EXPECT_EQ(_settextcolor(1), 0xFFFFFFFFu);
    EXPECT_EQ(_gettextcolor(), 0xFFFFFFFFu);
    EXPECT_EQ(_setbkcolor(1), 0xFFFFFFFFu);
    EXPECT_EQ(_getbkcolor(), 0xFFFFFFFFu);
    EXPECT_EQ(_setpixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(_getpixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(_setlinewidth(3), 0);
    EXPECT_EQ(_setfont("'tSystem'h15"), 0);
    EXPECT_EQ(_lineto(5, 5), 0);
    EXPECT_EQ(_rectangle(0, 0, 0, 5, 5), 0);
    _settextpos(1, 2);
    _dpoint prev = _settextpos(3, 4);
    EXPECT_EQ(prev.x, 1);
    EXPECT_EQ(prev.y, 2);
    _dpoint p = _getcurrentposition();
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    _settextpos(3, 4);
    _textout("x", 1);   // nothing, no fault
    EXPECT_EQ(_gettextpos().x, 3);
    _setfillmask(reinterpret_cast<const unsigned char*>("\x01\x02\x03\x04\x05\x06\x07\x08"));
    unsigned char m[8];
    _getfillmask(m);
    EXPECT_EQ(m[0], 0);
}

TEST_F(DrawState, ColourAndTextColours)
{
    window_page(1);
    EXPECT_EQ(_setcolor(0x0000FF), 0u);
    EXPECT_EQ(_getcolor(), 0x0000FFu);
    EXPECT_EQ(_setcolor(0x00FF00), 0x0000FFu);
    EXPECT_EQ(_settextcolor(0x00FF00), 0u);   // the defaults of a new page
    EXPECT_EQ(_gettextcolor(), 0x00FF00u);
    EXPECT_EQ(_setbkcolor(0x111111), 0xFFFFFFu);
    EXPECT_EQ(_getbkcolor(), 0x111111u);
    _setlinestyle(PS_DOT);
    EXPECT_EQ(_getlinestyle(), PS_DOT);
    const unsigned char mask[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    _setfillmask(mask);
    unsigned char out[8] = {};
    EXPECT_EQ(_getfillmask(out), out);
    EXPECT_EQ(std::memcmp(out, mask, 8), 0);
}

TEST_F(DrawState, SetfontFindsFaceAndHeightWhereverTheyStand)
{
    window_page(1);
    EXPECT_EQ(_setfont("'tSystem'h15"), 1);
    EXPECT_EQ(_setfont("h20't\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF'"), 1);
    EXPECT_EQ(_setfont("'tSystem'"), 0);     // no height
    EXPECT_EQ(_setfont("h15"), 0);           // no face
    EXPECT_EQ(_setfont("'tSystem'h0"), 0);   // height 0
    EXPECT_EQ(_setfont("'tSystem"), 0);      // no closing quote
    EXPECT_EQ(_setfont("tSystem'h15"), 0);   // no opening quote
    EXPECT_EQ(_setfont("'tArch'h15"), 0);    // the face's h is found first: no height
    // a 15-pixel font measures in page units
    ASSERT_EQ(_setfont("'tSystem'h15"), 1);
    EXPECT_EQ(_gettextheight("Hg"), 15);   // the cell height: the height asked for
    double w1 = _gettextwidth("H"), w4 = _gettextwidth("HHHH");
    EXPECT_NEAR(w4, 4 * w1, 1.0);
}

}  // namespace
