// Shared set-up of the page and drawing tests: a console started once per test
// program, and every page deleted after each test so that each one starts from
// an empty table.
#pragma once
#include "platform/win/winuser.h"
#include "platform/gdi/wingdi.h"
#include "runtime/console/console_internal.h"
#include "runtime/pages/page_record.h"
#include "ostrel/pages.h"
#include "ostrel/bmap.h"

#include <gtest/gtest.h>

#include <string>

class PageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void TearDown() override;
};

// Deletes pages 1..3999 and forgets the hook.
void delete_all_pages();
// The colour of pixel (x, y) of an off-screen page.
COLORREF page_pixel(int page, int x, int y);
// Runs the toolkit's events and the runtime's pump a few times.
void pump();
// A window's title (up to 299 bytes).
inline std::string window_title(HWND w)
{
    char buf[300] = {};
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}
