// Loading by extension: the routes of both dispatchers, the icon fallback, a BMP file
// against its 24-bit twin, and placeable metafiles.
#include "image_test_util.h"
#include "ostrel/image.h"
#include "ostrel/pages.h"
#include "tests/support/pixels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Calls {
    std::string last;
    std::string name;
    int reduction = -99, fast = -99;
    int size_result = 1;
    bool load_null = false;
} g;

int fake_size(const char* tag, const char* name, int* w, int* h, int* xd, int* yd)
{
    g.last = tag;
    g.name = name;
    *w = 50;
    *h = 40;
    if (xd) {
        *xd = 72;
        *yd = 144;
    }
    return g.size_result;
}
int jpeg_size(const char* n, int* w, int* h, int* x, int* y) { return fake_size("jpeg_size", n, w, h, x, y); }
int png_size(const char* n, int* w, int* h, int* x, int* y) { return fake_size("png_size", n, w, h, x, y); }
int psd_size(const char* n, int* w, int* h) { return fake_size("psd_size", n, w, h, nullptr, nullptr); }
int plugin_size(const char* n, int* w, int* h, int* x, int* y) { return fake_size("plugin_size", n, w, h, x, y); }
_bmap* fake_load(const char* tag, const char* name)
{
    g.last = tag;
    g.name = name;
    if (g.load_null)
        return nullptr;
    return new _bmap(5, 5, 24);
}
_bmap* jpeg_load(const char* n, int r, int f)
{
    g.reduction = r;
    g.fast = f;
    return fake_load("jpeg_load", n);
}
_bmap* png_load(const char* n) { return fake_load("png_load", n); }
_bmap* psd_load(const char* n) { return fake_load("psd_load", n); }
_bmap* plugin_load(const char* n) { return fake_load("plugin_load", n); }

