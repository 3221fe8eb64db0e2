// Private helpers shared by the file operations: argument checks, wildcard
// matching, time conversion, directory-entry records, the fd-relative removal
// and copy of one file, and the guards against removing or copying what must
// not be.
#pragma once
#include "ostrel/sysutil.h"

#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <string>

namespace sysutil_detail {

// ---- arguments ----
// A usable path argument: not null, not empty, shorter than SYSUTIL_MAX_PATH.
bool path_arg_ok(const char* path);
// The text without trailing '/' (the root stays "/").
std::string without_trailing_slash(const char* path);

// ---- wildcards ----
// A name pattern: not empty, no '/', not "." or "..".
bool pattern_ok(const char* pattern);
bool has_wildcard(const char* text);
// '*' and '?', ASCII case ignored; "*.*" and "*" match every name.
bool wildcard_match(const char* pattern, const char* name);

// Splits a path whose name part is a pattern into the absolute directory (with
// its trailing '/') and the pattern. False when refused: the text too long, the
// name part not a pattern ("", ".", "..").
bool split_pattern_path(const char* text, std::string& directory, std::string& pattern);

// ---- times ----
FILETIME filetime_from(const timespec& t);
uint64_t filetime_ticks(const FILETIME& t);
SYSTEMTIME local_systemtime(const timespec& t);
SYSTEMTIME zero_systemtime();

// ---- directory entries ----
inline bool is_read_only(mode_t mode) { return (mode & S_IWUSR) == 0; }
// Attribute bits of an entry; compressed asks the file system (an open per file).
uint32_t attributes_of(const char* name, const struct stat& st, bool compressed);
void fill_find_data(WIN32_FIND_DATAA& fd, const char* name, const struct stat& st, bool compressed);
// Whether the file system holding fd has a compression flag worth asking for.
bool file_system_compresses(int fd);
// FS_COMPR_FL of an open file.
bool compressed_flag(int fd);

// ---- one file, relative to open directories ----
// Removes a file (a read-only one after a first refusal, then with owner write
// permission), tracing "..rm" or "..RM" with path. A directory is refused.
int remove_file_at(int dirfd, const char* name, const char* path);
// Copies a regular file or a symbolic link into tdir under tname, keeping the
// permission bits and the last-write time; the target appears whole or not at
// all (overwriting an existing file). No trace.
int copy_entry_at(int sdir, const char* sname, int tdir, const char* tname);

// ---- guards ----
// The canonical form of a path whose last components need not exist: the
// existing prefix resolved, the rest joined as text. "" when unusable.
std::string canonical_path(const char* path);
// Whether `inner` is `outer` or lies below it (canonical paths).
bool is_within(const std::string& inner, const std::string& outer);
// The root, the home directory, or empty: never removed as a tree.
bool is_protected_tree(const char* path);

} // namespace sysutil_detail
