// Removing files by pattern: remove_files in one directory, remove_files_tree
// in a directory and every directory below it (each directory after the ones
// below it, as its after-directory report comes). A pattern that matches
// nothing removes nothing and answers 0.
#include "sysutil/fileops_internal.h"
#include "sysutil/dir_walker.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <string>

using namespace sysutil_detail;

namespace {

struct Tally {
    int matched = 0;
    int failed = 0;
    int result() const { return matched > 0 && failed == 0 ? 1 : 0; }
};

// Removes the matching files of one open directory.
void remove_matching_at(int dirfd, const std::string& dir_path, const char* pattern, Tally& t)
{
    Listing list;
    if (!read_listing(dirfd, list, true))
        return;
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        const char* name = list.name(i);
        unsigned char type = list.entries[i].type;
        if (type == DT_UNKNOWN)
            type = entry_type_at(dirfd, name);
        if (type == DT_DIR || !wildcard_match(pattern, name))
            continue;
        ++t.matched;
        if (!remove_file_at(dirfd, name, (dir_path + name).c_str()))
            ++t.failed;
    }
}

struct RemoveFilesTreeVisitor : WalkVisitorBase {
    RemoveFilesTreeVisitor(const char* p, Tally& t) : pattern(p), tally(t) {}
    const char* pattern;
    Tally& tally;
    int after_dir(int parent_fd, const char* name, const std::string& path)
    {
        int fd = openat(parent_fd, name, kOpenDirFlags);
        if (fd >= 0) {
            remove_matching_at(fd, path, pattern, tally);
            close(fd);
        }
        return 1;
    }
};

// The formatted "directory/pattern" text, split; false when it does not fit
// a path buffer or names no pattern.
bool formatted_pattern(const char* format, va_list ap, std::string& dir, std::string& pattern)
{
    if (!format)
        return false;
    char text[SYSUTIL_MAX_PATH];
    const int n = std::vsnprintf(text, sizeof text, format, ap);
    return n > 0 && n < SYSUTIL_MAX_PATH && split_pattern_path(text, dir, pattern);
}

} // namespace

int remove_files(const char* format, ...)
{
    std::string dir, pattern;
    va_list ap;
    va_start(ap, format);
    const bool ok = formatted_pattern(format, ap, dir, pattern);
    va_end(ap);
    if (!ok)
        return 0;
    int fd = open(dir.c_str(), kOpenDirFlags);
    if (fd < 0)
        return 0;
    Tally t;
    remove_matching_at(fd, dir, pattern.c_str(), t);
    close(fd);
    return t.result();
}

int remove_files_tree(const char* format, ...)
{
    std::string dir, pattern;
    va_list ap;
    va_start(ap, format);
    const bool ok = formatted_pattern(format, ap, dir, pattern);
    va_end(ap);
    if (!ok)
        return 0;
    Tally t;
    RemoveFilesTreeVisitor v(pattern.c_str(), t);
    DirWalker<RemoveFilesTreeVisitor>(v).run(dir.c_str());
    return t.result();
}
