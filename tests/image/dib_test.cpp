// Packed DIBs to bitmaps: the two layouts of the plain conversion, and the full
// reader's bit depths, compressions and refusals of hostile headers.
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A packed DIB (header, palette, rows) from the pieces of bmp_file.
Bytes dib_of(const Bytes& file)
{
    return Bytes(file.begin() + 14, file.end());
}

std::vector<std::uint32_t> gradient(int w, int h)
{
    std::vector<std::uint32_t> p(w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p[y * w + x] = (std::uint32_t(x * 37 % 256) << 16) | (std::uint32_t(y * 53 % 256) << 8) | ((x + y) * 11 % 256);
    return p;
}

void expect_pixels(const _bmap* bm, int w, int h, const std::vector<std::uint32_t>& p)
{
    ASSERT_NE(bm, nullptr);
    ASSERT_EQ(bm->width, w);
    ASSERT_EQ(bm->height, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(px(bm, x, y), p[y * w + x]) << "at " << x << "," << y;
}

} // namespace

TEST(DibToBmap, EightBitWidthNotMultipleOfFourHasNoSkew)
{
    const int w = 5, h = 3;
    std::vector<std::uint32_t> pal = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
    std::vector<int> idx(w * h);
    std::vector<std::uint32_t> want(w * h);
    for (int i = 0; i < w * h; ++i) {
        idx[i] = i % 5;
        want[i] = pal[i % 5];
    }
    pal.resize(256, 0);
    Bytes dib = dib_of(bmp_file(w, h, 8, 0, pal, bmp_bytes::rows8(w, h, idx)));
    BmapPtr bm(_dib_to_bmap(dib.data(), dib.data() + 40 + 1024));
    expect_pixels(bm.get(), w, h, want);
    BmapPtr checked(_dib_to_bmap_n(dib.data(), dib.size(), 40 + 1024));
    expect_pixels(checked.get(), w, h, want);
}

TEST(DibToBmap, BottomUpAndTopDownTwinsGiveTheSamePicture)
{
    const int w = 7, h = 4;
    auto p = gradient(w, h);
    Bytes up = dib_of(bmp_file(w, h, 24, 0, {}, rows24(w, h, p, true)));
    Bytes down = dib_of(bmp_file(w, -h, 24, 0, {}, rows24(w, h, p, false)));
    BmapPtr a(_dib_to_bmap(up.data(), up.data() + 40));
    BmapPtr b(_dib_to_bmap(down.data(), down.data() + 40));
    expect_pixels(a.get(), w, h, p);
    expect_pixels(b.get(), w, h, p);
}

TEST(DibToBmap, ResolutionIsTakenAsStoredZeroIncluded)
{
    auto p = gradient(2, 2);
    Bytes d1 = dib_of(bmp_file(2, 2, 24, 0, {}, rows24(2, 2, p), 1111, 2222));
    BmapPtr a(_dib_to_bmap(d1.data(), d1.data() + 40));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->info.bmiHeader.biXPelsPerMeter, 1111);
    EXPECT_EQ(a->info.bmiHeader.biYPelsPerMeter, 2222);
    Bytes d0 = dib_of(bmp_file(2, 2, 24, 0, {}, rows24(2, 2, p), 0, 0));
    BmapPtr b(_dib_to_bmap(d0.data(), d0.data() + 40));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->info.bmiHeader.biXPelsPerMeter, 0);
    EXPECT_EQ(b->info.bmiHeader.biHeight, -2);
}

TEST(DibToBmap, OtherCompressionsAndDepthsGiveNullWhichTheFullReaderTakes)
{
    struct Row { int bpp; unsigned compression; std::vector<std::uint32_t> palette; Bytes rows; };
    const Row rows[] = {{8, 1, std::vector<std::uint32_t>(256), Bytes{0, 1}},
                        {16, 0, {}, Bytes(8, 0)},
                        {32, 0, {}, Bytes(16, 0)},
                        {1, 0, {0, 0xFFFFFF}, Bytes(8, 0)}};
    for (const Row& r : rows) {
        Bytes d = dib_of(bmp_file(2, 2, r.bpp, r.compression, r.palette, r.rows));
        const std::size_t off = 40 + 4 * r.palette.size();
        EXPECT_EQ(_dib_to_bmap(d.data(), d.data() + off), nullptr) << r.bpp;
        if (r.compression == 0) {
            EXPECT_TRUE(BmapPtr(_dib_decode(d.data(), d.size(), off))) << r.bpp;
        }
    }
}

