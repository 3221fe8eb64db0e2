/* app_canvas: the drawing calls the programs make on their pages.
 *
 * The same calls as the runtime's (_clearscreen, _setpage, _setcolor, ...),
 * behind a table so that tests can record exactly what a frame or a marker
 * draws, independently of how the page rasterises it.
 */
#ifndef OSTREL_APPS_APP_CANVAS_H
#define OSTREL_APPS_APP_CANVAS_H

class _bmap;

struct AppCanvas {
    void (*clearscreen)(int flags);
    int (*setpage)(int page, int erase);
    unsigned int (*setcolor)(unsigned int colour);
    unsigned int (*getpixel)(double x, double y);
    int (*moveto)(double x, double y);
    int (*lineto)(double x, double y);
    int (*frameellipse)(double x1, double y1, double x2, double y2);
    int (*framerect)(double x1, double y1, double x2, double y2);
    void (*putbmap)(double x, double y, _bmap* bitmap, unsigned int rop, double scale);
    int (*savearea)(double x1, double y1, double x2, double y2, int page);
    int (*savebmp)(const char* name, int page, int depth);
};

/* The runtime's drawing calls. */
const AppCanvas& app_canvas_runtime();

/* The table in use; app_canvas_set returns the previous one. */
const AppCanvas& app_canvas();
AppCanvas app_canvas_set(const AppCanvas& canvas);

#endif
