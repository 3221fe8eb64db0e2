// The page window procedure: repaint from the content (page window or canvas),
// the status bar and the canvas sharing the client area, the Copy and Help
// commands.
#include "tests/support/page_fixture.h"
#include "platform/gdi/winclip.h"
#include "platform/win/commctrl.h"
#include "platform/win/window_surface.h"
#include "ostrel/draw.h"
#include "tests/support/pixels.h"

#include <QApplication>
#include <QImage>

namespace {

// The colour shown at client pixel (x, y) of a window.
COLORREF shown(HWND w, int x, int y)
{
    QImage* img = platform_window_surface(w);
    return img && x < img->width() && y < img->height() ? pixel(*img, x, y) : CLR_INVALID;
}

int help_calls = 0;
void help() { ++help_calls; }

} // namespace

using PageWindow = PageTest;

TEST_F(PageWindow, DrawingShowsAfterSelectingThePageOnTheWindowOrItsCanvas)
{
    for (int flags : {0, int(PAGE_CANVAS)}) {
        ASSERT_EQ(_newpage(1, "paint", 10, 10, -200, -150, flags, 0), 1);
        HWND w = flags ? _pagecanvas(1) : _pagewindow(1);
        ASSERT_NE(w, nullptr);
        pump();
        COLORREF bk = shown(w, 50, 50);
        _setcolor(RGB(255, 0, 0));
        _rectangle(0, 20, 20, 80, 80);
        pump();
        EXPECT_EQ(shown(w, 50, 50), bk) << flags;   // recorded, not yet shown
        ASSERT_EQ(_setpage(1, 0), 1);
        pump();
        EXPECT_NE(shown(w, 50, 50), bk) << flags;
        EXPECT_EQ(shown(w, 150, 120), bk) << flags;
    }
}

TEST_F(PageWindow, EarlierPageRepaintsWhenAnotherIsCreated)
{
    ASSERT_EQ(_newpage(1, "one", 10, 10, -200, -150, 0, 0), 1);
    pump();
    COLORREF bk = shown(_pagewindow(1), 50, 50);
    _rectangle(0, 0, 0, 100, 100);
    ASSERT_EQ(_newpage(2, "two", 300, 10, -200, -150, 0, 0), 1);
    pump();
    EXPECT_NE(shown(_pagewindow(1), 50, 50), bk);
}

TEST_F(PageWindow, StatusBarAndCanvasShareTheClientArea)
{
    ASSERT_EQ(_newpage(1, "status", 10, 10, -300, -200, PAGE_CANVAS, 0), 1);
    ASSERT_EQ(_setstatus(1, "ready"), 1);
    HWND status = _getstatusbar(1);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(_pagerecord(1)->status, status);
    _sizepage(1, -320, -240);
    pump();
    RECT s{}, c{};
    GetWindowRect(status, &s);
    GetWindowRect(_pagecanvas(1), &c);
    int sh = s.bottom - s.top;
    EXPECT_GT(sh, 0);
    EXPECT_EQ(c.right - c.left, 320);
    EXPECT_EQ(c.bottom - c.top, 240 - sh);
}

TEST_F(PageWindow, CopyPutsThePictureOnTheClipboardHelpCallsTheHelpHook)
{
    ASSERT_EQ(_newpage(1, "copy", 10, 10, -100, -80, 0, 0), 1);
    _rectangle(0, 5, 5, 50, 50);
    _setpage(1, 0);
    ASSERT_TRUE(OpenClipboard(_consolewindow()));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(SendMessageA(_pagewindow(1), WM_COMMAND, IDM_COPY, 0), 0);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_METAFILEPICT));
    help_calls = 0;
    _sethelpproc(&help);
    SendMessageA(_pagewindow(1), WM_COMMAND, IDM_HELP, 0);
    EXPECT_EQ(help_calls, 1);
    _sethelpproc(nullptr);
    SendMessageA(_pagewindow(1), WM_COMMAND, IDM_HELP, 0);
    EXPECT_EQ(help_calls, 1);
}

TEST_F(PageWindow, ProgressShowsOnTheStatusBarUntilTheNextStatusText)
{
    ASSERT_EQ(_newpage(1, "progress", 10, 10, -300, -200, 0, 0), 1);
    struct { double value, low, high; int shown; } rows[] = {
        {50, 0, 200, 25}, {50, 100, 300, 25}, {300, 0, 200, 100}, {-5, 0, 200, 0}, {199, 0, 200, 100}, {1, 0, 200, 1},
    };
    for (auto& r : rows) {
        _setprogress(1, r.value, r.low, r.high);
        HWND bar = _pagerecord(1)->progress;
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(GetParent(bar), _getstatusbar(1));
        EXPECT_TRUE(IsWindowVisible(bar));
        EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), r.shown) << r.value;
    }
    _printpagestatus(1, "done");
    EXPECT_FALSE(IsWindowVisible(_pagerecord(1)->progress));
}
