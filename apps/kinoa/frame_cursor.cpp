/* The viewer: frame drawing, stepping, BMP export and the two ways to quit. */
#include "frame_cursor.h"

#include "app_canvas.h"
#include "click_queue.h"
#include "app_io.h"
#include "settings_text.h"
#include "stick_data.h"
#include "viewer_settings.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include <ostrel/constants.h>

namespace kinoa {

namespace {

ViewerSettings* settings_ = nullptr;
StickData* data_ = nullptr;
FrameCursor* cursor_ = nullptr;
PathParts parts_ = {};

/* Busy while a frame is drawn or the frames are saved: a click arriving then
 * (a step of +1 or -1) must not start a second drawing in the middle of the
 * first, and waits. */
ClickQueue<int> clicks_(64);

int truncate_to_int(long double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

std::string bmp_path(const std::string& name)
{
    std::string path = make_path(parts_.drive, parts_.dir, name.c_str(), ".BMP");
    char cut[260];
    copy_cut(cut, sizeof cut, path.c_str());
    return cut;
}

bool exists_for_reading(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

/* Copies page 1 into the export page and writes it; false with a console
 * line when the file could not be written. */
bool export_page(const std::string& path)
{
    const ViewerSettings& s = *settings_;
    const AppCanvas& c = app_canvas();
    if (!c.savearea(0, 0, s.window_w - 1.0, s.window_h - 1.0, EXPORT_PAGE) ||
        !c.savebmp(path.c_str(), EXPORT_PAGE, 24)) {
        app_print("Can not write %s\n", path.c_str());
        return false;
    }
    return true;
}

struct Busy : ClickQueue<int>::Hold {
    Busy() : Hold(clicks_) {}
};

void step_by(int step)
{
    if (step > 0)
        step_next(*cursor_);
    else
        step_previous(*cursor_);
}

} // namespace

void run_pending()
{
    clicks_.run_waiting(step_by);
}

void bind(ViewerSettings* settings, StickData* data, FrameCursor* cursor)
{
    settings_ = settings;
    data_ = data;
    cursor_ = cursor;
    parts_ = PathParts{};
    clicks_.reset();
}

PathParts& path_parts() { return parts_; }

int map_x(const ViewerSettings& s, double x)
{
    return truncate_to_int((static_cast<long double>(x) - s.coordinate_x0) * s.pixel_ratio_x);
}

int map_y(const ViewerSettings& s, double y)
{
    return truncate_to_int((static_cast<long double>(y) - s.coordinate_y0) * s.pixel_ratio_y * -1.0L);
}

bool draw_frame(FrameCursor& cursor, int n)
{
    if (n < 0) {
        n = cursor.current;
        if (n < 0)
            return false;
    }
    if (n >= data_->frame_count)
        return false;
    Busy busy;
    cursor.current = n;
    const AppCanvas& c = app_canvas();
    const ViewerSettings& s = *settings_;
    c.clearscreen(CLEAR_PAGE);
    c.setpage(1, 1);
    app_print("[frame%d]\n", n);
    for (int j = 0; j < s.block_line; ++j) {
        const char* text = data_->frame_row(n, j);
        if (!text) {
            app_info("Error", "%s", "予想外のエラーです．要デバッグ(draw)");
            return false;
        }
        char work[256];
        copy_cut(work, sizeof work, text);
        char* save = nullptr;
        char* token = strtok_r(work, " ,\t\n", &save);
        if (!token) {
            app_info("Error", "%s", "Data format error.");
            return false;
        }
        c.setcolor(0);
        bool first = true;
        for (; token; token = strtok_r(nullptr, " ,\t\n", &save)) {
            double x = parse_double(token);
            token = strtok_r(nullptr, " ,\t\n", &save);
            if (!token) {
                app_info("Error", "%s", "Data format error.");
                return false;
            }
            double y = parse_double(token);
            const double J = s.joint_mark;
            if (s.joint_mark > 0)
                c.frameellipse(x - J, y - J, x + J, y + J);
            else if (s.joint_mark < 0)
                c.framerect(x - J, y - J, x + J, y + J);
            const int X = map_x(s, x);
            const int Y = map_y(s, y);
            if (first)
                c.moveto(X, Y);
            else
                c.lineto(X, Y);
            first = false;
        }
    }
    c.setpage(1, 1);
    cursor.displayed = n;
    return true;
}

void step_next(FrameCursor& cursor)
{
    cursor.current = cursor.current + 1;
    if (cursor.current < data_->frame_count)
        draw_frame(cursor, cursor.current);
    else
        cursor.current = data_->frame_count - 1;
}

void step_previous(FrameCursor& cursor)
{
    cursor.current = cursor.current - 1;
    if (cursor.current >= 0)
        draw_frame(cursor, cursor.current);
    else
        cursor.current = 0;
}

bool save_shown_page()
{
    std::string path = bmp_path(parts_.fname);
    if (settings_->overwrite_check && exists_for_reading(path) &&
        app_yesno("Overwrite_check", "%sを上書きしますか？", path.c_str()) == 0)
        return false;
    return export_page(path);
}

bool save_all_frames(FrameCursor& cursor)
{
    Busy busy;
    app_print("Saving...\n");
    bool answered_yes = false;
    for (int n = 0; n < data_->frame_count; ++n) {
        char number[16];
        std::snprintf(number, sizeof number, "%04d", n);
        std::string path = bmp_path(std::string(parts_.fname) + number);
        if (settings_->overwrite_check && !answered_yes && exists_for_reading(path)) {
            if (app_yesno("Overwrite_check", "%sを上書きしますか？", path.c_str()) == 0)
                return false;
            answered_yes = true;
        }
        /* A frame that cannot be drawn ends the save: its file would show
         * the frame before it, and every later file would be suspect too. */
        if (!draw_frame(cursor, n)) {
            app_print("Stopped at frame %d: not saved.\n", n);
            return false;
        }
        if (!export_page(path))
            return false;
    }
    app_print("Finished.\n");
    return true;
}

int act_on_key(FrameCursor& cursor, int key)
{
    switch (key) {
    case 'N':
        step_next(cursor);
        break;
    case 'P':
        step_previous(cursor);
        break;
    case 'B':
        save_shown_page();
        break;
    case 'E':
        if (app_yesno("Kinoascope", "%s", "QUIT? (Y/N)") == 1)
            return CLOSE_CONSOLE;
        break;
    case 'Q':
        if (app_yesno("Kinoascope", "%s", "QUIT and SAVE ? (Y/N)") == 1) {
            save_all_frames(cursor);
            app_info("Kinoascope", "%s", "終了します．");
            return CLOSE_CONSOLE;
        }
        break;
    default:
        break;
    }
    run_pending();
    return 0;
}

int key_loop(FrameCursor& cursor)
{
    for (;;) {
        int key = app_getkey();
        if (key == EOF)
            return CLOSE_CONSOLE; /* the console has no more input to give */
        if (key >= 'a' && key <= 'z')
            key = key - 'a' + 'A';
        app_print("\n");
        int result = act_on_key(cursor, key);
        if (result)
            return result;
    }
}

int on_page_message(int page, unsigned int message)
{
    if (page != 1 || (message != WM_LBUTTONDOWN && message != WM_RBUTTONDOWN))
        return 0;
    clicks_.offer(message == WM_LBUTTONDOWN ? 1 : -1, step_by);
    return 1;
}

} // namespace kinoa
