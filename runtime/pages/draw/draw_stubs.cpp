// Placeholder bodies of the drawing area while the real ones are written.
#include "ostrel/draw.h"
#include "runtime/pages/draw/draw_internal.h"
#pragma GCC diagnostic ignored "-Wunused-parameter"
unsigned int _setcolor(unsigned int colour) { return {}; }
unsigned int _getcolor() { return {}; }
void _setlinestyle(int style) { }
int _getlinestyle() { return {}; }
int _setlinewidth(double width) { return {}; }
void _setfillmask(const unsigned char* mask) { }
unsigned char* _getfillmask(unsigned char* buffer) { return {}; }
unsigned int _settextcolor(unsigned int colour) { return {}; }
unsigned int _gettextcolor() { return {}; }
unsigned int _setbkcolor(unsigned int colour) { return {}; }
unsigned int _getbkcolor() { return {}; }
int _setfont(const char* options) { return {}; }
void _setfontstyle(int bold, unsigned char italic, unsigned char underline, unsigned char strikeout) { }
void _settextangle(int escapement, int orientation) { }
void _settextalign(int horizontal, int vertical) { }
_dpoint _settextpos(double x, double y) { return {}; }
_dpoint _gettextpos() { return {}; }
double _gettextwidth(const char* text) { return {}; }
double _gettextheight(const char* text) { return {}; }
int _moveto(double x, double y) { return {}; }
int _lineto(double x, double y) { return {}; }
int _arc(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) { return {}; }
int _ellipse(int mode, double x1, double y1, double x2, double y2) { return {}; }
int _frameellipse(double x1, double y1, double x2, double y2) { return {}; }
int _rectangle(int mode, double x1, double y1, double x2, double y2) { return {}; }
int _framerect(double x1, double y1, double x2, double y2) { return {}; }
int _pie(int mode, double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) { return {}; }
int _framepie(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) { return {}; }
int _floodfill(double x, double y, unsigned int colour) { return {}; }
unsigned int _setpixel(double x, double y) { return {}; }
unsigned int _getpixel(double x, double y) { return {}; }
_dpoint _getcurrentposition() { return {}; }
void _textout(const char* text, int bkmode) { }
void _clearscreen(int flags) { }
void _putpage(double x, double y, int page, unsigned int rop, double scale) { }
int _savearea(double x1, double y1, double x2, double y2, int page) { return {}; }
void _putbmap(double x, double y, _bmap* bitmap, unsigned int rop, double scale) { }
int _choosecolor(HWND owner, unsigned int* colour, unsigned int* custom, const char* title) { return {}; }
int _choosepagecolor(int page, unsigned int* colour, unsigned int* custom, const char* title) { return {}; }
void init_CurWnd() { }
int _savewmf(const char* filename) { return {}; }
int _loadwmf(const char* filename) { return {}; }
void _reset_drawing_state() { }
void _select_drawing_objects(HDC rec) { }
void _delete_drawing_objects() { }
void _paintpage(_page* pg, HDC dc, const RECT* update) { }
int _copypage(int page) { return {}; }
int _printpage(int page) { return {}; }
