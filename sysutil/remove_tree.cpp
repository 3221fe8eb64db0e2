// remove_tree: every file of the tree first ("..rm" each, in name order), then
// every directory after its contents ("..rd", the directory itself last). Both
// passes work relative to open directories and never follow a symbolic link,
// so nothing outside the tree can be reached; the root, the home directory and
// an empty text are refused.
#include "sysutil/fileops_internal.h"
#include "sysutil/dir_walker.h"
#include "sysutil/hooks_internal.h"

#include <unistd.h>

using namespace sysutil_detail;

namespace {

struct RemoveFilesVisitor : WalkVisitorBase {
    int failures = 0;
    int file(int dirfd, const char* name, unsigned char, const std::string& path)
    {
        if (!remove_file_at(dirfd, name, path.c_str()))
            ++failures;
        return 1;
    }
};

struct RemoveDirsVisitor : WalkVisitorBase {
    int file(int, const char*, unsigned char, const std::string&) { return 1; }
    int after_dir(int parent_fd, const char* name, const std::string& path)
    {
        if (unlinkat(parent_fd, name, AT_REMOVEDIR) == 0)
            sysutil_trace("..rd %s\n", path.c_str());
        return 1;
    }
};

} // namespace

int remove_tree(const char* directory)
{
    if (!path_arg_ok(directory) || is_protected_tree(directory))
        return 0;
    RemoveFilesVisitor files;
    if (DirWalker<RemoveFilesVisitor>(files).run(directory) != kWalkDone)
        return 0;   // not a directory we may walk (missing, a link, unreadable)
    RemoveDirsVisitor dirs;
    DirWalker<RemoveDirsVisitor>(dirs).run(directory);
    remove_dir(directory);   // does nothing when it is gone
    struct stat st;
    return lstat(without_trailing_slash(directory).c_str(), &st) != 0 ? 1 : 0;
}
