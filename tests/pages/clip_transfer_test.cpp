// Pictures put on the clipboard by a program: the block layouts a program of
// the runtime reads back (CF_DIB, CF_METAFILEPICT in MM_LOENGLISH), routing by
// extension, and files or pages that must fail without touching the clipboard.
#include "tests/support/page_fixture.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/winclip.h"
#include "ostrel/clipboard.h"
#include "tests/support/pixels.h"
#include "tests/support/scratch_dir.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// A file in a fresh directory of its own (no fixed name in a shared place).
class ClipTransferTest : public PageTest {
protected:
    ScratchDir scratch{"ostrel-clip"};
    const std::string dir = scratch.path;
    std::string file(const char* name, const Bytes& bytes)
    {
        put_file(scratch.file(name), bytes);
        return scratch.file(name);
    }
};

// What a program of the runtime gets back for `format`: the block's bytes.
Bytes clip_block(UINT format)
{
    Bytes out;
    if (!OpenClipboard(nullptr))
        return out;
    if (HGLOBAL h = GetClipboardData(format)) {
        const auto* p = static_cast<const unsigned char*>(GlobalLock(h));
        out.assign(p, p + GlobalSize(h));
    }
    CloseClipboard();
    return out;
}

// A w x h bitmap whose pixel (x, y) is blue x, green y, red 200.
_bmap* pattern_bmap(int w, int h)
{
    // padding bytes travel as they are
    return bmap_of(w, h, [](int x, int y) { return RGB(200, y, x); }, 0x5A);
}

// A BMP file of a pattern bitmap, through the runtime's own writer.
Bytes bmp_file(int w, int h, const std::string& path)
{
    _bmap* bm = pattern_bmap(w, h);
    EXPECT_EQ(_bmap_savebmp(path.c_str(), bm), 1);
    delete bm;
    const std::string b = file_text(path);
    std::remove(path.c_str());
    return Bytes(b.begin(), b.end());
}

// A placeable metafile: a red rectangle over the left half of a 1440 x 720
// frame at 1440 units per inch (1 x 0.5 inch).
Bytes wmf_file()
{
    HDC rec = CreateMetaFileA(nullptr);
    SetWindowOrgEx(rec, 0, 0, nullptr);
    SetWindowExtEx(rec, 1440, 720, nullptr);
    HBRUSH br = CreateSolidBrush(0x0000FF);
    SelectObject(rec, br);
    SelectObject(rec, GetStockObject(NULL_PEN));
    Rectangle(rec, 0, 0, 720, 720);
    HMETAFILE mf = CloseMetaFile(rec);
    DeleteObject(br);
    Bytes b = gdi_placeable_wmf(mf, 1440, RECT{0, 0, 1440, 720});
    DeleteMetaFile(mf);
    return b;
}

// `b` with `n` bytes at `at` replaced by v, little-endian.
Bytes patched(Bytes b, std::size_t at, std::uint32_t v, int n = 4)
{
    for (int i = 0; i < n; ++i)
        b[at + i] = std::uint8_t(v >> (8 * i));
    return b;
}

// Leaves a known 1 x 1 DIB on the clipboard, to see whether a call touched it.
Bytes mark_clipboard()
{
    _bmap* bm = pattern_bmap(1, 1);
    EXPECT_EQ(_copybmapdib(bm), 1);
    delete bm;
    return clip_block(CF_DIB);
}

TEST_F(ClipTransferTest, BitmapBecomesBottomUpDibOfHeaderAndSize)
{
    _bmap* bm = pattern_bmap(3, 2);
    bm->set_ppm(3780, 2835);
    ASSERT_EQ(_copybmapdib(bm), 1);
    Bytes dib = clip_block(CF_DIB);
    ASSERT_EQ(dib.size(), std::size_t(40 + bm->size));
    // size 40, 3 x 2, one plane, 24 bits, no compression or image size, 3780 x 2835 per metre
    const Bytes header = {40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                          0, 0, 0, 0, 0xC4, 0x0E, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(dib.begin(), dib.begin() + 40), header);
    // the first row after the header is the object's bottom row, then the top
    EXPECT_EQ(0, std::memcmp(dib.data() + 40, bm->bits + bm->stride, std::size_t(bm->stride)));
    EXPECT_EQ(0, std::memcmp(dib.data() + 40 + bm->stride, bm->bits, std::size_t(bm->stride)));
    delete bm;
}

