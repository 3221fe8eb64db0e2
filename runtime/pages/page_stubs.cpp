// Placeholder bodies of the page functions while the real ones are written.
#include "ostrel/pages.h"
#include "runtime/pages/page_record.h"

_page* _pagetable[OSTREL_PAGES];
_page* _curpage;

_page* _pagerecord(int page)
{
    return page >= 1 && page < OSTREL_PAGES ? _pagetable[page] : nullptr;
}
COLORREF _defaultpagecolor() { return 0xFFFFFF; }

int _newpage(int, const char*, double, double, double, double, int, unsigned int) { return 0; }
int _newfullscreen(int, unsigned int, unsigned int) { return 0; }
int _newmempage(int, int, int) { return 0; }
int _newbmappage(_bmap*, int) { return 0; }
int _bmappage(int) { return 0; }
int _setpage(int, int) { return 0; }
int _getpage() { return _curpage ? _curpage->number : -1; }
int _delpage(int) { return 0; }
int _ispage(int page) { return page >= 0 && page < OSTREL_PAGES && _pagetable[page]; }
int _countpages(int) { return 0; }
int _hidefullscreens() { return 0; }
int _setpagecolor(unsigned int, int) { return 0; }
int _setorigin(int, double, double) { return 0; }
_pageinfo _getpageinfo(int) { return {}; }
HWND _pagewindow(int) { return nullptr; }
HWND _pagecanvas(int) { return nullptr; }
int _windowpage(HWND) { return 0; }
int _movepage(int, double, double) { return 0; }
int _settitle(int, const char*) { return 0; }
int _sizepage(int, double, double) { return 0; }
int _placepage(int, const char*, double, double, double, double) { return 0; }
int _centerpage(int, const char*, double, double) { return 0; }
int _toppage(int, int) { return 0; }
int _framewidth() { return 0; }
int _frameheight() { return 0; }
int _statusheight() { return 0; }
HINSTANCE _instance() { return nullptr; }
int _dpix() { return 96; }
int _dpiy() { return 96; }
int _bmap_to_page(_bmap*, int, int, int) { return 0; }
_bmap* _page_to_bmap(int) { return nullptr; }
int _dib_to_page(int, const BITMAPINFO*, const void*) { return 0; }
int _clipdib_to_page(int) { return 0; }
int _bmpfile_to_page(FILE*, int) { return 0; }
int _fillpage(int, unsigned int) { return 0; }
_tmppage::_tmppage() : page(0) {}
_tmppage::_tmppage(int, int) : page(0) {}
_tmppage::~_tmppage() {}
