// What the archive bridge's files share, and the release of the process-wide
// archivers (for tests that offer another set of components).
#pragma once
#include "ostrel/sysutil.h"

#include <string>

// Frees every archiver made by archiver_for; the next call makes them again.
void archiver_release_all();

namespace archive_detail {

// A directory argument without its own trailing separators ("/" stays).
std::string bare_directory(const char* directory);
// Whether the current directory is now `directory` (the keeper may have failed).
bool is_current_directory(const char* directory);

}  // namespace archive_detail
