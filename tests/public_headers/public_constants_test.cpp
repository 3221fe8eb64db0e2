// The public constants and lParam helpers: the numbers hooks receive, by name.
#include "ostrel/constants.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(PublicConstants, NamesCarryTheNumbersHooksAndCallsUse)
{
    EXPECT_EQ(WM_LBUTTONDOWN, 513u);
    EXPECT_EQ(WM_RBUTTONDOWN, 516u);
    EXPECT_EQ(SRCCOPY, 0x00CC0020u);
    EXPECT_EQ(CLOSE_CONSOLE, 1961);
    EXPECT_EQ(CLEAR_CONSOLE + CLEAR_PAGE + CLEAR_NOREPAINT, 7);
    EXPECT_EQ(TEXTALIGN_CENTER, 1);
    EXPECT_EQ(TEXTALIGN_BOTTOM, 20);
}

TEST(PublicConstants, XAndYOfAnLParam)
{
    struct Case { std::uint32_t lp; int x, y; unsigned ux, uy; };   // the halves signed, then unsigned
    const Case cases[] = {
        {45u * 65536u + 120u, 120, 45, 120, 45},
        {0u, 0, 0, 0, 0},
        {0x7FFF7FFFu, 32767, 32767, 32767, 32767},
        {0xFFFFFFFFu, -1, -1, 65535, 65535},
        {0x8000FFF6u, -10, -32768, 65526, 32768},
    };
    for (const Case& c : cases) {
        const LPARAM lp = static_cast<LPARAM>(c.lp);
        EXPECT_EQ(GET_X_LPARAM(lp), c.x) << std::hex << c.lp;
        EXPECT_EQ(GET_Y_LPARAM(lp), c.y) << std::hex << c.lp;
        EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(lp)), c.ux) << std::hex << c.lp;
        EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(lp)), c.uy) << std::hex << c.lp;
    }
}

} // namespace
