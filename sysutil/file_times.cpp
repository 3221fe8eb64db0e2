// File times and sizes: FILETIME ticks from stat, local SYSTEMTIME through the
// process's time zone, the newest write time of a tree, setting the write time
// with utimensat, and sizes (with the space of a compressed file).
#include "sysutil/fileops_internal.h"
#include "sysutil/dir_walker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sysutil_detail {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kEpochDelta = 11644473600LL;
constexpr int64_t kTicksPerSecond = 10000000LL;

} // namespace

FILETIME filetime_from(const timespec& t)
{
    const uint64_t ticks = static_cast<uint64_t>((t.tv_sec + kEpochDelta) * kTicksPerSecond + t.tv_nsec / 100);
    return {static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
}

uint64_t filetime_ticks(const FILETIME& t)
{
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

SYSTEMTIME zero_systemtime()
{
    return SYSTEMTIME{};
}

SYSTEMTIME local_systemtime(const timespec& t)
{
    struct tm tm;
    time_t s = t.tv_sec;
    if (!localtime_r(&s, &tm))
        return zero_systemtime();
    SYSTEMTIME st;
    st.wYear = static_cast<uint16_t>(tm.tm_year + 1900);
    st.wMonth = static_cast<uint16_t>(tm.tm_mon + 1);
    st.wDayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    st.wDay = static_cast<uint16_t>(tm.tm_mday);
    st.wHour = static_cast<uint16_t>(tm.tm_hour);
    st.wMinute = static_cast<uint16_t>(tm.tm_min);
    st.wSecond = static_cast<uint16_t>(tm.tm_sec);
    st.wMilliseconds = static_cast<uint16_t>(t.tv_nsec / 1000000);
    return st;
}

} // namespace sysutil_detail

using namespace sysutil_detail;

namespace {

bool stat_arg(const char* path, struct stat& st)
{
    return path_arg_ok(path) && stat(without_trailing_slash(path).c_str(), &st) == 0;
}

// Keeps the newest last-write time of the files of a tree.
struct NewestFileVisitor : WalkVisitorBase {
    timespec newest{};
    int files = 0;
    bool sorted() const { return false; }
    int file(int dirfd, const char* name, unsigned char, const std::string&)
    {
        struct stat st;
        if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (files == 0 || st.st_mtim.tv_sec > newest.tv_sec ||
                (st.st_mtim.tv_sec == newest.tv_sec && st.st_mtim.tv_nsec > newest.tv_nsec))
                newest = st.st_mtim;
            ++files;
        }
        return 1;
    }
};

} // namespace

FILETIME file_write_time(const char* path)
{
    struct stat st;
    return stat_arg(path, st) ? filetime_from(st.st_mtim) : FILETIME{0, 0};
}

SYSTEMTIME local_write_time(const char* path)
{
    struct stat st;
    return stat_arg(path, st) ? local_systemtime(st.st_mtim) : zero_systemtime();
}

SYSTEMTIME newest_write_time(const char* path)
{
    struct stat st;
    if (!stat_arg(path, st))
        return zero_systemtime();
    if (!S_ISDIR(st.st_mode))
        return local_systemtime(st.st_mtim);
    char abs[SYSUTIL_MAX_PATH];
    if (!_abspath(path, abs))
        return zero_systemtime();
    NewestFileVisitor v;
    DirWalker<NewestFileVisitor>(v).run(abs);
    return local_systemtime(v.files > 0 ? v.newest : st.st_mtim);
}

int set_write_time(const char* path, const SYSTEMTIME* local_time)
{
    if (!path_arg_ok(path) || !local_time || local_time->wMonth < 1 || local_time->wMonth > 12 ||
        local_time->wDay < 1 || local_time->wDay > 31 || local_time->wHour > 23 ||
        local_time->wMinute > 59 || local_time->wSecond > 60 || local_time->wMilliseconds > 999)
        return 0;
    struct tm tm{};
    tm.tm_year = local_time->wYear - 1900;
    tm.tm_mon = local_time->wMonth - 1;
    tm.tm_mday = local_time->wDay;
    tm.tm_hour = local_time->wHour;
    tm.tm_min = local_time->wMinute;
    tm.tm_sec = local_time->wSecond;
    tm.tm_isdst = -1;   // the zone's rule for that date decides
    const time_t s = mktime(&tm);
    if (s == static_cast<time_t>(-1) && tm.tm_year != 69)
        return 0;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;   // the access time stays
    times[1].tv_sec = s;
    times[1].tv_nsec = static_cast<long>(local_time->wMilliseconds) * 1000000L;
    return utimensat(AT_FDCWD, without_trailing_slash(path).c_str(), times, 0) == 0 ? 1 : 0;
}

double file_size(const char* path, double* compressed)
{
    if (compressed)
        *compressed = 0;
    struct stat st;
    if (!stat_arg(path, st))
        return 0;
    if (compressed && S_ISREG(st.st_mode)) {
        int fd = open(without_trailing_slash(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0) {
            if (compressed_flag(fd))
                *compressed = compressed_size(path);
            close(fd);
        }
    }
    return S_ISDIR(st.st_mode) ? 0 : static_cast<double>(st.st_size);
}
