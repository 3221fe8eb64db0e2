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

#include <QApplication>
#include <gtest/gtest.h>

#include <string>

// Deletes pages 1..3999 and forgets the hook.
inline void delete_all_pages()
{
    _setmsgproc(nullptr);
    for (int p = 1; p < OSTREL_PAGES; ++p)
        _delpage(p);
    _pumpmessages();
}

class PageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static bool started = false;
        if (!started) {
            ASSERT_EQ(_consolestartup(""), 1);
            started = true;
        }
    }
    void TearDown() override { delete_all_pages(); }
};

// The colour of pixel (x, y) of an off-screen page.
inline COLORREF page_pixel(int page, int x, int y)
{
    _pageinfo info = _getpageinfo(page);
    return info.dc ? GetPixel(info.dc, x, y) : CLR_INVALID;
}
// Runs the toolkit's events and the runtime's pump a few times.
inline void pump()
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        _pumpmessages();
    }
}
// A window's title (up to 299 bytes).
inline std::string window_title(HWND w)
{
    char buf[300] = {};
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}
