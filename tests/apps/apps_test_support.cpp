// Test support for the programs: temporary directories and the output recorder.
#include "apps_test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {
IoRecorder* active = nullptr;
}

TempCwd::TempCwd()
{
    char buf[4096];
    if (getcwd(buf, sizeof buf))
        previous_ = buf;
    char tmpl[] = "/tmp/ostrel-apps-XXXXXX";
    dir_ = mkdtemp(tmpl);
    if (chdir(dir_.c_str()) != 0)
        std::abort();
}

TempCwd::~TempCwd()
{
    if (!previous_.empty() && chdir(previous_.c_str()) != 0)
        std::abort();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

IoRecorder::IoRecorder()
{
    active = this;
    AppIo io;
    io.print = [](const char* text) { active->printed += text; };
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
            return int('\n');
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

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void write_file(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

bool file_exists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> list_dir(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    return names;
}
