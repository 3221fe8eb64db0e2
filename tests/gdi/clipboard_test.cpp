// The picture clipboard: a CF_METAFILEPICT travels as image/x-wmf (placeable)
// and as an image of its on-screen size; a CF_DIB as image/bmp and an image;
// both come back through GetClipboardData.
#include "gdi_test_support.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/winclip.h"
#include "tests/support/pixels.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

#include <cstring>

namespace {
TEST(GdiClipboard, MetafilePictureTravelsAsWmfAndImage)
{
    HDC rec = CreateMetaFileA(nullptr);
    SetWindowExtEx(rec, 640 * 20, 480 * 20, nullptr);
    HBRUSH br = CreateSolidBrush(0x0000FF);
    SelectObject(rec, br);
    Rectangle(rec, 0, 0, 320 * 20, 240 * 20);
    HMETAFILE mf = CloseMetaFile(rec);
    DeleteObject(br);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT));
    auto* mp = static_cast<METAFILEPICT*>(GlobalLock(h));
    *mp = METAFILEPICT{MM_ANISOTROPIC, 16933, 12700, mf};
    GlobalUnlock(h);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_METAFILEPICT, h), h);
    EXPECT_TRUE(CloseClipboard());

    const QMimeData* md = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(md, nullptr);
    QByteArray wmf = md->data(QStringLiteral("image/x-wmf"));
    ASSERT_GT(wmf.size(), 22);
    EXPECT_EQ(static_cast<unsigned char>(wmf[0]), 0xD7);   // placeable key
    ASSERT_TRUE(md->hasImage());
    QImage img = qvariant_cast<QImage>(md->imageData());
    EXPECT_EQ(img.size(), QSize(640, 480));
    EXPECT_EQ(img.pixel(100, 100) & 0xFFFFFF, 0xFF0000u);   // red, drawn in the upper-left quarter
    EXPECT_EQ(img.pixel(500, 400) & 0xFFFFFF, 0xFFFFFFu);

    EXPECT_TRUE(IsClipboardFormatAvailable(CF_METAFILEPICT));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL back = GetClipboardData(CF_METAFILEPICT);
    ASSERT_NE(back, nullptr);
    auto* bp = static_cast<METAFILEPICT*>(GlobalLock(back));
    EXPECT_EQ(bp->mm, MM_ANISOTROPIC);
    EXPECT_EQ(bp->xExt, 16933);
    EXPECT_EQ(bp->yExt, 12700);
    Canvas c(64, 48);
    SetMapMode(c.dc, MM_ANISOTROPIC);
    SetWindowExtEx(c.dc, 640 * 20, 480 * 20, nullptr);
    SetViewportExtEx(c.dc, 64, 48, nullptr);
    EXPECT_TRUE(PlayMetaFile(c.dc, bp->hMF));
    EXPECT_EQ(c.at(10, 10), COLORREF(0x0000FF));
    CloseClipboard();
}

TEST(GdiClipboard, DibTravelsAsBmpAndImage)
{
    // 2 x 2, 24-bit rows of 8 bytes, the top-left pixel red
    PackedDib d = packed_dib(2, 2, 24, false, [](int x, int y) { return COLORREF(x + y ? 0 : 0x0000FF); });
    const std::size_t size = d.bytes;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(h), d.data(), size);
    GlobalUnlock(h);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_DIB, h);
    CloseClipboard();
    const QMimeData* md = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(md, nullptr);
    QByteArray bmp = md->data(QStringLiteral("image/bmp"));
    ASSERT_EQ(bmp.size(), qsizetype(14 + size));
    EXPECT_TRUE(bmp.startsWith("BM"));
    QImage img = qvariant_cast<QImage>(md->imageData());
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL back = GetClipboardData(CF_DIB);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(GlobalSize(back), size);
    EXPECT_EQ(static_cast<unsigned char*>(GlobalLock(back))[40 + 8 + 2], 0xFF);
    CloseClipboard();
}

TEST(GdiClipboard, CallsOutsideAnOpenClipboardFail)
{
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_EQ(GetClipboardData(CF_DIB), nullptr);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 4);
    EXPECT_EQ(SetClipboardData(CF_DIB, h), nullptr);
    GlobalFree(h);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));
    CloseClipboard();
}

TEST(GdiClipboard, WidePicturesAreWrittenInLargerUnitsNotCorrupted)
{
    // 1920 x 1080 pixels at twenty units: 38400 does not fit 16 bits
    HDC rec = CreateMetaFileA(nullptr);
    SetWindowExtEx(rec, 1920 * 20, 1080 * 20, nullptr);
    HBRUSH br = CreateSolidBrush(0x0000FF);
    SelectObject(rec, br);
    SelectObject(rec, GetStockObject(NULL_PEN));
    Rectangle(rec, 1800 * 20, 1000 * 20, 1900 * 20, 1070 * 20);
    HMETAFILE mf = CloseMetaFile(rec);
    DeleteObject(br);
    EXPECT_EQ(GetMetaFileBitsEx(mf, 0, nullptr), 0u);   // a plain file refuses
    std::vector<unsigned char> p = gdi_placeable_wmf(mf, 1920, RECT{0, 0, 1920 * 20, 1080 * 20});
    ASSERT_FALSE(p.empty());
    HMETAFILE back = SetMetaFileBitsEx(UINT(p.size()), p.data());
    ASSERT_NE(back, nullptr);
    QImage a = gdi_metafile_image(mf, 192, 108), b = gdi_metafile_image(back, 192, 108);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.pixel(185, 103) & 0xFFFFFF, 0xFF0000u);
    DeleteMetaFile(mf);
    DeleteMetaFile(back);
}

// A picture in MM_LOENGLISH (hundredths of an inch) goes out as a placeable file
// of the matching units per inch, and comes back to a program of this runtime
// (here: through the desktop's copy of the data) with its own mode and extents.
TEST(GdiClipboard, LoEnglishPictureKeepsItsModeAndExtentsAcrossPrograms)
{
    HDC rec = CreateMetaFileA(nullptr);
    SetWindowExtEx(rec, 2000, 1000, nullptr);
    Rectangle(rec, 0, 0, 1000, 1000);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT));
    *static_cast<METAFILEPICT*>(GlobalLock(h)) = METAFILEPICT{MM_LOENGLISH, 200, 100, CloseMetaFile(rec)};
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_METAFILEPICT, h);
    CloseClipboard();
    const QMimeData* own = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(own, nullptr);
    QByteArray wmf = own->data(QStringLiteral("image/x-wmf"));
    ASSERT_GT(wmf.size(), 22);
    EXPECT_EQ((unsigned char)wmf[14] | ((unsigned char)wmf[15] << 8), 1000);   // units per inch
    EXPECT_EQ(qvariant_cast<QImage>(own->imageData()).size(), QSize(2 * gdi_screen_dpi_x(), gdi_screen_dpi_y()));

    // what another process of the runtime sees: plain bytes of both formats
    auto* other = new QMimeData;
    other->setData(QStringLiteral("image/x-wmf"), wmf);
    other->setData(QStringLiteral("application/x-ostrel-metafilepict"), own->data(QStringLiteral("application/x-ostrel-metafilepict")));
    QGuiApplication::clipboard()->setMimeData(other);
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto* mp = static_cast<METAFILEPICT*>(GlobalLock(GetClipboardData(CF_METAFILEPICT)));
    ASSERT_NE(mp, nullptr);
    EXPECT_EQ(mp->mm, MM_LOENGLISH);
    EXPECT_EQ(mp->xExt, 200);
    EXPECT_EQ(mp->yExt, 100);
    CloseClipboard();
}
}  // namespace
