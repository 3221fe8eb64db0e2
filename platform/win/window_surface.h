// Seam between GDI and the window layer: every platform window keeps a back buffer
// (a QImage of its client size) that GetDC, BeginPaint and GetPixel work on and
// that the widget shows. Implemented in platform/win.
#pragma once
#include "platform/win_types.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

class QImage;
class QWidget;

QImage* platform_window_surface(HWND w);        // null for a window without one; painted up to date
void platform_window_settle(HWND w, const RECT* r); // paint what waits under r (null: all) now
void platform_window_flush(HWND w, const RECT* r); // show now what waits for the end of a frame
int platform_set_frame_ms(int ms);              // length of a paint frame (16 ms); returns the old one
int platform_frame_ms();                        // the paint frame every paced widget waits for
QWidget* platform_window_widget(HWND w);        // the Qt widget behind a window
HWND platform_widget_window(QWidget* widget);   // the window of a widget, or null

OSTREL_INTERNAL_EXPORT_END
