// Test support for the programs: a temporary current directory and a recorder
// that stands in for the console, the message boxes, getchar and exit.
#ifndef OSTREL_TESTS_APPS_SUPPORT_H
#define OSTREL_TESTS_APPS_SUPPORT_H

#include "app_canvas.h"
#include "app_io.h"
#include "tests/support/scratch_dir.h"

#include <functional>

#include <deque>
#include <map>
#include <string>
#include <vector>

/* Makes a fresh directory current for the life of the object. */
class TempCwd {
public:
    TempCwd();
    ~TempCwd();
    const std::string& path() const { return dir_.path; }
    std::string file(const std::string& name) const { return dir_.file(name); }

private:
    ScratchDir dir_{"ostrel-apps"};
    std::string previous_;
};

struct Box {
    std::string caption;
    std::string text;
};

/* Records output and boxes; answers questions and key waits from queues
 * (yes when empty, end of input when no key is left), so nothing ever
 * blocks. on_print, when set, runs after each print (a message pump). */
class IoRecorder {
public:
    IoRecorder();
    ~IoRecorder();
    std::string printed;
    std::vector<Box> boxes;
    std::deque<int> yesno_answers;
    std::deque<int> keys;
    std::vector<int> quits;
    int getkey_calls = 0;
    std::function<void()> on_print;

private:
    AppIo previous_;
};

/* Records the drawing calls as text ("moveto(0,0)", ...). Pixels read from
 * the pixel function; savebmp writes a small file at the path it is given
 * unless told to fail. */
class CanvasRecorder {
public:
    CanvasRecorder();
    ~CanvasRecorder();
    std::vector<std::string> calls;
    std::function<unsigned int(double, double)> pixel = [](double, double) { return 0x00FFFFFFu; };
    bool fail_savebmp = false;
    std::vector<std::string> saved; /* paths given to savebmp */
    /* The calls that draw (no page selection, clearing or pixel reads). */
    std::vector<std::string> strokes() const;

private:
    AppCanvas previous_;
};

inline std::string read_file(const std::string& path) { return file_text(path); }
inline void write_file(const std::string& path, const std::string& text) { put_file(path, text); }
bool file_exists(const std::string& path);
std::vector<std::string> list_dir(const std::string& dir);

/* The settings file a save writes, given the values that are not the defaults:
   "KEY\tvalue" lines of every key in order, the default where `values` has none. */
template <std::size_t N>
auto settings_file(const char* const (&keys)[N], const char* const (&defaults)[N])
{
    return [&keys, &defaults](const std::map<std::string, std::string>& values) {
        std::string text;
        for (std::size_t i = 0; i < N; ++i) {
            auto it = values.find(keys[i]);
            text += std::string(keys[i]) + "\t" + (it != values.end() ? it->second : defaults[i]) + "\n";
        }
        return text;
    };
}

#endif
