// Qt input events of platform windows become queued messages with Win32 layouts.
#include "win_test_util.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

std::vector<UINT> kinds(const std::vector<MSG>& ms)
{
    std::vector<UINT> k;
    for (auto& m : ms)
        if (m.message != WM_MOUSEMOVE)
            k.push_back(m.message);
    return k;
}

// A left click with its own time stamp (milliseconds).
void click_at(QWidget* w, ulong t, QPoint p)
{
    QPointF g = w->mapToGlobal(QPointF(p));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(p), g, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    press.setTimestamp(t);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(p), g, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    release.setTimestamp(t + 10);
    QApplication::sendEvent(w, &release);
}

} // namespace

TEST(InputEvents, KeysWithTextGiveKeyDownCharKeyUp)
{
    using Keys = std::vector<std::pair<UINT, WPARAM>>;
    struct { Qt::Key key; Qt::KeyboardModifiers mods; Keys want; } rows[] = {
        {Qt::Key_A, Qt::NoModifier, {{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'}}},
        {Qt::Key_Left, Qt::NoModifier, {{WM_KEYDOWN, VK_LEFT}, {WM_KEYUP, VK_LEFT}}},
        {Qt::Key_F3, Qt::NoModifier, {{WM_KEYDOWN, VK_F3}, {WM_KEYUP, VK_F3}}},
        {Qt::Key_Return, Qt::NoModifier, {{WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}, {WM_KEYUP, VK_RETURN}}},
        {Qt::Key_C, Qt::ControlModifier, {{WM_CHAR, 3}}},   // Ctrl+C types character 3
    };
    HWND w = make_window();
    ShowWindow(w, SW_SHOW);
    drain();
    for (auto& r : rows) {
        QTest::keyClick(client_of(w), r.key, r.mods);
        Keys got;
        for (const MSG& m : drain())
            if (!r.mods || m.message == WM_CHAR)
                got.push_back({m.message, m.wParam});
        EXPECT_EQ(got, r.want) << r.key;
    }
    DestroyWindow(w);
}

TEST(InputEvents, MouseInClientCoordinatesAndDoubleClicksOnlyForTheirClass)
{
    for (UINT style : {UINT(0), UINT(CS_DBLCLKS)}) {
        HWND w = make_window(style);
        ShowWindow(w, SW_SHOW);
        drain();
        QTest::mouseClick(client_of(w), Qt::LeftButton, Qt::NoModifier, QPoint(12, 34));
        auto ms = drain();
        ASSERT_EQ(kinds(ms), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
        EXPECT_EQ(ms[0].message, 513u);
        EXPECT_EQ(ms[0].lParam, LPARAM(12 | (34 << 16)));
        click_at(client_of(w), 100000, QPoint(12, 34));
        click_at(client_of(w), 100100, QPoint(13, 34));
        click_at(client_of(w), 100100 + 10 * GetDoubleClickTime(), QPoint(13, 34));   // too late: a new click
        auto dbl = kinds(drain());
        dbl.resize(4);
        if (style)
            EXPECT_EQ(dbl, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
        else
            EXPECT_EQ(dbl, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
        QTest::mouseClick(client_of(w), Qt::RightButton, Qt::NoModifier, QPoint(1, 2));
        EXPECT_EQ(kinds(drain()), (std::vector<UINT>{WM_RBUTTONDOWN, WM_RBUTTONUP}));
        DestroyWindow(w);
    }
}

TEST(InputEvents, ClosingBecomesWmCloseAndTheDefaultDestroys)
{
    HWND w = make_window();
    ShowWindow(w, SW_SHOW);
    drain();
    platform_window_widget(w)->close();
    EXPECT_TRUE(IsWindow(w));
    auto ms = drain();
    ASSERT_EQ(ms.size(), 1u);
    EXPECT_EQ(ms[0].message, UINT(WM_CLOSE));
    DispatchMessageA(&ms[0]);
    EXPECT_FALSE(IsWindow(w));
}

TEST(InputEvents, KeyReachesTheTextAreaOnlyWhenItsCharIsDispatched)
{
    HWND frame = make_window();
    HWND edit = CreateWindowExA(0, "RichEdit", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, frame, nullptr, nullptr, nullptr);
    ShowWindow(frame, SW_SHOW);
    drain();
    QWidget* e = platform_window_widget(edit);
    QTest::keyClick(e, Qt::Key_Q);
    EXPECT_EQ(GetWindowTextLengthA(edit), 0);   // taken before the widget saw it
    auto ms = drain();
    ASSERT_EQ(ms.size(), 3u);
    EXPECT_EQ(ms[1].hwnd, edit);
    DispatchMessageA(&ms[0]);
    EXPECT_EQ(GetWindowTextLengthA(edit), 0);
    DispatchMessageA(&ms[1]);
    EXPECT_EQ(GetWindowTextLengthA(edit), 1);
    DispatchMessageA(&ms[2]);
    // a key whose character is never dispatched never arrives
    QTest::keyClick(e, Qt::Key_W);
    drain();
    char t[8];
    GetWindowTextA(edit, t, sizeof t);
    EXPECT_STREQ(t, "q");
    DestroyWindow(frame);
}

TEST(InputEvents, AcceleratorTurnsAKeyIntoACommandAndEatsItsCharacter)
{
    HWND w = make_window();
    ShowWindow(w, SW_SHOW);
    ACCEL a[2] = {{FVIRTKEY | FCONTROL, WORD('S'), 301}, {FVIRTKEY, WORD(VK_F3), 302}};
    HACCEL t = CreateAcceleratorTableA(a, 2);
    drain();
    seen().clear();
    QTest::keyClick(client_of(w), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(client_of(w), Qt::Key_S);
    MSG m;
    int translated = 0, chars = 0;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (TranslateAcceleratorA(w, t, &m)) {
            ++translated;
            continue;
        }
        chars += m.message == WM_CHAR;
    }
    EXPECT_EQ(translated, 1);
    EXPECT_EQ(chars, 1);   // plain s types; Ctrl+S's character went with the command
    ASSERT_FALSE(seen().empty());
    EXPECT_EQ(seen().back().msg, UINT(WM_COMMAND));
    EXPECT_EQ(LOWORD(seen().back().wp), 301);
    EXPECT_TRUE(DestroyAcceleratorTable(t));
    DestroyWindow(w);
}
