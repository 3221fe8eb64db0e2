/* ostrel drawing: the shared drawing state and the primitives that draw on the
 * current page, plus the page's metafile files.
 *
 * Every call draws into the current page's recording; a window page shows the
 * result after the next _setpage. Coordinates are doubles in page units (one
 * client pixel at origin (0, 0)); they are recorded in twentieths of a unit,
 * truncated towards zero. Colours are 0x00BBGGRR; colour results use -1
 * (0xFFFFFFFF) for "no current page".
 */
#ifndef OSTREL_DRAW_H
#define OSTREL_DRAW_H
#include "ostrel/export.h"

OSTREL_API_BEGIN

#include "ostrel/constants.h"
#include "ostrel/win_types.h"

class _bmap;

/* A point in page units (text position, current position). */
struct _dpoint {
    double x;
    double y;
};

/* ---- drawing state ---- */
unsigned int _setcolor(unsigned int colour);
unsigned int _getcolor();
void _setlinestyle(int style);
int _getlinestyle();
int _setlinewidth(double width);
void _setfillmask(const unsigned char* mask);          /* 8 bytes, row 0 first */
unsigned char* _getfillmask(unsigned char* buffer);    /* 8 bytes */
unsigned int _settextcolor(unsigned int colour);
unsigned int _gettextcolor();
unsigned int _setbkcolor(unsigned int colour);
unsigned int _getbkcolor();
int _setfont(const char* options);                     /* e.g. "'tSystem'h15" */
void _setfontstyle(int bold, unsigned char italic, unsigned char underline, unsigned char strikeout);
void _settextangle(int escapement, int orientation);   /* degrees */
void _settextalign(int horizontal, int vertical);      /* TEXTALIGN_ codes */
_dpoint _settextpos(double x, double y);               /* returns the previous position */
_dpoint _gettextpos();
double _gettextwidth(const char* text);
double _gettextheight(const char* text);

/* ---- primitives ---- */
int _moveto(double x, double y);
int _lineto(double x, double y);
int _arc(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4);
int _ellipse(int mode, double x1, double y1, double x2, double y2);   /* 0 filled, 1 outline */
int _frameellipse(double x1, double y1, double x2, double y2);
int _rectangle(int mode, double x1, double y1, double x2, double y2);
int _framerect(double x1, double y1, double x2, double y2);
int _pie(int mode, double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4);
int _framepie(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4);
int _floodfill(double x, double y, unsigned int colour);
unsigned int _setpixel(double x, double y);
unsigned int _getpixel(double x, double y);
_dpoint _getcurrentposition();
void _textout(const char* text, int bkmode);           /* TRANSPARENT or OPAQUE */
void _clearscreen(int flags);                          /* a sum of CLEAR_ flags */
void _putpage(double x, double y, int page, unsigned int rop, double scale);
int _savearea(double x1, double y1, double x2, double y2, int page);
void _putbmap(double x, double y, _bmap* bitmap, unsigned int rop, double scale);
int _choosecolor(HWND owner, unsigned int* colour, unsigned int* custom, const char* title);
int _choosepagecolor(int page, unsigned int* colour, unsigned int* custom, const char* title);
void init_CurWnd();

/* ---- metafile files of the current page ---- */
int _savewmf(const char* filename);
int _loadwmf(const char* filename);

OSTREL_API_END

#endif
