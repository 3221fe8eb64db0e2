// Consumers of the content: repaint with the page origin and the update region,
// the Copy command's picture and extents, the Print command's mapping.
#include "draw_fixture.h"

#include "platform/gdi/winclip.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {
constexpr COLORREF kWhite = 0xFFFFFF, kRed = 0x0000FF;

class DrawReplay : public DrawTest {};

TEST_F(DrawReplay, RepaintAppliesThePageOrigin)
{
    window_page(1);
    _settextcolor(kRed);
    _rectangle(0, 100, 100, 110, 110);
    _setpage(1, 0);
    _setorigin(1, 50, 60);
    QImage img = painted(1);
    EXPECT_EQ(pixel(img, 55, 45), kRed);
    EXPECT_EQ(pixel(img, 105, 105), kWhite);
}

TEST_F(DrawReplay, RepaintTouchesOnlyTheUpdateRegion)
{
    window_page(1);
    _settextcolor(kRed);
    _rectangle(0, 0, 0, 200, 150);
    _setpage(1, 0);
    QImage img(200, 150, QImage::Format_RGB32);
    img.fill(Qt::white);
    HDC dc = gdi_create_image_dc(&img, nullptr);
    RECT upd{10, 10, 20, 20};
    _paintpage(_pagerecord(1), dc, &upd);
    gdi_destroy_image_dc(dc);
    EXPECT_EQ(pixel(img, 15, 15), kRed);
    EXPECT_EQ(pixel(img, 25, 25), kWhite);
    EXPECT_EQ(count(img, kRed), 100);
}

TEST_F(DrawReplay, CopyPutsThePictureFromPagePointZeroOnTheClipboard)
{
    window_page(1, 640, 480);
    _settextcolor(kRed);
    _rectangle(0, 0, 0, 320, 240);
    _setpage(1, 0);
    _setorigin(1, 100, 100);   // copies ignore the origin
    EXPECT_TRUE(_copypage(1));
    const QMimeData* md = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(md, nullptr);
    EXPECT_TRUE(md->hasFormat(QStringLiteral("image/x-wmf")));
    QImage img = qvariant_cast<QImage>(md->imageData());
    ASSERT_EQ(GetDeviceCaps(GetDC(nullptr), LOGPIXELSX), 96);   // the offscreen screen
    EXPECT_EQ(img.width(), 640);
    EXPECT_EQ(img.height(), 480);
    EXPECT_EQ(img.pixel(10, 10) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(img.pixel(img.width() - 10, img.height() - 10) & 0xFFFFFF, 0xFFFFFFu);
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto* mp = static_cast<METAFILEPICT*>(GlobalLock(GetClipboardData(CF_METAFILEPICT)));
    ASSERT_NE(mp, nullptr);
    EXPECT_EQ(mp->xExt, 16933);
    EXPECT_EQ(mp->yExt, 12700);
    EXPECT_EQ(mp->mm, MM_ANISOTROPIC);
    CloseClipboard();
}

TEST_F(DrawReplay, PrintMapsOnScreenSizeOneInchFromTheCorner)
{
    window_page(1, 640, 480);
    _settextcolor(kRed);
    _setcolor(kRed);
    _rectangle(0, 0, 0, 640, 480);
    _setpage(1, 0);
    _setorigin(1, 100, 100);   // scrolled: printing still starts at page point (0, 0)
    // a 600-dpi device standing in for the printer
    QImage paper(5200, 4000, QImage::Format_RGB32);
    paper.fill(Qt::white);
    paper.setDotsPerMeterX(int(600 / 0.0254 + 0.5));
    paper.setDotsPerMeterY(int(600 / 0.0254 + 0.5));
    HDC printer = gdi_create_device_dc(&paper, nullptr);
    ASSERT_EQ(GetDeviceCaps(printer, LOGPIXELSX), 600);
    ASSERT_EQ(GetDeviceCaps(GetDC(nullptr), LOGPIXELSX), 96);   // the offscreen screen
    ASSERT_EQ(_printpage_to(1, printer), 1);
    // the mapping left on the printer context is the one the content was played with
    SIZE ve{}, we{};
    POINT wo{};
    GetViewportExtEx(printer, &ve);
    GetWindowExtEx(printer, &we);
    GetWindowOrgEx(printer, &wo);
    EXPECT_EQ(we.cx, 640 * 20);
    EXPECT_EQ(ve.cx, 4000);
    EXPECT_EQ(ve.cy, 3000);
    EXPECT_EQ(wo.x, -1920);
    EXPECT_EQ(wo.y, -1920);
    DeleteDC(printer);
    // one inch (600 dots) from the corner, the page's physical size
    EXPECT_EQ(paper.pixel(590, 590) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(paper.pixel(610, 610) & 0xFFFFFF, 0xFF0000u);
    int right = 600 + ve.cx, bottom = 600 + ve.cy;
    EXPECT_EQ(paper.pixel(right - 10, bottom - 10) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(paper.pixel(right + 10, bottom + 10) & 0xFFFFFF, 0xFFFFFFu);
}
}  // namespace