class Routing : public ::testing::Test {
protected:
    void SetUp() override
    {
        g = Calls{};
        _setimg_decoders(jpeg_size, png_size, psd_size, plugin_size, jpeg_load, png_load, psd_load, plugin_load);
    }
    void TearDown() override
    {
        _setimg_decoders(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    std::string size_route(const char* name)
    {
        g.last.clear();
        int w, h, x, y;
        _getfile_size(name, &w, &h, &x, &y);
        return g.last;
    }
    std::string load_route(const char* name, double scale = 1.0, int fast = 0)
    {
        g.last.clear();
        delete _getfile_bmap(name, scale, fast);
        return g.last;
    }
};

TEST_F(Routing, ExtensionsChooseTheirSlotsWhateverTheCase)
{
    struct Row { std::vector<const char*> names; const char* slot; };
    const Row rows[] = {
        {{"a.jpg", "a.JPG", "a.Jpeg", "a.jpe", "a.gif", "a.GIF"}, "jpeg"},
        {{"b.PNG", "b.png"}, "png"},
        {{"c.psd", "c.PDD"}, "psd"},
        {{"d.tif", "d.q4", "d.tar.gz", "e.x"}, "plugin"},
        {{"f.bmp", "f.ico", "f.CUR", "f.wmf"}, nullptr},   // read by the runtime itself
    };
    for (const Row& r : rows)
        for (const char* n : r.names) {
            EXPECT_EQ(size_route(n), r.slot ? std::string(r.slot) + "_size" : "") << n;
            EXPECT_EQ(load_route(n), r.slot ? std::string(r.slot) + "_load" : "") << n;
            if (r.slot) {
                EXPECT_EQ(g.name, n);
            }
        }
}

TEST_F(Routing, JpegLoadTakesTheTruncatedScaleAndFastFlag)
{
    load_route("p.jpg", 2.9, 1);
    EXPECT_EQ(g.reduction, 2);
    EXPECT_EQ(g.fast, 1);
    load_route("p.jpg", 1e300, 0);   // no undefined conversion
    EXPECT_EQ(g.fast, 0);
}

TEST_F(Routing, PsdResolutionStaysZero)
{
    int w = 0, h = 0, x = -1, y = -1;
    ASSERT_EQ(_getfile_size("c.psd", &w, &h, &x, &y), 1);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ASSERT_EQ(_getfile_size("c.png", &w, &h, &x, &y), 1);
    EXPECT_EQ(x, 72);
    EXPECT_EQ(y, 144);
}

TEST_F(Routing, NamesWithoutADotFailAtOnce)
{
    int w = 7, h = 7, x = 7, y = 7;
    EXPECT_EQ(_getfile_size("noext", &w, &h, &x, &y), 0);
    EXPECT_EQ(g.last, "");
    EXPECT_EQ(_getfile_bmap("noext", 1.0, 0), nullptr);
    EXPECT_EQ(g.last, "");
    // a dot in a directory name is not an extension
    EXPECT_EQ(_getfile_size("some.dir/noext", &w, &h, &x, &y), 0);
    EXPECT_EQ(_getfile_bmap("some.dir/noext", 1.0, 0), nullptr);
    EXPECT_EQ(_getfile_size(nullptr, &w, &h, &x, &y), 0);
    EXPECT_EQ(_getfile_size("a.bmp", nullptr, &h, &x, &y), 0);
}

TEST_F(Routing, FailedSizeFallsBackToTheIconSize)
{
    g.size_result = 0;
    int w = 0, h = 0, x = 0, y = 0;
    ASSERT_EQ(_getfile_size("a.tar.gz", &w, &h, &x, &y), 1);
    EXPECT_EQ(w, icon_w());
    EXPECT_EQ(x, 96);   // the screen's, on the offscreen platform
}

TEST_F(Routing, FailedLoadFallsBackToTheIconAtTheFilesSize)
{
    g.load_null = true;
    BmapPtr bm(_getfile_bmap("pic.tar.gz", 1.0, 0));
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->width, 50);   // the size entry still answers
    EXPECT_EQ(bm->height, 40);
    EXPECT_EQ(bm->info.bmiHeader.biXPelsPerMeter, _dpi_to_ppm(72));
    EXPECT_EQ(bm->info.bmiHeader.biYPelsPerMeter, _dpi_to_ppm(144));
    // something was drawn in the top-left corner, the rest is background
    bool drawn = false;
    for (int y = 0; y < icon_w() && y < 40; ++y)
        for (int x = 0; x < icon_w() && x < 50; ++x)
            drawn |= px(bm.get(), x, y) != px(bm.get(), 49, 39);
    EXPECT_TRUE(drawn);
}

TEST(Loading, UnregisteredSlotsMissingFilesAndCursorsTakeTheSystemMetrics)
{
    _setimg_decoders(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    int w = 0, h = 0, x = 0, y = 0;
    ASSERT_EQ(_getfile_size("photo.jpg", &w, &h, &x, &y), 1);
    EXPECT_EQ(w, icon_w());
    BmapPtr bm(_getfile_bmap("photo.jpg", 1.0, 0));
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->width, icon_w());
    // a missing file with an extension: the icon size at the screen's resolution
    ASSERT_NE(_getfile_size("/nonexistent/dir/missing.bmp", &w, &h, &x, &y), 0);
    int iw, ih, ix, iy;
    _geticon_size("missing.bmp", &iw, &ih, &ix, &iy);
    EXPECT_EQ(w, iw);
    EXPECT_EQ(h, ih);
    EXPECT_EQ(x, 96);   // the offscreen platform's screen
    EXPECT_EQ(y, 96);
    EXPECT_GT(w, 0);
    ASSERT_EQ(_getcursor_size("a.cur", &w, &h, &x, &y), 1);
    EXPECT_GT(w, 0);
    EXPECT_EQ(x, 96);
}

// The extension's route reaches the full reader (its depths and compressions:
// dib_test.cpp); the plain reader takes only 8 and 24 bits.
TEST(LoadingBmp, OneBitFileGivesTheSamePixelsAsTheTwentyFourBitTwin)
{
    TempDir d;
    const int w = 16, h = 6;
    auto white = [](int x, int y) { return COLORREF((x + y) % 3 == 0); };
    std::vector<std::uint32_t> bw(w * h);
    for (int i = 0; i < w * h; ++i)
        bw[i] = white(i % w, i / w) ? 0xFFFFFF : 0x000000;
    PackedDib one = packed_dib(w, h, 1, false, white);
    const Bytes rows1(one.rows(), one.data() + one.bytes);
    write_file(d.file("bw24.bmp"), bmp_file(w, h, 24, 0, {}, rows24(w, h, bw)));
    write_file(d.file("bw1.bmp"), bmp_file(w, h, 1, 0, {0x000000, 0xFFFFFF}, rows1));
    BmapPtr a(_getfile_bmap(d.file("bw24.bmp").c_str(), 1.0, 0));
    BmapPtr b(_getfile_bmap(d.file("bw1.bmp").c_str(), 1.0, 0));
    EXPECT_TRUE(same_pixels(a.get(), b.get()));
    EXPECT_EQ(_readbmp_bmap(d.file("bw1.bmp").c_str()), nullptr);
    BmapPtr c(_readbmp_bmap(d.file("bw24.bmp").c_str()));
    EXPECT_TRUE(same_pixels(a.get(), c.get()));
}

TEST(LoadingBmp, SizeAsStoredIncludingATopDownHeight)
{
    TempDir d;
    write_file(d.file("td.bmp"), bmp_file(4, -3, 24, 0, {}, Bytes(3 * 16, 0x40), 3780, 11811));
    int w, h, x, y;
    ASSERT_EQ(_getbmp_size(d.file("td.bmp").c_str(), &w, &h, &x, &y), 1);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, -3);
    EXPECT_EQ(x, 96);
    EXPECT_EQ(y, 300);
    write_file(d.file("bad.bmp"), Bytes{'X', 'M', 0, 0});
    EXPECT_EQ(_getbmp_size(d.file("bad.bmp").c_str(), &w, &h, &x, &y), 0);
    EXPECT_EQ(_getbmp_size(d.file("none.bmp").c_str(), &w, &h, &x, &y), 0);
}

