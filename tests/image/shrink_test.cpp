// Reductions: the method choice, the size rule of each method, the pixels of each
// method against a direct reading of its rule, and every turn.
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

BmapPtr picture(int w, int h)
{
    return make_bmap(w, h, [](int x, int y) {
        return (std::uint32_t((x * 29 + y * 7) % 256) << 16) | (std::uint32_t((x * 3 + y * 41) % 256) << 8) |
               std::uint32_t((x * y + 5) % 256);
    });
}

unsigned char byte_at(const _bmap* bm, int x, int y, int c)
{
    return bm->bits[y * bm->stride + x * 3 + c];
}

// Where the unrotated pixel (x, y) of a W x H result lands for a turn.
void place(int turn, int x, int y, int W, int H, int* col, int* row)
{
    switch (turn) {
    case 0: *col = x; *row = y; break;
    case 1: *col = y; *row = W - 1 - x; break;
    case -1: *col = H - 1 - y; *row = x; break;
    default: *col = W - 1 - x; *row = H - 1 - y; break;
    }
}

} // namespace

TEST(ShrinkChoice, QuarterScaleUsesAreaUnderTightToleranceAndBoxOfFiveUnderLoose)
{
    BmapPtr src = picture(40, 30);
    // e = 1 - 4 / 5 = 0.2
    BmapPtr area(_bmap_shrink(src.get(), 0.25, 0.1, 0));
    BmapPtr area_direct(_bmap_shrink_area(src.get(), 0.25, 0));
    ASSERT_TRUE(area && area_direct);
    EXPECT_TRUE(same_pixels(area.get(), area_direct.get()));
    EXPECT_EQ(area->width, 9);   // trunc(40 * 0.25) = 10, and 10 * 4 = 40 > 39
    BmapPtr box(_bmap_shrink(src.get(), 0.25, 0.3, 0));
    BmapPtr box5(_bmap_shrink_box(src.get(), 5, 0));
    ASSERT_TRUE(box && box5);
    EXPECT_TRUE(same_pixels(box.get(), box5.get()));
    EXPECT_EQ(box->width, 7);    // trunc(40 / 5) = 8, and 8 * 5 = 40 > 39
    EXPECT_EQ(box->height, 5);   // 30 / 5 = 6, 30 > 29
}

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
    int w = 0, h = 0;
    // box n = 3 on 10 x 9: 3 x 3, then 3 * 3 = 9 > 8 takes one row off
    ASSERT_EQ(_shrink_size(10, 9, 1.0 / 3, &w, &h), 1);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    // area 0.3 on 100 x 50: 30 x 15, but 1 / 0.3 as a float is 3.33333325, and 30 times
    // that rounds to 100.0 in single precision (> 99), 15 times it to 50.0 (> 49)
    ASSERT_EQ(_shrink_size(100, 50, 0.3, &w, &h), 1);
    EXPECT_EQ(w, 29);
    EXPECT_EQ(h, 14);
    // area 0.25 on 41 x 30: 10 x 7; 40 <= 40 stays, 28 <= 29 stays
    ASSERT_EQ(_shrink_size(41, 30, 0.25, &w, &h), 1);
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 7);
    // bilinear 0.75 on 8 x 4: 6 x 3; trunc(6 * 1.3333) = 8 > 7 -> 5; trunc(3 * 1.333) = 4 > 3 -> 2
    ASSERT_EQ(_shrink_size(8, 4, 0.75, &w, &h), 1);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 2);
    // nothing left
    EXPECT_EQ(_shrink_size(1, 1, 1.0, &w, &h), 0);
    EXPECT_EQ(_shrink_size(3, 100, 0.25, &w, &h), 0);
}

TEST(ShrinkSize, MethodsProduceTheRuleSizes)
{
    BmapPtr src = picture(100, 50);
    BmapPtr box(_bmap_shrink_box(src.get(), 3, 0));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->width, 33);
    EXPECT_EQ(box->height, 16);
    BmapPtr area(_bmap_shrink_area(src.get(), 0.3, 0));
    ASSERT_TRUE(area);
    EXPECT_EQ(area->width, 29);
    EXPECT_EQ(area->height, 14);
    BmapPtr bil(_bmap_shrink_bilinear(src.get(), 0.75, 0));
    ASSERT_TRUE(bil);
    int w, h;
    _shrink_size(100, 50, 0.75, &w, &h);
    EXPECT_EQ(bil->width, w);
    EXPECT_EQ(bil->height, h);
}

TEST(ShrinkPixels, BoxIsTheTruncatedMeanOfEachBlock)
{
    BmapPtr src = picture(23, 17);
    const int n = 4;
    BmapPtr r(_bmap_shrink_box(src.get(), n, 0));
    ASSERT_TRUE(r);
    for (int y = 0; y < r->height; ++y)
        for (int x = 0; x < r->width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int j = 0; j < n; ++j)
                    for (int i = 0; i < n; ++i)
                        sum += byte_at(src.get(), x * n + i, y * n + j, c);
                ASSERT_EQ(byte_at(r.get(), x, y, c), sum / (n * n)) << x << "," << y;
            }
}

