/* ostrel sysutil: message boxes, shell dialogs, a print job, and in-place text
 * and path helpers (libostrel-sysutil).
 *
 * Text is UTF-8; scans step over whole UTF-8 sequences. Paths use '/'; the
 * helpers named after the backslash (join_path, strip_backslash, add_backslash,
 * path_name_part, path_dir_part, is_drive_root, _abspath) use the platform
 * separator. Results: 1 success, 0 failure, null where no text results.
 * Nothing returned here has to be freed by the caller. The file operations
 * with trace are declared in ostrel/fileops.h, the archivers in ostrel/archive.h,
 * the associations and registry values in ostrel/registry.h, the drive and volume
 * queries in ostrel/drives.h and the desktop shell in ostrel/shell.h, all included
 * at the end.
 */
#ifndef OSTREL_SYSUTIL_H
#define OSTREL_SYSUTIL_H

#include <stddef.h>

#include "ostrel/text_convert.h" /* nkf_convert, nkf_convert_n */
#include "ostrel/win_types.h"

/* Buffer sizes of the dialogs and path functions. */
enum {
    SYSUTIL_MAX_PATH = 260,          /* caller path buffers (save, folder, _abspath) */
    SYSUTIL_KEEPER_PATH = 4096,      /* the directory kept by CurrentDirKeeper (PATH_MAX) */
    SYSUTIL_OPEN_FILES_BUFFER = 25600, /* the buffer of open_files_dialog */
    SYSUTIL_MSGBOX_TEXT = 2048,      /* formatted text of a message box */
    SYSUTIL_EXPAND_TABS_MAX = 1023,  /* longest result of expand_tabs */
    SPLITTER_MAX_PARTS = 100,
    SPLITTER_MAX_DELIMITER = 99
};

/* ---- owner window and hooks ---- */
typedef void (*trace_print_fn)(const char* format, ...);
typedef void (*spare_hook_fn)(void);
typedef void (*status_text_fn)(int part, const char* text);
typedef int (*trace_enabled_fn)(void);

void set_owner_window(HWND owner);
HWND get_owner_window();
/* Owner, trace print and spare are always set (null clears them); status text
 * and trace enabled only when given. */
void set_utility_hooks(HWND owner, trace_print_fn trace_print, spare_hook_fn spare,
                       status_text_fn status_text, trace_enabled_fn trace_enabled);

/* ---- message boxes (printf format; the owner window is the parent) ---- */
int msgbox_info(const char* caption, const char* format, ...)
    __attribute__((format(printf, 2, 3)));            /* IDOK (1); 0 when no box */
int msgbox_yesno(const char* caption, const char* format, ...)
    __attribute__((format(printf, 2, 3)));            /* 1 Yes, 0 No, -1 no box */
int msgbox_yesnocancel(const char* caption, const char* format, ...)
    __attribute__((format(printf, 2, 3)));            /* 6 Yes, 7 No, 2 Cancel; 0 no box */

/* ---- print job ---- */
enum { PD_RETURNDC = 0x00000100 };
/* The record of one print job; print_begin fills it, print_end releases it. */
struct PrintDlgRecord {
    unsigned long lStructSize;
    HWND hwndOwner;
    void* hDevMode;    /* the printer behind the job (owned by the record) */
    void* hDevNames;   /* not used on this platform, always null */
    HDC hDC;           /* draw the page here between print_begin and print_end */
    unsigned long Flags;
};
int print_begin(PrintDlgRecord* pd, const char* document_name);
void print_end(PrintDlgRecord* pd);

/* ---- dialogs (a null owner means the owner window; an empty or null initial
 * directory the current one; filters are "Text|*.txt|All|*.*|", the last
 * character being the separator) ---- */
/* buffer: SYSUTIL_OPEN_FILES_BUFFER bytes. Returns the number of strings (k + 1
 * for k chosen files, 1 for one file), 0 on cancel. */