TEST(DibDecode, HeadersClaimingMoreThanTheDataAreRefused)
{
    auto p = gradient(3, 3);
    Bytes ok = dib_of(bmp_file(3, 3, 24, 0, {}, rows24(3, 3, p)));
    EXPECT_TRUE(BmapPtr(_dib_decode(ok.data(), ok.size(), 40)));
    Bytes big = dib_of(bmp_file(30000, 30000, 24, 0, {}, Bytes(12, 0)));   // 12 bytes of rows present
    EXPECT_EQ(_dib_to_bmap_n(big.data(), big.size(), 40), nullptr);
    Bytes header_size = ok;
    header_size[0] = header_size[1] = 0xFF;
    struct Row { const char* what; Bytes dib; std::size_t size, offset; };
    const Row rows[] = {
        {"30000 x 30000", big, big.size(), 40},
        {"pixel count over 32 bits", dib_of(bmp_file(0x7FFFFFFF, 0x7FFFFFFF, 24, 0, {}, Bytes(12, 0))), 52, 40},
        {"one byte short", ok, ok.size() - 1, 40},
        {"height INT_MIN", dib_of(bmp_file(1, INT32_MIN, 24, 0, {}, Bytes(4, 0))), 44, 40},
        {"width 0", dib_of(bmp_file(0, 1, 24, 0, {}, Bytes(4, 0))), 44, 40},
        {"header size beyond the block", header_size, ok.size(), 40},
        {"offset beyond the block", ok, ok.size(), ok.size() + 1},
        {"block shorter than a header", ok, 11, 11},
    };
    for (const Row& r : rows)
        EXPECT_EQ(_dib_decode(r.dib.data(), r.size, r.offset), nullptr) << r.what;
}

TEST(DibDecode, EveryIndexedDepthMatchesTheTwentyFourBitTwin)
{
    const int w = 13, h = 5;
    std::vector<std::uint32_t> pal16 = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int bpp : {1, 2, 4, 8}) {
        const int colours = 1 << bpp;
        std::vector<std::uint32_t> pal(pal16.begin(), pal16.begin() + std::min(colours, 16));
        pal.resize(colours, 0x102030);
        std::vector<std::uint32_t> want(w * h);
        Bytes rows;
        const int row = (w * bpp + 31) / 32 * 4;
        for (int i = 0; i < h; ++i) {
            int y = h - 1 - i;
            Bytes r(row, 0);
            for (int x = 0; x < w; ++x) {
                int idx = (x * 3 + y * 7) % colours;
                want[y * w + x] = pal[idx];
                int bit = x * bpp;
                r[bit / 8] |= idx << (8 - bpp - bit % 8);
            }
            rows.insert(rows.end(), r.begin(), r.end());
        }
        Bytes dib = dib_of(bmp_file(w, h, bpp, 0, pal, rows));
        BmapPtr bm(_dib_decode(dib.data(), dib.size(), 40 + 4 * colours));
        SCOPED_TRACE(bpp);
        expect_pixels(bm.get(), w, h, want);
    }
}

