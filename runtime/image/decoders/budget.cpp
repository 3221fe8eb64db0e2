// Size checks of the decoders: a header may claim any size, but a picture can
// hold no more pixels than its file's bytes can encode.
#include "runtime/image/decoders/decoders_internal.h"
#include "ostrel/bmap.h"

#include <sys/stat.h>

long long _file_size(std::FILE* f)
{
    struct stat st;
    if (!f || fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<long long>(st.st_size);
}

bool _decode_budget_ok(long long width, long long height, long long file_size, long long pixels_per_byte)
{
    if (width < 1 || height < 1 || file_size < 0)
        return false;
    if (!_bmap_size_ok(width, height, 24))
        return false;
    // a small allowance so that tiny pictures in tiny files always pass
    long long allowed = (file_size + 64) * pixels_per_byte;
    return width * height <= allowed;
}
