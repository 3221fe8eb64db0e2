// Icon and cursor files: their own picture at the icon size, with transparency over
// the page colour; broken files fall back to a type icon without harm.
#include "image_test_util.h"
#include "ostrel/image.h"
#include "runtime/pages/page_record.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace {

void put(Bytes& b, std::initializer_list<std::uint32_t> values, int bytes)
{
    for (std::uint32_t v : values)
        for (int k = 0; k < bytes; ++k)
            b.push_back(static_cast<unsigned char>(v >> (8 * k)));
}

// One 32 x 32 24-bit image: left half red, right half blue; the AND mask makes the
// top 8 rows transparent.
Bytes dib_image()
{
    Bytes b;
    put(b, {40, 32, 64}, 4);   // doubled height: colour rows and mask rows
    put(b, {1, 24}, 2);
    put(b, {0, 0, 0, 0, 0, 0}, 4);
    for (int row = 0; row < 32; ++row)   // bottom-up
        for (int x = 0; x < 32; ++x)
            put(b, {x < 16 ? 0xFF0000u : 0x0000FFu}, 3);
    for (int y = 31; y >= 0; --y)
        put(b, {y < 8 ? 0xFFFFFFFFu : 0u}, 4);
    return b;
}

Bytes ico_file(const Bytes& image, unsigned type = 1, unsigned count = 1)
{
    Bytes b;
    put(b, {0, type, count}, 2);
    put(b, {32, 32, 0, 0}, 1);
    put(b, {1, 24}, 2);
    put(b, {static_cast<std::uint32_t>(image.size()), 6 + 16}, 4);
    b.insert(b.end(), image.begin(), image.end());
    return b;
}

int icon_w()
{
    int w, h, x, y;
    _geticon_size("x", &w, &h, &x, &y);
    return w;
}

} // namespace

TEST(Icons, IcoFileShowsItsOwnPictureWithTransparency)
{
    if (icon_w() != 32)
        GTEST_SKIP() << "the system icon size is not 32";
    TempDir d;
    write_file(d.file("a.ico"), ico_file(dib_image()));
    BmapPtr bm(_getfile_bmap(d.file("a.ico").c_str(), 1.0, 0));
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->width, 32);
    EXPECT_EQ(bm->height, 32);
    EXPECT_EQ(px(bm.get(), 2, 20), 0xFF0000u);
    EXPECT_EQ(px(bm.get(), 30, 20), 0x0000FFu);
    const std::uint32_t bg = _defaultpagecolor();
    const std::uint32_t bg_rgb = ((bg & 0xFF) << 16) | (bg & 0xFF00) | ((bg >> 16) & 0xFF);
    EXPECT_EQ(px(bm.get(), 2, 2), bg_rgb);   // masked out: the page colour shows
}

TEST(Icons, CursorFilesAndPngImagesInsideIcons)
{
    if (icon_w() != 32)
        GTEST_SKIP() << "the system icon size is not 32";
    TempDir d;
    write_file(d.file("c.CUR"), ico_file(dib_image(), 2));
    BmapPtr cur(_getfile_bmap(d.file("c.CUR").c_str(), 1.0, 0));
    ASSERT_TRUE(cur);
    EXPECT_EQ(px(cur.get(), 2, 20), 0xFF0000u);

    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(QColor(0, 200, 0));
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(img.save(&buf, "PNG"));
    write_file(d.file("p.ico"), ico_file(Bytes(png.begin(), png.end())));
    BmapPtr p(_getfile_bmap(d.file("p.ico").c_str(), 1.0, 0));
    ASSERT_TRUE(p);
    EXPECT_EQ(px(p.get(), 10, 10), 0x00C800u);
}

TEST(Icons, BrokenIconFilesStillGiveAnIcon)
{
    TempDir d;
    Bytes good = ico_file(dib_image());
    std::vector<Bytes> bad;
    bad.push_back(Bytes{});
    bad.push_back(Bytes{0, 0, 1, 0});
    bad.push_back(ico_file(dib_image(), 1, 0xFFFF));   // directory claims 65535 entries
    Bytes off = good;
    off[18] = 0xFF;
    off[19] = 0xFF;
    off[20] = 0xFF;
    off[21] = 0x7F;   // image offset beyond the file
    bad.push_back(off);
    Bytes hdr = good;
    hdr[22 + 8] = 0xFF;   // image height 255 + doubled claims more rows than present
    hdr[22 + 9] = 0xFF;
    bad.push_back(hdr);
    Bytes cut(good.begin(), good.begin() + 200);
    bad.push_back(cut);
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const std::string n = d.file("bad" + std::to_string(i) + ".ico");
        write_file(n, bad[i]);
        BmapPtr bm(_getfile_bmap(n.c_str(), 1.0, 0));
        ASSERT_TRUE(bm) << i;
        EXPECT_EQ(bm->width, icon_w()) << i;
    }
}
