// Page input reaching the program's hook: real mouse and key events on real page
// windows, with Win32 numbers and parameter layouts, double clicks, canvas
// children, and what the hook's result means.
#include "page_fixture.h"
#include "platform/win/window_surface.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <vector>

namespace {

struct Seen {
    HWND w;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};
std::vector<Seen> seen;
int consume_from = 0x7FFFFFFF;   // messages at and above this number are taken

int record_hook(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    seen.push_back({w, msg, wp, lp});
    return msg == UINT(consume_from) ? 1 : 0;
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

std::vector<UINT> buttons_of(HWND w)
{
    std::vector<UINT> out;
    for (const Seen& s : seen)
        if (s.w == w && s.msg >= WM_LBUTTONDOWN && s.msg <= WM_RBUTTONDBLCLK)
            out.push_back(s.msg);
    return out;
}

const Seen* first(UINT msg)
{
    for (const Seen& s : seen)
        if (s.msg == msg)
            return &s;
    return nullptr;
}

void pump()
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        _pumpmessages();
    }
}

class PageInput : public PageTest {
protected:
    void SetUp() override
    {
        seen.clear();
        consume_from = 0x7FFFFFFF;
        _setmsgproc(&record_hook);
    }
};

} // namespace

TEST_F(PageInput, LeftClickReachesTheHookWithItsPosition)
{
    ASSERT_EQ(_newpage(1, "click", 40, 40, -400, -300, 0, 0), 1);
    HWND w = _pagewindow(1);
    pump();
    QPoint at;
    QWidget* target = widget_at(w, 120, 45, &at);
    ASSERT_NE(target, nullptr);
    seen.clear();
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
    pump();
    const Seen* down = first(WM_LBUTTONDOWN);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->msg, 513u);
    EXPECT_EQ(down->lp, 45 * 65536 + 120);
    EXPECT_EQ(down->w, w);
    EXPECT_EQ(_windowpage(down->w), 1);
    EXPECT_EQ(LOWORD(down->lp), 120);
    EXPECT_EQ(HIWORD(down->lp), 45);
    const Seen* up = first(WM_LBUTTONUP);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->lp, 45 * 65536 + 120);
}

TEST_F(PageInput, RightClickNumbers)
{
    ASSERT_EQ(_newpage(1, "right", 40, 40, -300, -200, 0, 0), 1);
    HWND w = _pagewindow(1);
    pump();
    QPoint at;
    QWidget* target = widget_at(w, 7, 9, &at);
    ASSERT_NE(target, nullptr);
    seen.clear();
    QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, at);
    pump();
    EXPECT_EQ(buttons_of(w), (std::vector<UINT>{516, 517}));
    ASSERT_NE(first(516), nullptr);
    EXPECT_EQ(first(516)->lp, 9 * 65536 + 7);
}

// Two clicks as the toolkit delivers them to a widget: press, release, then for a
// quick second click a double-click event in place of the second press (a slow
// one is a plain press), release.
void two_clicks(QWidget* target, QPoint at, Qt::MouseButton b, ulong gap)
{
    ulong t = 100000;
    auto send = [&](QEvent::Type type, ulong when, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), b, held, Qt::NoModifier);
        e.setTimestamp(when);
        QApplication::sendEvent(target, &e);
    };
    send(QEvent::MouseButtonPress, t, b);
    send(QEvent::MouseButtonRelease, t + 10, Qt::NoButton);
    send(gap < GetDoubleClickTime() ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, t + gap, b);
    send(QEvent::MouseButtonRelease, t + gap + 10, Qt::NoButton);
}

TEST_F(PageInput, DoubleClickArrivesAsDoubleClickMessage)
{
    ASSERT_EQ(_newpage(1, "double", 40, 40, -300, -200, 0, 0), 1);
    HWND w = _pagewindow(1);
    pump();
    QPoint at;
    QWidget* target = widget_at(w, 30, 20, &at);
    ASSERT_NE(target, nullptr);
    seen.clear();
    two_clicks(target, at, Qt::LeftButton, 120);
    pump();
    // The class takes double clicks: the second press is 515, not another 513.
    EXPECT_EQ(buttons_of(w), (std::vector<UINT>{513, 514, 515, 514}));
    ASSERT_NE(first(515), nullptr);
    EXPECT_EQ(first(515)->lp, 20 * 65536 + 30);

    seen.clear();
    two_clicks(target, at, Qt::RightButton, 120);
    pump();
    EXPECT_EQ(buttons_of(w), (std::vector<UINT>{516, 517, 518, 517}));
}

