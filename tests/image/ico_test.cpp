// Icon and cursor files: their own picture at the icon size, with transparency over
// the page colour; broken files fall back to a type icon without harm. Which entry
// is read, and how leniently: the image closest to the icon size in the deepest
// colour, judged by the image's own header; 32-bit alpha over a conflicting mask,
// bit-field and V5 headers, a mask cut short by the end of the file, entries in any
// order. Files are built here byte by byte.
#include "image_test_util.h"
#include "ostrel/image.h"
#include "runtime/image/image_internal.h"
#include "runtime/pages/page_record.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace {

void put(Bytes& b, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

struct Dib {
    int side = 32;
    int bpp = 32;            // 8 (grey ramp palette), 24 or 32
    std::uint32_t header = 40;
    std::uint32_t compression = 0;
    std::uint32_t colour = 0x00336699;   // every pixel; alpha byte for 32 bits
    std::uint8_t alpha = 0xFF;
    std::uint8_t mask = 0x00;            // every AND mask byte
    bool doubled = true;
    std::size_t cut = 0;                 // bytes dropped from the end (a short mask)
    std::uint32_t right = ~0u;           // the right half's colour (~0: the same)
    int clear_rows = 0;                  // top rows whose mask says transparent
};

Bytes dib(const Dib& d)
{
    Bytes b;
    put(b, d.header, 4);
    put(b, std::uint32_t(d.side), 4);
    put(b, std::uint32_t(d.doubled ? 2 * d.side : d.side), 4);
    put(b, 1, 2);
    put(b, std::uint32_t(d.bpp), 2);
    put(b, d.compression, 4);
    for (int i = 0; i < 5; ++i)
        put(b, 0, 4);
    if (d.header > 40) {   // V5: masks, colour space, then zeros (profile fields included)
        for (std::uint32_t m : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
            put(b, m, 4);
        b.resize(d.header, 0);
    } else if (d.compression == 3) {
        for (std::uint32_t m : {0x00FF0000u, 0x0000FF00u, 0x000000FFu})
            put(b, m, 4);
    }
    if (d.bpp == 8)
        for (std::uint32_t i = 0; i < 256; ++i)
            put(b, i * 0x010101u, 4);
    const int px = d.bpp / 8, row = (d.side * px + 3) & ~3;
    for (int y = 0; y < d.side; ++y) {
        Bytes r;
        for (int x = 0; x < d.side; ++x)
        {
            const std::uint32_t c = x >= d.side / 2 && d.right != ~0u ? d.right : d.colour;
            px == 1 ? put(r, 0x80, 1) : px == 3 ? put(r, c, 3) : put(r, c | std::uint32_t(d.alpha) << 24, 4);
        }
        r.resize(std::size_t(row), 0);
        b.insert(b.end(), r.begin(), r.end());
    }
    for (int y = d.side - 1; d.doubled && y >= 0; --y)   // bottom-up
        b.insert(b.end(), std::size_t((d.side + 31) / 32 * 4), y < d.clear_rows ? 0xFF : d.mask);
    b.resize(b.size() - d.cut);
    return b;
}

// An icon file of these images; the directory's depth says `dir_bpp` (0: nothing).
Bytes ico(const std::vector<Bytes>& images, const std::vector<int>& sides, int dir_bpp = 0, int dir_h = -1)
{
    Bytes b;
    put(b, 0, 2);
    put(b, 1, 2);
    put(b, std::uint32_t(images.size()), 2);
    std::uint32_t at = 6 + 16 * std::uint32_t(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        b.push_back(std::uint8_t(sides[i]));
        b.push_back(std::uint8_t(dir_h >= 0 ? dir_h : sides[i]));
        put(b, 0, 2);
        put(b, 1, 2);
        put(b, std::uint32_t(dir_bpp), 2);
        // the size the directory claims is the image's whole, even when the file is cut
        put(b, std::uint32_t(images[i].size() + 64), 4);
        put(b, at, 4);
        at += std::uint32_t(images[i].size());
    }
    for (const Bytes& im : images)
        b.insert(b.end(), im.begin(), im.end());
    return b;
}

// 32 x 32, 24 bits: left half red, right half blue; the AND mask makes the top 8 rows
// transparent.
const Dib red_blue{32, 24, 40, 0, 0xFF0000, 0xFF, 0x00, true, 0, 0x0000FF, 8};

TEST(Icons, IcoFileShowsItsOwnPictureWithTransparency)
{
    if (icon_w() != 32)
        GTEST_SKIP() << "the system icon size is not 32";
    TempDir d;
    write_file(d.file("a.ico"), ico({dib(red_blue)}, {32}));
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
    Bytes cursor = ico({dib(red_blue)}, {32});
    cursor[2] = 2;
    write_file(d.file("c.CUR"), cursor);
    BmapPtr cur(_getfile_bmap(d.file("c.CUR").c_str(), 1.0, 0));
    ASSERT_TRUE(cur);
    EXPECT_EQ(px(cur.get(), 2, 20), 0xFF0000u);

    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(QColor(0, 200, 0));
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(img.save(&buf, "PNG"));
    write_file(d.file("p.ico"), ico({Bytes(png.begin(), png.end())}, {32}));
    BmapPtr p(_getfile_bmap(d.file("p.ico").c_str(), 1.0, 0));
    ASSERT_TRUE(p);
    EXPECT_EQ(px(p.get(), 10, 10), 0x00C800u);
}

TEST(Icons, BrokenIconFilesStillGiveAnIcon)
{
    TempDir d;
    const Bytes good = ico({dib(red_blue)}, {32});
    auto patched = [&good](std::initializer_list<std::pair<std::size_t, unsigned char>> bytes) {
        Bytes b = good;
        for (auto [at, v] : bytes)
            b[at] = v;
        return b;
    };
    const std::vector<Bytes> bad = {
        Bytes{},
        Bytes{0, 0, 1, 0},
        patched({{4, 0xFF}, {5, 0xFF}}),                          // the directory claims 65535 entries
        patched({{18, 0xFF}, {19, 0xFF}, {20, 0xFF}, {21, 0x7F}}),   // an image offset beyond the file
        patched({{22 + 8, 0xFF}, {22 + 9, 0xFF}}),   // height 255 doubled: more rows than present
        Bytes(good.begin(), good.begin() + 200),
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const std::string n = d.file("bad" + std::to_string(i) + ".ico");
        write_file(n, bad[i]);
        BmapPtr bm(_getfile_bmap(n.c_str(), 1.0, 0));
        ASSERT_TRUE(bm) << i;
        EXPECT_EQ(bm->width, icon_w()) << i;
    }
}

TEST(IconEntries, ChoiceAndLenientImagesReadAsTheLoaderWould)
{
    // the side of the image read, its top-left and its bottom-right pixel
    struct Row { const char* what; Bytes file; int side; std::uint32_t argb0, argb_last; };
    const Dib deep{32, 32}, shallow{32, 8}, rgb{32, 24};
    Dib masked32 = deep;
    masked32.mask = 0xFF;   // the mask says transparent, the alpha says opaque: alpha wins
    Dib v5 = deep;
    v5.header = 124;
    v5.compression = 3;
    Dib fields = deep;
    fields.compression = 3;
    Dib short_mask = rgb;
    short_mask.mask = 0xFF;
    short_mask.cut = 64;   // the top 16 mask rows (the file's last) are missing
    Dib flat = rgb;
    flat.doubled = false;
    const Row rows[] = {
        {"deepest of one size", ico({dib(shallow), dib(rgb), dib(deep)}, {32, 32, 32}), 32, 0xFF336699, 0xFF336699},
        {"closest size in any order", ico({dib({16}), dib({48}), dib({32, 32, 40, 0, 0x112233})}, {16, 48, 32}), 32,
         0xFF112233, 0xFF112233},
        {"directory depth disagrees", ico({dib(rgb), dib(shallow)}, {32, 32}, 8), 32, 0xFF336699, 0xFF336699},
        {"alpha over a conflicting mask", ico({dib(masked32)}, {32}), 32, 0xFF336699, 0xFF336699},
        {"V5 header with bit fields", ico({dib(v5)}, {32}), 32, 0xFF336699, 0xFF336699},
        {"bit fields after a short header", ico({dib(fields)}, {32}), 32, 0xFF336699, 0xFF336699},
        {"mask cut short", ico({dib(short_mask)}, {32}), 32, 0xFF336699, 0x00336699},
        {"height not doubled", ico({dib(flat)}, {32}), 32, 0xFF336699, 0xFF336699},
        {"grey palette", ico({dib(shallow)}, {32}), 32, 0xFF808080, 0xFF808080},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        IcoImage out;
        ASSERT_TRUE(image_ico_decode(r.file.data(), r.file.size(), 32, &out));
        EXPECT_EQ(out.width, r.side);
        EXPECT_EQ(out.height, r.side);
        ASSERT_EQ(out.argb.size(), std::size_t(r.side) * std::size_t(r.side));
        EXPECT_EQ(out.argb.front(), r.argb0);
        EXPECT_EQ(out.argb.back(), r.argb_last);
    }
}

TEST(IconEntries, TrulyBrokenFilesAreRefused)
{
    Dib tiny = {32, 24};
    Bytes rows_missing = dib(tiny);
    rows_missing.resize(60);   // header and a few bytes: no rows to read
    Dib rle = tiny;
    rle.compression = 1;
    const Bytes cases[] = {
        ico({rows_missing}, {32}),
        ico({dib(rle)}, {32}),
        Bytes{0, 0, 1, 0, 1, 0},   // one entry announced, none there
        Bytes{0, 0, 3, 0, 1, 0},   // neither icon nor cursor
    };
    for (const Bytes& c : cases) {
        IcoImage out;
        EXPECT_FALSE(image_ico_decode(c.data(), c.size(), 32, &out));
    }
}

} // namespace
