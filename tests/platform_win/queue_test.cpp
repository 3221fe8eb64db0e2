// The message queue and window lifetime: order, filters, the quit message,
// sending versus posting, destruction order.
#include "win_test_util.h"

#include <QTimer>
#include <gtest/gtest.h>

TEST(Queue, PostedMessagesArriveInOrderAndQuitJoinsThem)
{
    drain();
    HWND w = make_window();
    PostMessageA(w, WM_USER + 1, 1, 0);
    PostMessageA(w, WM_USER + 2, 2, 0);
    PostQuitMessage(7);
    PostMessageA(w, WM_USER + 3, 3, 0);
    MSG m;
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, UINT(WM_USER + 1));
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, 7u);
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, UINT(WM_USER + 3));
    QTimer::singleShot(50, [w] { PostMessageA(w, WM_USER + 4, 44, 0); });
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);   // an empty queue: it waits
    EXPECT_EQ(m.wParam, 44u);
    DestroyWindow(w);
}

TEST(Queue, FiltersByWindowAndRangeButAlwaysReturnQuit)
{
    drain();
    HWND a = make_window(), b = make_window();
    PostMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(b, WM_USER + 2, 0, 0);
    PostMessageA(b, WM_USER + 9, 0, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 2));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 5, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 9));
    PostQuitMessage(0);
    ASSERT_FALSE(GetMessageA(&m, a, WM_USER + 100, WM_USER + 200) > 0);
    auto rest = drain();
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].hwnd, a);
    EXPECT_EQ(rest[1].hwnd, b);
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST(Queue, SendCallsTheProcedureNowDispatchLater)
{
    drain();
    HWND w = make_window();
    seen().clear();
    SendMessageA(w, WM_USER + 5, 5, 0);
    ASSERT_EQ(seen().size(), 1u);
    PostMessageA(w, WM_USER + 6, 6, 0);
    EXPECT_EQ(seen().size(), 1u);
    MSG m;
    GetMessageA(&m, nullptr, 0, 0);
    DispatchMessageA(&m);
    ASSERT_EQ(seen().size(), 2u);
    EXPECT_EQ(seen()[1].msg, UINT(WM_USER + 6));
    DestroyWindow(w);
}

TEST(Queue, RegisteredMessagesShareOneIdPerName)
{
    UINT a = RegisterWindowMessageA("commdlg_FindReplace");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageA("COMMDLG_FINDREPLACE"), a);
    EXPECT_NE(RegisterWindowMessageA("other"), a);
    EXPECT_EQ(RegisterWindowMessageA(""), 0u);
}

TEST(Windows, DestroySendsDestroyParentFirstAndForgetsQueuedMessages)
{
    drain();
    HWND parent = make_window();
    HWND child = CreateWindowExA(0, test_class(0), "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                                 reinterpret_cast<HMENU>(5), nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_EQ(GetDlgItem(parent, 5), child);
    EXPECT_TRUE(IsChild(parent, child));
    PostMessageA(child, WM_USER, 0, 0);
    seen().clear();
    EXPECT_TRUE(DestroyWindow(parent));
    ASSERT_EQ(seen().size(), 2u);
    EXPECT_EQ(seen()[0].w, parent);
    EXPECT_EQ(seen()[0].msg, UINT(WM_DESTROY));
    EXPECT_EQ(seen()[1].w, child);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(parent));
    EXPECT_TRUE(drain().empty());
    EXPECT_EQ(SendMessageA(parent, WM_USER, 0, 0), 0);
}

TEST(Windows, CreateSendsCreateThenSizeAndClassesRegisterOnce)
{
    seen().clear();
    HWND w = make_window(CS_DBLCLKS);
    ASSERT_GE(seen().size(), 2u);
    EXPECT_EQ(seen()[0].msg, UINT(WM_CREATE));
    EXPECT_EQ(seen()[1].msg, UINT(WM_SIZE));
    RECT c{};
    GetClientRect(w, &c);
    EXPECT_EQ(LOWORD(seen()[1].lp), c.right);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &recording_proc;
    wc.lpszClassName = test_class(CS_DBLCLKS);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(CreateWindowExA(0, "no such class", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    char name[64];
    GetClassNameA(w, name, sizeof name);
    EXPECT_STREQ(name, test_class(CS_DBLCLKS));
    SetWindowTextA(w, "Titel ä");
    char t[64];
    EXPECT_EQ(GetWindowTextA(w, t, sizeof t), 8);
    EXPECT_STREQ(t, "Titel ä");
    EXPECT_EQ(GetWindowTextA(w, t, 8), 6);   // never half a character
    DestroyWindow(w);
}

TEST(Windows, VisibilityStylesAndGeometry)
{
    HWND w = make_window();
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_FALSE(GetWindowLongA(w, GWL_STYLE) & LONG(WS_VISIBLE));
    ShowWindow(w, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & LONG(WS_VISIBLE));
    MoveWindow(w, 30, 40, 320, 240, TRUE);
    RECT r{}, c{};
    GetWindowRect(w, &r);
    GetClientRect(w, &c);
    EXPECT_EQ(r.right - r.left, 320);
    EXPECT_EQ(c.bottom, 240);   // no menu: the client is the whole window
    RECT want{0, 0, 100, 50};
    AdjustWindowRectEx(&want, WS_OVERLAPPEDWINDOW, TRUE, 0);
    EXPECT_EQ(want.top, -GetSystemMetrics(SM_CYMENU));
    SetWindowLongPtrA(w, GWLP_USERDATA, 1234);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 1234);
    EXPECT_NE(platform_window_surface(w), nullptr);
    EXPECT_EQ(platform_window_surface(w)->size(), QSize(320, 240));
    EXPECT_EQ(platform_widget_window(platform_window_widget(w)), w);
    DestroyWindow(w);
    EXPECT_EQ(platform_window_surface(w), nullptr);
}
