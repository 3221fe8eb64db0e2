// Rotation by quarter and half turns: sizes, resolution, direction and refusals.
// Where every pixel lands: transform_match_test.cpp.
#include "image_test_util.h"

#include <gtest/gtest.h>

TEST(Rotate, QuarterTurnsSwapSizeAndResolutionHalfTurnsKeepThem)
{
    BmapPtr src = make_bmap(3, 2, [](int x, int y) { return std::uint32_t(x * 0x10000 + y * 0x100 + 7); });
    src->set_ppm(1000, 3000);
    for (int angle : {90, -90, 180, -180}) {
        BmapPtr r(_bmap_rotate(src.get(), angle));
        ASSERT_TRUE(r) << angle;
        const bool quarter = angle == 90 || angle == -90;
        EXPECT_EQ(r->width, quarter ? 2 : 3) << angle;
        EXPECT_EQ(r->height, quarter ? 3 : 2) << angle;
        EXPECT_EQ(r->info.bmiHeader.biWidth, r->width);
        EXPECT_EQ(r->info.bmiHeader.biHeight, -r->height);
        EXPECT_EQ(r->info.bmiHeader.biXPelsPerMeter, quarter ? 3000 : 1000) << angle;
        EXPECT_EQ(r->info.bmiHeader.biYPelsPerMeter, quarter ? 1000 : 3000) << angle;
    }
    // 90 is counter-clockwise: the top-right pixel goes to the top-left
    BmapPtr r(_bmap_rotate(src.get(), 90));
    EXPECT_EQ(px(r.get(), 0, 0), px(src.get(), 2, 0));
}

TEST(Rotate, OtherAnglesAndBadBitmapsGiveNull)
{
    BmapPtr src = make_bmap(3, 2, [](int, int) { return 0u; });
    for (int angle : {45, 0, 270})
        EXPECT_EQ(_bmap_rotate(src.get(), angle), nullptr) << angle;
    EXPECT_EQ(_bmap_rotate(nullptr, 90), nullptr);
    _bmap empty;
    EXPECT_EQ(_bmap_rotate(&empty, 90), nullptr);
}
