// The guard between an archive's entry names and the disk: nothing an archive
// holds may be written outside the target directory. Entries with "..",
// absolute names, symbolic links that point out of the tree, and entries whose
// way down passes through (or ends on) a symbolic link on disk are refused; the
// caller skips them with a report line naming the reason.
#pragma once
#include <string>
#include <string_view>

namespace component {

// Cleans an entry name into a relative path ('\' read as '/', "." and empty
// parts dropped). Null when safe, else the reason; a safe name may leave
// `clean` empty when it names the directory itself ("./").
const char* entry_path_problem(std::string_view name, std::string& clean);
// A symbolic link entry placed at `clean` (a cleaned name) with this target:
// null when the target stays inside the tree, else the reason.
const char* link_target_problem(const std::string& clean, std::string_view target);
// Writing root/clean: null when no existing part below root is a symbolic link
// (the last one included unless `replacing_link`: a link entry replaces a link
// without following it), else the reason.
const char* disk_path_problem(const std::string& root, const std::string& clean,
                              bool replacing_link = false);

}  // namespace component
