// move_path: on one file system a rename that never replaces an existing
// target; to another file system (the target's parent has another device, or
// the rename answers EXDEV) a copy, the removal of the source and "..mv", and
// no copy at all when the target exists.
#include "sysutil/fileops_internal.h"
#include "sysutil/hooks_internal.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

using namespace sysutil_detail;

namespace {

// The device of the directory the target would go into (its nearest existing
// ancestor).
bool target_device(const char* target, dev_t& dev)
{
    std::string dir = canonical_path(target);
    for (;;) {
        const std::size_t slash = dir.rfind('/');
        if (slash == std::string::npos)
            return false;
        dir = slash == 0 ? "/" : dir.substr(0, slash);
        struct stat st;
        if (stat(dir.c_str(), &st) == 0) {
            dev = st.st_dev;
            return true;
        }
        if (dir == "/")
            return false;
    }
}

int move_across(const char* source, const struct stat& st, const char* target)
{
    struct stat tst;
    if (lstat(without_trailing_slash(target).c_str(), &tst) == 0)
        return 0;   // never over an existing target, and nothing copied
    if (!copy_path(source, target))
        return 0;   // what was copied stays, the source too
    const int removed = S_ISDIR(st.st_mode) ? remove_tree(source) : remove_file(source);
    if (!removed)
        return 0;
    sysutil_trace("..mv %s -> %s\n", source, target);
    return 1;
}

} // namespace

int move_path(const char* source, const char* target)
{
    if (!path_arg_ok(source) || !path_arg_ok(target))
        return 0;
    const std::string src = without_trailing_slash(source);
    const std::string tgt = without_trailing_slash(target);
    struct stat st;
    if (lstat(src.c_str(), &st) != 0)
        return 0;
    const std::string cs = canonical_path(source);
    const std::string ct = canonical_path(target);
    // onto itself, or a directory into itself
    if (cs.empty() || ct.empty() || cs == ct || (S_ISDIR(st.st_mode) && is_within(ct, cs)))
        return 0;
    dev_t tdev;
    if (!target_device(target, tdev))
        return 0;
    if (tdev != st.st_dev)
        return move_across(source, st, target);
    if (renameat2(AT_FDCWD, src.c_str(), AT_FDCWD, tgt.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno == EXDEV)
            return move_across(source, st, target);
        if (errno != EINVAL)
            return 0;
        // a file system without the no-replace rename
        struct stat tst;
        if (lstat(tgt.c_str(), &tst) == 0 || rename(src.c_str(), tgt.c_str()) != 0)
            return 0;
    }
    sysutil_trace("..mv %s -> %s\n", source, target);
    return 1;
}
