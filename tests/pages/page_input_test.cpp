// Page input reaching the program's hook: real mouse and key events on real page
// windows, with Win32 numbers and parameter layouts, double clicks and the
// double-click wait, canvas children, and what the hook's result means.
#include "tests/support/page_fixture.h"
#include "platform/win/window_surface.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <set>
#include <vector>

namespace {

struct Seen {
    HWND w;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};
std::vector<Seen> seen;
std::set<UINT> consumed;   // messages the hook takes
constexpr UINT kWaitResult = 0xFFFF;   // marks what _waitdblclick returned in `seen`
bool wait_on_click = false;
std::function<void()> during_wait;

int record_hook(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    seen.push_back({w, msg, wp, lp});
    if (msg == WM_LBUTTONDOWN && wait_on_click) {
        if (during_wait)
            QTimer::singleShot(0, during_wait);   // at the wait's first look at the toolkit
        seen.push_back({w, kWaitResult, WPARAM(_waitdblclick(w, WM_LBUTTONDOWN)), 0});
    }
    return consumed.count(msg) ? 1 : 0;
}

// The widget under client pixel (x, y) of `w`, and that point in its coordinates.
QWidget* widget_at(HWND w, int x, int y, QPoint* local)
{
    POINT p{x, y};
    ClientToScreen(w, &p);
    QWidget* top = platform_window_widget(w);
    if (!top)
        return nullptr;
    QPoint global(p.x, p.y);
    QWidget* target = top->childAt(top->mapFromGlobal(global));
    if (!target)
        target = top;
    *local = target->mapFromGlobal(global);
    return target;
}

std::vector<UINT> messages_of(HWND w, UINT low = WM_LBUTTONDOWN, UINT high = WM_RBUTTONDBLCLK)
{
    std::vector<UINT> out;
    for (const Seen& s : seen)
        if ((s.w == w && s.msg >= low && s.msg <= high) || s.msg == kWaitResult)
            out.push_back(s.msg == kWaitResult ? 1000 + UINT(s.wp) : s.msg);
    return out;
}

const Seen* first(UINT msg)
{
    for (const Seen& s : seen)
        if (s.msg == msg)
            return &s;
    return nullptr;
}

// One mouse event as the toolkit delivers it to a widget.
void send(QWidget* target, QPoint at, QEvent::Type type, Qt::MouseButton b, ulong when)
{
    Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
    QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), b, held, Qt::NoModifier);
    e.setTimestamp(when);
    QApplication::sendEvent(target, &e);
}

// Two clicks: press, release, then for a quick second click a double-click
// event in place of the second press (a slow one is a plain press), release.
void two_clicks(QWidget* target, QPoint at, Qt::MouseButton b, ulong gap)
{
    ulong t = 100000;
    send(target, at, QEvent::MouseButtonPress, b, t);
    send(target, at, QEvent::MouseButtonRelease, b, t + 10);
    send(target, at, gap < GetDoubleClickTime() ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, b, t + gap);
    send(target, at, QEvent::MouseButtonRelease, b, t + gap + 10);
}

class PageInput : public PageTest {
protected:
    HWND w = nullptr;
    QWidget* target = nullptr;
    QPoint at;
    void SetUp() override
    {
        seen.clear();
        consumed.clear();
        wait_on_click = false;
        during_wait = nullptr;
        _setmsgproc(&record_hook);
    }
    // A page (with a canvas if asked) and the widget under client pixel (x, y).
    void page(int x, int y, int flags = 0)
    {
        ASSERT_EQ(_newpage(1, "input", 40, 40, -400, -300, flags, 0), 1);
        w = flags & PAGE_CANVAS ? _pagecanvas(1) : _pagewindow(1);
        ASSERT_NE(w, nullptr);
        pump();
        target = widget_at(w, x, y, &at);
        ASSERT_NE(target, nullptr);
        seen.clear();
    }
};

} // namespace

TEST_F(PageInput, ClicksReachTheHookWithTheirNumbersAndPosition)
{
    struct { Qt::MouseButton b; int x, y; int flags; UINT down, up; } rows[] = {
        {Qt::LeftButton, 120, 45, 0, 513, 514},
        {Qt::RightButton, 7, 9, 0, 516, 517},
        {Qt::LeftButton, 50, 60, PAGE_CANVAS, 513, 514},   // the canvas child's own handle
    };
    for (auto& r : rows) {
        page(r.x, r.y, r.flags);
        QTest::mouseClick(target, r.b, Qt::NoModifier, at);
        pump();
        EXPECT_EQ(messages_of(w), (std::vector<UINT>{r.down, r.up}));
        const Seen* down = first(r.down);
        ASSERT_NE(down, nullptr);
        EXPECT_EQ(down->w, w);
        EXPECT_EQ(down->lp, LPARAM(r.y * 65536 + r.x));
        EXPECT_EQ(_windowpage(down->w), r.flags ? 0 : 1);
        ASSERT_NE(first(r.up), nullptr);
        EXPECT_EQ(first(r.up)->lp, down->lp);
    }
}