TEST(ShrinkPixels, AreaWeighsTheFootprint)
{
    BmapPtr src = picture(50, 37);
    const double s = 0.3;
    BmapPtr r(_bmap_shrink_area(src.get(), s, 0));
    ASSERT_TRUE(r);
    const float kf = float(1.0 / s);
    auto pos = [&](int i) { return int(float(i) * kf); };
    auto frac = [&](int i) { return float(i) * kf - float(pos(i)); };
    int worst = 0;
    for (int y = 0; y < r->height; ++y)
        for (int x = 0; x < r->width; ++x)
            for (int c = 0; c < 3; ++c) {
                double total = 0;
                for (int sy = pos(y); sy <= pos(y + 1); ++sy)
                    for (int sx = pos(x); sx <= pos(x + 1); ++sx) {
                        double wx = sx == pos(x) ? 1 - frac(x) : (sx == pos(x + 1) ? frac(x + 1) : 1);
                        double wy = sy == pos(y) ? 1 - frac(y) : (sy == pos(y + 1) ? frac(y + 1) : 1);
                        total += wx * wy * byte_at(src.get(), sx, sy, c);
                    }
                int want = int(total * (1.0 / (double(kf) * kf)));
                worst = std::max(worst, std::abs(want - byte_at(r.get(), x, y, c)));
            }
    EXPECT_LE(worst, 1);   // single-precision sums may land one below or above
    // a flat picture stays flat
    BmapPtr flat = make_bmap(30, 30, [](int, int) { return 0x336699u; });
    BmapPtr f(_bmap_shrink_area(flat.get(), 0.4, 0));
    ASSERT_TRUE(f);
    for (int y = 0; y < f->height; ++y)
        for (int x = 0; x < f->width; ++x) {
            std::uint32_t v = px(f.get(), x, y);
            EXPECT_NEAR(double((v >> 16) & 0xFF), 0x33, 1);
            EXPECT_NEAR(double(v & 0xFF), 0x99, 1);
        }
}

TEST(ShrinkPixels, AreaAboveOneHalfIsTheBilinearResult)
{
    BmapPtr src = picture(31, 22);
    BmapPtr a(_bmap_shrink_area(src.get(), 0.75, 0));
    BmapPtr b(_bmap_shrink_bilinear(src.get(), 0.75, 0));
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(same_pixels(a.get(), b.get()));
}

TEST(ShrinkPixels, BilinearFollowsItsWeights)
{
    BmapPtr src = picture(31, 22);
    const double s = 0.8;
    BmapPtr r(_bmap_shrink_bilinear(src.get(), s, 0));
    ASSERT_TRUE(r);
    const float kf = float(1.0 / s);
    for (int y = 0; y < r->height; ++y)
        for (int x = 0; x < r->width; ++x) {
            int px0 = int(float(x) * kf), py0 = int(float(y) * kf);
            unsigned wx = unsigned((1 - (float(x) * kf - px0)) * 256 * s);
            unsigned wy = unsigned((1 - (float(y) * kf - py0)) * 256 * s);
            for (int c = 0; c < 3; ++c) {
                unsigned v = wx * wy * byte_at(src.get(), px0, py0, c) +
                             wx * (256 - wy) * byte_at(src.get(), px0, py0 + 1, c) +
                             (256 - wx) * wy * byte_at(src.get(), px0 + 1, py0, c) +
                             (256 - wx) * (256 - wy) * byte_at(src.get(), px0 + 1, py0 + 1, c);
                ASSERT_EQ(byte_at(r.get(), x, y, c), (v >> 16) & 0xFF) << x << "," << y;
            }
        }
}

TEST(ShrinkTurn, EveryTurnPlacesThePixelsOfTheUnturnedResult)
{
    BmapPtr src = picture(41, 27);
    struct Case { const char* name; int method; };
    for (int method = 0; method < 3; ++method) {
        auto run = [&](int turn) -> _bmap* {
            if (method == 0)
                return _bmap_shrink_box(src.get(), 3, turn);
            if (method == 1)
                return _bmap_shrink_area(src.get(), 0.35, turn);
            return _bmap_shrink_bilinear(src.get(), 0.7, turn);
        };
        BmapPtr base(run(0));
        ASSERT_TRUE(base);
        const int W = base->width, H = base->height;
        for (int turn : {1, -1, 2, -2}) {
            SCOPED_TRACE(testing::Message() << "method " << method << " turn " << turn);
            BmapPtr t(run(turn));
            ASSERT_TRUE(t);
            const bool odd = turn == 1 || turn == -1;
            ASSERT_EQ(t->width, odd ? H : W);
            ASSERT_EQ(t->height, odd ? W : H);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    int col, row;
                    place(turn, x, y, W, H, &col, &row);
                    ASSERT_EQ(px(t.get(), col, row), px(base.get(), x, y));
                }
        }
    }
}

TEST(ShrinkTurn, QuarterTurnOneIsCounterClockwise)
{
    // 2 x 1 picture reduced by 1.0 keeps... use a 4 x 2 box of 1: left red, right blue
    BmapPtr src = make_bmap(4, 3, [](int x, int) { return x < 2 ? 0xFF0000u : 0x0000FFu; });
    BmapPtr t(_bmap_shrink_box(src.get(), 1, 1));
    ASSERT_TRUE(t);
    // unturned 3 x 2 (size rule); counter-clockwise: the right side goes to the top
    EXPECT_EQ(t->width, 2);
    EXPECT_EQ(t->height, 3);
    EXPECT_EQ(px(t.get(), 0, 0), 0x0000FFu);
    EXPECT_EQ(px(t.get(), 0, 2), 0xFF0000u);
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
