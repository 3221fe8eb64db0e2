// DIB blocks and BMP files written by the runtime: the exact layout, round trips,
// page capture, failures that leave files alone, and other programs reading them.
#include "image_test_util.h"
#include "ostrel/image.h"
#include "ostrel/pages.h"
#include "platform/gdi/winclip.h"
#include "platform/gdi/wingdi.h"

#include <gtest/gtest.h>
#include <QImage>

#include <cstring>
#include <filesystem>

namespace {

std::uint32_t le32(const Bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
unsigned le16(const Bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8);
}

BmapPtr three_by_two()
{
    // top row: red, green, blue; bottom row: white, black, grey
    const std::uint32_t p[6] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};
    BmapPtr bm = make_bmap(3, 2, [&](int x, int y) { return p[y * 3 + x]; });
    for (int y = 0; y < 2; ++y)   // garbage in the padding must not reach the file
        std::memset(bm->bits + y * bm->stride + 9, 0xAB, 3);
    bm->set_ppm(2835, 5670);
    return bm;
}

// The 78-byte file of the 3 x 2 picture as the tests' own writer makes it: the
// bottom row (white, black, grey) first, then the top row (red, green, blue), in
// blue-green-red order, each padded to 12 bytes.
Bytes file_78(std::int32_t xppm, std::int32_t yppm)
{
    const Bytes rows = {0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0x80, 0x80, 0, 0, 0,
                        0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0};
    return bmp_file(3, 2, 24, 0, {}, rows, xppm, yppm);
}

} // namespace

TEST(BmapToDib, HeaderAndBottomUpRows)
{
    BmapPtr bm = three_by_two();
    int total = 0;
    HGLOBAL block = _bmap_to_dib(bm.get(), &total);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(total, 40 + 24);
    const auto* p = static_cast<const unsigned char*>(GlobalLock(block));
    ASSERT_NE(p, nullptr);
    Bytes b(p, p + total);
    GlobalUnlock(block);
    GlobalFree(block);
    const Bytes file = file_78(2835, 5670);   // the block is the file without its 14-byte head
    EXPECT_EQ(b, Bytes(file.begin() + 14, file.end()));
    EXPECT_EQ(_bmap_to_dib(nullptr, &total), nullptr);
}

TEST(BmapSaveBmp, SeventyEightBytesForThreeByTwo)
{
    TempDir d;
    BmapPtr bm = three_by_two();
    ASSERT_EQ(_bmap_savebmp(d.file("a.bmp").c_str(), bm.get()), 1);
    EXPECT_EQ(read_file(d.file("a.bmp")), file_78(2835, 5670));
}

TEST(BmapSaveBmp, RoundTripKeepsPixelsAndResolution)
{
    TempDir d;
    BmapPtr bm = make_bmap(37, 21, [](int x, int y) { return std::uint32_t(x * 6 + y * 0x1100 + x * y * 0x10000); });
    bm->set_dpi(300, 600);
    const std::string name = d.file("round.BMP");
    ASSERT_EQ(_bmap_savebmp(name.c_str(), bm.get()), 1);
    BmapPtr back(_getfile_bmap(name.c_str(), 1.0, 0));
    ASSERT_TRUE(back);
    EXPECT_TRUE(same_pixels(bm.get(), back.get()));
    EXPECT_EQ(back->info.bmiHeader.biXPelsPerMeter, bm->info.bmiHeader.biXPelsPerMeter);
    EXPECT_EQ(back->info.bmiHeader.biYPelsPerMeter, bm->info.bmiHeader.biYPelsPerMeter);
    int w, h, xd, yd;
    ASSERT_EQ(_getfile_size(name.c_str(), &w, &h, &xd, &yd), 1);
    EXPECT_EQ(w, 37);
    EXPECT_EQ(h, 21);
    EXPECT_EQ(xd, 300);
    EXPECT_EQ(yd, 600);
}

TEST(BmapSaveBmp, FailuresGiveZero)
{
    TempDir d;
    BmapPtr bm = three_by_two();
    EXPECT_EQ(_bmap_savebmp(d.file("no/such/dir/a.bmp").c_str(), bm.get()), 0);
    EXPECT_FALSE(std::filesystem::exists(d.file("no/such/dir/a.bmp")));
    EXPECT_EQ(_bmap_savebmp(nullptr, bm.get()), 0);
    EXPECT_EQ(_bmap_savebmp(d.file("n.bmp").c_str(), nullptr), 0);
}

TEST(BmapSaveBmp, OtherProgramsReadTheSamePixels)
{
    TempDir d;
    BmapPtr bm = make_bmap(29, 13, [](int x, int y) { return std::uint32_t((x * 9) << 16 | (y * 19) << 8 | (x ^ y) * 7); });
    const std::string name = d.file("out.bmp");
    ASSERT_EQ(_bmap_savebmp(name.c_str(), bm.get()), 1);
    const QImage ref(QString::fromStdString(name), "BMP");   // Qt's own reader
    ASSERT_EQ(ref.size(), QSize(29, 13));
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 29; ++x)
            ASSERT_EQ(ref.pixel(x, y) & 0xFFFFFF, px(bm.get(), x, y)) << x << "," << y;
}

class PageCapture : public ::testing::Test {
protected:
    int page = 3901;
    void TearDown() override { _delpage(page); }
    void make_page() { ASSERT_GT(_bmap_to_page(three_by_two().get(), page, 0, 0), 0); }
};

TEST_F(PageCapture, ThreeByTwoPageIsASeventyEightByteFile)
{
    make_page();
    TempDir d;
    ASSERT_EQ(_savebmp(d.file("p.bmp").c_str(), page, 24), 1);
    EXPECT_EQ(read_file(d.file("p.bmp")), file_78(0, 0));   // as the query of the page bitmap leaves them
}

TEST_F(PageCapture, PageToDibAtThirtyTwoBits)
{
    make_page();
    int total = 0;
    HGLOBAL block = _page_to_dib(page, &total, 32);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(total, 40 + 3 * 4 * 2);
    const auto* p = static_cast<const unsigned char*>(GlobalLock(block));
    Bytes b(p, p + total);
    GlobalUnlock(block);
    GlobalFree(block);
    EXPECT_EQ(le16(b, 14), 32u);
    EXPECT_EQ(le32(b, 20), 24u);
    EXPECT_EQ(b[40 + 12], 0);      // top row (second in the block) starts with red: B G R
    EXPECT_EQ(b[40 + 14], 0xFF);
    EXPECT_EQ(_page_to_dib(page, &total, 8), nullptr);   // depths with a colour table are not made
}

TEST_F(PageCapture, MissingDirectoryGivesZeroAndNoFile)
{
    make_page();
    TempDir d;
    const std::string name = d.file("missing/dir/p.bmp");
    EXPECT_EQ(_savebmp(name.c_str(), page, 24), 0);
    EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(PageCapture, NoPageLeavesAnExistingFileAlone)
{
    TempDir d;
    const std::string name = d.file("keep.bmp");
    write_file(name, Bytes{1, 2, 3});
    EXPECT_EQ(_savebmp(name.c_str(), 3999, 24), 0);
    EXPECT_EQ(read_file(name), (Bytes{1, 2, 3}));
    EXPECT_EQ(_page_to_bmpfile(nullptr, page, 24), 0);
}

TEST_F(PageCapture, PageToBmpfileOnAnOpenStream)
{
    make_page();
    TempDir d;
    FILE* f = std::fopen(d.file("s.bmp").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(_page_to_bmpfile(f, page, 24), 1);
    std::fclose(f);
    EXPECT_EQ(read_file(d.file("s.bmp")).size(), 78u);
}
