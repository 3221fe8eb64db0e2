// Every decoder against cut and corrupted versions of good files: each call ends
// with a result (never a crash, overrun or runaway allocation; the sanitizer build
// checks the rest), and a result bitmap is always complete in size.
#include "decoder_test_support.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include <random>

using namespace fixtures;

namespace {

struct entry_set {
    const char* name;   // file name (its extension routes JPEG vs row readers)
    std::vector<std::uint8_t> bytes;
};

// A bitmap must be whole: the size its header claims (the size entry must then have
// read that header too), rows of stride bytes inside its block.
void expect_whole(const _bmap* bm, bool sized, int w, int h, const std::string& path)
{
    if (!bm)
        return;
    EXPECT_TRUE(sized) << path << ": a picture whose size could not be read";
    EXPECT_EQ(bm->width, w) << path;
    EXPECT_EQ(bm->height, h) << path;
    EXPECT_GE(bm->stride, bm->width * 3) << path;
    EXPECT_GE(bm->size, bm->stride * bm->height) << path;
}

// Every entry of the file's format (by extension: .img for the row readers); each
// result is null or whole, a reduced JPEG a quarter each way rounded up.
void try_all(const std::string& path)
{
    int w = 0, h = 0, xd, yd;
    const std::string ext = path.substr(path.rfind('.'));
    const char* p = path.c_str();
    const bool jpeg = ext == ".jpg" || ext == ".gif";
    const bool sized = jpeg             ? _getjpg_size(p, &w, &h, &xd, &yd)
                       : ext == ".img" ? _getimg_size(p, &w, &h, &xd, &yd)
                       : ext == ".png" ? _getpng_size(p, &w, &h, &xd, &yd)
                       : ext == ".psd" ? _getpsd_size(p, &w, &h)
                                       : _getspi_size(p, &w, &h, &xd, &yd);
    bitmap_ptr a(jpeg ? _getjpg_bmap(p, 1, 0)
                      : ext == ".img" ? _getimg_bmap(p)
                      : ext == ".png" ? _getpng_bmap(p)
                      : ext == ".psd" ? _getpsd_bmap(p) : _getspi_bmap(p));
    expect_whole(a.get(), sized, w, h, path);
    if (jpeg) {
        bitmap_ptr b(_getjpg_bmap(p, 4, 1));
        expect_whole(b.get(), sized, ext == ".gif" ? w : (w + 3) / 4, ext == ".gif" ? h : (h + 3) / 4, path);
    }
}

class Hostile : public ::testing::Test {
protected:
    void SetUp() override { old_ = _imgerr_showboxes(0); }
    void TearDown() override { _imgerr_showboxes(old_); }
    QTemporaryDir dir;
    int old_ = 1;

    std::vector<entry_set> samples()
    {
        picture g = gradient(24, 19);
        picture pal = flat(24, 19, 0, 0, 0);
        for (int y = 0; y < 19; ++y)
            for (int x = 0; x < 24; ++x)
                pal.at(x, y)[(x + y) % 3] = static_cast<std::uint8_t>(((x * y) % 4) * 60);
        jpeg_options prog;
        prog.progressive = true;
        return {
            {"a.jpg", jpeg(g)},
            {"b.jpg", jpeg(g, prog)},
            {"c.gif", gif(pal, false)},
            {"d.gif", gif(pal, true)},
            {"e.img", bmp24(g, false)},
            {"f.img", bmp8(pal)},
            {"g.img", tga(pal, true, false)},
            {"h.img", ppm(g, false)},
            {"i.img", pgm(g, true)},
            {"j.png", png_rgb(24, 19, 3, g.rgb, 0, true)},
            {"k.png", png_indexed(3, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 128}, 1, {0, 1, 2})},
            {"l.psd", psd(g, 3, true)},
            {"m.psd", psd(pal, 0, true)},
            {"n.tif", tiff(g)},
        };
    }
};

TEST_F(Hostile, EveryPrefixOfAGoodFile)
{
    for (const entry_set& s : samples()) {
        const std::size_t n = s.bytes.size();
        const std::size_t step = n > 400 ? n / 400 : 1;
        for (std::size_t cut = 0; cut < n; cut += step) {
            std::vector<std::uint8_t> part(s.bytes.begin(), s.bytes.begin() + static_cast<long>(cut));
            try_all(write(dir, s.name, part));
        }
    }
}

TEST_F(Hostile, RandomByteDamage)
{
    std::mt19937 rng(1961);
    for (const entry_set& s : samples()) {
        for (int round = 0; round < 150; ++round) {
            std::vector<std::uint8_t> bytes = s.bytes;
            int hits = 1 + static_cast<int>(rng() % 6);
            for (int k = 0; k < hits; ++k) {
                std::size_t at = rng() % bytes.size();
                // headers matter most: aim a third of the hits at the first 64 bytes
                if (k % 3 == 0)
                    at = rng() % std::min<std::size_t>(64, bytes.size());
                bytes[at] = static_cast<std::uint8_t>(rng() % 3 == 0 ? 0xFF : rng());
            }
            try_all(write(dir, s.name, bytes));
        }
    }
}

TEST_F(Hostile, EndlessRunLengthPackets)
{
    // 8BPS PackBits planes that repeat forever: decoding stops at the picture's end
    std::vector<std::uint8_t> head = psd(flat(64, 64, 1, 1, 1), 1, true);
    std::vector<std::uint8_t> bytes(head.begin(), head.begin() + 40 + 64 * 2);
    for (int i = 0; i < 5000; ++i) {
        bytes.push_back(0x81);
        bytes.push_back(0x42);
    }
    bitmap_ptr bm(_getpsd_bmap(write(dir, "run.psd", bytes).c_str()));
    ASSERT_TRUE(bm);
    EXPECT_EQ(rgb_at(bm.get(), 63, 63)[0], 0x42);
    // a Targa made of nothing but repeat packets
    std::vector<std::uint8_t> t{0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 8, 0, 24, 0};
    for (int i = 0; i < 1000; ++i) {
        t.push_back(0xFF);
        t.push_back(1); t.push_back(2); t.push_back(3);
    }
    bitmap_ptr tb(_getimg_bmap(write(dir, "run.tga", t).c_str()));
    ASSERT_TRUE(tb);
    EXPECT_EQ(rgb_at(tb.get(), 7, 7), (std::array<int, 3>{3, 2, 1}));
}

} // namespace
