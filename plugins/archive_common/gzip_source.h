// A gzip file as libarchive's input, inflated here with zlib: zlib checks each
// member's CRC-32 and length, which libarchive's own gzip filter leaves
// unchecked, so a damaged gzip-TAR fails instead of extracting wrong bytes.
#pragma once
#include <string>

struct archive;

namespace component {

// Whether the file starts with the gzip signature.
bool is_gzip_file(const std::string& path);
// Opens `a` (formats already enabled) on the inflated contents of the gzip
// file; ARCHIVE_OK or libarchive's failure code with its error set.
int open_gzip_source(struct archive* a, const std::string& path);

}  // namespace component
