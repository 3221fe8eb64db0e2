// Shared set-up of the page tests (see page_fixture.h).
#include "tests/support/page_fixture.h"

#include <QApplication>

void PageTest::SetUpTestSuite()
{
    static bool started = false;
    if (!started) {
        ASSERT_EQ(_consolestartup(""), 1);
        started = true;
    }
}

void PageTest::TearDown()
{
    delete_all_pages();
}

void delete_all_pages()
{
    _setmsgproc(nullptr);
    for (int p = 1; p < OSTREL_PAGES; ++p)
        _delpage(p);
    _pumpmessages();
}

COLORREF page_pixel(int page, int x, int y)
{
    _pageinfo info = _getpageinfo(page);
    return info.dc ? GetPixel(info.dc, x, y) : CLR_INVALID;
}

void pump()
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        _pumpmessages();
    }
}
