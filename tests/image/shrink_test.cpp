// Reductions: the method choice at scale one, the size rule of each method, an
// unknown turn. Pixels of every method and turn (the direction of each turn among
// them), and the choice by tolerance below scale one: transform_match_test.cpp.
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

BmapPtr picture(int w, int h)
{
    return make_bmap(w, h, [](int x, int y) {
        return (std::uint32_t((x * 29 + y * 7) % 256) << 16) | (std::uint32_t((x * 3 + y * 41) % 256) << 8) |
               std::uint32_t((x * y + 5) % 256);
    });
}

} // namespace

TEST(ShrinkChoice, ScaleOneGoesToTheBilinearBlendOnePixelSmaller)
{
    BmapPtr src = picture(10, 8);
    BmapPtr r(_bmap_shrink(src.get(), 1.0, 0.5, 0));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->width, 9);
    EXPECT_EQ(r->height, 7);
    for (int y = 0; y < 7; ++y)   // weight 256 on the source pixel: a copy
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(px(r.get(), x, y), px(src.get(), x, y));
    // with a tolerance above 0.5 the box of 2 is used instead
    BmapPtr b(_bmap_shrink(src.get(), 1.0, 0.6, 0));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->width, 4);
}

TEST(ShrinkChoice, BadArgumentsGiveNull)
{
    BmapPtr src = picture(10, 10);
    EXPECT_EQ(_bmap_shrink(nullptr, 0.5, 0.1, 0), nullptr);
    EXPECT_EQ(_bmap_shrink(src.get(), 0.0, 0.1, 0), nullptr);
    EXPECT_EQ(_bmap_shrink(src.get(), -1.0, 0.1, 0), nullptr);
    EXPECT_EQ(_bmap_shrink(src.get(), NAN, 0.1, 0), nullptr);
    EXPECT_EQ(_bmap_shrink(src.get(), 1e-12, 0.1, 0), nullptr);   // nothing left
    EXPECT_EQ(_bmap_shrink_area(src.get(), 1.5, 0), nullptr);
    EXPECT_EQ(_bmap_shrink_box(src.get(), 0, 0), nullptr);
    EXPECT_EQ(_bmap_shrink_box(src.get(), 11, 0), nullptr);
    _bmap empty;
    EXPECT_EQ(_bmap_shrink(&empty, 0.5, 0.1, 0), nullptr);
}

TEST(ShrinkSize, RuleOfEachMethod)
{
    struct Row { int w, h; double s; int rw, rh; const char* why; };
    const Row rows[] = {
        {10, 9, 1.0 / 3, 3, 2, "box 3: 3 x 3, then 3 * 3 = 9 > 8 takes one row off"},
        {100, 50, 0.3, 29, 14, "area: 1 / 0.3 as a float is 3.33333325; 30 times it rounds to 100.0 > 99"},
        {41, 30, 0.25, 10, 7, "area: 40 <= 40 and 28 <= 29 stay"},
        {8, 4, 0.75, 5, 2, "bilinear: trunc(6 * 1.3333) = 8 > 7 -> 5; trunc(3 * 1.333) = 4 > 3 -> 2"},
        {100, 50, 0.75, 74, 37, "bilinear"},
        {1, 1, 1.0, 0, 0, "nothing left"},
        {3, 100, 0.25, 0, 0, "nothing left"},
    };
    for (const Row& r : rows) {
        int w = 0, h = 0;
        EXPECT_EQ(_shrink_size(r.w, r.h, r.s, &w, &h), r.rw > 0) << r.why;
        if (r.rw > 0) {
            EXPECT_EQ(w, r.rw) << r.why;
            EXPECT_EQ(h, r.rh) << r.why;
        }
    }
    // each method makes its rule's size
    BmapPtr src = picture(100, 50);
    BmapPtr box(_bmap_shrink_box(src.get(), 3, 0));
    BmapPtr area(_bmap_shrink_area(src.get(), 0.3, 0));
    BmapPtr bil(_bmap_shrink_bilinear(src.get(), 0.75, 0));
    ASSERT_TRUE(box && area && bil);
    EXPECT_EQ(std::pair(box->width, box->height), std::pair(33, 16));
    EXPECT_EQ(std::pair(area->width, area->height), std::pair(29, 14));
    EXPECT_EQ(std::pair(bil->width, bil->height), std::pair(74, 37));
}

TEST(ShrinkPixels, AreaAboveOneHalfIsTheBilinearResult)
{
    BmapPtr src = picture(31, 22);
    BmapPtr a(_bmap_shrink_area(src.get(), 0.75, 0));
    BmapPtr b(_bmap_shrink_bilinear(src.get(), 0.75, 0));
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(same_pixels(a.get(), b.get()));
}

TEST(ShrinkTurn, UnknownTurnWritesNoPixels)
{
    BmapPtr src = picture(20, 20);
    BmapPtr t(_bmap_shrink_box(src.get(), 2, 3));
    ASSERT_TRUE(t);
    for (int y = 0; y < t->height; ++y)
        for (int x = 0; x < t->width; ++x)
            ASSERT_EQ(px(t.get(), x, y), 0u);
}

TEST(ShrinkSource, SourceIsLeftAlone)
{
    BmapPtr src = picture(20, 20);
    _bmap copy(*src);
    BmapPtr r(_bmap_shrink(src.get(), 0.3, 0.1, 1));
    EXPECT_TRUE(same_pixels(src.get(), &copy));
    EXPECT_EQ(src->width, 20);
}
