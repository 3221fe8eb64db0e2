// Rotation by quarter and half turns: sizes, resolution and where each pixel lands.
#include "image_test_util.h"

#include <gtest/gtest.h>

namespace {
BmapPtr picture(int w, int h)
{
    BmapPtr bm = make_bmap(w, h, [](int x, int y) { return std::uint32_t(x * 0x10000 + y * 0x100 + 7); });
    bm->set_ppm(1000, 3000);
    return bm;
}
} // namespace

TEST(Rotate, NinetyOfThreeByTwoIsTwoByThreeWithSwappedResolution)
{
    BmapPtr src = picture(3, 2);
    BmapPtr r(_bmap_rotate(src.get(), 90));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->width, 2);
    EXPECT_EQ(r->height, 3);
    EXPECT_EQ(r->info.bmiHeader.biXPelsPerMeter, 3000);
    EXPECT_EQ(r->info.bmiHeader.biYPelsPerMeter, 1000);
    EXPECT_EQ(r->info.bmiHeader.biWidth, 2);
    EXPECT_EQ(r->info.bmiHeader.biHeight, -3);
}

TEST(Rotate, PlacementsOfEveryAngle)
{
    for (auto [w, h] : {std::pair{3, 2}, std::pair{37, 70}, std::pair{65, 33}}) {
        BmapPtr src = picture(w, h);
        for (int angle : {90, -90, 180, -180}) {
            SCOPED_TRACE(testing::Message() << w << "x" << h << " angle " << angle);
            BmapPtr r(_bmap_rotate(src.get(), angle));
            ASSERT_TRUE(r);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    int col, row;
                    rotated_place(angle, x, y, w, h, &col, &row);
                    ASSERT_EQ(px(r.get(), col, row), px(src.get(), x, y)) << x << "," << y;
                }
            if (angle == 180 || angle == -180) {
                EXPECT_EQ(r->info.bmiHeader.biXPelsPerMeter, 1000);
                EXPECT_EQ(r->info.bmiHeader.biYPelsPerMeter, 3000);
            }
        }
    }
}

TEST(Rotate, NinetyIsCounterClockwise)
{
    // top-right pixel goes to the top-left
    BmapPtr src = make_bmap(2, 2, [](int x, int y) { return x == 1 && y == 0 ? 0xFF0000u : 0u; });
    BmapPtr r(_bmap_rotate(src.get(), 90));
    ASSERT_TRUE(r);
    EXPECT_EQ(px(r.get(), 0, 0), 0xFF0000u);
}

TEST(Rotate, OtherAnglesAndBadBitmapsGiveNull)
{
    BmapPtr src = picture(3, 2);
    EXPECT_EQ(_bmap_rotate(src.get(), 45), nullptr);
    EXPECT_EQ(_bmap_rotate(src.get(), 0), nullptr);
    EXPECT_EQ(_bmap_rotate(src.get(), 270), nullptr);
    EXPECT_EQ(_bmap_rotate(nullptr, 90), nullptr);
    _bmap empty;
    EXPECT_EQ(_bmap_rotate(&empty, 90), nullptr);
}

TEST(Rotate, FourQuarterTurnsGiveTheSourceBack)
{
    BmapPtr src = picture(19, 11);
    BmapPtr a(_bmap_rotate(src.get(), 90));
    BmapPtr b(_bmap_rotate(a.get(), 90));
    BmapPtr c(_bmap_rotate(b.get(), -90));
    BmapPtr d(_bmap_rotate(c.get(), -90));
    EXPECT_TRUE(same_pixels(src.get(), d.get()));
}
