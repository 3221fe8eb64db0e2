// A window asked to be larger than the screen: its frame fits the screen and
// scrolls over a client area of the full size, so the program sees the geometry and
// the click positions of the whole window; a window that fits is laid out as before.
#include "win_test_util.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

QSize screen_room()
{
    return QGuiApplication::primaryScreen()->availableGeometry().size();
}

TEST(FrameScroll, LargerThanTheScreenScrollsOverTheFullClient)
{
    const QSize room = screen_room();
    const int cw = room.width() * 3, ch = room.height() * 2;
    HWND w = CreateWindowExA(0, test_class(0), "big", WS_OVERLAPPEDWINDOW, 10, 10, cw, ch, nullptr, nullptr, nullptr,
                             nullptr);
    ShowWindow(w, SW_SHOW);
    QWidget* frame = platform_window_widget(w);
    QWidget* client = client_of(w);
    ASSERT_TRUE(client);
    // what the program sees is the whole window; what the screen holds fits it
    RECT r{}, c{};
    GetWindowRect(w, &r);
    GetClientRect(w, &c);
    EXPECT_EQ(r.right - r.left, cw);
    EXPECT_EQ(r.bottom - r.top, ch);
    EXPECT_EQ(c.right, cw);
    EXPECT_EQ(c.bottom, ch);
    EXPECT_LE(frame->width(), room.width());
    EXPECT_LE(frame->height(), room.height());
    auto* area = frame->findChild<QScrollArea*>();
    ASSERT_TRUE(area);

    // the far corner comes into view by scrolling, and a click there arrives in
    // client pixels of the whole window
    const QPoint corner(cw - 100, ch - 100);
    EXPECT_FALSE(client->visibleRegion().contains(corner));
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    EXPECT_TRUE(client->visibleRegion().contains(corner));
    drain();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(corner), client->mapToGlobal(QPointF(corner)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(client, &press);
    auto ms = drain();
    ASSERT_FALSE(ms.empty());
    EXPECT_EQ(ms.back().message, UINT(WM_LBUTTONDOWN));
    EXPECT_EQ(LOWORD(ms.back().lParam), cw - 100);
    EXPECT_EQ(HIWORD(ms.back().lParam), ch - 100);

    // the wheel moves the view instead of reaching the program (a synthesized event
    // does not travel up to the view by itself: it is handed to the view here)
    const int before = area->verticalScrollBar()->value();
    QWheelEvent wheel(QPointF(corner), client->mapToGlobal(QPointF(corner)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(client, &wheel);
    EXPECT_FALSE(wheel.isAccepted());   // a real wheel event goes on to the view
    QApplication::sendEvent(area->viewport(), &wheel);
    EXPECT_LT(area->verticalScrollBar()->value(), before);
    for (const MSG& m : drain())
        EXPECT_NE(m.message, UINT(WM_MOUSEWHEEL));

    // sized to fit, the window is an ordinary one again
    MoveWindow(w, 20, 20, 300, 200, TRUE);
    EXPECT_FALSE(frame->findChild<QScrollArea*>());
    EXPECT_EQ(client->parentWidget(), frame);
    EXPECT_EQ(frame->size(), QSize(300, 200));
    GetClientRect(w, &c);
    EXPECT_EQ(c.right, 300);
    DestroyWindow(w);
}

TEST(FrameScroll, AWindowThatFitsHasNoScroller)
{
    HWND w = make_window();
    ShowWindow(w, SW_SHOW);
    QWidget* frame = platform_window_widget(w);
    EXPECT_FALSE(frame->findChild<QScrollArea*>());
    EXPECT_EQ(client_of(w)->parentWidget(), frame);
    EXPECT_EQ(frame->geometry(), QRect(10, 10, 300, 200));
    // growing past the screen later brings the scroller, at the window's place
    const QSize room = screen_room();
    SetWindowPos(w, nullptr, 0, 0, room.width() + 50, 100, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(frame->findChild<QScrollArea*>());
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, room.width() + 50);
    EXPECT_EQ(r.bottom - r.top, 100);
    EXPECT_EQ(frame->height(), 100);
    DestroyWindow(w);
}

} // namespace
