// Shared set-up of the drawing tests: a console started once, every page deleted
// after each test, and the picture a page's content gives at one pixel per unit.
#pragma once
#include "ostrel/bmap.h"
#include "ostrel/draw.h"
#include "ostrel/pages.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"
#include "platform/win/winuser.h"
#include "runtime/console/console_internal.h"
#include "runtime/pages/draw/draw_internal.h"
#include "runtime/pages/page_record.h"
#include "tests/support/pixels.h"

#include <QImage>
#include <gtest/gtest.h>

class DrawTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void TearDown() override;
    // A window page of exactly w x h client pixels, made current.
    static void window_page(int page, int w = 200, int h = 150);
};

// The content of `page` replayed as a repaint would, onto a new white image of
// the page's client size (or w x h).
QImage painted(int page, int w = 0, int h = 0);
