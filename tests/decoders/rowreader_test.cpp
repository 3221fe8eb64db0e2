// Row readers (GIF, BMP, Targa, PPM/PGM/PBM) through _getimg_size/_getimg_bmap (a .GIF
// through the JPEG slots and its 1 x 1 resolution: route_test.cpp).
#include "decoder_test_support.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace fixtures;

namespace {

class RowReaders : public ::testing::Test {
protected:
    QTemporaryDir dir;
    box_watcher watcher;

    // Loads a file and compares with the picture; returns the bitmap.
    void expect_pixels(const std::string& path, const picture& p, int tolerance = 0)
    {
        bitmap_ptr bm(_getimg_bmap(path.c_str()));
        ASSERT_TRUE(bm) << path;
        int d = max_difference(bm.get(), p);
        EXPECT_GE(d, 0) << path;
        EXPECT_LE(d, tolerance) << path;
        EXPECT_EQ(bm->info.bmiHeader.biHeight, -p.height);
    }
};

// 8 colours so that GIF and 8-bit BMP keep them exactly.
picture palette_picture(int w, int h)
{
    picture p = flat(w, h, 0, 0, 0);
    static const std::uint8_t c[8][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0},
                                         {0, 255, 255}, {255, 0, 255}, {12, 34, 56}, {255, 255, 255}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::memcpy(p.at(x, y), c[(x / 3 + y) % 8], 3);
    return p;
}

TEST_F(RowReaders, TruncatedGifRaisesTheFlagWithoutABox)
{
    picture p = gradient(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {   // at most 256 colours
            p.at(x, y)[0] &= 0xF0;
            p.at(x, y)[1] &= 0xC0;
            p.at(x, y)[2] = static_cast<std::uint8_t>((x * 3 + y * 5) & 0xC0);
        }
    std::vector<std::uint8_t> bytes = gif(p, false);
    bytes.resize(bytes.size() - 200);
    std::string path = write(dir, "d.gif", bytes);
    int w, h, xd, yd;
    EXPECT_EQ(_getimg_size(path.c_str(), &w, &h, &xd, &yd), 1);   // the header is whole
    EXPECT_EQ(_getimg_bmap(path.c_str()), nullptr);
    EXPECT_EQ(_imgerr(), 1);
    EXPECT_TRUE(watcher.boxes().empty());
}

// Grey from red.
picture grey(picture p)
{
    for (std::size_t i = 0; i < p.rgb.size(); i += 3)
        p.rgb[i + 1] = p.rgb[i + 2] = p.rgb[i];
    return p;
}

TEST_F(RowReaders, EveryLayoutGivesThePicture)
{
    const picture p = palette_picture(10, 7), g = grey(gradient(5, 5)), wide = flat(300, 3, 1, 2, 3);
    struct Row { const char* name; std::vector<std::uint8_t> bytes; picture want; int tolerance; };
    const Row rows[] = {
        {"b.gif", gif(palette_picture(7, 21), true), palette_picture(7, 21), 0},   // interlaced
        {"c.gif", gif(p, false, true), p, 0},                                       // the first image is taken
        {"e.bmp", bmp24(p, false), p, 0},
        {"f.bmp", bmp24(p, true), p, 0},
        {"g.bmp", bmp8(p), p, 0},
        {"i.tga", tga(p, false, false), p, 0},
        {"j.tga", tga(p, false, true), p, 0},
        {"k.tga", tga(p, true, false), p, 0},
        {"l.tga", tga(wide, true, true), wide, 0},   // packets cross rows
        {"m.tga", tga(g, true, false, true), g, 0},  // grey replicated
        {"n.ppm", ppm(p, false), p, 0},
        {"o.ppm", ppm(p, true), p, 0},
        {"p.ppm", ppm(p, false, 65535), p, 0},
        {"q.pgm", pgm(g, false), g, 0},
        {"r.pgm", pgm(g, true), g, 0},
        {"s.pgm", pgm(g, false, 1023), g, 1},        // 10 bits to 8 and back: one step
    };
    for (const Row& r : rows)
        expect_pixels(write(dir, r.name, r.bytes), r.want, r.tolerance);
    std::string path = write(dir, "h.bmp", bmp24(gradient(3, 3), false, 11811));
    int w, h, xd = 0, yd = 0;
    ASSERT_EQ(_getimg_size(path.c_str(), &w, &h, &xd, &yd), 1);
    EXPECT_EQ(xd, 300);   // density in dots per inch
    EXPECT_EQ(yd, 300);
}

TEST_F(RowReaders, PlainAndBinaryBitmaps)
{
    std::string plain = "P1\n# x\n3 2\n1 0 1\n010\n";
    std::string path = write(dir, "t.pbm", std::vector<std::uint8_t>(plain.begin(), plain.end()));
    bitmap_ptr bm(_getimg_bmap(path.c_str()));
    ASSERT_TRUE(bm);
    EXPECT_EQ(rgb_at(bm.get(), 0, 0)[0], 0);
    EXPECT_EQ(rgb_at(bm.get(), 1, 0)[0], 255);
    EXPECT_EQ(rgb_at(bm.get(), 1, 1)[1], 0);
    std::vector<std::uint8_t> bin{'P', '4', '\n', '9', ' ', '1', '\n', 0x80, 0x80};
    bitmap_ptr b2(_getimg_bmap(write(dir, "u.pbm", bin).c_str()));
    ASSERT_TRUE(b2);
    EXPECT_EQ(rgb_at(b2.get(), 0, 0)[2], 0);
    EXPECT_EQ(rgb_at(b2.get(), 8, 0)[2], 0);
    EXPECT_EQ(rgb_at(b2.get(), 7, 0)[2], 255);
}

// Broken files fail; the box, where one shows, names the operation and the fault.
TEST_F(RowReaders, BrokenFilesFailWithTheirBoxOrNone)
{
    const picture p = gradient(20, 20);
    const std::string head = "P6\n60000 60000\n255\n";
    std::vector<std::uint8_t> cut_tga = tga(p, false, false), cut_ppm = ppm(p, true), huge(head.begin(), head.end());
    cut_tga.resize(cut_tga.size() - 30);
    cut_ppm.resize(cut_ppm.size() / 2);
    huge.resize(huge.size() + 100, 7);
    enum Entry { size, bitmap, jpeg_slot };
    struct Row { const char* name; std::vector<std::uint8_t> bytes; Entry entry; const char* box; };   // box: "" none
    const Row rows[] = {
        {"v.gif", {'X', 'Y', 'Z'}, size, ""},   // unknown first byte
        {"w.gif", {}, bitmap, ""},
        {"x.gif", {'G', 'I', 'F', '8', '9', 'a'}, bitmap, "at function _getimg_size"},
        // a whole screen descriptor, then a record type that does not exist: the error
        // exit frees the reader's pool before giflib's handle is closed
        {"bad.gif", {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0, 0, 0, 0x99, 0x99}, jpeg_slot, "at function _getimg_size"},
        {"y.ppm", huge, size, "larger than its file"},
        // a Targa whose run-length packets claim far more than the file holds
        {"z.tga", {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 24, 0, 0xFF, 1, 2, 3}, bitmap, nullptr},
        {"a1.tga", cut_tga, bitmap, nullptr},   // nullptr: a box or none
        {"a2.ppm", cut_ppm, bitmap, nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string path = write(dir, r.name, r.bytes);
        const std::size_t boxes = watcher.boxes().size();
        int w, h, xd, yd;
        if (r.entry == size)
            EXPECT_EQ(_getimg_size(path.c_str(), &w, &h, &xd, &yd), 0);
        else
            EXPECT_EQ(bitmap_ptr(r.entry == bitmap ? _getimg_bmap(path.c_str()) : _getjpg_bmap(path.c_str(), 1, 0)),
                      nullptr);
        EXPECT_EQ(_imgerr(), 1);
        if (r.box && !*r.box) {
            EXPECT_EQ(watcher.boxes().size(), boxes);
        } else if (r.box) {
            ASSERT_EQ(watcher.boxes().size(), boxes + 1);
            EXPECT_EQ(watcher.boxes().back().caption, "Jpeg-Lib Error");
            EXPECT_NE(watcher.boxes().back().text.find(r.box), std::string::npos) << watcher.boxes().back().text;
        }
    }
}

} // namespace
