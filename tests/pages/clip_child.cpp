// A small program on the real runtime entry that puts one picture on the
// desktop clipboard and stays to serve it, for the interop check under Xvfb.
// The command line names a work directory; CLIP_CASE picks the call:
//   page     _copypagedib of a 61 x 37 off-screen page
//   bmap     _copybmapdib of a 61 x 37 bitmap object
//   bmpfile  _copybmpfile of a BMP file of that bitmap
//   copyfile _copyfile of the same file named .BMP
//   wmffile  _copywmffile of a placeable metafile (src.wmf)
// It writes the expected pixels to ref.bmp (the metafile to src.wmf), prints
// "ready" or "failed" and keeps running until it is ended; with CLIP_END set
// it ends at once, through the runtime's own end.
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"
#include <ostrel.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kW = 61, kH = 37;

// Blue x * 4, green y * 6, red 255 - x * 4, with one marked corner.
unsigned int pattern(int x, int y)
{
    if (x < 5 && y < 5)
        return 0x000000;
    return RGB(255 - 4 * x, 6 * y, 4 * x);
}

_bmap* pattern_bmap()
{
    _bmap* bm = new _bmap(kW, kH, 24);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            unsigned int c = pattern(x, y);
            unsigned char* p = bm->bits + y * bm->stride + 3 * x;
            p[0] = (c >> 16) & 0xFF;
            p[1] = (c >> 8) & 0xFF;
            p[2] = c & 0xFF;
        }
    return bm;
}

// A 2 x 1 inch picture at 1000 units per inch: a red box on the left half, a
// blue ellipse on the right, a green band along the bottom.
bool write_wmf(const std::string& path)
{
    HDC rec = CreateMetaFileA(nullptr);
    SetWindowOrgEx(rec, 0, 0, nullptr);
    SetWindowExtEx(rec, 2000, 1000, nullptr);
    SelectObject(rec, GetStockObject(NULL_PEN));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    SelectObject(rec, red);
    Rectangle(rec, 100, 100, 900, 700);
    SelectObject(rec, blue);
    Ellipse(rec, 1100, 100, 1900, 700);
    SelectObject(rec, green);
    Rectangle(rec, 0, 800, 2000, 1000);
    HMETAFILE mf = CloseMetaFile(rec);
    DeleteObject(red);
    DeleteObject(blue);
    DeleteObject(green);
    std::vector<unsigned char> bytes = gdi_placeable_wmf(mf, 1000, RECT{0, 0, 2000, 1000});
    DeleteMetaFile(mf);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || bytes.empty())
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

int run(const std::string& c, const std::string& dir)
{
    const std::string ref = dir + "/ref.bmp";
    if (c == "wmffile")
        return write_wmf(dir + "/src.wmf") && _copywmffile((dir + "/src.wmf").c_str());
    _bmap* bm = pattern_bmap();
    int ok = _bmap_savebmp(ref.c_str(), bm);
    if (c == "page") {
        ok = ok && _bmap_to_page(bm, 1) && _copypagedib(1);
    } else if (c == "bmap") {
        ok = ok && _copybmapdib(bm);
    } else if (c == "bmpfile") {
        ok = ok && _copybmpfile(ref.c_str());
    } else if (c == "copyfile") {
        const std::string upper = dir + "/copy.BMP";
        ok = ok && _bmap_savebmp(upper.c_str(), bm) && _copyfile(upper.c_str());
    } else {
        ok = 0;
    }
    delete bm;
    return ok;
}

} // namespace

int main()
{
    char dir[1024] = {};
    _getcmdline(dir);
    const char* c = std::getenv("CLIP_CASE");
    std::fputs(c && run(c, dir) ? "ready\n" : "failed\n", stdout);
    std::fflush(stdout);
    if (!std::getenv("CLIP_END"))
        _showconsole();   // a visible console keeps the program (the clipboard's owner) running
    return 0;
}
