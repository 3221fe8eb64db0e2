// The decoder entries registered in the program's decoder table, reached through
// the extension dispatch: a .JPG that is really a PNG, .GIF resolution, and a
// refused 8BPS file falling back to the icon.
#include "decoder_test_support.h"
#include "ostrel/image.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace fixtures;

namespace {

class RegisteredDecoders : public ::testing::Test {
protected:
    void SetUp() override
    {
        _setimg_decoders(_getjpg_size, _getpng_size, _getpsd_size, _getspi_size, _getjpg_bmap, _getpng_bmap,
                         _getpsd_bmap, _getspi_bmap);
    }
    QTemporaryDir dir;
};

TEST_F(RegisteredDecoders, JpgThatIsReallyAPngShowsTwoBoxesThenTheIcon)
{
    std::string path = write(dir, "photo.JPG", png_rgb(6, 4, 3, std::vector<std::uint8_t>(72, 50)));
    box_watcher watcher;
    bitmap_ptr bm(_getfile_bmap(path.c_str(), 1.0, 0));
    ASSERT_EQ(watcher.boxes().size(), 2u);
    EXPECT_EQ(watcher.boxes()[0].caption, "Jpeg-Lib Error");
    EXPECT_NE(watcher.boxes()[0].text.find("\n \nat function _getjpg_bmap (1)"), std::string::npos)
        << watcher.boxes()[0].text;
    EXPECT_EQ(watcher.boxes()[1].caption, "Jpeg-Lib Error");
    EXPECT_NE(watcher.boxes()[1].text.find("\n \nat function _getjpg_size"), std::string::npos)
        << watcher.boxes()[1].text;
    // the icon fallback: the associated icon at the icon size
    int iw = 0, ih = 0, ix, iy;
    ASSERT_EQ(_geticon_size(path.c_str(), &iw, &ih, &ix, &iy), 1);
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->width, iw);
    EXPECT_EQ(bm->height, ih);
}

TEST_F(RegisteredDecoders, GifResolutionIsOneByOne)
{
    std::string path = write(dir, "anim.GIF", gif(flat(3, 2, 1, 2, 3), false));
    int w = 0, h = 0, xd = 0, yd = 0;
    ASSERT_NE(_getfile_size(path.c_str(), &w, &h, &xd, &yd), 0);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(xd, 1);
    EXPECT_EQ(yd, 1);
    bitmap_ptr bm(_getfile_bmap(path.c_str(), 1.0, 0));
    EXPECT_EQ(max_difference(bm.get(), flat(3, 2, 1, 2, 3)), 0);
    bitmap_ptr slot(_getjpg_bmap(path.c_str(), 1, 0));   // the JPEG slot itself hands it to the row reader
    EXPECT_EQ(max_difference(slot.get(), flat(3, 2, 1, 2, 3)), 0);
}

// (Which extension takes which slot: load_test.cpp; each decoder's pictures: its own test.)
TEST_F(RegisteredDecoders, CmykPsdFallsBackToTheIcon)
{
    std::string cmyk = write(dir, "print.psd", psd(gradient(40, 30), 4, false));
    int w = 0, h = 0, xd, yd;
    int iw = 0, ih = 0;
    ASSERT_EQ(_geticon_size(cmyk.c_str(), &iw, &ih, &xd, &yd), 1);
    ASSERT_NE(_getfile_size(cmyk.c_str(), &w, &h, &xd, &yd), 0);
    EXPECT_EQ(w, iw);
    EXPECT_EQ(h, ih);
    bitmap_ptr icon(_getfile_bmap(cmyk.c_str(), 1.0, 0));
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->width, iw);
    EXPECT_EQ(icon->height, ih);
}

} // namespace
