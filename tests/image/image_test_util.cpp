// Helpers of the image tests.
#include "image_test_util.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

// The system's Python, where Debian's Pillow lives (a Python of the user's own first
// on the path may lack it).
#define PYTHON "$(test -x /usr/bin/python3 && echo /usr/bin/python3 || echo python3)"

std::uint32_t px(const _bmap* bm, int x, int y)
{
    const unsigned char* p = bm->bits + y * bm->stride + x * 3;
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

void rotated_place(int angle, int x, int y, int w, int h, int* col, int* row)
{
    if (angle == 90) {
        *col = y;
        *row = w - 1 - x;
    } else if (angle == -90) {
        *col = h - 1 - y;
        *row = x;
    } else {
        *col = w - 1 - x;
        *row = h - 1 - y;
    }
}

bool same_pixels(const _bmap* a, const _bmap* b)
{
    if (!a || !b || a->width != b->width || a->height != b->height)
        return false;
    for (int y = 0; y < a->height; ++y)
        if (std::memcmp(a->bits + y * a->stride, b->bits + y * b->stride, a->width * 3) != 0)
            return false;
    return true;
}

static void put16(Bytes& b, unsigned v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
static void put32(Bytes& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

Bytes bmp_file(int w, int h, int bpp, std::uint32_t compression, const std::vector<std::uint32_t>& palette,
               const Bytes& rows, int xppm, int yppm)
{
    Bytes b;
    const std::uint32_t off = 14 + 40 + 4 * palette.size();
    b.push_back('B');
    b.push_back('M');
    put32(b, off + rows.size());
    put32(b, 0);
    put32(b, off);
    put32(b, 40);
    put32(b, w);
    put32(b, h);
    put16(b, 1);
    put16(b, bpp);
    put32(b, compression);
    put32(b, rows.size());
    put32(b, xppm);
    put32(b, yppm);
    put32(b, palette.size());
    put32(b, 0);
    for (std::uint32_t c : palette)
        put32(b, c);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

Bytes rows24(int w, int h, const std::vector<std::uint32_t>& pixels, bool bottomup)
{
    Bytes r;
    const int row = (w * 3 + 3) / 4 * 4;
    for (int i = 0; i < h; ++i) {
        int y = bottomup ? h - 1 - i : i;
        for (int x = 0; x < w; ++x) {
            std::uint32_t c = pixels[y * w + x];
            r.push_back(c & 0xFF);
            r.push_back((c >> 8) & 0xFF);
            r.push_back((c >> 16) & 0xFF);
        }
        for (int k = w * 3; k < row; ++k)
            r.push_back(0);
    }
    return r;
}

TempDir::TempDir()
{
    char tmpl[] = "/tmp/ostrel-image-XXXXXX";
    char* d = mkdtemp(tmpl);
    path = d ? d : "/tmp";
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

void write_file(const std::string& path, const Bytes& data)
{
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

Bytes read_file(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool have_tool(const std::string& tool)
{
    if (tool == "pil")
        return std::system(PYTHON " -c 'import PIL' >/dev/null 2>&1") == 0;
    if (tool == "magick")
        return std::system("command -v convert >/dev/null 2>&1") == 0;
    return false;
}

bool reference_decode(const std::string& tool, const std::string& path, int* w, int* h,
                      std::vector<std::uint32_t>* pixels)
{
    TempDir tmp;
    const std::string out = tmp.file("out.ppm");
    std::string cmd;
    if (tool == "pil")
        cmd = PYTHON " -c 'import sys; from PIL import Image; im=Image.open(sys.argv[1]); im.load(); "
              "im.convert(\"RGB\").save(sys.argv[2], \"PPM\")' '" + path + "' '" + out + "' >/dev/null 2>&1";
    else
        cmd = "convert '" + path + "[0]' -depth 8 -alpha off 'ppm:" + out + "' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0)
        return false;
    Bytes d = read_file(out);
    // binary PPM: P6 w h 255 then RGB
    int W = 0, H = 0, M = 0, used = 0;
    const std::string head(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(d.size(), 64)));
    if (d.size() < 16 || std::sscanf(head.c_str(), "P6 %d %d %d%n", &W, &H, &M, &used) != 3 || M != 255)
        return false;
    std::size_t at = static_cast<std::size_t>(used) + 1;
    if (d.size() < at + static_cast<std::size_t>(W) * H * 3)
        return false;
    *w = W;
    *h = H;
    pixels->resize(static_cast<std::size_t>(W) * H);
    for (std::size_t i = 0; i < pixels->size(); ++i)
        (*pixels)[i] = (std::uint32_t(d[at + i * 3]) << 16) | (std::uint32_t(d[at + i * 3 + 1]) << 8) | d[at + i * 3 + 2];
    return true;
}
