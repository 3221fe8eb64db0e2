/* app_canvas: the replaceable table of drawing calls. */
#include "app_canvas.h"

namespace {
/* Constant-initialised, like the output table. */
AppCanvas custom_canvas = {};
bool has_custom_canvas = false;
}

const AppCanvas& app_canvas() { return has_custom_canvas ? custom_canvas : app_canvas_runtime(); }

AppCanvas app_canvas_set(const AppCanvas& canvas)
{
    AppCanvas previous = app_canvas();
    custom_canvas = canvas;
    has_custom_canvas = true;
    return previous;
}
