// The room a file takes on disk: its allocated blocks, never more than its
// size, so a sparse file or one the file system compresses answers less and a
// plain one its size (the blocks of a plain file round its size up).
#include "sysutil/fileops_internal.h"

#include <sys/stat.h>

using namespace sysutil_detail;

double compressed_size(const char* path)
{
    struct stat st;
    if (!path_arg_ok(path) || stat(without_trailing_slash(path).c_str(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return file_size(path);
    const double allocated = static_cast<double>(st.st_blocks) * 512.0;
    const double size = static_cast<double>(st.st_size);
    return allocated < size ? allocated : size;
}
