// Writing an archive with libarchive from gathered sources. The archive is
// written beside its final place and renamed over it only when complete, so a
// failed command leaves any earlier archive as it was.
#pragma once
#include "plugins/archive_common/archive_reader.h"
#include "plugins/archive_common/archive_sources.h"

namespace component {

struct WriteRules {
    FormatSetup writer;             // format and filters of the new archive
    FormatSetup reader = nullptr;   // to read the old one when its entries are kept
    bool keep_old_entries = false;  // entries of an existing archive not replaced stay
    bool time_from_newest = false;  // the archive's write time: its newest entry's
};

// One report line per entry added.
int write_archive(const std::string& path, const std::vector<Source>& sources,
                  const WriteRules& rules, Report& report);

// The temporary name beside `path` that a writer uses (made with O_EXCL), and
// its file descriptor; -1 when it cannot be made.
int open_beside(const std::string& path, std::string& temporary);
// Renames the finished temporary file (made with the permissions of a new
// file) over `path`; false, the temporary removed, when that fails.
bool replace_with(const std::string& temporary, const std::string& path, Report& report);
// Sets a file's write (and access) time; the newest of `sources` when given.
void set_time_from(const std::string& path, const std::vector<Source>& sources);

}  // namespace component
