// Test support for the programs: temporary directories and the output recorder.
#include "apps_test_support.h"

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {
IoRecorder* active = nullptr;
CanvasRecorder* canvas = nullptr;

std::string num(double v)
{
    std::ostringstream out;
    out.precision(15);
    out << v;
    return out.str();
}

void record(const std::string& name, std::initializer_list<double> args)
{
    std::string text = name + "(";
    const char* separator = "";
    for (double a : args) {
        text += separator + num(a);
        separator = ",";
    }
    canvas->calls.push_back(text + ")");
}
} // namespace

TempCwd::TempCwd()
{
    char buf[4096];
    if (getcwd(buf, sizeof buf))
        previous_ = buf;
    if (dir_.path.empty() || chdir(dir_.path.c_str()) != 0)
        std::abort();
}

TempCwd::~TempCwd()
{
    if (!previous_.empty() && chdir(previous_.c_str()) != 0)
        std::abort();
}

IoRecorder::IoRecorder()
{
    active = this;
    AppIo io;
    io.print = [](const char* text) {
        active->printed += text;
        if (active->on_print) {
            auto pump = active->on_print;
            active->on_print = nullptr; /* one nested pump at a time */
            pump();
            active->on_print = pump;
        }
    };
    io.info = [](const char* caption, const char* text) {
        active->boxes.push_back({caption, text});
        return 1;
    };
    io.yesno = [](const char* caption, const char* text) {
        active->boxes.push_back({caption, text});
        if (active->yesno_answers.empty())
            return 1;
        int a = active->yesno_answers.front();
        active->yesno_answers.pop_front();
        return a;
    };
    io.getkey = []() {
        ++active->getkey_calls;
        if (active->keys.empty())
            return EOF;
        int k = active->keys.front();
        active->keys.pop_front();
        return k;
    };
    io.quit = [](int code) { active->quits.push_back(code); };
    previous_ = app_io_set(io);
}

IoRecorder::~IoRecorder()
{
    app_io_set(previous_);
    active = nullptr;
}

bool file_exists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> list_dir(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    return names;
}

CanvasRecorder::CanvasRecorder()
{
    canvas = this;
    AppCanvas c;
    c.clearscreen = [](int flags) { record("clearscreen", {double(flags)}); };
    c.setpage = [](int page, int erase) { return record("setpage", {double(page), double(erase)}), 1; };
    c.setcolor = [](unsigned int colour) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "setcolor(0x%08X)", colour);
        canvas->calls.push_back(hex);
        return 0u;
    };
    c.getpixel = [](double x, double y) { return record("getpixel", {x, y}), canvas->pixel(x, y); };
    c.moveto = [](double x, double y) { return record("moveto", {x, y}), 1; };
    c.lineto = [](double x, double y) { return record("lineto", {x, y}), 1; };
    c.frameellipse = [](double a, double b, double x, double y) { return record("ellipse", {a, b, x, y}), 1; };
    c.framerect = [](double a, double b, double x, double y) { return record("rect", {a, b, x, y}), 1; };
    c.putbmap = [](double x, double y, _bmap*, unsigned int rop, double scale) {
        record("putbmap", {x, y, double(rop), scale});
    };
    c.savearea = [](double a, double b, double x, double y, int page) {
        return record("savearea", {a, b, x, y, double(page)}), 1;
    };
    c.savebmp = [](const char* name, int page, int depth) {
        record("savebmp", {double(page), double(depth)});
        if (canvas->fail_savebmp)
            return 0;
        canvas->saved.push_back(name);
        write_file(name, "BM");
        return 1;
    };
    previous_ = app_canvas_set(c);
}

CanvasRecorder::~CanvasRecorder()
{
    app_canvas_set(previous_);
    canvas = nullptr;
}

std::vector<std::string> CanvasRecorder::strokes() const
{
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.rfind("moveto", 0) == 0 || c.rfind("lineto", 0) == 0 || c.rfind("ellipse", 0) == 0 ||
            c.rfind("rect", 0) == 0)
            out.push_back(c);
    return out;
}
