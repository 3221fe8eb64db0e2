// Metafiles written by other programs (the libwmf examples in the shared
// corpus): each one reads and replays without a fault, and our picture looks
// like the one libwmf's own converter draws (coarse grey-level comparison, so
// fonts and anti-aliasing do not matter). Skipped where the folder or the
// converter is absent.
#include "gdi_test_support.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {
QString corpus_dir()
{
    return QDir(QStringLiteral(OSTREL_PROJECT_DIR "/../shared/corpus/libwmf")).absolutePath();
}

QStringList corpus_files()
{
    QDir d(corpus_dir());
    return d.exists() ? d.entryList({QStringLiteral("*.wmf")}, QDir::Files, QDir::Name) : QStringList();
}

// Mean absolute grey difference (0..255) of two pictures, each cut to the box of
// its drawn pixels (renderers differ in how they fit a picture to the frame) and
// reduced to 24 x 24.
double coarse_difference(const QImage& a, const QImage& b)
{
    auto reduce = [](const QImage& src) {
        return inked(src).scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_Grayscale8);
    };
    QImage x = reduce(a), y = reduce(b);
    double sum = 0;
    for (int j = 0; j < 24; ++j)
        for (int i = 0; i < 24; ++i) sum += std::abs(int(x.constScanLine(j)[i]) - int(y.constScanLine(j)[i]));
    return sum / (24 * 24);
}

TEST(GdiCorpus, EveryFileReadsAndReplaysWithoutFault)
{
    QStringList files = corpus_files();
    if (files.isEmpty()) GTEST_SKIP() << "no corpus";
    int read = 0;
    for (const QString& f : files) {
        std::string path = (corpus_dir() + "/" + f).toStdString();
        HMETAFILE mf = GetMetaFileA(path.c_str());
        if (!mf) continue;
        ++read;
        Canvas c(300, 300);
        RECT b{};
        if (gdi_metafile_bounds(mf, &b)) {
            QImage img = gdi_metafile_image(mf, 300, 300);
            EXPECT_FALSE(img.isNull()) << f.toStdString();
        }
        PlayMetaFile(c.dc, mf);
        DeleteMetaFile(mf);
    }
    EXPECT_EQ(read, files.size());
}

TEST(GdiCorpus, PicturesLookLikeTheIndependentReaders)
{
    QStringList files = corpus_files();
    QString wmf2gd = QStandardPaths::findExecutable(QStringLiteral("wmf2gd"));
    if (files.isEmpty() || wmf2gd.isEmpty()) GTEST_SKIP() << "no corpus or no wmf2gd";
    QTemporaryDir tmp;
    int compared = 0, alike = 0;
    std::string report;
    for (const QString& f : files) {
        QString png = tmp.filePath(f + ".png");
        QProcess p;
        p.start(wmf2gd, {QStringLiteral("-t"), QStringLiteral("png"), QStringLiteral("-o"), png, corpus_dir() + "/" + f});
        p.waitForFinished(60000);
        QImage ref(png);
        if (ref.isNull() || ref.width() < 8 || ref.height() < 8) continue;
        HMETAFILE mf = GetMetaFileA((corpus_dir() + "/" + f).toStdString().c_str());
        ASSERT_NE(mf, nullptr) << f.toStdString();
        QImage ours = gdi_metafile_image(mf, ref.width(), ref.height());
        DeleteMetaFile(mf);
        ASSERT_FALSE(ours.isNull()) << f.toStdString();
        double d = coarse_difference(ours, ref);
        ++compared;
        if (d < 20) ++alike;
        report += f.toStdString() + "=" + std::to_string(int(d)) + " ";
    }
    if (compared == 0) GTEST_SKIP() << "the converter drew nothing";
    std::printf("coarse differences: %s\n", report.c_str());
    // fonts and text placement differ between renderers; the pictures must agree
    EXPECT_GE(alike * 4, compared * 3) << report;
}
}  // namespace
