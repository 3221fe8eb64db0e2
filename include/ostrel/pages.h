/* ostrel pages: the numbered graphics pages (1 to 3999; 0 is the console).
 *
 * Creation, selection and deletion of pages, their window geometry by page
 * number, the transfer of pictures between pages, bitmap objects and DIBs, and
 * a temporary off-screen page. Page coordinates are doubles in client pixels;
 * colours are 0x00BBGGRR. Results: 1 success, 0 failure, -1 "no value".
 */
#ifndef OSTREL_PAGES_H
#define OSTREL_PAGES_H

#include <stdio.h>
#include "ostrel/export.h"

OSTREL_API_BEGIN

#include "ostrel/win_types.h"

struct BITMAPINFO;

class _bmap;

/* Page kinds */
enum {
    PAGE_WINDOW = 0,
    PAGE_FULLSCREEN = 1,
    PAGE_MEMORY = 2,
    PAGE_BMAP = 4
};

/* Flags of _newpage (a sum) */
enum {
    PAGE_HIDDEN = 1,   /* do not show the window */
    PAGE_NOOWNER = 2,  /* a window without owner */
    PAGE_CANVAS = 4,   /* add a canvas child that shows the content */
    PAGE_NOMENU = 8    /* an empty menu bar */
};

/* What _getpageinfo reports; fields that do not apply to the kind are 0. */
struct _pageinfo {
    int kind;
    double width;
    double height;
    HDC dc;            /* off-screen page: its memory context */
    HBITMAP bitmap;    /* off-screen page: its image */
    HBITMAP* pbitmap;  /* off-screen page: where the page keeps its image */
    _bmap* bmap;       /* bitmap page: the bitmap object it holds */
};

/* ---- creation, selection, deletion ---- */
int _newpage(int page, const char* title, double x, double y, double w, double h,
             int flags = 0, unsigned int style = 0);
int _newfullscreen(int page, unsigned int colour, unsigned int style = 0);
int _newmempage(int width, int height, int page);
int _newbmappage(_bmap* bitmap, int page);
int _bmappage(int page);
int _setpage(int page, int erase = 0);
int _getpage();
int _delpage(int page);
int _ispage(int page);
int _countpages(int kind);
int _hidefullscreens();
int _setpagecolor(unsigned int colour, int page);
int _setorigin(int page, double x0, double y0);
_pageinfo _getpageinfo(int page);

/* ---- window geometry by page number (0: the console) ---- */
HWND _pagewindow(int page);
HWND _pagecanvas(int page);
int _windowpage(HWND window);
int _movepage(int page, double x, double y);
int _settitle(int page, const char* title);
int _sizepage(int page, double w, double h);
int _placepage(int page, const char* title, double x, double y, double w, double h);
int _centerpage(int page, const char* title, double w, double h);
int _toppage(int page, int activate);
int _framewidth();
int _frameheight();
int _statusheight();
HINSTANCE _instance();
int _dpix();
int _dpiy();

/* ---- pictures between pages, bitmap objects and DIBs ---- */
int _bmap_to_page(_bmap* bitmap, int page, int x = 0, int y = 0);
_bmap* _page_to_bmap(int page);
int _dib_to_page(int page, const BITMAPINFO* dib, const void* data = nullptr);
int _clipdib_to_page(int page);
int _bmpfile_to_page(FILE* stream, int page);
int _fillpage(int page, unsigned int colour);

/* One temporary off-screen page, deleted with the object. The number is taken
 * from the top of the table (3999 downwards); 0 when no slot is free or the
 * image could not be made. */
class _tmppage {
public:
    int page;
    _tmppage();
    _tmppage(int width, int height);
    ~_tmppage();
    _tmppage(const _tmppage&) = delete;
    _tmppage& operator=(const _tmppage&) = delete;
};

OSTREL_API_END

#endif
