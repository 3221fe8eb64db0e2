// libFuzzer target of the Windows metafile reader: any bytes are read
// (plain or placeable), a file that reads is replayed onto a small image and
// onto a recording, and written back to bytes. Nothing may fault, overrun or
// allocate beyond what the input justifies.
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 20)) return 0;
    HMETAFILE mf = SetMetaFileBitsEx(UINT(size), data);
    if (!mf) return 0;
    QImage img(64, 48, QImage::Format_RGB32);
    img.fill(Qt::white);
    HDC dc = gdi_create_image_dc(&img, nullptr);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1280, 960, nullptr);
    SetViewportExtEx(dc, 64, 48, nullptr);
    PlayMetaFile(dc, mf);
    gdi_destroy_image_dc(dc);
    HDC rec = CreateMetaFileA(nullptr);
    PlayMetaFile(rec, mf);
    HMETAFILE copy = CloseMetaFile(rec);
    UINT n = GetMetaFileBitsEx(copy, 0, nullptr);
    if (n) {
        std::vector<BYTE> out(n);
        GetMetaFileBitsEx(copy, n, out.data());
    }
    DeleteMetaFile(copy);
    DeleteMetaFile(mf);
    return 0;
}
