// Reuse of large pixel blocks: a transform's result may be written into the block of the
// last large bitmap released. It must then look exactly like a result in fresh memory,
// padding included, and blocks that do not fit, or bitmaps that are not fully written
// by their maker, must not take it.
#include "image_test_util.h"
#include "runtime/image/pixel_store.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr std::size_t MiB = std::size_t(1) << 20;

class PixelStore : public ::testing::Test {
protected:
    void SetUp() override { image_rows_drop_kept(); }
    void TearDown() override { image_rows_drop_kept(); }
};

TEST_F(PixelStore, RotationIntoAReusedBlockEqualsTheFirstAndClearsThePadding)
{
    // the result rows are 3729 pixels: 11187 bytes and one byte of padding; the block
    // is just over the 32 MiB from which blocks are kept
    BmapPtr src = make_bmap(3001, 3729, [](int x, int y) { return static_cast<std::uint32_t>(x * 40503u ^ y * 9176u); });
    BmapPtr first(_bmap_rotate(src.get(), 90));
    ASSERT_TRUE(first && first->bits);
    ASSERT_GE(static_cast<std::size_t>(first->size), 32 * MiB);
    ASSERT_EQ(first->stride, 11188);
    BmapPtr expected(new _bmap(*first));
    // leave bytes in the block that a careless reuse would show: everywhere 0xFF
    unsigned char* block = first->bits;
    std::memset(block, 0xFF, static_cast<std::size_t>(first->size));
    first.reset();

    BmapPtr second(_bmap_rotate(src.get(), 90));
    ASSERT_TRUE(second && second->bits);
    EXPECT_EQ(second->bits, block) << "the released block was not reused";
    EXPECT_TRUE(same_pixels(second.get(), expected.get()));
    for (int y = 0; y < second->height; ++y)
        ASSERT_EQ(second->bits[static_cast<std::ptrdiff_t>(y) * second->stride + 11187], 0) << "row " << y;
}

TEST_F(PixelStore, AKeptBlockServesOnlyRequestsItFitsClosely)
{
    unsigned char* big = image_rows_for_overwrite(80 * MiB);
    ASSERT_TRUE(big);
    image_rows_release(big);
    // more than twice the request: the result gets a block of its own
    unsigned char* small = image_rows_for_overwrite(33 * MiB);
    ASSERT_TRUE(small);
    EXPECT_NE(small, big);
    // larger than the kept block: likewise
    unsigned char* larger = image_rows_for_overwrite(81 * MiB);
    ASSERT_TRUE(larger);
    EXPECT_NE(larger, big);
    // a fitting request takes it, and only once
    unsigned char* fits = image_rows_for_overwrite(70 * MiB);
    EXPECT_EQ(fits, big);
    unsigned char* again = image_rows_for_overwrite(70 * MiB);
    EXPECT_NE(again, big);
    for (unsigned char* p : {small, larger, fits, again})
        image_rows_release(p);
}

TEST_F(PixelStore, BitmapsMadeByTheConstructorNeverTakeTheKeptBlock)
{
    // the constructor's callers (decoders, page capture) may leave rows unwritten
    unsigned char* kept = image_rows_for_overwrite(40 * MiB);
    ASSERT_TRUE(kept);
    image_rows_release(kept);
    _bmap made(4000, 3500, 24);
    ASSERT_TRUE(made.bits);
    EXPECT_NE(made.bits, kept);
    EXPECT_EQ(image_rows_for_overwrite(40 * MiB), kept);
    image_rows_release(kept);
}

} // namespace
