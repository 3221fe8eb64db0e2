// Helpers of the GDI tests (see gdi_test_support.h).
#include "gdi_test_support.h"

#include <cstdio>

Canvas::Canvas(int w, int h, COLORREF fill) : img(w, h, QImage::Format_RGB32)
{
    img.fill(QColor(GetRValue(fill), GetGValue(fill), GetBValue(fill)));
    dc = gdi_create_image_dc(&img, nullptr);
}
Canvas::~Canvas() { gdi_destroy_image_dc(dc); }

std::vector<unsigned char> wmf_bytes(HMETAFILE mf)
{
    UINT n = GetMetaFileBitsEx(mf, 0, nullptr);
    std::vector<unsigned char> b(n);
    if (n) GetMetaFileBitsEx(mf, n, b.data());
    return b;
}

std::string dump_words(const std::vector<unsigned char>& b)
{
    std::string s;
    char buf[8];
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        std::snprintf(buf, sizeof buf, "%04x ", b[i] | (b[i + 1] << 8));
        s += buf;
    }
    return s;
}

void replay(HMETAFILE mf, Canvas& c) { PlayMetaFile(c.dc, mf); }

HBRUSH mask_brush(const unsigned char rows[8])
{
    unsigned char words[16] = {};
    for (int i = 0; i < 8; ++i)
        words[2 * i] = rows[i];
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, words);
    HBRUSH br = CreatePatternBrush(bm);
    DeleteObject(bm);
    return br;
}
