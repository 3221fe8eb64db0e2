// A small program on the real runtime entry, started by the page tests and the
// Xvfb checks to watch what only a whole process shows: the fatal report and
// its exit status, and the end of the program when a page is closed.
//   fatal     _newpage(0, ...): reports the box it sees on stdout, closes it
//   close     a page closed by the user ends the program while main waits
//   exitmenu  Exit in a page's menu ends the program while main waits
//   geometry  _newpage(1, "geometry", 300, 200, -640, -480, 0, 0), prints its
//             geometry and stays
//   clip      puts one picture on the desktop clipboard and stays to serve it,
//             for the interop check under Xvfb; CLIP_DIR names a work directory,
//             CLIP_CASE the call:
//     page     _copypagedib of a 61 x 37 off-screen page
//     bmap     _copybmapdib of a 61 x 37 bitmap object
//     bmpfile  _copybmpfile of a BMP file of that bitmap
//     copyfile _copyfile of the same file named .BMP
//     wmffile  _copywmffile of a placeable metafile (src.wmf)
//             It writes the expected pixels to ref.bmp (the metafile to src.wmf)
//             and prints "ready" or "failed"; with CLIP_END set it ends at once,
//             through the runtime's own end.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"
#include "platform/win/window_surface.h"
#include "platform/win/winuser.h"
#include "tests/support/pixels.h"
#include "runtime/console/console_internal.h"
#include <ostrel.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

void say(const char* text)
{
    std::fputs(text, stdout);
    std::fflush(stdout);
}
void say(const char* label, const QString& text) { say((label + text + "\n").toUtf8().constData()); }

void ended()
{
    say("ended\n");
}

// Reports and closes whatever modal box is up.
void watch_boxes()
{
    auto* timer = new QTimer();
    QObject::connect(timer, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QDialog*>(w);
            if (!box || !box->isVisible())
                continue;
            say("caption: ", box->windowTitle());
            if (auto* mb = qobject_cast<QMessageBox*>(box))
                say("text: ", mb->text());
            for (QLabel* l : box->findChildren<QLabel*>())
                say("label: ", l->text());
            box->done(IDOK);
        }
    });
    timer->start(50);
}

constexpr int kW = 61, kH = 37;

// Blue x * 4, green y * 6, red 255 - x * 4, with one marked corner.
COLORREF pattern(int x, int y)
{
    if (x < 5 && y < 5)
        return 0x000000;
    return RGB(255 - 4 * x, 6 * y, 4 * x);
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
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return !bytes.empty() && f.flush().good();
}

// Puts the picture of `c` on the clipboard (see the list above).
int clip(const std::string& c, const std::string& dir)
{
    const std::string ref = dir + "/ref.bmp";
    if (c == "wmffile")
        return write_wmf(dir + "/src.wmf") && _copywmffile((dir + "/src.wmf").c_str());
    _bmap* bm = bmap_of(kW, kH, pattern);
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
    char mode[1024] = {};
    _getcmdline(mode);
    std::atexit(ended);
    if (std::strcmp(mode, "fatal") == 0) {
        watch_boxes();
        _newpage(0, "fatal", 0, 0, 100, 100, 0, 0);
        say("after\n");
        return 0;
    }
    if (std::strcmp(mode, "close") == 0) {
        _newpage(1, "close", 10, 10, 200, 150, 0, 0);
        QTimer::singleShot(300, [] {
            if (IsWindowVisible(_pagewindow(1)))
                say("page open\n");
            if (QWidget* w = platform_window_widget(_pagewindow(1)))
                w->close();
        });
        getchar();   // main still runs when the page is closed
        say("main returned\n");
        return 0;
    }
    if (std::strcmp(mode, "exitmenu") == 0) {
        _newpage(1, "exit", 10, 10, 200, 150, 0, 0);
        PostMessageA(_pagewindow(1), WM_COMMAND, IDM_EXIT, 0);
        getchar();
        say("main returned\n");
        return 0;
    }
    if (std::strcmp(mode, "geometry") == 0) {
        _newpage(1, "geometry", 300, 200, -640, -480, 0, 0);
        RECT c{}, r{};
        GetClientRect(_pagewindow(1), &c);
        GetWindowRect(_pagewindow(1), &r);
        char line[200];
        std::snprintf(line, sizeof line, "client %d %d\nwindow %d %d %d %d\n", int(c.right - c.left),
                      int(c.bottom - c.top), int(r.left), int(r.top), int(r.right - r.left),
                      int(r.bottom - r.top));
        say(line);
        return 0;
    }
    if (std::strcmp(mode, "clip") == 0) {
        const char* c = std::getenv("CLIP_CASE");
        const char* dir = std::getenv("CLIP_DIR");
        say(c && dir && clip(c, dir) ? "ready\n" : "failed\n");
        if (!std::getenv("CLIP_END"))
            _showconsole();   // a visible console keeps the program (the clipboard's owner) running
        return 0;
    }
    say("unknown mode\n");
    return CLOSE_CONSOLE;
}
