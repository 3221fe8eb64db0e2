// copy_path and copy_tree: a file is copied whole ("..cp"), a directory tree
// directory by directory ("..md" for each directory made, "..cp" once at the
// end). Files keep their bytes, permission bits and last-write time, and so do
// the directories the copy makes. A tree is never copied into itself.
#include "sysutil/fileops_internal.h"
#include "sysutil/dir_walker.h"
#include "sysutil/hooks_internal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

using namespace sysutil_detail;

namespace {

// Target directories in step with the walk: one descriptor per level, the
// older ones closed beyond the walker's bound and found again through "..".
class CopyTreeVisitor : public WalkVisitorBase {
public:
    CopyTreeVisitor(std::size_t source_len, std::string target, int root_fd, bool root_made)
        : source_len_(source_len), target_(std::move(target))
    {
        tdirs_.push_back({root_fd, root_made});
    }
    ~CopyTreeVisitor()
    {
        for (Level& l : tdirs_)
            if (l.fd >= 0)
                close(l.fd);
    }

    int failures = 0;

    int file(int dirfd, const char* name, unsigned char, const std::string&)
    {
        if (!copy_entry_at(dirfd, name, top_fd(), name))
            ++failures;
        return 1;
    }

    int dir(int dirfd, const char* name, const std::string& path, int)
    {
        const int parent = top_fd();
        bool made = mkdirat(parent, name, 0700) == 0;
        if (!made && errno != EEXIST) {
            ++failures;
            return kPass;
        }
        int fd = openat(parent, name, kOpenDirFlags);
        if (fd < 0) {
            ++failures;   // a file or a link is in the way
            return kPass;
        }
        if (made)
            sysutil_trace("..md %s\n", target_path(path).c_str());
        (void)dirfd;
        if (tdirs_.size() - low_ >= static_cast<std::size_t>(kMaxOpenDirs)) {
            close(tdirs_[low_].fd);
            tdirs_[low_].fd = -1;
            ++low_;
        }
        tdirs_.push_back({fd, made});
        return kEnter;
    }

    void enter_failed()
    {
        ++failures;
        close(tdirs_.back().fd);
        tdirs_.pop_back();
    }

    int after_dir(int parent_fd, const char* name, const std::string&)
    {
        Level l = tdirs_.back();
        if (l.made) {
            // the source's mode and time once its contents are in place
            struct stat st;
            if (fstatat(parent_fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                const struct timespec times[2] = {st.st_atim, st.st_mtim};
                if (fchmod(l.fd, st.st_mode & 07777) != 0 || futimens(l.fd, times) != 0)
                    ++failures;
            }
        }
        if (tdirs_.size() >= 2 && tdirs_[tdirs_.size() - 2].fd < 0) {
            int up = openat(l.fd, "..", kOpenDirFlags);
            if (up < 0) {
                ++failures;
                return kStop;
            }
            tdirs_[tdirs_.size() - 2].fd = up;
            low_ = tdirs_.size() - 2;
        }
        close(l.fd);
        tdirs_.pop_back();
        if (low_ > tdirs_.size())
            low_ = tdirs_.size();
        return 1;
    }

private:
    struct Level {
        int fd;
        bool made;
    };

    int top_fd() const { return tdirs_.back().fd; }

    std::string target_path(const std::string& source_path) const
    {
        return target_ + "/" + source_path.substr(source_len_);
    }

    std::size_t source_len_;
    std::string target_;
    std::vector<Level> tdirs_;
    std::size_t low_ = 0;
};

bool same_entry(const char* a, const char* b)
{
    struct stat sa, sb;
    return lstat(a, &sa) == 0 && lstat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Refuses a copy onto itself or into itself.
bool copy_allowed(const char* source, const char* target)
{
    const std::string s = canonical_path(source);
    const std::string t = canonical_path(target);
    return !s.empty() && !t.empty() && !is_within(t, s) && !same_entry(source, target);
}

int copy_file_path(const char* source, const char* target)
{
    std::string t = target;
    const std::size_t slash = t.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : t.substr(0, slash));
    const std::string name = slash == std::string::npos ? t : t.substr(slash + 1);
    if (name.empty())
        return 0;
    int tdir = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (tdir < 0)
        return 0;
    int r = copy_entry_at(AT_FDCWD, source, tdir, name.c_str());
    close(tdir);
    return r;
}

} // namespace

int copy_tree(const char* source, const char* target)
{
    if (!path_arg_ok(source) || !path_arg_ok(target) || !copy_allowed(source, target))
        return 0;
    const std::string src = without_trailing_slash(source);
    const std::string tgt = without_trailing_slash(target);
    int sfd = open(src.c_str(), kOpenDirFlags);
    if (sfd < 0)
        return 0;
    struct stat sst;
    const bool ok = fstat(sfd, &sst) == 0;
    close(sfd);
    if (!ok)
        return 0;
    const bool made = mkdir(tgt.c_str(), 0700) == 0;
    if (made)
        sysutil_trace("..md %s\n", target);
    int tfd = open(tgt.c_str(), kOpenDirFlags);
    if (tfd < 0)
        return 0;
    const std::size_t source_len = src.size() + (src.back() == '/' ? 0 : 1);
    CopyTreeVisitor v(source_len, tgt == "/" ? "" : tgt, tfd, made);
    if (DirWalker<CopyTreeVisitor>(v).run(src.c_str()) != kWalkDone || v.failures)
        return 0;
    sysutil_trace("..cp %s -> %s\n", source, target);
    return 1;
}

int copy_path(const char* source, const char* target)
{
    if (!path_arg_ok(source) || !path_arg_ok(target))
        return 0;
    struct stat st;
    if (lstat(without_trailing_slash(source).c_str(), &st) != 0)
        return 0;
    if (S_ISDIR(st.st_mode))
        return copy_tree(source, target);
    if (!copy_allowed(source, target) || !copy_file_path(source, target))
        return 0;
    sysutil_trace("..cp %s -> %s\n", source, target);
    return 1;
}
