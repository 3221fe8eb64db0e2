// Menus as programs drive them: states, lookups through submenus, removal with
// and without the submenu, and what choosing an item posts to the bar's window.
#include "win_test_util.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace {

TEST(Menus, OpeningSendsInitMenuPopupAndChoosingPostsCommand)
{
    HMENU bar = CreateMenu(), sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 20, "&Item");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<std::uintptr_t>(sub), "&File");
    HWND w = make_window();
    ASSERT_TRUE(SetMenu(w, bar));
    ShowWindow(w, SW_SHOW);
    RECT c{};
    GetClientRect(w, &c);
    EXPECT_EQ(c.bottom, 200 - GetSystemMetrics(SM_CYMENU));
    auto* mb = platform_window_widget(w)->findChild<QMenuBar*>();
    ASSERT_NE(mb, nullptr);
    ASSERT_EQ(mb->actions().size(), 1);
    QMenu* qm = mb->actions()[0]->menu();
    ASSERT_NE(qm, nullptr);
    // the program changes the popup when it is about to open
    static HMENU target = nullptr;
    target = sub;
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(wp) == target)
            AppendMenuA(target, MF_STRING, 21, "&Added");
        return recording_proc(h, m, wp, lp);
    }));
    drain();
    seen().clear();
    qm->popup(QPoint(20, 20));
    ASSERT_FALSE(seen().empty());
    EXPECT_EQ(seen()[0].msg, UINT(WM_INITMENUPOPUP));
    ASSERT_EQ(qm->actions().size(), 2);
    EXPECT_EQ(qm->actions()[1]->text(), "&Added");
    qm->actions()[1]->trigger();
    qm->hide();
    auto ms = drain();
    ASSERT_FALSE(ms.empty());
    EXPECT_EQ(ms.back().message, UINT(WM_COMMAND));
    EXPECT_EQ(LOWORD(ms.back().wParam), 21);
    DestroyWindow(w);
}

TEST(Menus, StatesAndTextsByCommandAndByPosition)
{
    HMENU bar = CreateMenu(), sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 10, "&Open");
    AppendMenuA(sub, MF_STRING | MF_GRAYED, 11, "&Save");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<std::uintptr_t>(sub), "&File");
    struct Case { UINT item, flags, state; };
    const Case cases[] = {
        {0, MF_BYPOSITION, MF_POPUP | (2u << 8)},
        {10, MF_BYCOMMAND, 0},
        {11, MF_BYCOMMAND, MF_GRAYED},
        {99, MF_BYCOMMAND, UINT(-1)},
        {5, MF_BYPOSITION, UINT(-1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetMenuState(bar, c.item, c.flags), c.state) << c.item;
    EXPECT_EQ(CheckMenuItem(bar, 99, MF_BYCOMMAND), DWORD(-1));
    EXPECT_EQ(EnableMenuItem(bar, 11, MF_BYCOMMAND | MF_ENABLED), BOOL(MF_GRAYED));   // the old state
    EXPECT_EQ(EnableMenuItem(sub, 99, MF_BYCOMMAND), -1);
    EXPECT_EQ(GetSubMenu(bar, 0), sub);
    EXPECT_EQ(GetMenuItemID(sub, 1), 11u);
    char buf[8];
    EXPECT_EQ(GetMenuStringA(bar, 11, buf, sizeof buf, MF_BYCOMMAND), 5);
    EXPECT_STREQ(buf, "&Save");
    EXPECT_EQ(GetMenuStringA(bar, 0, buf, 4, MF_BYPOSITION), 3);
    EXPECT_STREQ(buf, "&Fi");
    EXPECT_EQ(CheckMenuItem(bar, 10, MF_BYCOMMAND | MF_CHECKED), 0u);
    EXPECT_EQ(GetMenuState(sub, 0, MF_BYPOSITION), UINT(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(bar, 10, MF_BYCOMMAND | MF_UNCHECKED), DWORD(MF_CHECKED));
    EXPECT_TRUE(DeleteMenu(sub, 0, MF_BYPOSITION));
    EXPECT_EQ(GetMenuItemID(sub, 0), 11u);
    DestroyMenu(bar);
    EXPECT_EQ(GetMenuItemCount(sub), -1);
}

TEST(Menus, RemoveKeepsTheSubmenuDeleteDestroysIt)
{
    HMENU bar = CreateMenu(), kept = CreatePopupMenu(), gone = CreatePopupMenu();
    AppendMenuA(kept, MF_STRING, 1, "one");
    AppendMenuA(gone, MF_STRING, 2, "two");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<std::uintptr_t>(kept), "Kept");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<std::uintptr_t>(gone), "Gone");
    EXPECT_TRUE(RemoveMenu(bar, 0, MF_BYPOSITION));
    EXPECT_EQ(GetMenuItemCount(kept), 1);
    EXPECT_TRUE(DeleteMenu(bar, 0, MF_BYPOSITION));
    EXPECT_EQ(GetMenuItemCount(gone), -1);
    EXPECT_EQ(GetMenuItemCount(bar), 0);
    EXPECT_FALSE(DeleteMenu(bar, 0, MF_BYPOSITION));
    DestroyMenu(kept);
    DestroyMenu(bar);
}

// An item of the bar itself: grayed it posts nothing, enabled again it posts
// WM_COMMAND with its id and 0 (a menu, not an accelerator) in the high word.
TEST(Menus, ChoosingAnEnabledItemPostsItsCommand)
{
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 40, "&Go");
    HWND w = make_window();
    ASSERT_TRUE(SetMenu(w, bar));
    EXPECT_EQ(GetMenu(w), bar);
    auto action = [w]() -> QAction* {
        auto* mb = platform_window_widget(w)->findChild<QMenuBar*>();
        return mb && mb->actions().size() == 1 ? mb->actions()[0] : nullptr;
    };
    drain();
    EXPECT_EQ(EnableMenuItem(bar, 40, MF_BYCOMMAND | MF_GRAYED), 0);
    ASSERT_NE(action(), nullptr);
    EXPECT_FALSE(action()->isEnabled());
    action()->trigger();
    EXPECT_TRUE(drain().empty());
    EnableMenuItem(bar, 40, MF_BYCOMMAND | MF_ENABLED);
    ASSERT_NE(action(), nullptr);
    action()->trigger();
    auto ms = drain();
    ASSERT_EQ(ms.size(), 1u);
    EXPECT_EQ(ms[0].hwnd, w);
    EXPECT_EQ(ms[0].message, UINT(WM_COMMAND));
    EXPECT_EQ(ms[0].wParam, MAKEWPARAM(40, 0));
    DestroyWindow(w);
}

} // namespace
