// Shared set-up of the drawing tests: that of the page tests, window pages made
// current, and the picture a page's content gives at one pixel per unit.
#pragma once
#include "ostrel/draw.h"
#include "platform/gdi/gdi_surface.h"
#include "runtime/pages/draw/draw_internal.h"
#include "tests/support/page_fixture.h"
#include "tests/support/pixels.h"

class DrawTest : public PageTest {
protected:
    // A window page of exactly w x h client pixels, made current.
    static void window_page(int page, int w = 200, int h = 150);
};

// The content of `page` replayed as a repaint would, onto a new white image of
// the page's client size (or w x h).
QImage painted(int page, int w = 0, int h = 0);
