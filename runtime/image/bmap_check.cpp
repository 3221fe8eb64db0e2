// Consistency check of a bitmap handed in by a caller, and whole-file reading.
#include "runtime/image/image_internal.h"

#include <cstdio>
#include <cstdlib>

bool image_bmap_valid(const _bmap* bm)
{
    if (!bm || !bm->bits || bm->depth != 24 || bm->width < 1 || bm->height < 1)
        return false;
    long long row = (static_cast<long long>(bm->width) * 3 + 3) / 4 * 4;
    if (bm->stride < row)
        return false;
    return static_cast<long long>(bm->stride) * bm->height <= bm->size;
}

bool image_read_file(const char* name, unsigned char** data, std::size_t* size, std::size_t limit)
{
    *data = nullptr;
    *size = 0;
    if (!name)
        return false;
    FILE* f = std::fopen(name, "rb");
    if (!f)
        return false;
    std::size_t cap = 0, len = 0;
    unsigned char* buf = nullptr;
    for (;;) {
        if (len == cap) {
            if (cap >= limit) {
                std::free(buf);
                std::fclose(f);
                return false;
            }
            std::size_t next = cap ? cap * 2 : 65536;
            if (next > limit)
                next = limit;
            auto* grown = static_cast<unsigned char*>(std::realloc(buf, next));
            if (!grown) {
                std::free(buf);
                std::fclose(f);
                return false;
            }
            buf = grown;
            cap = next;
        }
        std::size_t got = std::fread(buf + len, 1, cap - len, f);
        len += got;
        if (got == 0)
            break;
    }
    bool ok = !std::ferror(f);
    std::fclose(f);
    if (!ok) {
        std::free(buf);
        return false;
    }
    *data = buf;
    *size = len;
    return true;
}
