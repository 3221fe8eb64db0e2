// Metafile files of pages: _savewmf then _loadwmf gives the same pixels, the
// saved file opens in libwmf's converter with the same picture, and what cannot
// be written exactly is refused (other programs' files: the GDI corpus test).
#include "draw_fixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

namespace {
constexpr COLORREF kRed = 0x0000FF;

class DrawWmfFiles : public DrawTest {};

void draw_sample()
{
    _settextcolor(kRed);
    _rectangle(0, 10, 10, 60, 40);
    _setcolor(0xFF0000);
    _setlinewidth(3);
    _moveto(10, 80);
    _lineto(150, 120);
    _setlinewidth(0.2);
    _frameellipse(100, 10, 140, 50);
    _settextcolor(0x00AA00);
    _rectangle(0, 160, 20, 190, 60);   // (libwmf's converter never fills ellipses)
    _setcolor(0);
    _framerect(5, 5, 195, 145);
}

TEST_F(DrawWmfFiles, SaveThenLoadGivesTheSamePixelsAsOfTheLastSetpage)
{
    QTemporaryDir dir;
    std::string path = dir.filePath("page.wmf").toStdString();
    window_page(1);
    draw_sample();
    _setpage(1, 0);
    QImage before = painted(1);
    _rectangle(0, 150, 100, 190, 140);   // after the last _setpage: not in the file
    ASSERT_EQ(_savewmf(path.c_str()), 1);
    window_page(2);
    ASSERT_EQ(_loadwmf(path.c_str()), 1);
    _setpage(2, 0);
    EXPECT_EQ(painted(2), before);
    EXPECT_EQ(_loadwmf(dir.filePath("none.wmf").toStdString().c_str()), 0);
}

TEST_F(DrawWmfFiles, OffscreenPagesAndNoPageGiveZero)
{
    EXPECT_EQ(_savewmf("/tmp/x.wmf"), 0);
    EXPECT_EQ(_loadwmf("/tmp/x.wmf"), 0);
    window_page(2);
    ASSERT_EQ(_newmempage(10, 10, 1), 1);
    ASSERT_EQ(_setpage(1, 0), 1);
    EXPECT_EQ(_savewmf("/tmp/x.wmf"), 0);
}

TEST_F(DrawWmfFiles, ContentBeyondSixteenBitsIsRefusedNotCorrupted)
{
    QTemporaryDir dir;
    std::string path = dir.filePath("big.wmf").toStdString();
    window_page(1);
    _rectangle(0, 1700, 10, 1710, 20);   // 34000 units
    _setpage(1, 0);
    EXPECT_EQ(_savewmf(path.c_str()), 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(DrawWmfFiles, SavedFileOpensInAnIndependentReaderWithTheSamePicture)
{
    QString wmf2gd = QStandardPaths::findExecutable(QStringLiteral("wmf2gd"));
    if (wmf2gd.isEmpty()) GTEST_SKIP() << "wmf2gd not installed";
    QTemporaryDir dir;
    QString path = dir.filePath("page.wmf");
    window_page(1);
    draw_sample();
    _setpage(1, 0);
    ASSERT_EQ(_savewmf(path.toStdString().c_str()), 1);
    QString png = dir.filePath("page.png");
    QProcess p;
    p.start(wmf2gd, {QStringLiteral("-t"), QStringLiteral("png"), QStringLiteral("--maxwidth=380"),
                     QStringLiteral("--maxheight=280"), QStringLiteral("--maxpect"), QStringLiteral("-o"), png, path});
    ASSERT_TRUE(p.waitForFinished(60000));
    QImage ref(png);
    ASSERT_FALSE(ref.isNull()) << p.readAllStandardError().toStdString();
    // both pictures framed by what they draw (the file carries no frame of its own)
    QImage theirs = inked(ref);
    QImage ours = inked(painted(1)).scaled(theirs.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) < 80 && std::abs(qGreen(a) - qGreen(b)) < 80 && std::abs(qBlue(a) - qBlue(b)) < 80;
    };
    int agree = 0, total = 0;
    for (int y = 1; y < theirs.height() - 1; y += 2)
        for (int x = 1; x < theirs.width() - 1; x += 2) {
            ++total;
            agree += near(theirs.pixel(x, y), ours.pixel(x, y));
        }
    EXPECT_GT(agree, total * 93 / 100) << agree << " of " << total;
    // the filled shapes sit in the same places with the same colours (frame 5..195 x 5..145)
    auto at = [&](const QImage& img, double px, double py) {
        return img.pixel(int((px - 5) / 190 * img.width()), int((py - 5) / 140 * img.height()));
    };
    EXPECT_TRUE(near(at(theirs, 35, 25), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(at(ours, 35, 25), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(at(theirs, 175, 40), qRgb(0, 0xAA, 0)));
    EXPECT_TRUE(near(at(ours, 175, 40), qRgb(0, 0xAA, 0)));
}

}  // namespace
