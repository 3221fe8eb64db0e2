// Private helpers of the shell functions: command lines split into words and
// started without a shell, and desktop entries (the shortcut files) read and
// written by the freedesktop rules. The fuzzer and the tests reach the parser.
#pragma once
#include "ostrel/shell.h"

#include <cstddef>
#include <string>
#include <vector>

namespace shell_detail {

// Longest command line, terminator included: longer ones are refused, not cut.
constexpr std::size_t kCommandLineMax = SHELL_COMMAND_LINE_MAX + 1;

// The words of a text by the library's own quoting rules (words separated by
// spaces, double quotes keep spaces in a word and are removed, a doubled quote
// inside quotes stands for one; "" is an empty word). False, with no words, for
// an odd number of quotes.
bool split_words(const char* text, std::vector<std::string>& words);

// The words of a command line: as split_words, and false also for a blank line
// or an empty first word (no program).
bool split_command_line(const char* line, std::vector<std::string>& words);

// Starts words[0] (looked for on PATH when it names no directory) with the
// other words as its arguments, directly and detached: the call returns once the
// program runs, and the process is not left to wait for. True when the program
// was found and executed.
bool start_program(const std::vector<std::string>& words);

// ---- desktop entries ----

// The keys of the "Desktop Entry" group, values with the string escapes
// (\s \n \t \r \\) undone. Locale variants (Name[de]) are kept under their
// full key.
struct DesktopEntry {
    std::vector<std::pair<std::string, std::string>> keys;
    const std::string* find(const char* key) const;
};

// False when the text is not a desktop entry: a terminator byte, a line that is
// neither a comment, a group header nor a key, a key before the first group, or
// a first group other than "Desktop Entry".
bool parse_desktop_entry(const char* data, std::size_t size, DesktopEntry& out);

// A value with the string escapes of a desktop entry.
std::string escape_value(const std::string& s);

// One argument as the Exec key writes it: quoted when it holds a reserved
// character, '"', '`', '$' and '\' escaped inside the quotes, '%' doubled.
std::string quote_exec_argument(const std::string& arg);

// The arguments of an (unescaped) Exec value. Field codes (%f, %U, ...) that
// make up a whole argument are left out, %% is '%'. False for an unterminated
// quote or an escape the rules do not allow.
bool split_exec(const std::string& exec, std::vector<std::string>& args);

}  // namespace shell_detail
