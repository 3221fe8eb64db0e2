// Starting a command line without a shell: the line is cut into words by the
// library's quoting rules and the program is executed directly, so that ';',
// '|', '$()' and backquotes in a file name stay text. The child is started by
// a short-lived middle process (no zombie is left for a program that never
// waits), and its exec failure comes back through a close-on-exec pipe, so
// "started" means found and executed.
#include "ostrel/sysutil.h"
#include "sysutil/shell_internal.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace shell_detail {

bool split_words(const char* text, std::vector<std::string>& words)
{
    words.clear();
    if (!text)
        return false;
    std::size_t quotes = 0;
    for (const char* p = text; *p; ++p)
        quotes += *p == '"';
    if (quotes % 2)
        return false;   // where the quoted part ends is anyone's guess
    std::string copy(text);
    char* word = copy.data();
    while (word) {
        char* rest = split_first(word);
        if (*skip_spaces(word))
            words.emplace_back(unquote(word));
        word = rest;
    }
    return true;
}

bool split_command_line(const char* line, std::vector<std::string>& words)
{
    if (!split_words(line, words) || words.empty() || words[0].empty()) {
        words.clear();
        return false;
    }
    return true;
}

namespace {

bool is_executable_file(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The file a program name stands for, found before the fork (the child may
// only make async-signal-safe calls); empty when there is none.
std::string find_program(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return is_executable_file(name) ? name : std::string();
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        std::size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
        if (is_executable_file(candidate))
            return candidate;
        if (end == std::string::npos)
            return {};
        start = end + 1;
    }
}

void write_errno(int fd)
{
    int e = errno;
    ssize_t ignored = write(fd, &e, sizeof e);
    (void)ignored;
}

}  // namespace

bool start_program(const std::vector<std::string>& words)
{
    if (words.empty() || words[0].empty())
        return false;
    const std::string program = find_program(words[0]);
    if (program.empty())
        return false;
    std::vector<char*> argv;
    for (const std::string& w : words)
        argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return false;
    const pid_t middle = fork();
    if (middle < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (middle == 0) {
        close(report[0]);
        const pid_t child = fork();
        if (child != 0) {
            if (child < 0)
                write_errno(report[1]);
            _exit(child < 0 ? 127 : 0);
        }
        // The program starts clean: no blocked signals inherited from a toolkit
        // thread, no descriptor of ours beyond the three standard ones.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        execve(program.c_str(), argv.data(), environ);
        write_errno(report[1]);
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    int failure = 0;
    ssize_t n;
    do
        n = read(report[0], &failure, sizeof failure);
    while (n < 0 && errno == EINTR);
    close(report[0]);
    return n == 0;   // the pipe closed on exec without a word
}

}  // namespace shell_detail
