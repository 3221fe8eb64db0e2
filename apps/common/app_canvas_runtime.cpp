/* app_canvas_runtime: the drawing table of the real programs. */
#include "app_canvas.h"

#include <ostrel/sysutil.h>
#include <ostrel.h>

namespace {
int setpage(int page, int erase) { return _setpage(page, erase); }
}

const AppCanvas& app_canvas_runtime()
{
    static const AppCanvas canvas = {_clearscreen, setpage, _setcolor, _getpixel, _moveto, _lineto,
                                     _frameellipse, _framerect, _putbmap, _savearea, _savebmp};
    return canvas;
}
