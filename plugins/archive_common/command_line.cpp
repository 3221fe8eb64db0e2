// Splitting and classifying the words of a component's command line.
#include "plugins/archive_common/command_line.h"

#include <cstring>
#include <fnmatch.h>

namespace component {

namespace {

struct Word {
    std::string text;
    bool quoted;
};

bool split_words(const char* text, std::vector<Word>& words)
{
    const char* p = text;
    while (*p) {
        while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
            ++p;
        if (!*p)
            break;
        Word w{{}, false};
        bool in_quotes = false;
        while (*p && (in_quotes || (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n'))) {
            if (*p == '"') {
                in_quotes = !in_quotes;
                w.quoted = true;
            } else {
                w.text += *p;
            }
            ++p;
        }
        if (in_quotes)
            return false;
        words.push_back(std::move(w));
    }
    return true;
}

const OptionRule* find_rule(const OptionRule* rules, std::string_view name)
{
    for (const OptionRule* s = rules; s && s->name; ++s)
        if (name == s->name)
            return s;
    return nullptr;
}

}  // namespace

bool CommandLine::has(std::string_view name) const
{
    for (const Option& o : options)
        if (o.name == name)
            return true;
    return false;
}

const std::string* CommandLine::value(std::string_view name) const
{
    const std::string* found = nullptr;
    for (const Option& o : options)
        if (o.name == name)
            found = &o.value;
    return found;
}

bool parse_command(const char* text, const OptionRule* rules, CommandLine& out, Report& report)
{
    if (!text || !*text) {
        report.line("error: no command line");
        return false;
    }
    const std::size_t length = std::strlen(text);
    if (length >= COMMAND_LINE_MAX) {
        report.line("error: command line of %zu bytes refused (at most %zu)", length,
                    COMMAND_LINE_MAX - 1);
        return false;
    }
    std::vector<Word> words;
    if (!split_words(text, words)) {
        report.line("error: a quote is not closed");
        return false;
    }
    std::string unknown;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const Word& w = words[i];
        const bool dash = !w.quoted && w.text.size() > 1 && w.text[0] == '-';
        // '/' also starts an option, but only when it names one: "/tmp" is a path.
        std::string as_option = w.text;
        if (!w.quoted && w.text.size() > 1 && w.text[0] == '/')
            as_option[0] = '-';
        std::string name = as_option, value;
        if (const std::size_t eq = as_option.find('='); eq != std::string::npos && as_option[1] == '-') {
            value.assign(as_option, eq + 1);
            name.resize(eq);
        }
        const OptionRule* rule = w.quoted ? nullptr : find_rule(rules, name);
        if (rule) {
            if (rule->takes_next) {
                if (i + 1 >= words.size()) {
                    report.line("error: option %s needs a value", w.text.c_str());
                    return false;
                }
                value = words[++i].text;
            }
            out.options.push_back({rule->name, value});
            continue;
        }
        if (!dash) {
            out.args.push_back(w.text);
            continue;
        }
        // Joined single letters: "-xo" is "-x -o" when every letter is known
        // and none takes a value.
        bool joined = w.text[1] != '-';
        std::vector<CommandLine::Option> letters;
        for (std::size_t k = 1; joined && k < w.text.size(); ++k) {
            const char letter[3] = {'-', w.text[k], '\0'};
            const OptionRule* s = find_rule(rules, letter);
            if (!s || s->takes_next)
                joined = false;
            else
                letters.push_back({s->name, {}});
        }
        if (joined) {
            out.options.insert(out.options.end(), letters.begin(), letters.end());
            continue;
        }
        if (!unknown.empty())
            unknown.push_back(' ');
        unknown.append(w.text);
    }
    if (!unknown.empty()) {
        report.line("error: unknown option: %s", unknown.c_str());
        return false;
    }
    return true;
}

bool split_targets(const CommandLine& line, const std::string* archive, Targets& out, Report& report)
{
    std::size_t i = 0;
    if (archive && !archive->empty()) {
        out.archive = *archive;
    } else if (!line.args.empty()) {
        out.archive = line.args[0];
        i = 1;
    }
    if (out.archive.empty()) {
        report.line("error: no archive named");
        return false;
    }
    for (; i < line.args.size(); ++i) {
        const std::string& a = line.args[i];
        if (out.directory.empty() && a.size() > 1 && a.back() == '\\')
            out.directory = a.substr(0, a.size() - 1);
        else if (a == "\\")
            out.directory = "/";
        else
            out.names.push_back(a);
    }
    return true;
}

bool wildcard_match(const std::string& pattern, const std::string& name)
{
    if (pattern == "*" || pattern == "*.*")
        return true;
    return fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}

bool name_matches(const std::string& name, const std::vector<std::string>& patterns)
{
    if (patterns.empty())
        return true;
    const std::size_t slash = name.find_last_of('/');
    const std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
    for (const std::string& p : patterns) {
        std::string q = p;
        for (char& c : q)
            if (c == '\\')
                c = '/';
        if (wildcard_match(q, name))
            return true;
        if (q.find('/') == std::string::npos && wildcard_match(q, last))
            return true;
    }
    return false;
}

}  // namespace component
