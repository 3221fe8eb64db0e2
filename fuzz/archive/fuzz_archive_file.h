// The fuzzers' input as an archive file in a scratch directory made once per
// process, and the format sets of the shipped components.
#pragma once
#include <archive.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace fuzz_archive {

inline const std::string& scratch()
{
    static const std::string dir = [] {
        char tmpl[] = "/tmp/ostrel-archive-fuzz-XXXXXX";
        return std::string(mkdtemp(tmpl) ? tmpl : "/tmp");
    }();
    return dir;
}

inline std::string write_input(const std::uint8_t* data, std::size_t size)
{
    const std::string path = scratch() + "/input";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

inline void zip_formats(struct archive* a)
{
    archive_read_support_format_zip(a);
}

inline void tar_formats(struct archive* a)
{
    archive_read_support_format_tar(a);
    archive_read_support_format_gnutar(a);
    archive_read_support_filter_gzip(a);
    archive_read_support_filter_compress(a);
}

}  // namespace fuzz_archive