TEST_F(ClipTransferTest, UnusableBitmapsGiveZero)
{
    Bytes mark = mark_clipboard();
    _bmap empty;
    EXPECT_EQ(_copybmapdib(nullptr), 0);
    EXPECT_EQ(_copybmapdib(&empty), 0);
    _bmap* lying = pattern_bmap(4, 4);
    lying->size = lying->stride;   // claims fewer bytes than its rows
    EXPECT_EQ(_copybmapdib(lying), 0);
    lying->size = lying->stride * 4;
    delete lying;
    EXPECT_EQ(clip_block(CF_DIB), mark);
}

TEST_F(ClipTransferTest, OffscreenPageGoesAsItsDibAndOtherPagesLeaveTheClipboard)
{
    Bytes mark = mark_clipboard();
    ASSERT_EQ(_newpage(1, "window", 10, 10, 100, 80, PAGE_HIDDEN), 1);
    EXPECT_EQ(_copypagedib(1), 0);     // a window page has no image of its own
    EXPECT_EQ(_copypagedib(77), 0);    // no page
    EXPECT_EQ(clip_block(CF_DIB), mark);

    ASSERT_EQ(_newmempage(5, 3, 2), 1);
    ASSERT_EQ(_fillpage(2, 0x00FF0000), 1);   // blue
    _pageinfo pi = _getpageinfo(2);
    SetPixel(pi.dc, 0, 0, 0x000000FF);        // top-left red
    ASSERT_EQ(_copypagedib(2), 1);
    Bytes dib = clip_block(CF_DIB);
    ASSERT_EQ(dib.size(), std::size_t(40 + 16 * 3));
    ostrel_bitmapinfoheader h;
    std::memcpy(&h, dib.data(), 40);
    EXPECT_EQ(h.biWidth, 5);
    EXPECT_EQ(h.biHeight, 3);
    EXPECT_EQ(h.biBitCount, 24);
    const unsigned char* top = dib.data() + 40 + 2 * 16;   // last row of a bottom-up DIB
    EXPECT_EQ(top[0], 0);
    EXPECT_EQ(top[2], 255);
    EXPECT_EQ(top[3], 255);   // the next pixel is blue
    EXPECT_EQ(dib[40], 255);
}