TEST_F(PageInput, SlowSecondClickIsAnotherPress)
{
    ASSERT_EQ(_newpage(1, "slow", 40, 40, -300, -200, 0, 0), 1);
    HWND w = _pagewindow(1);
    pump();
    QPoint at;
    QWidget* target = widget_at(w, 30, 20, &at);
    ASSERT_NE(target, nullptr);
    seen.clear();
    two_clicks(target, at, Qt::LeftButton, GetDoubleClickTime() + 200);
    pump();
    EXPECT_EQ(buttons_of(w), (std::vector<UINT>{513, 514, 513, 514}));
}

TEST_F(PageInput, ClickOnTheCanvasComesWithTheCanvasHandle)
{
    ASSERT_EQ(_newpage(1, "canvas", 40, 40, -300, -200, PAGE_CANVAS, 0), 1);
    HWND canvas = _pagecanvas(1);
    ASSERT_NE(canvas, nullptr);
    pump();
    QPoint at;
    QWidget* target = widget_at(canvas, 50, 60, &at);
    ASSERT_NE(target, nullptr);
    seen.clear();
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
    pump();
    const Seen* down = first(WM_LBUTTONDOWN);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->w, canvas);
    EXPECT_EQ(_windowpage(down->w), 0);
    EXPECT_EQ(down->w, _pagecanvas(1));
    EXPECT_EQ(down->lp, 60 * 65536 + 50);
}

TEST_F(PageInput, KeysReachTheHook)
{
    ASSERT_EQ(_newpage(1, "keys", 40, 40, -300, -200, 0, 0), 1);
    HWND w = _pagewindow(1);
    pump();
    QPoint at;
    QWidget* target = widget_at(w, 10, 10, &at);
    ASSERT_NE(target, nullptr);
    seen.clear();
    QTest::keyClick(target, Qt::Key_A);
    QTest::keyClick(target, Qt::Key_Left);
    pump();
    const Seen* down = first(WM_KEYDOWN);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->wp, WPARAM('A'));
    const Seen* ch = first(WM_CHAR);
    ASSERT_NE(ch, nullptr);
    EXPECT_EQ(ch->wp, WPARAM('a'));
    EXPECT_NE(first(WM_KEYUP), nullptr);
    bool left = false;
    for (const Seen& s : seen)
        left = left || (s.msg == WM_KEYDOWN && s.wp == WPARAM(VK_LEFT));
    EXPECT_TRUE(left);
}

TEST_F(PageInput, HookResultDecidesWhetherTheMessageIsHandled)
{
    ASSERT_EQ(_newpage(1, "result", 40, 40, -300, -200, 0, 0), 1);
    HWND w = _pagewindow(1);
    pump();
    seen.clear();
    consume_from = WM_LBUTTONDOWN;
    EXPECT_EQ(SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4)), 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].lp, MAKELPARAM(3, 4));
    // Without a hook the message still goes through without harm.
    _setmsgproc(nullptr);
    SendMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 4));
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(PageInput, RuntimeMessagesDoNotReachTheHook)
{
    ASSERT_EQ(_newpage(1, "runtime", 40, 40, -300, -200, 0, 0), 1);
    HWND w = _pagewindow(1);
    seen.clear();
    SendMessageA(w, WM_CREATE, 0, 0);
    SendMessageA(w, WM_COMMAND, 12345, 0);   // not a runtime command: offered
    SendMessageA(w, WM_COMMAND, IDM_HELP, 0); // Help: the help hook, then offered
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].msg, UINT(WM_COMMAND));
    EXPECT_EQ(seen[0].wp, WPARAM(12345));
    EXPECT_EQ(seen[1].wp, WPARAM(IDM_HELP));
}
