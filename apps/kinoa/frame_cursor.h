/* FrameCursor and the viewer: the frame shown on page 1, the drawing of a
 * frame as a stick figure, the BMP export, the key loop and the page hook.
 *
 * The program's records are built as static objects of the executable;
 * kinoa::bind hands them to the functions here (tests bind their own).
 */
#ifndef OSTREL_APPS_FRAME_CURSOR_H
#define OSTREL_APPS_FRAME_CURSOR_H

#include <cstdint>

#include <ostrel/win_types.h>

#include "path_parts.h"

struct ViewerSettings;
struct StickData;

struct FrameCursor {
    int32_t current = 0;
    int32_t displayed = -1;
};

namespace kinoa {

enum { EXPORT_PAGE = 10 };

void bind(ViewerSettings* settings, StickData* data, FrameCursor* cursor);
/* The parts of the data file's path that name the BMP files. */
PathParts& path_parts();

/* Page coordinates of a data point: (x - x0) * ratio_x and
 * (y - y0) * ratio_y * -1, formed in extended precision and truncated once
 * towards zero (beyond the int range: the nearest int; not a number: 0). */
int map_x(const ViewerSettings& s, double x);
int map_y(const ViewerSettings& s, double y);

/* Draws frame n (below 0: the current one) on page 1; false when there is no
 * such frame or a row could not be drawn (after its box). */
bool draw_frame(FrameCursor& cursor, int n);
/* N and P: step and draw, staying within the frames. */
void step_next(FrameCursor& cursor);
void step_previous(FrameCursor& cursor);
/* B: page 1 as "<name>.BMP" beside the data file; true when written. */
bool save_shown_page();
/* Q: every frame as "<name>0000.BMP", ...; false when it stopped early. */
bool save_all_frames(FrameCursor& cursor);
/* Steps asked for by clicks while a frame was being drawn. */
void run_pending();
/* One typed key; returns CLOSE_CONSOLE to end the program, 0 to go on. */
int act_on_key(FrameCursor& cursor, int key);
/* The key loop; returns the result of main. */
int key_loop(FrameCursor& cursor);

int on_page_message(int page, unsigned int message);
/* The hook adapter registered with _setmsgproc. */
int hook(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

/* The whole of main: binds the records and runs the viewer. */
int run(ViewerSettings& settings, StickData& data, FrameCursor& cursor);

} // namespace kinoa

#endif
