// Reading one directory whole for the tree walker: getdents64 into one reused
// buffer, names packed into the listing's own block (no allocation per entry
// once the listing has grown), sorted by name when the walk reports in order.
#include "sysutil/dir_walker.h"

#include <sys/syscall.h>

#include <algorithm>

namespace sysutil_detail {

namespace {

struct LinuxDirent64 {
    uint64_t d_ino;
    int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

char fold(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Name order of the original file system: ASCII case ignored, then bytes, so
// that the order is total and the same on every run.
bool name_less(const char* a, const char* b)
{
    const char* x = a;
    const char* y = b;
    while (*x && fold(*x) == fold(*y)) {
        ++x;
        ++y;
    }
    char fx = fold(*x), fy = fold(*y);
    if (fx != fy)
        return static_cast<unsigned char>(fx) < static_cast<unsigned char>(fy);
    return std::strcmp(a, b) < 0;
}

} // namespace

bool read_listing(int fd, Listing& out, bool sorted)
{
    out.names.clear();
    out.entries.clear();
    // One buffer for every directory: a listing is read whole before any
    // visitor runs, so no walk nested in a callback can be in the middle of it.
    alignas(8) static char buf[64 * 1024];
    for (;;) {
        long n = syscall(SYS_getdents64, fd, buf, sizeof buf);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        for (long at = 0; at < n;) {
            auto* d = reinterpret_cast<LinuxDirent64*>(buf + at);
            at += d->d_reclen;
            const char* nm = d->d_name;
            if (nm[0] == '.' && (nm[1] == '\0' || (nm[1] == '.' && nm[2] == '\0')))
                continue;
            std::size_t len = std::strlen(nm);
            out.entries.push_back({static_cast<uint32_t>(out.names.size()), d->d_type});
            out.names.insert(out.names.end(), nm, nm + len + 1);
        }
    }
    if (sorted) {
        const char* base = out.names.data();
        std::sort(out.entries.begin(), out.entries.end(),
                  [base](const Listing::Entry& a, const Listing::Entry& b) {
                      return name_less(base + a.offset, base + b.offset);
                  });
    }
    return true;
}

unsigned char entry_type_at(int dirfd, const char* name)
{
    struct stat st;
    if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return DT_UNKNOWN;
    return static_cast<unsigned char>(IFTODT(st.st_mode));
}

} // namespace sysutil_detail
