// Removing one file and making or removing one directory: remove_file,
// remove_dir, make_dir and their _abs forms. Read-only still means "refuse to
// delete" here, as on the original system: the first attempt fails, the owner's
// write permission is added, the second removes the file and traces "..RM".
#include "sysutil/fileops_internal.h"
#include "sysutil/hooks_internal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace sysutil_detail {

int remove_file_at(int dirfd, const char* name, const char* path)
{
    struct stat st;
    if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode))
        return 0;
    if (!S_ISLNK(st.st_mode) && is_read_only(st.st_mode)) {
        if (fchmodat(dirfd, name, (st.st_mode & 07777) | S_IWUSR, 0) != 0)
            return 0;
        if (unlinkat(dirfd, name, 0) != 0) {
            fchmodat(dirfd, name, st.st_mode & 07777, 0);   // nothing changed after all
            return 0;
        }
        sysutil_trace("..RM %s\n", path);
        return 1;
    }
    if (unlinkat(dirfd, name, 0) != 0)
        return 0;
    sysutil_trace("..rm %s\n", path);
    return 1;
}

} // namespace sysutil_detail

using namespace sysutil_detail;

int remove_file(const char* path)
{
    if (!path_arg_ok(path))
        return 0;
    return remove_file_at(AT_FDCWD, path, path);
}

int remove_dir(const char* path)
{
    if (!path_arg_ok(path))
        return 0;
    const std::string p = without_trailing_slash(path);
    if (rmdir(p.c_str()) == 0)
        sysutil_trace("..rd %s\n", path);
    return 1;
}

int make_dir(const char* path)
{
    if (!path_arg_ok(path))
        return 0;
    if (mkdir(without_trailing_slash(path).c_str(), 0777) != 0)
        return 0;
    sysutil_trace("..md %s\n", path);
    return 1;
}

namespace {

// The operation on the absolute form of a path; an empty text is refused
// (it would name the current directory).
int on_abspath(const char* path, int (*op)(const char*))
{
    char abs[SYSUTIL_MAX_PATH];
    if (!path_arg_ok(path) || !*skip_spaces(path) || !_abspath(path, abs))
        return 0;
    return op(abs);
}

} // namespace

int make_dir_abs(const char* path)
{
    return on_abspath(path, make_dir);
}

int remove_dir_abs(const char* path)
{
    return on_abspath(path, remove_dir);
}

int remove_tree_abs(const char* path)
{
    return on_abspath(path, remove_tree);
}
