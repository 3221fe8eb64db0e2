// Shared part of the decoder fuzz targets: the input goes into a temporary file
// (the decoders read files by name) and the image library's boxes are silenced,
// since nobody can answer a modal box during fuzzing.
#pragma once
#include "ostrel/bmap.h"
#include "ostrel/decoders.h"

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace fuzz {

inline std::string input_file(const std::uint8_t* data, std::size_t size, const char* ext)
{
    static std::string path;
    if (path.empty()) {
        const char* dir = std::getenv("TMPDIR");
        path = std::string(dir && *dir ? dir : "/tmp") + "/ostrel-fuzz-" + std::to_string(getpid()) + ext;
        _imgerr_showboxes(0);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}

// The decoders must hand out complete bitmaps or none.
inline void check(const _bmap* bm)
{
    if (bm && (bm->width < 1 || bm->height < 1 || !bm->bits || bm->size < bm->stride * bm->height))
        std::abort();
}

} // namespace fuzz
