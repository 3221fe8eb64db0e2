// Draws shapes on a white 32-bit DIB with a black pen and a red brush and prints
// the pixels each one changes, as per-row spans. Built with MinGW and run under
// Wine it gives the reference answers that tests/gdi/curve_box_test.cpp keeps (a
// failing case there prints our rows in the same form). A Windows program only:
// it is not part of the build.
//
// Input, one case per line:  <pen width, -1 for a null pen> <shape> <coordinates...>
//   shapes: E ellipse (4), A arc, P pie, C chord (8 each), R roundrect (6), X rectangle (4)
// Output per case: "# <line>", then "y: x0-x1K x0-x1R ..." (K black, R red, ? other)
// for every row drawn on, then "= <hash> <x0> <y0> <x1> <y1> <black> <red>": the
// 64-bit FNV-1a hash of those row lines (each ending in a newline), the box of
// the drawn pixels and the counts of black and red ones, as the test keeps them.
#include <cstdio>
#include <cstring>
#include <string>
#include <windows.h>

namespace {
constexpr int W = 320, H = 120;

struct Surface {
    HDC dc = nullptr;
    const unsigned* px = nullptr;
    HBITMAP bmp = nullptr;
    Surface()
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = W;
        bi.bmiHeader.biHeight = -H;   // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bmp);
        PatBlt(dc, 0, 0, W, H, WHITENESS);
        px = static_cast<const unsigned*>(bits);
    }
    ~Surface()
    {
        DeleteDC(dc);
        DeleteObject(bmp);
    }
    char at(int x, int y) const
    {
        unsigned c = px[y * W + x] & 0xFFFFFF;   // 0x00RRGGBB
        return c == 0xFFFFFF ? '.' : c == 0 ? 'K' : c == 0xFF0000 ? 'R' : '?';
    }
};

void run(const char* line)
{
    int w = 0;
    char shape = 0;
    int a[8] = {};
    int n = std::sscanf(line, "%d %c %d %d %d %d %d %d %d %d", &w, &shape, &a[0], &a[1], &a[2], &a[3], &a[4], &a[5],
                        &a[6], &a[7]);
    if (n < 6) return;
    Surface s;
    HPEN pen = CreatePen(w < 0 ? PS_NULL : PS_SOLID, w < 0 ? 0 : w, RGB(0, 0, 0));
    HBRUSH br = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ op = SelectObject(s.dc, pen), ob = SelectObject(s.dc, br);
    switch (shape) {
    case 'E': Ellipse(s.dc, a[0], a[1], a[2], a[3]); break;
    case 'X': Rectangle(s.dc, a[0], a[1], a[2], a[3]); break;
    case 'R': RoundRect(s.dc, a[0], a[1], a[2], a[3], a[4], a[5]); break;
    case 'A': Arc(s.dc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
    case 'P': Pie(s.dc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
    case 'C': Chord(s.dc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
    default: break;
    }
    SelectObject(s.dc, op);
    SelectObject(s.dc, ob);
    DeleteObject(pen);
    DeleteObject(br);
    std::printf("# %s\n", line);
    unsigned long long hash = 14695981039346656037ull;
    int x0 = W, y0 = H, x1 = -1, y1 = -1, black = 0, red = 0;
    for (int y = 0; y < H; ++y) {
        std::string row;
        for (int x = 0; x < W;) {
            char c = s.at(x, y);
            int e = x;
            while (e + 1 < W && s.at(e + 1, y) == c) ++e;
            if (c != '.') {
                row += " " + std::to_string(x) + "-" + std::to_string(e) + c;
                x0 = x < x0 ? x : x0, x1 = e > x1 ? e : x1, y0 = y < y0 ? y : y0, y1 = y;
                if (c == 'K') black += e - x + 1;
                if (c == 'R') red += e - x + 1;
            }
            x = e + 1;
        }
        if (row.empty()) continue;
        row = std::to_string(y) + ":" + row + "\n";
        std::printf("%s", row.c_str());
        for (unsigned char ch : row) hash = (hash ^ ch) * 1099511628211ull;
    }
    std::printf("= %016llx %d %d %d %d %d %d\n", hash, x0, y0, x1, y1, black, red);
}
}  // namespace

int main()
{
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = 0;
        if (line[0] && line[0] != '#') run(line);
    }
    return 0;
}
