// What an add command stores: the files and directories its names stand for,
// with the names they get inside the archive. Shared by every component that
// writes (the libarchive writers and the components with their own format).
#pragma once
#include "plugins/archive_common/report.h"

#include <string>
#include <sys/stat.h>
#include <vector>

namespace component {

struct Source {
    std::string path;   // on disk
    std::string name;   // in the archive, '/' between parts, no trailing '/'
    struct stat st;     // lstat: links are stored as links, never followed
};

struct GatherRules {
    bool recurse = true;        // a directory brings its whole tree
    bool junk_paths = false;    // every file under its last name alone, no directories
    bool walk_patterns = false; // the names are patterns matched in the whole current tree
};

// A name inside the current directory is stored as given (cleaned); one
// outside it (absolute or with "..") under its last part. Names may hold '*'
// and '?' in their last part. The archive itself (`archive`, when it exists)
// is never taken in. False, with report lines, when a name matches nothing.
bool gather_sources(const std::vector<std::string>& names, const GatherRules& rules,
                    const std::string& archive, std::vector<Source>& out, Report& report);

}  // namespace component
