// libFuzzer target of _copybmpfile and _copywmffile: the input is written to a
// file in a directory of this process's own and handed to both; what reaches
// the clipboard is read back in every form it offers (the block, the BMP file,
// the image, the placeable metafile). Nothing may fault, overrun or allocate
// beyond what the file justifies.
#include "ostrel/clipboard.h"
#include "platform/gdi/winclip.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
std::string dir, path;

void remove_files()
{
    std::remove(path.c_str());
    std::remove(dir.c_str());
}

void read_back()
{
    if (OpenClipboard(nullptr)) {
        GetClipboardData(CF_DIB);
        GetClipboardData(CF_METAFILEPICT);
        CloseClipboard();
    }
    if (const QMimeData* md = QGuiApplication::clipboard()->mimeData()) {
        for (const QString& f : md->formats())
            md->data(f);
        if (md->hasImage())
            (void)qvariant_cast<QImage>(md->imageData());
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    char tmpl[] = "/tmp/ostrel-fuzz-clip-XXXXXX";
    if (!mkdtemp(tmpl))
        std::abort();
    dir = tmpl;
    path = dir + "/input";
    std::atexit(remove_files);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 20))
        return 0;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    if (_copybmpfile(path.c_str()))
        read_back();
    if (_copywmffile(path.c_str()))
        read_back();
    return 0;
}
