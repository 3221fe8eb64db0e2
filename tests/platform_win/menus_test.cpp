// Menus as programs drive them: states, lookups through submenus, removal with
// and without the submenu, and what choosing an item posts to the bar's window.
#include "win_test_util.h"

#include <QAction>
#include <QMenuBar>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(MenuMessages, StatesAndTextsByCommandAndByPosition)
{
    HMENU bar = CreateMenu(), sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 10, "&Open");
    AppendMenuA(sub, MF_STRING | MF_GRAYED, 11, "&Save");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<std::uintptr_t>(sub), "&File");
    struct Case {
        UINT item, flags, state;
    };
    const Case cases[] = {
        {0, MF_BYPOSITION, MF_POPUP | (2u << 8)},
        {10, MF_BYCOMMAND, 0},
        {11, MF_BYCOMMAND, MF_GRAYED},
        {99, MF_BYCOMMAND, UINT(-1)},
        {5, MF_BYPOSITION, UINT(-1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetMenuState(bar, c.item, c.flags), c.state) << c.item;
    char buf[8];
    EXPECT_EQ(GetMenuStringA(bar, 11, buf, sizeof buf, MF_BYCOMMAND), 5);
    EXPECT_STREQ(buf, "&Save");
    EXPECT_EQ(GetMenuStringA(bar, 0, buf, 4, MF_BYPOSITION), 3);
    EXPECT_STREQ(buf, "&Fi");
    CheckMenuItem(bar, 10, MF_BYCOMMAND | MF_CHECKED);
    EXPECT_EQ(GetMenuState(sub, 0, MF_BYPOSITION), UINT(MF_CHECKED));
    DestroyMenu(bar);
}

TEST(MenuMessages, RemoveKeepsTheSubmenuDeleteDestroysIt)
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
TEST(MenuMessages, ChoosingAnEnabledItemPostsItsCommand)
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
