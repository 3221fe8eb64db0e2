// copy_files: a command of two words, the source and the target, either of
// which may hold wildcards in its name part. Every copy goes through copy_path
// and so is traced; a pattern that matches nothing copies nothing and answers 0.
#include "sysutil/fileops_internal.h"
#include "sysutil/dir_walker.h"

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

using namespace sysutil_detail;

namespace {

// Names of the entries of a directory matching a pattern, in name order
// (files only when asked).
struct NamesVisitor : WalkVisitorBase {
    NamesVisitor(const char* p, bool f) : pattern(p), files_only(f) {}
    const char* pattern;
    bool files_only;
    std::vector<std::string> names;
    int file(int, const char* name, unsigned char, const std::string&)
    {
        if (wildcard_match(pattern, name))
            names.emplace_back(name);
        return 1;
    }
    int dir(int, const char* name, const std::string&, int)
    {
        if (!files_only && wildcard_match(pattern, name))
            names.emplace_back(name);
        return kPass;
    }
};

std::vector<std::string> matching(const std::string& dir, const std::string& pattern, bool files_only)
{
    NamesVisitor v(pattern.c_str(), files_only);
    DirWalker<NamesVisitor>(v).run(dir.c_str());
    return std::move(v.names);
}

bool is_existing_dir(const std::string& p)
{
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool is_existing_file(const std::string& p)
{
    struct stat st;
    return stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// One word made absolute; false when refused.
bool absolute_word(char* word, std::string& out)
{
    unquote(word);
    const char* name = path_name_part(word);
    if (!path_arg_ok(word) || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    char abs[SYSUTIL_MAX_PATH];
    if (!_abspath(word, abs))
        return false;
    out = abs;
    return true;
}

} // namespace

int copy_files(const char* command)
{
    if (!command || std::strlen(command) >= 2 * SYSUTIL_MAX_PATH + 8)
        return 0;
    std::vector<char> buf(command, command + std::strlen(command) + 1);
    char* rest = split_first(buf.data());
    std::string source, target;
    if (!rest || !absolute_word(buf.data(), source) || !absolute_word(rest, target))
        return 0;
    const std::string sdir = source.substr(0, source.rfind('/') + 1);
    const std::string sname = source.substr(source.rfind('/') + 1);
    std::string tdir = target.substr(0, target.rfind('/') + 1);
    const std::string tname = target.substr(target.rfind('/') + 1);
    if (has_wildcard(tname.c_str())) {
        std::vector<std::string> first = matching(tdir, tname, false);
        if (first.empty())
            return 0;
        target = tdir + first.front();
    }
    if (!has_wildcard(sname.c_str())) {
        if (is_existing_dir(target))
            target = (target == "/" ? "" : target) + "/" + sname;
        return target.size() < SYSUTIL_MAX_PATH ? copy_path(source.c_str(), target.c_str()) : 0;
    }
    if (!pattern_ok(sname.c_str()))
        return 0;
    if (is_existing_file(target)) {
        std::vector<std::string> first = matching(sdir, sname, false);
        return first.empty() ? 0 : copy_path((sdir + first.front()).c_str(), target.c_str());
    }
    const std::vector<std::string> files = matching(sdir, sname, true);
    if (files.empty())
        return 0;
    int failed = 0;
    const std::string into = (target == "/" ? "" : target) + "/";
    for (const std::string& f : files) {
        const std::string from = sdir + f;
        const std::string to = into + f;
        if (from.size() >= SYSUTIL_MAX_PATH || to.size() >= SYSUTIL_MAX_PATH ||
            !copy_path(from.c_str(), to.c_str()))
            ++failed;
    }
    return failed == 0 ? 1 : 0;
}
