// JPEG entries: header sizes and densities, pixels in blue-green-red order,
// reduction, grey files, and the error state with its "Jpeg-Lib Error" box.
#include "decoder_test_support.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace fixtures;

namespace {

// Smooth colours: JPEG keeps them within a few steps.
picture smooth(int w, int h)
{
    picture p = gradient(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.at(x, y)[2] = 100;
    return p;
}

class JpegEntries : public ::testing::Test {
protected:
    QTemporaryDir dir;
    box_watcher watcher;
};

TEST_F(JpegEntries, SizeAndDensityFromTheHeader)
{
    struct Row { bool jfif; int unit, x, y; int xd, yd; };
    const Row rows[] = {
        {true, 1, 300, 150, 300, 150},
        {false, 1, 300, 150, 1, 1},    // no JFIF header: 1 x 1
        {true, 2, 118, 40, 300, 102},  // dots per centimetre become dots per inch
    };
    for (const Row& r : rows) {
        jpeg_options o;
        o.jfif = r.jfif;
        o.density_unit = r.unit;
        o.xdensity = r.x;
        o.ydensity = r.y;
        std::string path = write(dir, "a.JPEG", jpeg(gradient(37, 21), o));
        int w = 0, h = 0, xd = 0, yd = 0;
        ASSERT_EQ(_getjpg_size(path.c_str(), &w, &h, &xd, &yd), 1);
        EXPECT_EQ(w, 37);
        EXPECT_EQ(h, 21);
        EXPECT_EQ(xd, r.xd);
        EXPECT_EQ(yd, r.yd);
        EXPECT_EQ(_imgerr(), 0);
    }
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST_F(JpegEntries, PixelsComeOutBlueGreenRedTopFirst)
{
    picture p = flat(16, 16, 200, 40, 10);
    for (int y = 8; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            p.at(x, y)[0] = 10;
            p.at(x, y)[1] = 40;
            p.at(x, y)[2] = 200;
        }
    std::string path = write(dir, "d.jpg", jpeg(p));
    bitmap_ptr bm(_getjpg_bmap(path.c_str(), 1, 0));
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->width, 16);
    EXPECT_EQ(bm->height, 16);
    EXPECT_EQ(bm->depth, 24);
    EXPECT_EQ(bm->stride, 48);
    EXPECT_EQ(rgb_at(bm.get(), 8, 2)[0], 200);   // red stays red...
    EXPECT_NEAR(rgb_at(bm.get(), 8, 2)[2], 10, 3);
    EXPECT_NEAR(rgb_at(bm.get(), 8, 14)[0], 10, 3);   // ...and blue blue, bottom half below
    EXPECT_EQ(rgb_at(bm.get(), 8, 14)[2], 200);
    EXPECT_EQ(bm->info.bmiHeader.biHeight, -16);
    EXPECT_EQ(bm->info.bmiHeader.biXPelsPerMeter, 2835);   // 72 dpi
}

TEST_F(JpegEntries, ReductionDecodesAtAFractionOfTheSize)
{
    std::string path = write(dir, "e.jpg", jpeg(gradient(101, 50)));
    bitmap_ptr half(_getjpg_bmap(path.c_str(), 2, 0));
    ASSERT_TRUE(half);
    EXPECT_EQ(half->width, 51);
    EXPECT_EQ(half->height, 25);
    EXPECT_EQ(half->stride, 156);
    bitmap_ptr eighth(_getjpg_bmap(path.c_str(), 8, 1));
    ASSERT_TRUE(eighth);
    EXPECT_EQ(eighth->width, 13);
    EXPECT_EQ(eighth->height, 7);
    bitmap_ptr zero(_getjpg_bmap(path.c_str(), 0, 0));
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->width, 101);
    EXPECT_EQ(_getjpg_bmap(path.c_str(), 3, 0), nullptr);
}

TEST_F(JpegEntries, GreyAndProgressiveFilesLoad)
{
    jpeg_options grey, progressive;
    grey.grey = true;
    progressive.progressive = true;
    bitmap_ptr g(_getjpg_bmap(write(dir, "f.jpg", jpeg(flat(9, 9, 90, 0, 0), grey)).c_str(), 1, 0));
    ASSERT_TRUE(g);
    auto c = rgb_at(g.get(), 4, 4);
    EXPECT_NEAR(c[0], 90, 2);   // grey fills all three bytes
    EXPECT_EQ(c[0], c[1]);
    EXPECT_EQ(c[1], c[2]);
    const picture p = smooth(40, 30);
    bitmap_ptr pr(_getjpg_bmap(write(dir, "g.jpg", jpeg(p, progressive)).c_str(), 1, 0));
    ASSERT_TRUE(pr);
    EXPECT_LE(max_difference(pr.get(), p), 12);   // quality 95 on smooth colours: a few steps
}

TEST_F(JpegEntries, TruncatedFileLoadsWithoutABox)
{
    picture p = gradient(64, 64);
    std::vector<std::uint8_t> bytes = jpeg(p);
    bytes.resize(bytes.size() * 2 / 3);
    std::string path = write(dir, "h.jpg", bytes);
    bitmap_ptr bm(_getjpg_bmap(path.c_str(), 1, 0));
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->width, 64);
    EXPECT_EQ(bm->height, 64);
    // the first rows were in the file (within what quality 95 keeps of a gradient)
    auto c = rgb_at(bm.get(), 32, 2);
    EXPECT_NEAR(c[0], p.at(32, 2)[0], 8);
    EXPECT_NEAR(c[1], p.at(32, 2)[1], 8);
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST_F(JpegEntries, EmptyMissingOrImagelessFilesFailQuietlyWithTheErrorFlag)
{
    const std::string files[] = {write(dir, "i.jpg", {}), write(dir, "j.jpg", {0xFF, 0xD8, 0xFF, 0xD9}),
                                 dir.path().toStdString() + "/none.jpg"};
    for (const std::string& path : files) {
        int w = -5, h = -5, xd = -5, yd = -5;
        EXPECT_EQ(_getjpg_size(path.c_str(), &w, &h, &xd, &yd), 0) << path;
        EXPECT_EQ(_imgerr(), 1) << path;
        EXPECT_EQ(_getjpg_bmap(path.c_str(), 1, 0), nullptr) << path;
    }
    EXPECT_TRUE(watcher.boxes().empty());
}

TEST_F(JpegEntries, NotAJpegShowsTheLibraryBox)
{
    std::string path = write(dir, "k.jpg", png_rgb(2, 2, 3, std::vector<std::uint8_t>(12, 7)));
    int w, h, xd, yd;
    EXPECT_EQ(_getjpg_size(path.c_str(), &w, &h, &xd, &yd), 0);
    ASSERT_EQ(watcher.boxes().size(), 1u);
    const shown_box& b = watcher.boxes()[0];
    EXPECT_EQ(b.caption, "Jpeg-Lib Error");
    EXPECT_EQ(b.text.rfind(path + "\n \nNot a JPEG file: starts with 0x89 0x50\n \nat function _getjpg_size", 0), 0u)
        << b.text;
    EXPECT_EQ(_getjpg_bmap(path.c_str(), 1, 0), nullptr);
    ASSERT_EQ(watcher.boxes().size(), 2u);
    EXPECT_NE(watcher.boxes()[1].text.find("at function _getjpg_bmap (1)"), std::string::npos);
}

TEST_F(JpegEntries, HugeClaimedSizeIsRefusedBeforeAllocating)
{
    // a valid small file whose frame header claims 65000 x 65000
    std::vector<std::uint8_t> bytes = jpeg(gradient(16, 16));
    for (std::size_t i = 0; i + 8 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = 0xFD; bytes[i + 6] = 0xE8;   // height 65000
            bytes[i + 7] = 0xFD; bytes[i + 8] = 0xE8;   // width 65000
            break;
        }
    std::string path = write(dir, "l.jpg", bytes);
    int w = 0, h = 0, xd, yd;
    EXPECT_EQ(_getjpg_size(path.c_str(), &w, &h, &xd, &yd), 1);
    EXPECT_EQ(w, 65000);
    EXPECT_EQ(_getjpg_bmap(path.c_str(), 1, 0), nullptr);
    EXPECT_EQ(_imgerr(), 1);
}

TEST(ImageErrorState, ContextClearsTheFlagReportsSetItWarningsShowNoBox)
{
    box_watcher watcher;
    _imgerr_context("op", "file");
    EXPECT_EQ(_imgerr(), 0);
    _imgerr_report("Premature end of JPEG file");
    EXPECT_EQ(_imgerr(), 0);
    _imgerr_report("Bogus char 0xfe in GIF file, ignoring");
    EXPECT_EQ(_imgerr(), 0);
    _imgerr_report("something else");   // the show flag is only set by fatal errors
    EXPECT_EQ(_imgerr(), 1);
    QApplication::processEvents();
    EXPECT_TRUE(watcher.boxes().empty());
    _imgerr_context("op", "file");
    EXPECT_EQ(_imgerr(), 0);
}

} // namespace
