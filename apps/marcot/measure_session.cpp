/* MeasureSession: the point stack, paths, markers, undo and the data file. */
#include "measure_session.h"

#include "app_canvas.h"
#include "click_queue.h"
#include "app_io.h"
#include "atomic_file.h"
#include "measure_settings.h"
#include "path_parts.h"
#include "settings_text.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <ostrel/bmap.h>
#include <ostrel/constants.h>

namespace {

const MeasureSettings* settings_ = nullptr;
MeasureSession* session_ = nullptr;

/* A click arriving while the previous one still prints and draws waits, so
 * that points and markers never interleave. */
struct PendingClick {
    unsigned int message;
    double x;
    double y;
};
ClickQueue<PendingClick> clicks_(1024);

} // namespace

MeasureSession::MeasureSession(const MeasureSettings& s)
    : image(nullptr), count(0), capacity(s.measure_point), points(nullptr), image_path{}, data_path{},
      data_file(nullptr), settings(&s)
{
    if (capacity > 0)
        points = static_cast<MeasurePoint*>(std::calloc(static_cast<size_t>(capacity), sizeof(MeasurePoint)));
}

MeasureSession::~MeasureSession()
{
    std::free(points);
    delete image;
    if (data_file)
        std::fclose(data_file);
}

bool MeasureSession::push_point(double x, double y)
{
    if (!points || count < 0 || count >= capacity)
        return false;
    points[count].x = x;
    points[count].y = y;
    ++count;
    return true;
}

namespace marcot {

void bind(const MeasureSettings* settings, MeasureSession* session)
{
    settings_ = settings;
    session_ = session;
    clicks_.reset();
}

MeasureSession& bound_session() { return *session_; }
const MeasureSettings& bound_settings() { return *settings_; }

bool prepare_paths(const char* text)
{
    MeasureSession& s = *session_;
    copy_cut(s.image_path, sizeof s.image_path, unquote_path(text).c_str());
    PathParts parts;
    split_path(s.image_path, parts);
    std::string data = make_path(parts.drive, parts.dir, parts.fname, settings_->ext_name);
    if (data.size() >= sizeof s.data_path) {
        /* A cut data path would name some other file. */
        app_print("Data path too long: %s\n", data.c_str());
        return false;
    }
    std::strcpy(s.data_path, data.c_str());
    if (!settings_->overwrite_check)
        return true;
    std::FILE* f = std::fopen(s.data_path, "r");
    if (!f)
        return true;
    std::fclose(f);
    return app_yesno("Overwrite_check", "%s.%sを上書きしますか？", parts.fname, settings_->ext_name) != 0;
}

void draw_bullet(double x, double y)
{
    const AppCanvas& c = app_canvas();
    uint32_t sum = 0;
    sum += c.getpixel(x, y);
    sum += c.getpixel(x, y - 1);
    sum += c.getpixel(x, y + 1);
    sum += c.getpixel(x - 1, y);
    sum += c.getpixel(x + 1, y);
    const uint32_t average = sum / 5;
    uint32_t colour = 0;
    if (settings_->bullet_color == -1)
        colour = average ^ 0xFFFFu;
    else if (settings_->bullet_color == 1)
        colour = 0xFFFFFFu;
    c.setcolor(colour);
    c.frameellipse(x - 5, y - 5, x + 5, y + 5);
    c.moveto(x, y - 10);
    c.lineto(x, y + 10);
    c.moveto(x - 10, y);
    c.lineto(x + 10, y);
    c.setpage(1, 0);
}

void undo_last()
{
    MeasureSession& s = *session_;
    if (s.count < 1)
        return;
    s.count = s.count - 1;
    const AppCanvas& c = app_canvas();
    c.clearscreen(CLEAR_PAGE);
    c.putbmap(0, 0, s.image, SRCCOPY, 1.0);
    app_print("[CANCEL]\n");
    for (int i = 0; i < s.count; ++i) {
        app_print("%d: (%lf, %lf)\n", i, s.points[i].x, s.points[i].y);
        if (settings_->bullet)
            draw_bullet(s.points[i].x, s.points[i].y);
    }
    c.setpage(1, 0);
}

bool write_data_file()
{
    MeasureSession& s = *session_;
    AtomicFile out(s.data_path);
    s.data_file = out.open();
    if (!s.data_file) {
        app_print("Can not open data file[%s]\n", s.data_path);
        app_getkey();
        app_quit(CLOSE_CONSOLE);
        return false;
    }
    const char* format = settings_->data_format;
    for (int i = 0; i < s.capacity; ++i) {
        c_fprintf(s.data_file, format, s.points[i].x);
        std::fputc('\t', s.data_file);
        c_fprintf(s.data_file, format, s.points[i].y);
        std::fputc('\t', s.data_file);
    }
    std::fputc('\n', s.data_file);
    s.data_file = nullptr;
    if (!out.commit()) {
        app_print("Can not write data file[%s]\n", s.data_path);
        app_getkey();
        app_quit(CLOSE_CONSOLE);
        return false;
    }
    return true;
}

namespace {

int handle_click(unsigned int message, double x, double y)
{
    MeasureSession& s = *session_;
    if (message == WM_RBUTTONDOWN) {
        if (s.count >= 1)
            undo_last();
        return 1;
    }
    if (!s.has_room())
        return 1;
    if (!s.push_point(x, y)) {
        app_info("Error", "%s", "Can not Push_data");
        app_getkey();
        app_quit(CLOSE_CONSOLE);
        return 1;
    }
    app_print("%d: (%lf, %lf)\n", s.count - 1, x, y);
    if (settings_->bullet)
        draw_bullet(x, y);
    if (s.has_room())
        return 1;
    if (write_data_file()) {
        app_print("データファイルへの書き込み完了\nQUIT");
        app_getkey();
        app_quit(CLOSE_CONSOLE);
    }
    return 1;
}

} // namespace

int on_page_message(int page, unsigned int message, double x, double y)
{
    if (page != 1 || (message != WM_LBUTTONDOWN && message != WM_RBUTTONDOWN))
        return 0;
    clicks_.offer({message, x, y}, [](const PendingClick& c) { handle_click(c.message, c.x, c.y); });
    return 1;
}

} // namespace marcot
