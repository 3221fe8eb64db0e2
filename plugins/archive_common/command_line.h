// The component's own command-line parser: words split at blanks, double quotes
// group (a backslash is an ordinary character, so "C:\dir\" ends at its quote),
// options start with '-' (or '/' when the rest names a known option), and the
// words left are the archive, directories (a trailing backslash) and file names
// or patterns ("*.*" is every name).
#pragma once
#include "plugins/archive_common/report.h"

#include <string>
#include <string_view>
#include <vector>

namespace component {

inline constexpr std::size_t COMMAND_LINE_MAX = 512;   // terminator included

struct OptionRule {
    const char* name;   // "-x", "--i", "--display-dialog" (given as "--display-dialog=0")
    bool takes_next;    // the next word is its value ("-o dir\")
};

struct CommandLine {
    struct Option {
        std::string name;
        std::string value;
    };
    std::vector<Option> options;
    std::vector<std::string> args;   // the other words, in order, quotes removed

    bool has(std::string_view name) const;
    // The value of the last such option; null when absent.
    const std::string* value(std::string_view name) const;
};

// Parses `text` against the component's options (a list ending with a null
// name). False, with the reason in the report, when the line is missing or too
// long, a quote is left open, or an option is unknown (every one is named).
bool parse_command(const char* text, const OptionRule* rules, CommandLine& out, Report& report);

// The words after the options: the archive, the first word ending in a
// backslash as the directory (without it), the rest as names or patterns.
struct Targets {
    std::string archive;
    std::string directory;
    std::vector<std::string> names;
};
// `archive` (for instance the value of -f) takes the place of the first word
// when given. False, with a report line, without an archive.
bool split_targets(const CommandLine& line, const std::string* archive, Targets& out, Report& report);

// Whether `name` matches a pattern: '*' and '?', ASCII case ignored, "*.*" and
// "*" match every name. A pattern without '/' is also tried on the last part.
bool name_matches(const std::string& name, const std::vector<std::string>& patterns);
bool wildcard_match(const std::string& pattern, const std::string& name);

}  // namespace component
