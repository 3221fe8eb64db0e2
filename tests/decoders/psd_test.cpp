// 8BPS entries: the four accepted modes, raw and PackBits, refusals and short files.
#include "decoder_test_support.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace fixtures;

namespace {

class PsdEntries : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

TEST_F(PsdEntries, RgbGreyAndBitmapModesRawAndPackBitsWithTheirSize)
{
    picture rgb = gradient(23, 7);
    for (int x = 0; x < 23; ++x)
        std::memcpy(rgb.at(x, 3), "\x05\x05\x05", 3);   // a run for PackBits
    picture grey = gradient(5, 5);
    for (std::size_t i = 0; i < grey.rgb.size(); i += 3)
        grey.rgb[i + 1] = grey.rgb[i + 2] = grey.rgb[i];
    picture bits = flat(11, 2, 255, 255, 255);   // set bits are black
    std::memset(bits.at(0, 0), 0, 3);
    std::memset(bits.at(10, 1), 0, 3);
    struct Row { int mode; bool packed; const picture* p; };
    for (const Row& r : {Row{3, false, &rgb}, Row{3, true, &rgb}, Row{1, true, &grey}, Row{1, false, &grey},
                         Row{0, true, &bits}}) {
        const std::string path = write(dir, "b.psd", psd(*r.p, r.mode, r.packed));
        int w = 0, h = 0;
        ASSERT_EQ(_getpsd_size(path.c_str(), &w, &h), 1);
        EXPECT_EQ(w, r.p->width);
        EXPECT_EQ(h, r.p->height);
        bitmap_ptr bm(_getpsd_bmap(path.c_str()));
        ASSERT_TRUE(bm);
        EXPECT_EQ(max_difference(bm.get(), *r.p), 0) << r.mode << " " << r.packed;
    }
}

TEST_F(PsdEntries, IndexedLoadsInItsPaletteColours)
{
    std::vector<std::uint8_t> pal(768, 0);
    pal[0] = 200; pal[256] = 100; pal[512] = 50;    // index 0
    pal[1] = 1; pal[257] = 2; pal[513] = 3;          // index 1
    pal[255] = 9; pal[511] = 8; pal[767] = 7;        // index 255
    picture idx = flat(3, 2, 0, 0, 0);
    idx.at(1, 0)[0] = 1;
    idx.at(2, 1)[0] = 255;
    bitmap_ptr bm(_getpsd_bmap(write(dir, "e.psd", psd(idx, 2, false, pal)).c_str()));
    ASSERT_TRUE(bm);
    EXPECT_EQ(rgb_at(bm.get(), 0, 0), (std::array<int, 3>{200, 100, 50}));
    EXPECT_EQ(rgb_at(bm.get(), 1, 0), (std::array<int, 3>{1, 2, 3}));
    EXPECT_EQ(rgb_at(bm.get(), 2, 1), (std::array<int, 3>{9, 8, 7}));
}

TEST_F(PsdEntries, CmykAndSixteenBitAreRefused)
{
    int w, h;
    std::string cmyk = write(dir, "g.psd", psd(gradient(4, 4), 4, false));
    EXPECT_EQ(_getpsd_size(cmyk.c_str(), &w, &h), 0);
    EXPECT_EQ(_getpsd_bmap(cmyk.c_str()), nullptr);
    std::string deep = write(dir, "h.psd", psd(gradient(4, 4), 3, false, {}, 16));
    EXPECT_EQ(_getpsd_size(deep.c_str(), &w, &h), 0);
    EXPECT_EQ(_getpsd_bmap(deep.c_str()), nullptr);
}

TEST_F(PsdEntries, ShortFileGivesThePictureAsFarAsFilled)
{
    picture p = gradient(10, 10);
    std::vector<std::uint8_t> bytes = psd(p, 1, false);
    bytes.resize(bytes.size() - 50);
    bitmap_ptr bm(_getpsd_bmap(write(dir, "i.psd", bytes).c_str()));
    ASSERT_TRUE(bm);
    EXPECT_EQ(rgb_at(bm.get(), 3, 2)[0], p.at(3, 2)[0]);
}

TEST_F(PsdEntries, ClaimsBeyondTheFileAreRefused)
{
    std::vector<std::uint8_t> bytes = psd(gradient(2, 2), 3, false);
    bytes[14] = 0x00; bytes[15] = 0x01; bytes[16] = 0x00; bytes[17] = 0x00;   // height 65536
    bytes[18] = 0x00; bytes[19] = 0x01; bytes[20] = 0x00; bytes[21] = 0x00;   // width 65536
    EXPECT_EQ(_getpsd_bmap(write(dir, "j.psd", bytes).c_str()), nullptr);
    std::vector<std::uint8_t> notpsd{'8', 'B', 'P', 'X'};
    int w, h;
    EXPECT_EQ(_getpsd_size(write(dir, "k.psd", notpsd).c_str(), &w, &h), 0);
}

} // namespace