int open_files_dialog(char* buffer, const char* initial_dir, const char* filter,
                      const char* title, const char* default_ext, HWND owner);
/* Full path of the next chosen file (cycling), or null without a selection. */
const char* next_selected_file();
/* path: SYSUTIL_MAX_PATH bytes, in and out. */
int save_file_dialog(char* path, const char* initial_dir, const char* filter,
                     const char* title, const char* default_ext, HWND owner);
/* path: SYSUTIL_MAX_PATH bytes, in (selected at start when not empty) and out. */
int browse_folder(const char* title, char* path, HWND owner);

/* ---- text helpers (in place unless a result is named) ---- */
int char_bytes(const char* p);                 /* length of the UTF-8 sequence at p */
char* skip_spaces(const char* p);
char* token_end(const char* p);
char* token_last_char(const char* p);
char* prev_char(const char* start, const char* p);
char* trim_left(char* s);
char* trim_right(char* s);
char* trim(char* s);
char* unquote(char* s);
/* s must hold `size` bytes (at most SYSUTIL_EXPAND_TABS_MAX + 1 are used).
 * Null when s holds no tab, or when the result would not fit (s then keeps its
 * tabs). */
char* expand_tabs(char* s, int width, size_t size = SYSUTIL_EXPAND_TABS_MAX + 1);
char* cut_extension(char* path);
char* join_path(char* out, const char* directory, const char* name);
char* strip_backslash(char* s);
char* copy_strip_backslash(const char* source, char* out);
char* add_backslash(char* s, char* out = nullptr);
/* Formats at the end of s (a buffer of `size` bytes), cut to fit; 0 when cut. */
int append_format(char* s, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int is_empty(const char* s);
int is_on_path(const char* directory);
/* Replaces every occurrence of `from` in s (a buffer of `size` bytes) by `to`.
 * 1 when done; 0, with s unchanged, when `to` contains `from`, the result
 * would not fit, or the replacements do not come to an end. */
int replace_all(char* s, size_t size, const char* from, const char* to);
char* split_first(char* s);
char* percent_decode(const char* source, char* out);
char* path_name_part(const char* path);
char* path_dir_part(char* path, char* out = nullptr);
int has_extension(const char* path, const char* extension);
int is_drive_root(const char* path);

/* Splits a copy of a text at a delimiter; runs of delimiters count as one. */
class Splitter {
public:
    Splitter();
    ~Splitter();
    Splitter(const Splitter&) = delete;
    Splitter& operator=(const Splitter&) = delete;
    /* Number of parts; 0 for an empty text or a delimiter longer than
     * SPLITTER_MAX_DELIMITER. The last of SPLITTER_MAX_PARTS parts keeps the
     * unsplit rest of the text. */
    int split(const char* text, const char* delimiter);
    char* part(int i) const;   /* null outside 0 .. count - 1 */
    int count() const { return count_; }

private:
    char* copy_;
    char* parts_[SPLITTER_MAX_PARTS];
    char delimiter_[SPLITTER_MAX_DELIMITER + 1];
    int count_;
};

/* ---- absolute paths and the current directory ---- */
/* out: SYSUTIL_MAX_PATH bytes. Null on failure (an unusable base directory is
 * reported in a box captioned "_abspath"). */
char* _abspath(const char* path, char* out, const char* base_directory = nullptr);

/* Keeps the current directory for a scope, optionally changing it meanwhile. */
class CurrentDirKeeper {
public:
    CurrentDirKeeper();
    explicit CurrentDirKeeper(const char* path);
    ~CurrentDirKeeper();
    CurrentDirKeeper(const CurrentDirKeeper&) = delete;
    CurrentDirKeeper& operator=(const CurrentDirKeeper&) = delete;
    const char* saved() const { return saved_; }

private:
    char saved_[SYSUTIL_KEEPER_PATH];
};

#include "ostrel/fileops.h"
#include "ostrel/archive.h"
#include "ostrel/registry.h"
#include "ostrel/drives.h"
#include "ostrel/shell.h"

#endif
