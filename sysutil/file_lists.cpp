// Listing and counting by pattern: list_files, count_files and
// count_files_tree, and find_in_tree (depth first through the directories
// whose names do not begin with a dot).
#include "sysutil/fileops_internal.h"
#include "sysutil/dir_walker.h"

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

using namespace sysutil_detail;

namespace {

// The matching files (not directories) of one directory.
struct MatchFilesVisitor : WalkVisitorBase {
    MatchFilesVisitor(const char* p, bool keep_names) : pattern(p), keep(keep_names) {}
    const char* pattern;
    bool keep;
    std::vector<std::string> names;
    int count = 0;
    bool sorted() const { return keep; }
    int file(int, const char* name, unsigned char, const std::string&)
    {
        if (wildcard_match(pattern, name)) {
            ++count;
            if (keep)
                names.emplace_back(name);
        }
        return 1;
    }
    int dir(int, const char*, const std::string&, int) { return kPass; }
};

// Files matching one pattern, in every directory that the other pattern lets in.
struct CountTreeVisitor : WalkVisitorBase {
    CountTreeVisitor(const char* n, const char* d)
        : name_pattern(n), dir_pattern(d), all_names(std::strcmp(n, "*") == 0 || std::strcmp(n, "*.*") == 0) {}
    const char* name_pattern;
    const char* dir_pattern;
    bool all_names;
    long count = 0;
    bool sorted() const { return false; }
    int file(int, const char* name, unsigned char, const std::string&)
    {
        if (all_names || wildcard_match(name_pattern, name))
            ++count;
        return 1;
    }
    int dir(int, const char* name, const std::string&, int)
    {
        return wildcard_match(dir_pattern, name) ? kEnter : kPass;
    }
};

struct FindVisitor : WalkVisitorBase {
    explicit FindVisitor(const char* n) : name(n) {}
    const char* name;
    std::string found;
    int begin_dir(const Listing&, const std::string& path)
    {
        std::string candidate = path + name;
        struct stat st;
        if (candidate.size() < SYSUTIL_MAX_PATH && lstat(candidate.c_str(), &st) == 0) {
            found = candidate;
            return kStop;
        }
        return 1;
    }
    int dir(int, const char* n, const std::string&, int) { return n[0] == '.' ? kPass : kEnter; }
};

} // namespace

int list_files(const char* directory, const char* pattern, char** names, int max_names,
               char* buffer, size_t buffer_size)
{
    if (!path_arg_ok(directory) || !pattern_ok(pattern))
        return -1;
    MatchFilesVisitor v(pattern, names != nullptr);
    if (DirWalker<MatchFilesVisitor>(v).run(directory) != kWalkDone)
        return 0;
    if (!names)
        return v.count;
    std::size_t bytes = 0;
    for (const std::string& n : v.names)
        bytes += n.size() + 1;
    if (!buffer || v.count > max_names || bytes > buffer_size)
        return -1;
    char* at = buffer;
    for (std::size_t i = 0; i < v.names.size(); ++i) {
        std::memcpy(at, v.names[i].c_str(), v.names[i].size() + 1);
        names[i] = at;
        at += v.names[i].size() + 1;
    }
    return v.count;
}

int count_files(const char* directory, const char* pattern)
{
    return list_files(directory, pattern, nullptr, 0, nullptr, 0);
}

int count_files_tree(const char* path_pattern, const char* dir_pattern)
{
    std::string dir, pattern;
    if (!pattern_ok(dir_pattern) || !split_pattern_path(path_pattern, dir, pattern))
        return -1;
    CountTreeVisitor v(pattern.c_str(), dir_pattern);
    if (DirWalker<CountTreeVisitor>(v).run(dir.c_str()) == kWalkFailed)
        return -1;
    return v.count > 0x7fffffff ? 0x7fffffff : static_cast<int>(v.count);
}

int find_in_tree(const char* directory, const char* name, char* out)
{
    if (!path_arg_ok(directory) || !name || !*name || !out)
        return 0;
    while (*name == '/')
        ++name;
    char first[SYSUTIL_MAX_PATH * 2];
    if (std::strlen(directory) + std::strlen(name) + 2 > sizeof first)
        return 0;
    join_path(first, directory, name);
    struct stat st;
    if (std::strlen(first) < SYSUTIL_MAX_PATH && lstat(first, &st) == 0) {
        std::strcpy(out, first);
        return 1;
    }
    FindVisitor v(name);
    DirWalker<FindVisitor>(v).run(directory);
    if (v.found.empty())
        return 0;
    std::memcpy(out, v.found.c_str(), v.found.size() + 1);
    return 1;
}
