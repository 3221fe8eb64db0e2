// Reading archives through libarchive for any component whose format it reads:
// the entry list behind FindFirst/FindNext, CheckArchive and GetFileCount, and
// extraction into a directory behind the guard of safe_paths.h, keeping write
// times. Sizes an archive claims are never used to size an allocation.
#pragma once
#include "ostrel/archive.h"
#include "plugins/archive_common/report.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

struct archive;

namespace component {

// Enables the formats (and filters) a component reads or writes.
using FormatSetup = void (*)(struct archive*);

struct ReaderDeleter {
    void operator()(struct archive* a) const;
};
using Reader = std::unique_ptr<struct archive, ReaderDeleter>;

// Null, with a report line, when the file cannot be opened or is not one of
// the formats.
Reader open_reader(const std::string& path, FormatSetup setup, Report& report);

struct EntryInfo {
    std::string name;
    std::uint64_t size = 0;
    std::uint64_t stored = 0;   // bytes the entry took in the archive's stream
    std::uint32_t crc = 0;      // of the data, when it was read
    std::time_t mtime = 0;
    unsigned type = 0;          // AE_IFREG, AE_IFDIR, AE_IFLNK, ...
    unsigned perm = 0;
    std::string method;
};

// Every entry's header, and with `with_data` its data too (CRC and damage
// found). False, with a report line, when the archive is damaged.
bool scan_archive(const std::string& path, FormatSetup setup, bool with_data,
                  std::vector<EntryInfo>& entries, Report& report);
void fill_record(const EntryInfo& entry, INDIVIDUALINFO& record);
// A listing into the report: size and name of each entry matching `patterns`
// (all when empty), one a line.
int list_entries(const std::string& path, FormatSetup setup, const std::vector<std::string>& patterns,
                 Report& report);

struct ExtractRequest {
    std::string directory;              // made when missing; "" is the current one
    std::vector<std::string> patterns;  // empty: every entry
    bool junk_paths = false;            // files straight into the directory
};
// One report line per file extracted or skipped. OUTCOME_SKIPPED when the
// guard refused an entry (the others are extracted), OUTCOME_NOT_FOUND when
// patterns matched nothing.
int extract_archive(const std::string& path, FormatSetup setup, const ExtractRequest& request,
                    Report& report);

}  // namespace component