TEST(LoadingBmp, BrokenBmpShowsTheIconAtIconSize)
{
    TempDir d;
    Bytes f = bmp_file(20000, 20000, 24, 0, {}, Bytes(64, 0));   // claims far more than it holds
    write_file(d.file("broken.bmp"), f);
    BmapPtr bm(_getfile_bmap(d.file("broken.bmp").c_str(), 1.0, 0));
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->width, icon_w());
}

Bytes placeable_wmf(int right, int bottom, int inch)
{
    Bytes b;
    bmp_bytes::put32(b, 0x9AC6CDD7);
    for (int v : {0, 0, 0, right, bottom, inch})
        bmp_bytes::put16(b, static_cast<unsigned>(v));
    bmp_bytes::put32(b, 0);
    unsigned sum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        sum ^= b[i] | (b[i + 1] << 8);
    bmp_bytes::put16(b, sum);
    // metafile header (type 1, 9 words, version 0x300, 12 words in all, no objects,
    // largest record 3 words, no parameters) and the end record (3 words, function 0)
    for (unsigned v : {1u, 9u, 0x300u, 12u, 0u, 0u, 3u, 0u, 0u, 3u, 0u, 0u})
        bmp_bytes::put16(b, v);
    return b;
}

} // namespace

TEST(LoadingWmf, PlaceableMetafileSizeAndResolution)
{
    TempDir d;
    write_file(d.file("m.wmf"), placeable_wmf(2880, 1440, 1440));
    int w, h, x, y;
    ASSERT_EQ(_getfile_size(d.file("m.wmf").c_str(), &w, &h, &x, &y), 1);
    EXPECT_EQ(w, 192);   // on the offscreen platform's 96-dpi screen
    EXPECT_EQ(h, 96);
    EXPECT_EQ(x, 96);
    BmapPtr bm(_getfile_bmap(d.file("m.wmf").c_str(), 1.0, 0));
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->width, 192);
    EXPECT_EQ(bm->height, 96);
    EXPECT_EQ(_ppm_to_dpi(bm->info.bmiHeader.biXPelsPerMeter), 1440);
    EXPECT_EQ(_ppm_to_dpi(bm->info.bmiHeader.biYPelsPerMeter), 1440);
    BmapPtr half(_getwmf_bmap(d.file("m.wmf").c_str(), 0.5));
    ASSERT_TRUE(half);
    EXPECT_EQ(half->width, 96);
}

TEST(LoadingWmf, ShortOrUnusableHeadersFail)
{
    TempDir d;
    write_file(d.file("short.wmf"), Bytes(10, 0));
    int w = 5, h = 5, x, y;
    EXPECT_EQ(_getwmf_size(d.file("short.wmf").c_str(), &w, &h, &x, &y), 0);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(_getwmf_bmap(d.file("short.wmf").c_str(), 1.0), nullptr);
    write_file(d.file("zero.wmf"), placeable_wmf(2880, 1440, 0));   // no units per inch
    EXPECT_EQ(_getwmf_size(d.file("zero.wmf").c_str(), &w, &h, &x, &y), 0);
    EXPECT_EQ(_getwmf_bmap(d.file("zero.wmf").c_str(), 1.0), nullptr);
    write_file(d.file("huge.wmf"), placeable_wmf(32767, 32767, 1));   // far beyond any bitmap
    EXPECT_EQ(_getwmf_bmap(d.file("huge.wmf").c_str(), 1.0), nullptr);
    // the size query falls back to the icon; the load to the icon picture
    ASSERT_EQ(_getfile_size(d.file("short.wmf").c_str(), &w, &h, &x, &y), 1);
    EXPECT_EQ(w, icon_w());
}
