// The Windows metafile format: golden bytes of the writer, reading back to the
// same picture, files with the placeable header, and hostile input.
#include "gdi_test_support.h"
#include "platform/gdi/gdi_internal.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {
constexpr COLORREF kWhite = 0xFFFFFF, kRed = 0x0000FF;

TEST(GdiWmf, GoldenBytesOfASmallRecording)
{
    HDC rec = CreateMetaFileA(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 4, kRed);
    SelectObject(rec, pen);
    MoveToEx(rec, 10, 20, nullptr);
    LineTo(rec, 300, -5);
    SetTextColor(rec, 0x123456);
    HMETAFILE mf = CloseMetaFile(rec);
    std::vector<unsigned char> b = wmf_bytes(mf);
    // header(9) + createpen(3+5) + select(3+1) + moveto(3+2) + lineto(3+2) + textcolor(3+2) + eof(3)
    EXPECT_EQ(dump_words(b),
              "0001 0009 0300 0027 0000 0001 0008 0000 0000 "
              "0008 0000 02fa 0000 0004 0000 00ff 0000 "
              "0004 0000 012d 0000 "
              "0005 0000 0214 0014 000a "
              "0005 0000 0213 fffb 012c "
              "0005 0000 0209 3456 0012 "
              "0003 0000 0000 ")
        << dump_words(b);
    DeleteObject(pen);
    DeleteMetaFile(mf);
}

HMETAFILE sample()
{
    HDC rec = CreateMetaFileA(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 0, 0x008000);
    HBRUSH br = CreateSolidBrush(0xFF0000);
    SelectObject(rec, pen);
    SelectObject(rec, br);
    Rectangle(rec, 2, 2, 20, 12);
    Ellipse(rec, 22, 2, 38, 18);
    POINT tri[3] = {{5, 30}, {20, 38}, {5, 38}};
    Polygon(rec, tri, 3);
    Arc(rec, 25, 20, 38, 38, 38, 29, 25, 29);
    SetPixel(rec, 39, 39, kRed);
    HMETAFILE mf = CloseMetaFile(rec);
    DeleteObject(pen);
    DeleteObject(br);
    return mf;
}

// Through bytes in memory and through a file: the same bytes, the same picture.
TEST(GdiWmf, WrittenBytesAndFilesReadBackToTheSamePicture)
{
    QTemporaryDir dir;
    std::string path = dir.filePath("a.wmf").toStdString();
    HMETAFILE mf = sample();
    std::vector<unsigned char> b = wmf_bytes(mf);
    ASSERT_FALSE(b.empty());
    HMETAFILE back = SetMetaFileBitsEx(UINT(b.size()), b.data()), copy = CopyMetaFileA(mf, path.c_str());
    ASSERT_NE(back, nullptr);
    ASSERT_NE(copy, nullptr);
    HMETAFILE loaded = GetMetaFileA(path.c_str());
    EXPECT_EQ(wmf_bytes(back), b);
    EXPECT_EQ(wmf_bytes(loaded), b);
    EXPECT_EQ(GetMetaFileA(dir.filePath("missing.wmf").toStdString().c_str()), nullptr);
    Canvas c1(40, 40), c2(40, 40);
    replay(mf, c1);
    replay(back, c2);
    EXPECT_EQ(c1.img, c2.img);
    EXPECT_GT(c1.count(0xFF0000), 50);
    for (HMETAFILE m : {mf, back, copy, loaded})
        DeleteMetaFile(m);
}

TEST(GdiWmf, PlaceableFilesReadWithTheirBounds)
{
    HMETAFILE mf = sample();
    std::vector<unsigned char> p = gdi_placeable_wmf(mf, 96, RECT{0, 0, 40, 40});
    ASSERT_GT(p.size(), 22u);
    HMETAFILE back = SetMetaFileBitsEx(UINT(p.size()), p.data());
    ASSERT_NE(back, nullptr);
    RECT r{};
    EXPECT_TRUE(gdi_metafile_bounds(back, &r));
    EXPECT_EQ(r.right, 40);
    QImage img = gdi_metafile_image(back, 80, 80);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixel(20, 14), qRgb(0, 0, 255));   // the rectangle at twice the size
    DeleteMetaFile(mf);
    DeleteMetaFile(back);
}