TEST_F(PageInput, QuickSecondClickIsADoubleClickASlowOneAnotherPress)
{
    struct { Qt::MouseButton b; ulong gap; std::vector<UINT> want; } rows[] = {
        {Qt::LeftButton, 120, {513, 514, 515, 514}},
        {Qt::RightButton, 120, {516, 517, 518, 517}},
        {Qt::LeftButton, GetDoubleClickTime() + 200, {513, 514, 513, 514}},
    };
    page(30, 20);
    for (auto& r : rows) {
        seen.clear();
        two_clicks(target, at, r.b, r.gap);
        pump();
        EXPECT_EQ(messages_of(w), r.want) << r.gap;
        for (const Seen& s : seen)
            EXPECT_EQ(s.msg == WM_CONTEXTMENU ? 20 * 65536 + 30 : s.lp, 20 * 65536 + 30);
    }
}

TEST_F(PageInput, WaitForADoubleClickFromTheHook)
{
    page(30, 20);
    wait_on_click = true;
    QElapsedTimer t;
    t.start();
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
    pump();
    // the wait counts the C library's clock, whose ticks need not line up with this timer's
    EXPECT_GE(t.elapsed(), qint64(GetDoubleClickTime()) - 5);
    EXPECT_EQ(messages_of(w), (std::vector<UINT>{513, 514, 1000}));   // 0 after the time

    seen.clear();
    QWidget* tw = target;
    QPoint p = at;
    during_wait = [tw, p] {   // the second click, while the hook waits
        send(tw, p, QEvent::MouseButtonDblClick, Qt::LeftButton, 200100);
        send(tw, p, QEvent::MouseButtonRelease, Qt::LeftButton, 200110);
    };
    send(target, at, QEvent::MouseButtonPress, Qt::LeftButton, 200000);
    send(target, at, QEvent::MouseButtonRelease, Qt::LeftButton, 200010);
    pump();
    // the hook is entered again with 515 before the wait returns 1
    std::vector<UINT> got = messages_of(w);
    EXPECT_EQ(got, (std::vector<UINT>{513, 514, 515, 1001, 514}));
}

TEST_F(PageInput, HookResultDecidesWhetherTheDefaultProcedureRuns)
{
    // the default procedure answers a right button released with a context menu
    struct { Qt::MouseButton b; std::set<UINT> take; bool menu; } rows[] = {
        {Qt::RightButton, {}, true},
        {Qt::RightButton, {WM_RBUTTONUP}, false},
        {Qt::LeftButton, {WM_LBUTTONDOWN}, false},
        {Qt::RightButton, {WM_LBUTTONDOWN}, true},
    };
    page(30, 20);
    for (auto& r : rows) {
        seen.clear();
        consumed = r.take;
        QTest::mouseClick(target, r.b, Qt::NoModifier, at);
        pump();
        const Seen* menu = first(WM_CONTEXTMENU);
        EXPECT_EQ(menu != nullptr, r.menu) << r.b << " " << r.take.size();
        EXPECT_EQ(menu ? menu->wp : WPARAM(w), WPARAM(w));
    }
    // without a hook the message still goes through without harm
    _setmsgproc(nullptr);
    seen.clear();
    QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, at);
    pump();
    EXPECT_TRUE(seen.empty());
}

TEST_F(PageInput, KeysReachTheHook)
{
    page(10, 10);
    QTest::keyClick(target, Qt::Key_A);
    QTest::keyClick(target, Qt::Key_Left);
    pump();
    std::vector<std::pair<UINT, WPARAM>> keys;
    for (const Seen& s : seen)
        keys.push_back({s.msg, s.wp});
    using K = std::vector<std::pair<UINT, WPARAM>>;
    EXPECT_EQ(keys, (K{{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'}, {WM_KEYDOWN, VK_LEFT}, {WM_KEYUP, VK_LEFT}}));
}

TEST_F(PageInput, RuntimeMessagesDoNotReachTheHook)
{
    page(10, 10);
    SendMessageA(w, WM_CREATE, 0, 0);
    SendMessageA(w, WM_COMMAND, 12345, 0);    // not a runtime command: offered
    SendMessageA(w, WM_COMMAND, IDM_HELP, 0); // Help: the help hook, then offered
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].msg, UINT(WM_COMMAND));
    EXPECT_EQ(seen[0].wp, WPARAM(12345));
    EXPECT_EQ(seen[1].wp, WPARAM(IDM_HELP));
}
