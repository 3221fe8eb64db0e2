// PNG entries: size and resolution, colour order, transparency composited onto
// the file's background or white, and refusals.
#include "decoder_test_support.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <zlib.h>

using namespace fixtures;

namespace {

class PngEntries : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

TEST_F(PngEntries, SizeAndResolution)
{
    std::string path = write(dir, "a.png", png_rgb(5, 3, 3, std::vector<std::uint8_t>(45, 9), 11811));
    int w = 0, h = 0, xd = 0, yd = 0;
    ASSERT_EQ(_getpng_size(path.c_str(), &w, &h, &xd, &yd), 1);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(xd, 300);
    EXPECT_EQ(yd, 300);
    bitmap_ptr bm(_getpng_bmap(path.c_str()));
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->info.bmiHeader.biXPelsPerMeter, 11811);
}

TEST_F(PngEntries, RgbComesOutBlueGreenRed)
{
    picture p = gradient(17, 9);
    for (bool interlaced : {false, true}) {
        std::string path = write(dir, interlaced ? "b.png" : "c.png", png_rgb(17, 9, 3, p.rgb, 0, interlaced));
        bitmap_ptr bm(_getpng_bmap(path.c_str()));
        ASSERT_TRUE(bm);
        EXPECT_EQ(max_difference(bm.get(), p), 0);
    }
}

TEST_F(PngEntries, TransparencyOntoTheFileBackgroundOrWhite)
{
    using rgb = std::array<int, 3>;
    struct Row { std::vector<std::uint8_t> file; std::vector<rgb> pixels; };
    const Row rows[] = {
        // palette, alpha 255, 0, 128, background index 2 (blue): opaque red, the background, blue over blue
        {png_indexed(3, 1, {255, 0, 0, 0, 255, 0, 0, 0, 255}, {255, 0, 128}, 2, {0, 1, 2}),
         {{255, 0, 0}, {0, 0, 255}, {0, 0, 255}}},
        // no background: white, and half black over white
        {png_indexed(3, 1, {255, 0, 0, 0, 255, 0, 0, 0, 0}, {255, 0, 128}, -1, {0, 1, 2}),
         {{255, 0, 0}, {255, 255, 255}, {127, 127, 127}}},
        {png_rgb(2, 1, 4, {10, 20, 30, 255, 10, 20, 30, 0}), {{10, 20, 30}, {255, 255, 255}}},   // alpha channel
    };
    for (const Row& r : rows) {
        bitmap_ptr bm(_getpng_bmap(write(dir, "t.png", r.file).c_str()));
        ASSERT_TRUE(bm);
        for (std::size_t x = 0; x < r.pixels.size(); ++x)
            EXPECT_EQ(rgb_at(bm.get(), static_cast<int>(x), 0), r.pixels[x]) << x;
    }
}

TEST_F(PngEntries, NotAPngOrTruncatedFails)
{
    int w, h, xd, yd;
    std::string jpg = write(dir, "g.png", jpeg(gradient(4, 4)));
    EXPECT_EQ(_getpng_size(jpg.c_str(), &w, &h, &xd, &yd), 0);
    EXPECT_EQ(_getpng_bmap(jpg.c_str()), nullptr);
    std::vector<std::uint8_t> bytes = png_rgb(30, 30, 3, gradient(30, 30).rgb);
    bytes.resize(bytes.size() - 40);
    EXPECT_EQ(_getpng_bmap(write(dir, "h.png", bytes).c_str()), nullptr);
    EXPECT_EQ(_getpng_size(write(dir, "i.png", {}).c_str(), &w, &h, &xd, &yd), 0);
}

TEST_F(PngEntries, HugeClaimedSizeIsRefused)
{
    std::vector<std::uint8_t> bytes = png_rgb(4, 4, 3, std::vector<std::uint8_t>(48, 1));
    // IHDR width and height at 16 and 20; the CRC check is what libpng would
    // complain about, so patch it too
    bytes[16] = 0x00; bytes[17] = 0x01; bytes[18] = 0x00; bytes[19] = 0x00;
    bytes[20] = 0x00; bytes[21] = 0x01; bytes[22] = 0x00; bytes[23] = 0x00;
    const uLong crc = crc32(0, bytes.data() + 12, 17);   // of the chunk's type and data
    for (int i = 0; i < 4; ++i)
        bytes[29 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    std::string path = write(dir, "j.png", bytes);
    int w = 0, h = 0, xd, yd;
    ASSERT_EQ(_getpng_size(path.c_str(), &w, &h, &xd, &yd), 1);
    EXPECT_EQ(w, 65536);
    EXPECT_EQ(_getpng_bmap(path.c_str()), nullptr);
}

} // namespace
