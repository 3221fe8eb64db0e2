// Accelerator tables as the loops use them: which key and character messages
// become WM_COMMAND (sent at once, 1 in the high word), and which pass on.
#include "win_test_util.h"

#include <gtest/gtest.h>

namespace {

TEST(Accelerators, KeysAndCharactersThatMatchAnEntry)
{
    HWND w = make_window();
    ACCEL entries[] = {
        {FVIRTKEY | FCONTROL, WORD('S'), 301},
        {FVIRTKEY, WORD(VK_F3), 302},
        {0, WORD('a'), 303},
        {FALT, WORD('b'), 304},
    };
    HACCEL t = CreateAcceleratorTableA(entries, 4);
    ASSERT_NE(t, nullptr);
    struct Case { UINT message; WPARAM key; int command; };   // command 0: not translated
    const Case cases[] = {
        {WM_KEYDOWN, VK_F3, 302},
        {WM_SYSKEYDOWN, VK_F3, 302},
        {WM_KEYUP, VK_F3, 0},
        {WM_KEYDOWN, 'S', 0},      // no Ctrl held
        {WM_CHAR, 'a', 303},
        {WM_KEYDOWN, 'A', 0},      // a character entry ignores key-downs
        {WM_CHAR, 'b', 0},         // no Alt held
        {WM_CHAR, VK_F3, 0},       // 'r': a virtual-key entry ignores characters
        {WM_MOUSEMOVE, VK_F3, 0},
    };
    for (const Case& c : cases) {
        seen().clear();
        MSG m{w, c.message, c.key, 0, 0, {0, 0}};
        EXPECT_EQ(TranslateAcceleratorA(w, t, &m), c.command ? 1 : 0) << c.message << " " << c.key;
        if (!c.command) {
            EXPECT_TRUE(seen().empty());
            continue;
        }
        ASSERT_EQ(seen().size(), 1u);
        EXPECT_EQ(seen()[0].msg, UINT(WM_COMMAND));
        EXPECT_EQ(seen()[0].wp, MAKEWPARAM(c.command, 1));
    }
    DestroyAcceleratorTable(t);
    DestroyWindow(w);
}

TEST(Accelerators, DeadTablesAndBadArgumentsTranslateNothing)
{
    HWND w = make_window();
    ACCEL entry{FVIRTKEY, WORD(VK_F3), 302};
    EXPECT_EQ(CreateAcceleratorTableA(nullptr, 1), nullptr);
    EXPECT_EQ(CreateAcceleratorTableA(&entry, 0), nullptr);
    HACCEL t = CreateAcceleratorTableA(&entry, 1);
    MSG m{w, WM_KEYDOWN, VK_F3, 0, 0, {0, 0}};
    EXPECT_EQ(TranslateAcceleratorA(nullptr, t, &m), 0);
    EXPECT_EQ(TranslateAcceleratorA(w, nullptr, &m), 0);
    EXPECT_EQ(TranslateAcceleratorA(w, t, nullptr), 0);
    EXPECT_TRUE(DestroyAcceleratorTable(t));
    EXPECT_FALSE(DestroyAcceleratorTable(t));
    EXPECT_EQ(TranslateAcceleratorA(w, t, &m), 0);
    EXPECT_FALSE(DestroyAcceleratorTable(nullptr));
    DestroyWindow(w);
}

} // namespace
