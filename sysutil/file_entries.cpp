// Directory-entry records for the walks: the attribute bits of this platform
// (directory from the mode, read-only from the owner's write permission,
// hidden from a leading dot, compressed from the file system's flag), times
// and sizes from stat.
#include "sysutil/fileops_internal.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstring>

namespace sysutil_detail {

bool file_system_compresses(int fd)
{
    struct statfs sf;
    if (fstatfs(fd, &sf) != 0)
        return false;
    // Only these keep a per-file compression flag that means something; asking
    // elsewhere would cost an open per entry for nothing.
    return sf.f_type == BTRFS_SUPER_MAGIC || sf.f_type == F2FS_SUPER_MAGIC;
}

bool compressed_flag(int fd)
{
    int flags = 0;
    return ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_COMPR_FL) != 0;
}

uint32_t attributes_of(const char* name, const struct stat& st, bool compressed)
{
    uint32_t a = 0;
    if (S_ISDIR(st.st_mode))
        a |= FILE_ATTRIBUTE_DIRECTORY;
    if (S_ISLNK(st.st_mode))
        a |= FILE_ATTRIBUTE_REPARSE_POINT;
    else if (is_read_only(st.st_mode))
        a |= FILE_ATTRIBUTE_READONLY;
    if (name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
        a |= FILE_ATTRIBUTE_HIDDEN;
    if (compressed)
        a |= FILE_ATTRIBUTE_COMPRESSED;
    return a ? a : FILE_ATTRIBUTE_NORMAL;
}

void fill_find_data(WIN32_FIND_DATAA& fd, const char* name, const struct stat& st, bool compressed)
{
    fd.dwFileAttributes = attributes_of(name, st, compressed);
    fd.ftCreationTime = filetime_from(st.st_ctim);
    fd.ftLastAccessTime = filetime_from(st.st_atim);
    fd.ftLastWriteTime = filetime_from(st.st_mtim);
    const uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    fd.nFileSizeHigh = static_cast<uint32_t>(size >> 32);
    fd.nFileSizeLow = static_cast<uint32_t>(size);
    fd.dwReserved0 = fd.dwReserved1 = 0;
    std::size_t n = std::strlen(name);
    if (n >= sizeof fd.cFileName)
        n = sizeof fd.cFileName - 1;   // names are at most 255 bytes on Linux
    std::memcpy(fd.cFileName, name, n);
    fd.cFileName[n] = '\0';
    fd.cAlternateFileName[0] = '\0';
}

} // namespace sysutil_detail
