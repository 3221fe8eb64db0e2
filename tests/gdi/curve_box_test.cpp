// Ellipses, arcs, pies, chords and rounded rectangles of a one-pixel pen cover
// their box but its right and bottom edges, pixel for pixel as the reference
// rasteriser draws them. The expected values are its outputs (tools/gdi_probe):
// per case, a hash of the rows drawn on, their box and the pen and fill counts.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>

namespace {
constexpr COLORREF kBlack = 0, kRed = 0x0000FF;

struct Drawn {
    std::string rows;   // "y: x0-x1K x0-x1R ..." per row drawn on, as the probe prints
    std::uint64_t hash = 14695981039346656037ull;   // FNV-1a of rows
    QRect box;   // of the pixels drawn
    int black = 0, red = 0;
};

Drawn drawn(const Canvas& c)
{
    Drawn d;
    auto code = [&](int x, int y) {
        COLORREF v = c.at(x, y);
        return v == 0xFFFFFF ? '.' : v == kBlack ? 'K' : v == kRed ? 'R' : '?';
    };
    const int w = c.img.width();
    for (int y = 0; y < c.img.height(); ++y) {
        std::string row;
        for (int x = 0; x < w;) {
            const char k = code(x, y);
            int e = x;
            while (e + 1 < w && code(e + 1, y) == k) ++e;
            if (k != '.') {
                row += " " + std::to_string(x) + "-" + std::to_string(e) + k;
                d.box |= QRect(x, y, e - x + 1, 1);
                if (k == 'K') d.black += e - x + 1;
                if (k == 'R') d.red += e - x + 1;
            }
            x = e + 1;
        }
        if (row.empty()) continue;
        row = std::to_string(y) + ":" + row + "\n";
        d.rows += row;
        for (unsigned char ch : row) d.hash = (d.hash ^ ch) * 1099511628211ull;
    }
    return d;
}

// A call: E ellipse, A arc, P pie, C chord, R rounded rectangle, then its numbers.
void draw(HDC dc, const char* call)
{
    std::istringstream in(call);
    char shape = 0;
    int a[8] = {};
    in >> shape;
    for (int& v : a) in >> v;
    switch (shape) {
    case 'E': Ellipse(dc, a[0], a[1], a[2], a[3]); break;
    case 'A': Arc(dc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
    case 'P': Pie(dc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
    case 'C': Chord(dc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
    case 'R': RoundRect(dc, a[0], a[1], a[2], a[3], a[4], a[5]); break;
    default: FAIL() << call;
    }
}

// A canvas with a black pen of `width` and a red brush selected.
struct Painted {
    Canvas c{320, 120};
    HPEN pen;
    HBRUSH br = CreateSolidBrush(kRed);
    explicit Painted(int width, int style = PS_SOLID) : pen(CreatePen(style, width, kBlack))
    {
        SelectObject(c.dc, pen);
        SelectObject(c.dc, br);
    }
    ~Painted()   // still selected: they go with the DC
    {
        DeleteObject(pen);
        DeleteObject(br);
    }
};

struct Case {
    const char* call;
    std::uint64_t hash;
    int x0, y0, x1, y1, black, red, penStyle = PS_SOLID;
};

// Radius 1 to 8 about (80, 60) for every shape (the arc a whole ellipse from the
// right end of its middle, as a framed ellipse draws it), then larger and odd
// boxes, the three shapes of the picture the fault was found on, fills without a
// pen (which cover the pen's pixels of ellipses, not of pies and chords), and
// dashes, which run along the arc and on into the pie's lines.
const Case kCases[] = {
    {"E 79 59 81 61", 0xee9239a014a89015, 79, 59, 80, 60, 4, 0},
    {"A 79 59 81 61 81 60 81 60", 0xa0084adb2f4a5189, 79, 59, 80, 60, 3, 0},
    {"P 79 59 81 61 81 60 80 59", 0xee9239a014a89015, 79, 59, 80, 60, 4, 0},
    {"C 79 59 81 61 81 60 79 61", 0xa0084adb2f4a5189, 79, 59, 80, 60, 3, 0},
    {"R 75 59 85 61 2 2", 0xef20f1789ab816f5, 75, 59, 84, 60, 20, 0},
    {"E 78 58 82 62", 0x958aa770c2235b59, 78, 58, 81, 61, 8, 4},
    {"A 78 58 82 62 82 60 82 60", 0x746de165be213839, 78, 58, 81, 61, 7, 0},
    {"P 78 58 82 62 82 60 80 58", 0x8c85808e35db5e03, 80, 59, 81, 60, 2, 0},
    {"C 78 58 82 62 82 60 78 62", 0xc00d80e3796645d7, 78, 58, 81, 60, 7, 1},
    {"R 74 58 86 62 4 4", 0x6910154d5262dfe1, 74, 58, 85, 61, 24, 20},
    {"E 77 57 83 63", 0x2be42f763ecda4cb, 77, 57, 82, 62, 12, 12},
    {"A 77 57 83 63 83 60 83 60", 0x03a5f0705690faad, 77, 57, 82, 62, 11, 0},
    {"P 77 57 83 63 83 60 80 57", 0x6c737babaeea25bc, 80, 58, 82, 60, 5, 0},
    {"C 77 57 83 63 83 60 77 63", 0x5de27cc21f8e8f7e, 77, 57, 82, 61, 11, 6},
    {"R 73 57 87 63 6 6", 0x2d8ad0ef88bcd323, 73, 57, 86, 62, 28, 44},
    {"E 76 56 84 64", 0xee5c1347d5e3a9b7, 76, 56, 83, 63, 20, 32},
    {"A 76 56 84 64 84 60 84 60", 0xda546f68744b9207, 76, 56, 83, 63, 19, 0},
    {"P 76 56 84 64 84 60 80 56", 0x3275ed45c6e585f3, 80, 56, 83, 60, 10, 3},
    {"C 76 56 84 64 84 60 76 64", 0xc8b02003a7023ecd, 76, 56, 83, 62, 18, 19},
    {"R 72 56 88 64 8 8", 0xc6a0fee3f151516f, 72, 56, 87, 63, 36, 80},
    {"E 75 55 85 65", 0x54f346ce24b5c1d5, 75, 55, 84, 64, 24, 52},
    {"A 75 55 85 65 85 60 85 60", 0x43d7289b83a9d467, 75, 55, 84, 64, 23, 0},
    {"P 75 55 85 65 85 60 80 55", 0x77dbbdeb84d5d020, 80, 55, 84, 60, 13, 5},
    {"C 75 55 85 65 85 60 75 65", 0xc8744af73aab970c, 75, 55, 84, 62, 22, 31},
    {"R 71 55 89 65 10 10", 0x912d6f4aa9cee445, 71, 55, 88, 64, 40, 116},
    {"E 74 54 86 66", 0x2fb25558b3c86561, 74, 54, 85, 65, 32, 80},
    {"A 74 54 86 66 86 60 86 60", 0xad9a8d9801511af9, 74, 54, 85, 65, 31, 0},
    {"P 74 54 86 66 86 60 80 54", 0x9e31024d52f5b269, 80, 54, 85, 60, 17, 11},
    {"C 74 54 86 66 86 60 74 66", 0x871847aeb558aa1a, 74, 54, 85, 63, 29, 51},
    {"R 70 54 90 66 12 12", 0x8e45ec104aad1809, 70, 54, 89, 65, 48, 160},
    {"E 73 53 87 67", 0xda8a6a9ae005fc9f, 73, 53, 86, 66, 36, 112},
    {"A 73 53 87 67 87 60 87 60", 0x012002924ede1b21, 73, 53, 86, 66, 35, 0},
    {"P 73 53 87 67 87 60 80 53", 0xf9436e076c1c0f79, 80, 53, 86, 60, 20, 16},
    {"C 73 53 87 67 87 60 73 67", 0x02f68e1d1d311d1e, 73, 53, 86, 64, 33, 77},
    {"R 69 53 91 67 14 14", 0x577463fba16a06d7, 69, 53, 90, 66, 52, 208},
    {"E 72 52 88 68", 0xcfb8f8e17ea2ccf3, 72, 52, 87, 67, 44, 156},
    {"A 72 52 88 68 88 60 88 60", 0xc63ddc030086b0ff, 72, 52, 87, 67, 43, 0},
    {"P 72 52 88 68 88 60 80 52", 0x48b27c73e9d66e71, 80, 52, 87, 60, 24, 26},
    {"C 72 52 88 68 88 60 72 68", 0x45b9e368cf688de3, 72, 52, 87, 65, 40, 109},
    {"R 68 52 92 68 16 16", 0x42272d7ab0b58ebf, 68, 52, 91, 67, 60, 268},
    {"E 67 47 93 74", 0xac2b4f20253a681e, 67, 47, 92, 73, 74, 476},
    {"A 67 47 93 73 93 54 67 64", 0xf62d856e609227db, 67, 47, 90, 62, 33, 0},
    {"P 67 47 93 73 67 73 86 47", 0x63a05d7507dda329, 71, 49, 92, 72, 58, 220},
    {"C 67 47 94 73 80 47 80 73", 0x38ce31223afd2c87, 67, 47, 80, 72, 62, 226},
    {"R 67 47 93 73 13 7", 0xf9473d8e0e8267af, 67, 47, 92, 72, 92, 568},
    {"E 53 33 107 88", 0x8395e16aec4a8544, 53, 33, 106, 87, 150, 2176},
    {"A 53 33 107 87 107 47 53 69", 0xca7160f6c5e89056, 53, 33, 103, 67, 70, 0},
    {"P 53 33 107 87 53 87 93 33", 0xfb21b1b4e5cc31e8, 62, 36, 106, 86, 122, 1113},
    {"C 53 33 108 87 80 33 80 87", 0x8856a33ad837d203, 53, 33, 80, 86, 128, 1062},
    {"R 53 33 107 87 27 14", 0x7ee5a80c9b459ccd, 53, 33, 106, 86, 192, 2644},
    {"E 30 10 130 111", 0xca17e05588e1362f, 30, 10, 129, 110, 282, 7646},
    {"A 30 10 130 110 130 35 30 76", 0x1a0624e3beb5603d, 30, 10, 124, 74, 133, 0},
    {"P 30 10 130 110 30 110 105 10", 0xb4f5e2c75db2b938, 45, 16, 129, 109, 230, 4046},
    {"C 30 10 131 110 80 10 80 110", 0xf7ad3a90ebe1a485, 30, 10, 80, 109, 240, 3774},
    {"R 30 10 130 110 50 26", 0x045778ade543ff63, 30, 10, 129, 109, 356, 9360},
    {"E 40 10 60 30", 0x26948aac81f6ec25, 40, 10, 59, 29, 52, 256},
    {"P 70 10 100 40 100 25 70 25", 0xf694dc02a6cb1dee, 70, 10, 99, 25, 67, 287},
    {"A 110 10 140 40 140 25 110 25", 0xadb0ce6232bd1519, 110, 10, 139, 24, 38, 0},
    {"A 295 45 305 55 305 50 305 50", 0x3947a32d4e1aa5b9, 295, 45, 304, 54, 23, 0},
    {"E 75 55 85 66", 0x34f2d815a26ccb5b, 75, 55, 84, 65, 0, 86, PS_NULL},
    {"P 75 55 85 65 85 60 80 55", 0xb9d5bfe9153d1d64, 81, 56, 83, 59, 0, 9, PS_NULL},
    {"P 72 52 88 68 72 68 84 52", 0xe40f2e355b5a24ec, 75, 54, 86, 66, 0, 79, PS_NULL},
    {"C 72 52 89 68 80 52 80 68", 0x1573559fcb6cd7dd, 72, 52, 79, 66, 0, 93, PS_NULL},
    {"R 64 47 96 73 13 14", 0xef43418f9aef1109, 64, 47, 95, 72, 0, 792, PS_NULL},
    {"E 60 40 100 80", 0x1127b594d639ef99, 60, 40, 99, 79, 88, 1136, PS_DASH},
    {"P 60 40 100 80 100 60 80 40", 0x134328d4d1a47c6e, 80, 40, 99, 60, 53, 247, PS_DASH},
};

TEST(GdiCurves, OnePixelPenShapesMatchTheReferencePixelForPixel)
{
    for (const Case& k : kCases) {
        Painted p(1, k.penStyle);
        draw(p.c.dc, k.call);
        const Drawn d = drawn(p.c);
        EXPECT_EQ(d.box, QRect(QPoint(k.x0, k.y0), QPoint(k.x1, k.y1))) << k.call;
        EXPECT_EQ(std::pair(d.black, d.red), std::pair(k.black, k.red)) << k.call;
        EXPECT_EQ(d.hash, k.hash) << k.call << " drew\n" << d.rows;
    }
}

// Rows as printed back into pixels: (x, y) -> 'K' or 'R'.
std::map<std::pair<int, int>, char> pixels_of(const std::string& rows)
{
    std::map<std::pair<int, int>, char> px;
    std::istringstream in(rows);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream ls(line);
        int y = 0, x0 = 0, x1 = 0;
        char colon = 0, dash = 0, k = 0;
        ls >> y >> colon;
        while (ls >> x0 >> dash >> x1 >> k)
            for (int x = x0; x <= x1; ++x) px[{x, y}] = k;
    }
    return px;
}

// Wide pens are stroked with a footprint of GDI's own; ours may differ, but every
// pixel either drew lies within one pixel of a pixel of the same colour in the other.
TEST(GdiCurves, WidePensStayWithinAPixelOfTheReference)
{
    const struct { int width; const char *call, *rows; } cases[] = {
        {2, "E 45 45 55 55",
         "44: 47-51K\n45: 46-52K\n46: 45-48K 49-49R 50-53K\n47: 44-47K 48-50R 51-54K\n48: 44-46K 47-51R 52-54K\n"
         "49: 44-45K 46-52R 53-54K\n50: 44-45K 46-52R 53-54K\n51: 44-46K 47-51R 52-54K\n52: 44-47K 48-50R 51-54K\n"
         "53: 45-53K\n54: 46-52K\n"},
        {3, "P 45 45 55 55 55 50 45 50",
         "44: 48-53K\n45: 46-54K\n46: 45-55K\n47: 44-49K 50-50R 51-54K\n48: 44-50K 51-51R 52-55K\n"
         "49: 44-55K\n50: 47-54K\n51: 50-54K\n"},
    };
    for (const auto& k : cases) {
        Painted pt(k.width);
        draw(pt.c.dc, k.call);
        const std::string ours = drawn(pt.c).rows;
        const auto mine = pixels_of(ours), ref = pixels_of(k.rows);
        auto near = [](const auto& in, std::pair<int, int> p, char want) {
            for (int i = 0; i < 9; ++i)
                if (auto it = in.find({p.first + i % 3 - 1, p.second + i / 3 - 1}); it != in.end() && it->second == want)
                    return true;
            return false;
        };
        int off = 0;
        for (const auto& [p, v] : mine) off += !near(ref, p, v);
        for (const auto& [p, v] : ref) off += !near(mine, p, v);
        EXPECT_EQ(off, 0) << k.width << " " << k.call << " drew\n" << ours;
    }
}

// The stick figure's joint mark of radius 5 at (300, 50), `_frameellipse(295, 45,
// 305, 55)`: recorded in twentieths of a pixel with the default pen of 4 units,
// replayed at twenty units a pixel. It covers columns and rows 295/45 to 304/54.
TEST(GdiCurves, FramedEllipseReplayedFromTwentiethsCoversItsWholeBox)
{
    HDC rec = CreateMetaFileA(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 4, kBlack);
    SelectObject(rec, pen);
    Arc(rec, 5900, 900, 6100, 1100, 6100, 1000, 6100, 1000);
    HMETAFILE mf = CloseMetaFile(rec);
    DeleteObject(pen);
    Canvas c(320, 120);
    SetMapMode(c.dc, MM_ANISOTROPIC);
    SetWindowExtEx(c.dc, 20, 20, nullptr);
    SetViewportExtEx(c.dc, 1, 1, nullptr);
    PlayMetaFile(c.dc, mf);
    DeleteMetaFile(mf);
    EXPECT_EQ(drawn(c).rows, "45: 298-301K\n46: 297-297K 302-302K\n47: 296-296K 303-303K\n"
                             "48: 295-295K 304-304K\n49: 295-295K 304-304K\n50: 295-295K\n"
                             "51: 295-295K 304-304K\n52: 296-296K 303-303K\n53: 297-297K 302-302K\n"
                             "54: 298-301K\n");
}
}  // namespace
