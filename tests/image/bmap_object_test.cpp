// The bitmap object: sizes, header, resolution, copies and ownership of the rows.
#include "image_test_util.h"
#include "ostrel/pages.h"

#include <gtest/gtest.h>

TEST(BmapSizes, BytesPalettesAndSaneSizes)
{
    struct { int w, h, depth, bytes; } rows[] = {
        {3, 2, 24, 24}, {4, 1, 24, 12}, {5, 3, 8, 24}, {1, 1, 32, 4},
        {1, 1, 1, 0},               // depth / 8 is integer division
        {100000, 100000, 24, -1},   // overflows
        {-5, 3, 24, -1},
    };
    for (const auto& r : rows)
        EXPECT_EQ(_bmap_bytes(r.w, r.h, r.depth), r.bytes) << r.w << "x" << r.h << "x" << r.depth;
    struct { int bits; unsigned used; int bytes; } palettes[] = {{8, 0, 1024}, {1, 0, 8}, {4, 0, 64}, {4, 5, 20},
                                                                  {24, 0, 0}, {16, 0, 0}};
    for (const auto& p : palettes) {
        ostrel_bitmapinfoheader h{};
        h.biBitCount = static_cast<std::uint16_t>(p.bits);
        h.biClrUsed = p.used;
        EXPECT_EQ(_palette_bytes(&h), p.bytes) << p.bits << " bits, " << p.used << " used";
    }
    // headers inside file buffers sit at offset 14; reading them must not assume alignment
    alignas(4) unsigned char buf[64] = {};
    unsigned char* h = buf + 14;
    h[0] = 40;
    h[14] = 8;    // biBitCount
    h[32] = 3;    // biClrUsed
    EXPECT_EQ(_palette_bytes(reinterpret_cast<const ostrel_bitmapinfoheader*>(h)), 12);

    EXPECT_TRUE(_bmap_size_ok(6000, 4000));
    for (auto [w, h2] : {std::pair{0, 10}, {10, -1}, {70000, 70000}, {0x7FFFFFFF, 0x7FFFFFFF}})
        EXPECT_FALSE(_bmap_size_ok(w, h2)) << w << "x" << h2;
    EXPECT_EQ(_bmap_try_new(70000, 70000), nullptr);
    BmapPtr ok(_bmap_try_new(7, 3));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->stride, 24);
    EXPECT_EQ(ok->size, 72);
}

TEST(BmapResolution, Conversions)
{
    for (auto [dpi, ppm] : {std::pair{96, 3780}, {72, 2835}, {1440, 56693}})
        EXPECT_EQ(_dpi_to_ppm(dpi), ppm);
    for (auto [ppm, dpi] : {std::pair{3780, 96}, {2835, 72}, {0, 0}})
        EXPECT_EQ(_ppm_to_dpi(ppm), dpi);
}

TEST(BmapObject, ConstructorFillsFieldsAndTopDownHeaderAtTheScreensResolution)
{
    _bmap bm(3, 2, 24);
    EXPECT_EQ(bm.width, 3);
    EXPECT_EQ(bm.height, 2);
    EXPECT_EQ(bm.stride, 12);
    EXPECT_EQ(bm.size, 24);
    EXPECT_EQ(bm.depth, 24);
    EXPECT_EQ(bm.shared, 0);
    ASSERT_NE(bm.bits, nullptr);
    const auto& h = bm.info.bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 3);
    EXPECT_EQ(h.biHeight, -2);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression | h.biSizeImage | h.biClrUsed | h.biClrImportant, 0u);
    // no known resolution: the screen's, 96 dpi on the offscreen platform
    EXPECT_EQ(h.biXPelsPerMeter, 3780);
    EXPECT_EQ(h.biYPelsPerMeter, 3780);
    bm.set_dpi(300, 150);
    EXPECT_EQ(h.biXPelsPerMeter, 11811);
    EXPECT_EQ(h.biYPelsPerMeter, 5906);
    bm.set_ppm(1000, 2000);
    bm.update_info();
    EXPECT_EQ(h.biXPelsPerMeter, 1000);
    EXPECT_EQ(h.biYPelsPerMeter, 2000);

    _bmap empty;
    EXPECT_EQ(empty.width | empty.height | empty.shared, 0);
    EXPECT_EQ(empty.bits, nullptr);
    EXPECT_EQ(empty.info.bmiHeader.biXPelsPerMeter | empty.info.bmiHeader.biYPelsPerMeter, 0);
}

TEST(BmapObject, CopyIsDeep)
{
    BmapPtr a = make_bmap(5, 4, [](int x, int y) { return std::uint32_t(x * 40 + y); });
    a->set_ppm(1234, 4321);
    _bmap b(*a);
    EXPECT_NE(b.bits, a->bits);
    EXPECT_TRUE(same_pixels(a.get(), &b));
    EXPECT_EQ(b.info.bmiHeader.biXPelsPerMeter, 1234);
    EXPECT_EQ(b.stride, a->stride);
    b.bits[0] ^= 0xFF;
    EXPECT_FALSE(same_pixels(a.get(), &b));
}

TEST(BmapObject, ReleaseEmptiesOwnedRowsOnly)
{
    _bmap a(4, 4, 24);
    a.release();
    EXPECT_EQ(a.bits, nullptr);
    EXPECT_EQ(a.width | a.height, 0);

    unsigned char rows[48];
    _bmap s;
    s.width = 4;
    s.height = 4;
    s.bits = rows;
    s.shared = 1;
    s.release();   // the rows belong to someone else: untouched
    EXPECT_EQ(s.bits, rows);
    EXPECT_EQ(s.width, 4);
    s.bits = nullptr;
}
