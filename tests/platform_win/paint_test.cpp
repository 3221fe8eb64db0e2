// Painting of windows larger than the screen: only the part on some screen is
// painted when the loop runs; the rest waits, and is painted before anyone reads
// it or when it comes on screen. A back buffer's memory is given its pixels only
// where they are first reached.
#include "win_test_util.h"
#include "platform/gdi/wingdi.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// Runs the loop for a few frames: repaints asked for within a frame of the last
// one are shown when that frame ends.
void pump_frames()
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 60)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

COLORREF paint_colour = RGB(255, 0, 0);
std::vector<RECT> paints;

LRESULT painting_proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_PAINT) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(w, &ps);
        paints.push_back(ps.rcPaint);
        HBRUSH b = CreateSolidBrush(paint_colour);
        FillRect(dc, &ps.rcPaint, b);
        DeleteObject(b);
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

HWND make_painting_window(int x, int y, int w, int h)
{
    static const WNDCLASSA wc{0, painting_proc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "painttest"};
    static const ATOM registered = RegisterClassA(&wc);
    EXPECT_NE(registered, 0);
    HWND win = CreateWindowExA(0, "painttest", "paint", WS_POPUP, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(win, SW_SHOW);
    pump_frames();
    return win;
}

bool covers(const std::vector<RECT>& rs, int x, int y)
{
    for (const RECT& r : rs)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    return false;
}

// A 300 x 200 window whose top-left 100 x 80 pixels are on the screen.
struct HalfSeen {
    HWND w;
    HalfSeen()
    {
        QRect screen = QGuiApplication::primaryScreen()->geometry();
        w = make_painting_window(screen.right() + 1 - 100, screen.bottom() + 1 - 80, 300, 200);
    }
    ~HalfSeen() { DestroyWindow(w); }
    void invalidate(COLORREF c)
    {
        paint_colour = c;
        paints.clear();
        InvalidateRect(w, nullptr, FALSE);
        pump_frames();
    }
};

TEST(OffScreenPaint, TheLoopPaintsOnlyWhatIsOnScreenTheRestWhenItComesOnScreen)
{
    HalfSeen h;
    h.invalidate(RGB(255, 0, 0));
    ASSERT_FALSE(paints.empty());
    EXPECT_TRUE(covers(paints, 10, 10));
    for (const RECT& r : paints) {
        EXPECT_LE(r.right, 100);
        EXPECT_LE(r.bottom, 80);
    }
    MoveWindow(h.w, 0, 0, 300, 200, FALSE);
    pump_frames();
    EXPECT_TRUE(covers(paints, 250, 150));
}

TEST(OffScreenPaint, ReadingPaintsWhatWaitsThereFirst)
{
    HalfSeen h;
    h.invalidate(RGB(0, 0, 255));
    HDC dc = GetDC(h.w);
    EXPECT_EQ(GetPixel(dc, 250, 150), RGB(0, 0, 255));
    ReleaseDC(h.w, dc);
    EXPECT_TRUE(covers(paints, 250, 150));
    // nothing waits any more: a second read paints nothing
    paints.clear();
    dc = GetDC(h.w);
    EXPECT_EQ(GetPixel(dc, 230, 140), RGB(0, 0, 255));
    ReleaseDC(h.w, dc);
    EXPECT_TRUE(paints.empty());
    h.invalidate(RGB(0, 128, 0));   // the back buffer too
    QImage* img = platform_window_surface(h.w);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->pixel(299, 199) & 0xFFFFFFu, 0x008000u);
}

TEST(FramePacing, ALoneRepaintShowsAtTheNextPassAndAStreamOncePerFrame)
{
    // a long frame, so that a loaded machine cannot make the test's steps a frame apart
    const int frame = platform_set_frame_ms(400);
    HWND w = make_painting_window(0, 0, 120, 90);
    QThread::msleep(450);   // the last paint is a frame ago: the next request is alone
    paint_colour = RGB(10, 20, 30);
    paints.clear();
    InvalidateRect(w, nullptr, FALSE);
    QApplication::processEvents();
    EXPECT_TRUE(covers(paints, 60, 45));
    // fifty requests within the frame: painted together, not one by one
    paints.clear();
    RECT part{0, 0, 10, 10};
    for (int i = 0; i < 50; ++i) {
        InvalidateRect(w, &part, FALSE);
        QApplication::processEvents();
    }
    EXPECT_LE(paints.size(), 3u);
    // what waits shows when the frame ends, or at once when the owner asks
    QElapsedTimer t;
    t.start();
    while (!covers(paints, 5, 5) && t.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(covers(paints, 5, 5));
    InvalidateRect(w, &part, FALSE);
    paints.clear();
    platform_window_flush(w, nullptr);
    EXPECT_TRUE(covers(paints, 5, 5));
    DestroyWindow(w);
    platform_set_frame_ms(frame);
}

long resident_kb()
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            kb = std::atol(line + 6);
    std::fclose(f);
    return kb;
}

HWND make_grey_window(int w, int h)
{
    static const WNDCLASSA wc{0, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr,
                              CreateSolidBrush(RGB(200, 200, 200)), nullptr, "greytest"};
    static const ATOM registered = RegisterClassA(&wc);
    EXPECT_NE(registered, 0);
    return CreateWindowExA(0, "greytest", "grey", WS_POPUP, 0, 0, w, h, nullptr, nullptr, nullptr, nullptr);
}
} // namespace

// A back buffer gets its pixels where something first reaches them; until then it
// reads, draws and grows as one filled with the class background.
TEST(LazyBackBuffer, UntouchedPixelsBehaveAsTheBackground)
{
    HWND w = make_grey_window(400, 300);
    ValidateRect(w, nullptr);   // nothing waits to be painted: reads see the buffer itself
    HDC dc = GetDC(w);
    EXPECT_EQ(GetPixel(dc, 350, 250), RGB(200, 200, 200));
    PatBlt(dc, 10, 10, 5, 5, DSTINVERT);   // reads what it changes
    EXPECT_EQ(GetPixel(dc, 12, 12), RGB(55, 55, 55));
    ReleaseDC(w, dc);
    MoveWindow(w, 0, 0, 600, 400, FALSE);
    dc = GetDC(w);
    EXPECT_EQ(GetPixel(dc, 12, 12), RGB(55, 55, 55));
    EXPECT_EQ(GetPixel(dc, 550, 350), RGB(200, 200, 200));
    ReleaseDC(w, dc);
    DestroyWindow(w);
}

TEST(LazyBackBuffer, AWindowFarLargerThanTheScreenCostsWhatIsReached)
{
    const long before = resident_kb();
    if (!before)
        GTEST_SKIP() << "no /proc/self/status to read the resident size from";
    HWND w = make_grey_window(8000, 8000);   // 256 MB of pixels if all were given
    HDC dc = GetDC(w);
    EXPECT_EQ(GetPixel(dc, 7000, 7000), RGB(200, 200, 200));
    ReleaseDC(w, dc);
    EXPECT_LT(resident_kb() - before, 64 * 1024);
    DestroyWindow(w);
}