TEST_F(ClipTransferTest, CopyfileRoutesByTheLastDotWithoutRegardToCase)
{
    const Bytes bmp = bmp_file(4, 3, dir + "/src.bmp");
    const Bytes wmf = wmf_file();
    ASSERT_FALSE(wmf.empty());
    struct Case { const char* name; const Bytes* bytes; int result; UINT format; } cases[] = {
        {"picture.bmp", &bmp, 1, CF_DIB},
        {"PICTURE.BmP", &bmp, 1, CF_DIB},
        {"drawing.Wmf", &wmf, 1, CF_METAFILEPICT},
        {"drawing.bmp.WMF", &wmf, 1, CF_METAFILEPICT},
        {"wrong.wmf", &bmp, 0, 0},   // BMP bytes on the metafile path
        {"wrong.bmp", &wmf, 0, 0},
        {"notes.txt", &bmp, 0, 0},
        {"nodot", &bmp, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes mark = mark_clipboard();
        std::string path = file(c.name, *c.bytes);
        EXPECT_EQ(_copyfile(path.c_str()), c.result);
        if (c.result)
            EXPECT_TRUE(IsClipboardFormatAvailable(c.format));
        else
            EXPECT_EQ(clip_block(CF_DIB), mark);
    }
    EXPECT_EQ(_copyfile(nullptr), 0);
}

TEST_F(ClipTransferTest, BmpFileGoesAsTheDibAfterItsFileHeader)
{
    const Bytes bmp = bmp_file(5, 4, dir + "/src.bmp");
    ASSERT_EQ(_copybmpfile(file("a.bmp", bmp).c_str()), 1);
    EXPECT_EQ(clip_block(CF_DIB), Bytes(bmp.begin() + 14, bmp.end()));
}

TEST_F(ClipTransferTest, MetafileGoesInHundredthsOfAnInchAndDrawsLikeTheFile)
{
    ASSERT_EQ(_copywmffile(file("a.wmf", wmf_file()).c_str()), 1);
    Bytes block = clip_block(CF_METAFILEPICT);
    ASSERT_EQ(block.size(), sizeof(METAFILEPICT));
    LONG f[3];
    std::memcpy(f, block.data(), sizeof f);
    EXPECT_EQ(f[0], MM_LOENGLISH);
    EXPECT_EQ(f[1], 100);   // 1440 units at 1440 per inch
    EXPECT_EQ(f[2], 50);
    HMETAFILE mf;
    std::memcpy(&mf, block.data() + offsetof(METAFILEPICT, hMF), sizeof mf);
    QImage img = gdi_metafile_image(mf, 96, 48);
    EXPECT_EQ(img.pixel(20, 24) & 0xFFFFFF, 0xFF0000u);   // red on the left
    EXPECT_EQ(img.pixel(70, 24) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(ClipTransferTest, BadFilesGiveZeroAndLeaveTheClipboard)
{
    const Bytes bmp = bmp_file(5, 4, dir + "/src.bmp"), wmf = wmf_file();
    ASSERT_GT(wmf.size(), std::size_t(22 + 18 + 12));
    const std::size_t first = 22 + 18;   // the first record after both headers of a metafile
    const auto as_bmp = _copybmpfile, as_wmf = _copywmffile;
    struct Case { const char* what; Bytes bytes; int (*copy)(const char*); } cases[] = {
        {"other signature", patched(bmp, 0, 'P', 1), as_bmp},
        {"bfSize below 14", patched(bmp, 2, 13), as_bmp},
        {"bfSize 14", patched(bmp, 2, 14), as_bmp},
        {"bfSize beyond the file", patched(bmp, 2, std::uint32_t(bmp.size() + 1)), as_bmp},
        {"bfSize 4 GB", patched(bmp, 2, 0xFFFFFFFFu), as_bmp},
        {"file cut short", Bytes(bmp.begin(), bmp.end() - 10), as_bmp},
        {"rows beyond the block", patched(bmp, 14 + 8, 400), as_bmp},   // a height the file does not hold
        {"header only", Bytes(bmp.begin(), bmp.begin() + 14), as_bmp},
        {"empty", Bytes(), as_bmp},
        {"cut inside a record", Bytes(wmf.begin(), wmf.end() - 3), as_wmf},
        {"cut between records", Bytes(wmf.begin(), wmf.end() - 6), as_wmf},   // the end record is missing
        {"placeable header only", Bytes(wmf.begin(), wmf.begin() + 22), as_wmf},
        {"no placeable key", patched(wmf, 0, 0x12345678u), as_wmf},
        {"zero units per inch", patched(wmf, 14, 0, 2), as_wmf},
        {"empty frame", patched(wmf, 10, 0, 2), as_wmf},
        {"record larger than the file", patched(wmf, first, 0x7FFFFFFFu), as_wmf},
        {"record of no size", patched(wmf, first, 0), as_wmf},
        {"empty", Bytes(), as_wmf},
    };
    Bytes mark = mark_clipboard();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.copy(file(c.copy == as_bmp ? "bad.bmp" : "bad.wmf", c.bytes).c_str()), 0);
        EXPECT_EQ(clip_block(CF_DIB), mark);
    }
    EXPECT_EQ(_copybmpfile((dir + "/missing.bmp").c_str()), 0);
    EXPECT_EQ(_copybmpfile(dir.c_str()), 0);   // a directory opens but has no size to trust
    EXPECT_EQ(_copywmffile((dir + "/missing.wmf").c_str()), 0);
    EXPECT_EQ(_copybmpfile(nullptr), 0);
    EXPECT_EQ(_copywmffile(nullptr), 0);
    EXPECT_EQ(clip_block(CF_DIB), mark);
}

} // namespace
