// The bitmap object: sizes, header, resolution, copies and ownership of the rows.
#include "image_test_util.h"
#include "ostrel/pages.h"

#include <gtest/gtest.h>

TEST(BmapSizes, BytesRoundRowsUpToFourBytes)
{
    EXPECT_EQ(_bmap_bytes(3, 2, 24), 24);     // 9 bytes -> 12 per row
    EXPECT_EQ(_bmap_bytes(4, 1, 24), 12);
    EXPECT_EQ(_bmap_bytes(5, 3, 8), 24);      // 5 -> 8 per row
    EXPECT_EQ(_bmap_bytes(1, 1, 32), 4);
    EXPECT_EQ(_bmap_bytes(1, 1, 1), 0);       // depth / 8 is integer division
}

TEST(BmapSizes, BytesThatOverflowAreRefused)
{
    EXPECT_EQ(_bmap_bytes(100000, 100000, 24), -1);
    EXPECT_EQ(_bmap_bytes(-5, 3, 24), -1);
}

TEST(BmapSizes, PaletteBytes)
{
    ostrel_bitmapinfoheader h{};
    h.biBitCount = 8;
    EXPECT_EQ(_palette_bytes(&h), 1024);
    h.biBitCount = 1;
    EXPECT_EQ(_palette_bytes(&h), 8);
    h.biBitCount = 4;
    EXPECT_EQ(_palette_bytes(&h), 64);
    h.biClrUsed = 5;
    EXPECT_EQ(_palette_bytes(&h), 20);
    h.biClrUsed = 0;
    h.biBitCount = 24;
    EXPECT_EQ(_palette_bytes(&h), 0);
    h.biBitCount = 16;
    EXPECT_EQ(_palette_bytes(&h), 0);
}

TEST(BmapSizes, SaneSizes)
{
    EXPECT_TRUE(_bmap_size_ok(6000, 4000));
    EXPECT_FALSE(_bmap_size_ok(0, 10));
    EXPECT_FALSE(_bmap_size_ok(10, -1));
    EXPECT_FALSE(_bmap_size_ok(70000, 70000));        // 14.7 GB
    EXPECT_FALSE(_bmap_size_ok(0x7FFFFFFF, 0x7FFFFFFF));
    EXPECT_EQ(_bmap_try_new(70000, 70000), nullptr);
    BmapPtr ok(_bmap_try_new(7, 3));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->stride, 24);
    EXPECT_EQ(ok->size, 72);
}

TEST(BmapResolution, Conversions)
{
    EXPECT_EQ(_dpi_to_ppm(96), 3780);
    EXPECT_EQ(_dpi_to_ppm(72), 2835);
    EXPECT_EQ(_dpi_to_ppm(1440), 56693);
    EXPECT_EQ(_ppm_to_dpi(3780), 96);
    EXPECT_EQ(_ppm_to_dpi(2835), 72);
    EXPECT_EQ(_ppm_to_dpi(0), 0);
}

TEST(BmapObject, ConstructorFillsFieldsAndTopDownHeader)
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
    EXPECT_EQ(h.biCompression, 0u);
    EXPECT_EQ(h.biSizeImage, 0u);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(h.biClrImportant, 0u);
}

TEST(BmapObject, UnknownResolutionBecomesTheScreens)
{
    _bmap bm(2, 2, 24);
    EXPECT_EQ(bm.info.bmiHeader.biXPelsPerMeter, _dpi_to_ppm(_dpix() > 0 ? _dpix() : 96));
    EXPECT_EQ(bm.info.bmiHeader.biYPelsPerMeter, _dpi_to_ppm(_dpiy() > 0 ? _dpiy() : 96));
}

TEST(BmapObject, SetDpiAndPpmAreKeptByUpdateInfo)
{
    _bmap bm(2, 2, 24);
    bm.set_dpi(300, 150);
    EXPECT_EQ(bm.info.bmiHeader.biXPelsPerMeter, 11811);
    EXPECT_EQ(bm.info.bmiHeader.biYPelsPerMeter, 5906);
    bm.set_ppm(1000, 2000);
    bm.update_info();
    EXPECT_EQ(bm.info.bmiHeader.biXPelsPerMeter, 1000);
    EXPECT_EQ(bm.info.bmiHeader.biYPelsPerMeter, 2000);
}

TEST(BmapObject, EmptyConstructor)
{
    _bmap bm;
    EXPECT_EQ(bm.width, 0);
    EXPECT_EQ(bm.height, 0);
    EXPECT_EQ(bm.bits, nullptr);
    EXPECT_EQ(bm.shared, 0);
    EXPECT_EQ(bm.info.bmiHeader.biXPelsPerMeter, 0);
    EXPECT_EQ(bm.info.bmiHeader.biYPelsPerMeter, 0);
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
    EXPECT_EQ(a.width, 0);
    EXPECT_EQ(a.height, 0);

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

TEST(BmapSizes, PaletteBytesOfAHeaderAtAnOddAddress)
{
    // headers inside file buffers sit at offset 14; reading them must not assume alignment
    alignas(4) unsigned char buf[64] = {};
    unsigned char* h = buf + 14;
    h[0] = 40;
    h[14] = 8;    // biBitCount
    h[32] = 3;    // biClrUsed
    EXPECT_EQ(_palette_bytes(reinterpret_cast<const ostrel_bitmapinfoheader*>(h)), 12);
}
