// _tmppage: one temporary off-screen page for the length of an operation,
// numbered from the top of the table so that it stays clear of the program's.
#include "runtime/pages/page_internal.h"

namespace {

int highest_free_page()
{
    for (int p = OSTREL_PAGES - 1; p >= 1; --p)
        if (!_pagerecord(p))
            return p;
    return 0;
}

} // namespace

_tmppage::_tmppage() : page(highest_free_page())
{
}

_tmppage::_tmppage(int width, int height) : page(highest_free_page())
{
    if (page && !_newmempage(width, height, page)) {
        // A refused size still leaves a small page behind; it is ours to remove.
        _delpage(page);
        page = 0;
    }
}

_tmppage::~_tmppage()
{
    if (page)
        _delpage(page);
}
