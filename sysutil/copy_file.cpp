// Copying one file between open directories: the kernel's copy
// (copy_file_range, falling back to read and write), the permission bits and
// the last-write time kept, and never a half-written target. The data goes
// into an unnamed file in the target directory (O_TMPFILE) that is linked in
// under its name when complete, or into a temporary name beside the target that
// is renamed over it where the file system has no unnamed files.
#include "sysutil/fileops_internal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace sysutil_detail {

namespace {

// The process's umask, read once (reading it means setting it).
mode_t process_umask()
{
    static const mode_t mask = [] {
        mode_t m = umask(022);
        umask(m);
        return m;
    }();
    return mask;
}

bool copy_data(int in, int out, off_t size)
{
    off_t done = 0;
    bool kernel = true;
    while (kernel) {
        // Ask for the rest and once more: a file that grew is copied whole.
        const std::size_t want = done < size ? static_cast<std::size_t>(size - done) : 1u << 20;
        ssize_t n = copy_file_range(in, nullptr, out, nullptr, want, 0);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (done == 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                          errno == EOPNOTSUPP || errno == EBADF || errno == EPERM))
            kernel = false;
        else
            return false;
    }
    static char buf[256 * 1024];
    for (;;) {
        ssize_t n = read(in, buf, sizeof buf);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t w = 0; w < n;) {
            ssize_t m = write(out, buf + w, static_cast<std::size_t>(n - w));
            if (m < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            w += m;
        }
    }
}

// A name beside the target for the rename route.
std::string temporary_name()
{
    static unsigned counter = 0;
    char name[64];
    std::snprintf(name, sizeof name, ".~ostrel-copy.%d.%u", static_cast<int>(getpid()), ++counter);
    return name;
}

// 1 linked; 0 failed; -1 the file system has no unnamed files (or linking one
// in is not allowed here).
int link_unnamed(int tmp, int tdir, const char* tname)
{
    static int empty_path_works = 1;   // AT_EMPTY_PATH needs CAP_DAC_READ_SEARCH
    for (;;) {
        int r;
        if (empty_path_works) {
            r = linkat(tmp, "", tdir, tname, AT_EMPTY_PATH);
        } else {
            char proc[64];
            std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", tmp);
            r = linkat(AT_FDCWD, proc, tdir, tname, AT_SYMLINK_FOLLOW);
        }
        if (r == 0)
            return 1;
        if (errno == EEXIST) {
            // overwrite: link under a temporary name, then rename over
            std::string t = temporary_name();
            if (empty_path_works ? linkat(tmp, "", tdir, t.c_str(), AT_EMPTY_PATH) != 0 : [&] {
                    char proc[64];
                    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", tmp);
                    return linkat(AT_FDCWD, proc, tdir, t.c_str(), AT_SYMLINK_FOLLOW) != 0;
                }())
                return 0;
            if (renameat(tdir, t.c_str(), tdir, tname) != 0) {
                unlinkat(tdir, t.c_str(), 0);
                return 0;
            }
            return 1;
        }
        if (errno == ENOENT && empty_path_works) {
            empty_path_works = 0;
            continue;
        }
        return -1;
    }
}

// Times and mode onto the finished copy.
bool finish(int out, const struct stat& st)
{
    const mode_t mode = st.st_mode & 07777;
    if ((mode & ~process_umask()) != mode || (mode & 07000)) {
        if (fchmod(out, mode) != 0)
            return false;
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    return futimens(out, times) == 0;
}

int copy_regular(int in, const struct stat& st, int tdir, const char* tname)
{
    const mode_t mode = st.st_mode & 0777;
    static bool unnamed_ok = true;
    if (unnamed_ok) {
        int out = openat(tdir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (out >= 0) {
            int r = copy_data(in, out, st.st_size) && finish(out, st) ? link_unnamed(out, tdir, tname) : 0;
            close(out);
            if (r >= 0)
                return r;
        }
        if (out >= 0 || errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
            unnamed_ok = false;   // fall back to the rename route from now on
        else
            return 0;
    }
    // the unnamed route may have read the source already
    if (lseek(in, 0, SEEK_SET) != 0)
        return 0;
    const std::string t = temporary_name();
    int out = openat(tdir, t.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (out < 0)
        return 0;
    bool ok = copy_data(in, out, st.st_size) && finish(out, st);
    ok = close(out) == 0 && ok;
    if (!ok || renameat(tdir, t.c_str(), tdir, tname) != 0) {
        unlinkat(tdir, t.c_str(), 0);
        return 0;
    }
    return 1;
}

int copy_link(int sdir, const char* sname, const struct stat& st, int tdir, const char* tname)
{
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    ssize_t n = readlinkat(sdir, sname, target.data(), target.size());
    if (n < 0 || static_cast<std::size_t>(n) >= target.size())
        return 0;
    target.resize(static_cast<std::size_t>(n));
    const std::string t = temporary_name();
    if (symlinkat(target.c_str(), tdir, t.c_str()) != 0)
        return 0;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    utimensat(tdir, t.c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (renameat(tdir, t.c_str(), tdir, tname) != 0) {
        unlinkat(tdir, t.c_str(), 0);
        return 0;
    }
    return 1;
}

} // namespace

int copy_entry_at(int sdir, const char* sname, int tdir, const char* tname)
{
    int in = openat(sdir, sname, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) {
        struct stat st;
        if (errno == ELOOP && fstatat(sdir, sname, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
            return copy_link(sdir, sname, st, tdir, tname);
        return 0;
    }
    struct stat st;
    int r = 0;
    // Only regular files: a device or a pipe would never end (O_NONBLOCK keeps
    // even the open of a pipe from waiting).
    if (fstat(in, &st) == 0 && S_ISREG(st.st_mode)) {
        fcntl(in, F_SETFL, 0);
        if (st.st_size >= (1 << 20))
            posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);   // a larger read-ahead from a disk
        r = copy_regular(in, st, tdir, tname);
    }
    close(in);
    return r;
}

} // namespace sysutil_detail