// A 9 x 9 rectangle in a brush of the 8 x 8 one-bit pattern `rows`, red text
// colour, green background, no pen.
HMETAFILE pattern_rectangle(const unsigned char rows[8])
{
    HBRUSH br = mask_brush(rows);
    HDC rec = CreateMetaFileA(nullptr);
    SelectObject(rec, br);
    SelectObject(rec, GetStockObject(NULL_PEN));
    SetTextColor(rec, kRed);
    SetBkColor(rec, 0x00FF00);
    Rectangle(rec, 0, 0, 9, 9);
    HMETAFILE mf = CloseMetaFile(rec);
    DeleteObject(br);
    return mf;
}

TEST(GdiWmf, MonochromeBrushesAreWrittenInTheirColours)
{
    const unsigned char checker[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    HMETAFILE mf = pattern_rectangle(checker);
    std::vector<unsigned char> b = wmf_bytes(mf);
    HMETAFILE back = SetMetaFileBitsEx(UINT(b.size()), b.data());
    ASSERT_NE(back, nullptr);
    Canvas c1(8, 8), c2(8, 8);
    SetTextColor(c2.dc, 0x808080);   // the reader's own colours do not matter
    replay(mf, c1);
    replay(back, c2);
    EXPECT_EQ(c1.at(0, 0), COLORREF(0x00FF00));
    EXPECT_EQ(c1.at(1, 0), kRed);
    EXPECT_EQ(c1.img, c2.img);
    DeleteMetaFile(mf);
    DeleteMetaFile(back);
    // a mask of one colour (all zero bits: the text colour) is written as a solid brush
    const unsigned char zero[8] = {};
    mf = pattern_rectangle(zero);
    std::string d = dump_words(wmf_bytes(mf));
    EXPECT_NE(d.find("02fc 0000 00ff 0000"), std::string::npos) << d;
    EXPECT_EQ(d.find("0142"), std::string::npos) << d;
    DeleteMetaFile(mf);
}

TEST(GdiWmf, HostileBytesNeverFault)
{
    HMETAFILE mf = sample();
    std::vector<unsigned char> good = wmf_bytes(mf);
    DeleteMetaFile(mf);
    std::mt19937 rng(7);
    Canvas c(40, 40);
    for (int round = 0; round < 2000; ++round) {
        std::vector<unsigned char> b = good;
        int flips = 1 + int(rng() % 8);
        for (int i = 0; i < flips; ++i) b[rng() % b.size()] = static_cast<unsigned char>(rng());
        if (round % 3 == 0) b.resize(rng() % b.size());
        HMETAFILE m = SetMetaFileBitsEx(UINT(b.size()), b.data());
        if (m) {
            PlayMetaFile(c.dc, m);
            DeleteMetaFile(m);
        }
    }
    EXPECT_EQ(SetMetaFileBitsEx(0, nullptr), nullptr);
    const unsigned char tiny[4] = {1, 0, 9, 0};
    EXPECT_EQ(SetMetaFileBitsEx(4, tiny), nullptr);
    const unsigned char huge[4] = {0xFF, 0xFF, 0xFF, 0x7F};   // the first record's size
    std::copy(huge, huge + 4, good.begin() + 18);
    EXPECT_EQ(SetMetaFileBitsEx(UINT(good.size()), good.data()), nullptr);
}

// A pattern brush whose DIB claims 16,252,679 x 8 one-bit pixels in 32 bytes: the
// claim is refused from the sizes alone (it once made the reader allocate 500 MB
// before looking at the bytes), and so is the file.
TEST(GdiWmf, ABrushDibLargerThanItsBytesIsRefusedUpFront)
{
    const char* source = std::getenv("OSTREL_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const std::string path = std::string(source) + "/fuzz/gdi/seeds/wmf_fuzzer/huge-pattern-brush.wmf";
    ASSERT_TRUE(QFile::exists(QString::fromStdString(path)));
    EXPECT_EQ(GetMetaFileA(path.c_str()), nullptr);
    const unsigned char header[40] = {40, 0, 0, 0, 0x07, 0xFF, 0xF7, 0, 8, 0, 0, 0, 1, 0, 1, 0};
    const unsigned char colours_and_rows[40] = {0, 0, 0, 0, 255, 255, 255, 0};
    std::vector<unsigned char> info(header, header + 40);
    info.insert(info.end(), colours_and_rows, colours_and_rows + 8);
    EXPECT_TRUE(gdi_dib_to_image(info.data(), info.size(), colours_and_rows + 8, 32, DIB_RGB_COLORS).isNull());
}

}  // namespace
