/* MeasureSession: the points of one measuring session on page 1, from the
 * first click to the data file beside the image.
 *
 * The program's records are built as static objects of the executable;
 * marcot::bind hands them to the functions here (tests bind their own).
 */
#ifndef OSTREL_APPS_MEASURE_SESSION_H
#define OSTREL_APPS_MEASURE_SESSION_H

#include <cstdint>
#include <cstdio>

#include <ostrel/win_types.h>

class _bmap;
struct MeasureSettings;

struct MeasurePoint {
    double x;
    double y;
};

struct MeasureSession {
    _bmap* image;
    int32_t count;
    int32_t capacity;
    MeasurePoint* points; /* null when the list could not be allocated */
    char image_path[260];
    char data_path[260];
    std::FILE* data_file;
    const MeasureSettings* settings;

    /* capacity = MEASURE_POINT, points zero-filled. */
    explicit MeasureSession(const MeasureSettings& settings);
    ~MeasureSession();
    MeasureSession(const MeasureSession&) = delete;
    MeasureSession& operator=(const MeasureSession&) = delete;

    bool push_point(double x, double y);
    bool has_room() const { return count < capacity; }
};

namespace marcot {

void bind(const MeasureSettings* settings, MeasureSession* session);
/* The bound records. */
MeasureSession& bound_session();
const MeasureSettings& bound_settings();

/* Image path from the command-line text, data path beside it, and the
 * overwrite question; false when the program should end. */
bool prepare_paths(const char* text);
/* Loads the image and shows it on page 1; false after an error box. */
bool show_image();
/* The marker at a point, coloured by the pixels beneath it. */
void draw_bullet(double x, double y);
/* Right click: the last point taken back, the page drawn again. */
void undo_last();
/* The data line into the data file, replaced atomically; false after its
 * console line, key wait and exit. */
bool write_data_file();

int on_page_message(int page, unsigned int message, double x, double y);
/* The hook adapter registered with _setmsgproc. */
int hook(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

/* The whole of main: binds the records and starts the session. */
int run(const MeasureSettings& settings, MeasureSession& session);

} // namespace marcot

#endif