TEST(DibDecode, PixelsOfMasksRunLengthsAndColourTables)
{
    std::vector<std::uint32_t> pal(256, 0);
    pal[1] = 0xFF0000;
    pal[2] = 0x00FF00;
    pal[3] = 0x0000FF;
    const std::vector<std::uint32_t> pal4(pal.begin(), pal.begin() + 16);
    // 8 bits claim 256 colours (biClrUsed 0) but the rows start after 2 entries: no further read
    Bytes cut = dib_of(bmp_file(2, 1, 8, 0, {0x112233, 0x445566}, Bytes{0, 1, 0, 0}));
    cut[32] = 0;
    // OS/2 core header (12 bytes: 16-bit width and height, planes, bit count), RGB triples
    Bytes os2 = {12, 0, 0, 0, 3, 0, 1, 0, 1, 0, 8, 0};
    const unsigned char triples[3][3] = {{0xFF, 0, 0}, {0, 0xFF, 0}, {0, 0, 0xFF}};   // blue, green, red
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            os2.push_back(i < 3 ? triples[i][c] : 0);
    const std::size_t os2_rows = os2.size();
    for (unsigned char v : {0, 1, 2, 0})
        os2.push_back(v);
    struct Row { const char* what; Bytes dib; std::size_t offset; int y; std::vector<std::uint32_t> pixels; };
    const Row rows[] = {
        {"16-bit 5-5-5 (16 of 31 is 131)", dib_of(bmp_file(4, 1, 16, 0, {}, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42})),
         40, 0, {0xFF0000, 0x00FF00, 0x0000FF, 0x838383}},
        {"16-bit 5-6-5 bit fields after the header",
         dib_of(bmp_file(2, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {0x00, 0xF8, 0xE0, 0x07})), 52, 0, {0xFF0000, 0x00FF00}},
        {"32-bit B G R x", dib_of(bmp_file(1, 1, 32, 0, {}, {0x11, 0x22, 0x33, 0x99})), 40, 0, {0x332211}},
        // 6 x 2, bottom row first: 3 x index 1, absolute 2 3 1; end of line; delta one right; one 2; end
        {"RLE8 bottom row", dib_of(bmp_file(6, 2, 8, 1, pal, {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 0, 1, 2, 0, 1})),
         40 + 1024, 1, {0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000}},
        {"RLE8 top row after a delta (untouched: colour 0)",
         dib_of(bmp_file(6, 2, 8, 1, pal, {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 0, 1, 2, 0, 1})), 40 + 1024, 0,
         {0x000000, 0x00FF00, 0x000000}},
        // a run of 5 alternating 1, 2, then absolute 3, 1, 2 (padded), end of picture
        {"RLE4", dib_of(bmp_file(8, 1, 4, 2, pal4, {5, 0x12, 0, 3, 0x31, 0x20, 0, 1})), 40 + 64, 0,
         {0xFF0000, 0x00FF00, 0xFF0000, 0x00FF00, 0xFF0000, 0x0000FF, 0xFF0000, 0x00FF00}},
        {"index beyond the two colours declared: black",
         dib_of(bmp_file(2, 1, 8, 0, {0xFFFFFF, 0xFF0000}, {1, 200, 0, 0})), 48, 0, {0xFF0000, 0x000000}},
        {"colour table cut by the rows' offset", cut, 48, 0, {0x112233, 0x445566}},
        {"OS/2 core header", os2, os2_rows, 0, {0x0000FF, 0x00FF00, 0xFF0000}},
    };
    for (const Row& r : rows) {
        BmapPtr bm(_dib_decode(r.dib.data(), r.dib.size(), r.offset));
        ASSERT_TRUE(bm) << r.what;
        for (std::size_t x = 0; x < r.pixels.size(); ++x)
            EXPECT_EQ(px(bm.get(), static_cast<int>(x), r.y), r.pixels[x]) << r.what << " at " << x;
    }
}

TEST(DibDecode, RunLengthStreamsThatRunOffThePictureStayInside)
{
    std::vector<std::uint32_t> pal(256, 0x00FF00);
    // overlong runs, deltas beyond the picture, absolute runs past the data, no end marker
    Bytes nasty = {255, 1, 255, 1, 0, 2, 200, 200, 0, 0, 0, 255, 1, 2};
    Bytes d = dib_of(bmp_file(4, 3, 8, 1, pal, nasty));
    BmapPtr bm(_dib_decode(d.data(), d.size(), 40 + 1024));
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->width, 4);
    // a huge picture claimed by a two-byte stream is refused before allocating
    Bytes tiny = dib_of(bmp_file(20000, 20000, 8, 1, pal, Bytes{0, 1}));
    EXPECT_EQ(_dib_decode(tiny.data(), tiny.size(), 40 + 1024), nullptr);
    // top-down run-length pictures do not exist
    Bytes td = dib_of(bmp_file(4, -3, 8, 1, pal, Bytes{0, 1}));
    EXPECT_EQ(_dib_decode(td.data(), td.size(), 40 + 1024), nullptr);
}
