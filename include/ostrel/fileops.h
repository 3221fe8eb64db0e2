/* ostrel sysutil: file operations that report a trace (part of libostrel-sysutil,
 * included by ostrel/sysutil.h).
 *
 * Existence and type tests, file times and sizes, relative and long path names,
 * directory walks with callbacks, and the operations that remove, copy, move and
 * create files and directories. Each operation that changes the file system
 * reports what it did through the trace-print hook while the trace-enabled hook
 * answers nonzero ("..rm", "..RM", "..cp", "..mv", "..rd", "..md").
 *
 * Paths use '/' and are at most SYSUTIL_MAX_PATH - 1 bytes; longer ones are
 * refused (0, -1 or null) before anything is done. Wildcards are '*' and '?',
 * compared without regard to ASCII case; "*.*" matches every name. Walks report
 * entries in name order, never "." and "..", and never follow a symbolic link.
 * Results: 1 success, 0 failure unless said otherwise.
 */
#ifndef OSTREL_FILEOPS_H
#define OSTREL_FILEOPS_H

#include <stddef.h>
#include <stdint.h>

#ifndef OSTREL_FILETIME_DEFINED
#define OSTREL_FILETIME_DEFINED
/* 100-nanosecond ticks since 1601-01-01 UTC, in two 32-bit halves. */
struct FILETIME {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};
/* A calendar time (local where the function says so). */
struct SYSTEMTIME {
    uint16_t wYear;
    uint16_t wMonth;        /* 1-12 */
    uint16_t wDayOfWeek;    /* 0 = Sunday */
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};
#endif

/* Attribute bits of a directory entry. */
#ifndef FILE_ATTRIBUTE_READONLY
#define FILE_ATTRIBUTE_READONLY 0x00000001      /* no write permission for the owner */
#define FILE_ATTRIBUTE_HIDDEN 0x00000002        /* the name starts with a dot */
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080        /* a file with none of the others */
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400 /* a symbolic link (never followed) */
#define FILE_ATTRIBUTE_COMPRESSED 0x00000800    /* the file system's compression flag */
#endif

/* One directory entry as a walk reports it. */
struct WIN32_FIND_DATAA {
    uint32_t dwFileAttributes;
    FILETIME ftCreationTime;     /* the status-change time: Linux keeps no creation time everywhere */
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    uint32_t nFileSizeHigh;
    uint32_t nFileSizeLow;
    uint32_t dwReserved0;
    uint32_t dwReserved1;
    char cFileName[260];
    char cAlternateFileName[14]; /* always empty: there are no short names */
};

/* The record handed to every walk callback. The walks set find_data and path
 * and never touch the other fields, which belong to the callbacks. */
struct WalkRecord {
    WIN32_FIND_DATAA find_data;
    char path[4096];          /* full path of the current entry (a directory's after-callback: with '/') */
    int32_t counter;          /* for the callbacks; callers set it to 0 */
    const char* target;       /* target directory */
    int prefix_length;
    const char* pattern;      /* name pattern */
    void* result;
};

/* A walk callback. File callbacks: 0 ends the scan of the current directory.
 * Before-directory callbacks: 0 ends the scan. Skip filters: nonzero passes the
 * directory by. */
typedef int (*walk_callback)(WalkRecord* record);

/* ---- tests and names ---- */
int is_drive_path(const char* path);                 /* a letter and a colon at the start */
int is_dir(const char* path);                        /* 1 also when the path cannot be read */
int path_exists(const char* path, int skip_hidden);
/* In place: "." and ".." resolved, every component checked to exist. Returns
 * path, or null (path unchanged) when a component is missing. */
char* long_path_name(char* path);
/* out: SYSUTIL_MAX_PATH bytes. The path relative to base (the current directory
 * when null or empty); null when there is no common directory. */
char* relative_path(const char* path, char* out, const char* base = nullptr);

/* ---- times and sizes ---- */
FILETIME file_write_time(const char* path);          /* 0 when missing */
SYSTEMTIME local_write_time(const char* path);       /* all zero when missing */
SYSTEMTIME newest_write_time(const char* path);      /* newest file of a tree, else its own */
int set_write_time(const char* path, const SYSTEMTIME* local_time);
/* Bytes (0 when missing); *compressed gets the space a compressed file takes,
 * 0 for every other file. */
double file_size(const char* path, double* compressed = nullptr);

/* ---- walks (a null record: the walk lends one for its duration) ---- */
/* One level. 1 when the directory was read, 0 when it could not be or the
 * arguments were refused. */
int walk_dir(const char* directory, const char* pattern, WalkRecord* record,
             walk_callback file_callback, walk_callback dir_callback);
/* The whole tree: files and before-directory callbacks in name order, each
 * directory's after-callback after its contents, the walked directory last.
 * Nothing at all when nothing matches. 0 when refused (a path beyond the
 * record's buffer stops the walk there). */
int walk_tree(const char* directory, const char* pattern, WalkRecord* record,
              walk_callback file_callback, walk_callback after_dir_callback,
              walk_callback before_dir_callback, walk_callback skip_filter);
/* Down to `depth` levels (a negative depth: no limit); directories at the last
 * level go to the leaf callback. The deepest level reached (`level` when no
 * directory was walked), -1 when refused. */
int walk_depth(int depth, const char* directory, const char* pattern, WalkRecord* record,
               walk_callback file_callback, walk_callback leaf_dir_callback,
               walk_callback skip_filter, int level);

/* ---- operations ---- */
int remove_file(const char* path);
int remove_dir(const char* path);       /* 1 unless the arguments are refused */
int make_dir(const char* path);
int copy_path(const char* source, const char* target);
int copy_tree(const char* source, const char* target);
int move_path(const char* source, const char* target);
int remove_tree(const char* directory);
int remove_files(const char* format, ...) __attribute__((format(printf, 1, 2)));
int remove_files_tree(const char* format, ...) __attribute__((format(printf, 1, 2)));
int make_dir_abs(const char* path);
int remove_dir_abs(const char* path);
int remove_tree_abs(const char* path);
int copy_files(const char* command);
/* out: SYSUTIL_MAX_PATH bytes. */
int find_in_tree(const char* directory, const char* name, char* out);
/* The matching files of one directory in name order (ASCII case ignored):
 * names[i] points into buffer. The count; -1 when refused, or when the names do
 * not fit max_names or buffer_size (then nothing is written). With null names,
 * only the count. */
int list_files(const char* directory, const char* pattern, char** names, int max_names,
               char* buffer, size_t buffer_size);
int count_files(const char* directory, const char* pattern);          /* -1 when refused */
int count_files_tree(const char* path_pattern, const char* dir_pattern); /* -1 when refused */

#endif
