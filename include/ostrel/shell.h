/* ostrel sysutil: the desktop shell (part of libostrel-sysutil, included by
 * ostrel/sysutil.h).
 *
 * Opening a file the way the desktop would (or with a verb registered for its
 * type), starting a command line as a program, shortcut files, finding
 * top-level windows by title and the user's special folders.
 *
 * Command lines are split into words by the library's quoting rules (words
 * separated by spaces, a word in double quotes may hold spaces, a doubled quote
 * inside quotes stands for one) and the program is started directly, never
 * through a shell: ';', '|', '$()' and backquotes are text. Shortcuts are
 * freedesktop desktop entries. Results: 1 success, 0 failure.
 */
#ifndef OSTREL_SHELL_H
#define OSTREL_SHELL_H

#include "ostrel/export.h"
#include "ostrel/win_types.h"

OSTREL_API_BEGIN

/* Show modes a shortcut keeps (the values of the ShowWindow commands). */
enum {
    SHORTCUT_SHOW_NORMAL = 1,
    SHORTCUT_SHOW_MINIMIZED = 2,
    SHORTCUT_SHOW_MAXIMIZED = 3,
    SHELL_COMMAND_LINE_MAX = 511,    /* longest command line run_command starts */
    SHELL_PATH_BUFFER = 260,         /* output buffers of shortcut_target, special_folder */
    WINDOW_SEARCH_TITLE_MAX = 511,   /* longest title compared (bytes, whole characters) */
    WINDOW_SEARCH_CAPACITY = 256     /* handles the three-argument WindowSearch keeps */
};

/* Opens `path`: a directory as a "Folder", a file by the type of its extension
 * (the text from the last '.' of its name). With verb >= 0 the verb of that
 * index among the type's verbs, with verb < 0 the type's default verb; the
 * verb's registered command line runs with the path for %1 (the path is
 * appended when the line has no %1). Without a verb or a command, the desktop's
 * default action (xdg-open). 0 when the name has no extension (the desktop's
 * default action is still asked) or the path is unusable, else 1. */
int shell_open(const char* path, int verb);

/* Formats a command line (at most SHELL_COMMAND_LINE_MAX bytes; a longer one is
 * refused, not cut) and starts it: the first word is the program (looked for on
 * PATH unless it names a directory), the others its arguments. 1 when the
 * program was found and executed; 0 for a blank line, an odd number of quotes,
 * an over-long line, or a program that cannot be found or executed. */
int run_command(const char* format, ...) __attribute__((format(printf, 1, 2)));

/* Writes a shortcut to `target` as a desktop entry at `shortcut_file` (replaced
 * whole, never half-written). `arguments` (split by the library's quoting
 * rules), `working_dir`, `show_mode` (containing "min": minimised; else
 * containing "max": maximised) and `icon` ("path,index") are left out when null,
 * empty or beginning with "NULL". 1 when written; 0 for a missing target,
 * arguments with an odd number of quotes, or a file that cannot be written. */
int make_shortcut(const char* shortcut_file, const char* target, const char* arguments,
                  const char* working_dir, const char* show_mode, const char* icon);

/* The target of a shortcut file into `output` (SHELL_PATH_BUFFER bytes; emptied
 * first): the program of an application entry, the path of a file link (the
 * address of any other link). 0 when the file cannot be read, is not a desktop
 * entry, names no target, or the target does not fit. */
int shortcut_target(const char* shortcut_file, char* output);

/* The user's special folder into `output` (SHELL_PATH_BUFFER bytes): a name
 * beginning with "Personal" gives the documents folder, one beginning with
 * "SendTo" the Send To folder (made on first use), anything else the desktop
 * folder. 1 with the path; 0 when it cannot be had or does not fit. */
int special_folder(char* output, const char* name);

/* Finds top-level windows by title. Mode 1: the title starts with the pattern
 * (its first occurrence is at the start); mode 2: the first occurrence of the
 * pattern ends at the end of the title; any other mode: the title contains it.
 * With visible_only, hidden windows are passed over. `count` counts every
 * match; the first `capacity` of them are written to `handles`. Titles are
 * compared up to WINDOW_SEARCH_TITLE_MAX bytes; a null pattern matches nothing.
 * The desktop's windows are seen on X11; elsewhere only the program's own. */
struct WindowSearch {
    /* Handles go to the record's own array (WINDOW_SEARCH_CAPACITY of them). */
    WindowSearch(const char* pattern, int mode, int visible_only);
    /* Handles go to the caller's array of `capacity` handles. */
    WindowSearch(const char* pattern, int mode, int visible_only, HWND* handles, int capacity);
    WindowSearch(const WindowSearch&) = delete;
    WindowSearch& operator=(const WindowSearch&) = delete;

    const char* pattern;
    int visible_only;
    int mode;
    int count;        /* matches, also those beyond the capacity */
    int capacity;     /* handles that fit in `handles` */
    HWND* handles;    /* the first min(count, capacity) matches */
    HWND found[WINDOW_SEARCH_CAPACITY];

private:
    void search();
};

OSTREL_API_END

#endif
