// Test support for the programs: a temporary current directory and a recorder
// that stands in for the console, the message boxes, getchar and exit.
#ifndef OSTREL_TESTS_APPS_SUPPORT_H
#define OSTREL_TESTS_APPS_SUPPORT_H

#include "app_io.h"

#include <deque>
#include <string>
#include <vector>

/* Makes a fresh directory current for the life of the object. */
class TempCwd {
public:
    TempCwd();
    ~TempCwd();
    const std::string& path() const { return dir_; }
    std::string file(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
    std::string previous_;
};

struct Box {
    std::string caption;
    std::string text;
};

/* Records output and boxes; answers questions and key waits from queues
 * (yes when empty, key '\n' when empty), so nothing ever blocks. */
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

private:
    AppIo previous_;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& text);
bool file_exists(const std::string& path);
std::vector<std::string> list_dir(const std::string& dir);

#endif
