/* ostrel sysutil: packing and unpacking LZH, ZIP, CAB and gzip-TAR archives
 * through archiver components loaded by name (part of libostrel-sysutil,
 * included by ostrel/sysutil.h).
 *
 * A component is a shared object ("unlha32.dll", "unzip32.dll", "zip32j.dll",
 * "cab32.dll", "tar32.dll", shipped in the plug-in directory) that exports ten
 * entry points named by one prefix: the command entry is the bare prefix
 * ("UnZip"), the others append a word ("UnZipGetVersion"). The entry point
 * types and the record FindFirst/FindNext fill are declared here for programs
 * and for components built elsewhere.
 *
 * Archiver: one object per format, made and bound on first use by archiver_for
 * and kept for the life of the process. Results: 1 success, 0 failure; every
 * call on an archiver whose component is missing returns 0.
 */
#ifndef OSTREL_ARCHIVE_H
#define OSTREL_ARCHIVE_H

#include <stddef.h>
#include <stdint.h>

#include "ostrel/export.h"
#include "ostrel/win_types.h"

OSTREL_API_BEGIN

enum {
    ARCHIVE_NAME_MAX = 512,          /* longest entry name in a record */
    ARCHIVE_COMMAND_MAX = 512,       /* command line buffer, terminator included */
    ARCHIVE_REPORT_DEFAULT = 60000,  /* report buffer of run() when no size is given */
    ARCHIVE_VERSION_TEXT = 128       /* room version_text needs */
};

/* The mode bits of CheckArchive: how deep the check goes. */
enum {
    CHECKARCHIVE_RAPID = 0,    /* the headers of the entries */
    CHECKARCHIVE_BASIC = 1,
    CHECKARCHIVE_FULLCRC = 2   /* every entry's data read and verified */
};

/* One entry of an archive, as FindFirst and FindNext fill it. */
struct INDIVIDUALINFO {
    uint32_t dwOriginalSize;     /* bytes (0xFFFFFFFF when larger) */
    uint32_t dwCompressedSize;   /* bytes the entry takes in the archive's stream */
    uint32_t dwCRC;              /* CRC-32 of the data when read, else 0 */
    uint32_t uFlag;              /* 0 */
    uint32_t uOSType;            /* 0 */
    uint16_t wRatio;             /* compressed / original in per mille */
    uint16_t wDate;              /* DOS date of the write time (local) */
    uint16_t wTime;              /* DOS time of the write time (local, 2 s steps) */
    char szFileName[ARCHIVE_NAME_MAX + 1]; /* UTF-8, '/' between directories */
    char dummy1[3];
    char szAttribute[8];         /* "drhl": directory, read-only, hidden, link; '-' when not */
    char szMode[8];              /* the method, e.g. "-lh5-", "deflate", "store" */
};

typedef void* HARC;   /* an archive opened by OpenArchive */

/* The entry points of a component; the prefix names them. The command entry
 * returns 0 for success and any other number for failure; with an output
 * buffer it leaves its report text there (terminated, at most size bytes). */
typedef int (*archive_command_fn)(HWND window, const char* command_line, char* output, DWORD size);
typedef DWORD (*archive_get_version_fn)(void);            /* version x 100 in the low 16 bits */
typedef int (*archive_set_mode_fn)(int mode);           /* SetBackGroundMode, SetCursorMode */
typedef int (*archive_check_fn)(const char* file, int mode);
typedef int (*archive_file_count_fn)(const char* archive); /* -1 when unreadable */
typedef HARC (*archive_open_fn)(HWND window, const char* file, DWORD mode);
typedef int (*archive_close_fn)(HARC handle);             /* 0 when closed */
/* 0 when an entry was found, -1 when there are no more, other numbers on error. */
typedef int (*archive_find_first_fn)(HARC handle, const char* wildcard, INDIVIDUALINFO* info);
typedef int (*archive_find_next_fn)(HARC handle, INDIVIDUALINFO* info);

/* The bridge to one archiver component. */
class Archiver {
public:
    Archiver(const char* prefix, const char* dll_name, int kind);
    Archiver(const Archiver&) = delete;
    Archiver& operator=(const Archiver&) = delete;

    /* Slot 0: a self-extracting archive from `archive`. */
    virtual int special(const char* archive);
    /* Slot 1: formats the command (at most ARCHIVE_COMMAND_MAX - 1 bytes, a
     * longer one is refused) and sends it with a report buffer of `size` bytes
     * (60,000 when size <= 0). With an output buffer and size > 0 the report is
     * copied there, cut to size - 1 bytes and terminated. */
    virtual int run(char* output, int size, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    /* Slot 2: "<prefix> <dll> ver.x.xx" into out (ARCHIVE_VERSION_TEXT bytes). */
    virtual int version_text(char* out);
    /* Slots 3-5. */
    virtual int add(const char* archive, const char* source);
    virtual int extract_all(const char* archive, const char* directory);
    virtual int extract_one(const char* archive, const char* directory, const char* file);
    /* Frees the component. */
    virtual ~Archiver();
    /* Loads the component and looks its entry points up (archiver_for does it
     * once); 0 when it is missing. */
    virtual int bind();

    /* Thin wrappers: 0 when the component or the entry is missing, else its answer. */
    int check_archive(const char* file, int mode);
    int file_count(const char* archive);
    int dll_version();
    int set_cursor_mode(int mode);
    int set_background_mode(int mode);
    HARC open_archive(HWND window, const char* file, DWORD mode);
    int close_archive(HARC handle);
    int find_first(HARC handle, const char* wildcard, INDIVIDUALINFO* info);
    int find_next(HARC handle, INDIVIDUALINFO* info);

    const char* prefix() const { return names_; }
    const char* dll_name() const;
    int can_create() const { return can_create_; }
    int kind() const { return kind_; }
    int loaded() const { return module_ != nullptr; }

    /* The simple form of run that the operations use: no window, no report
     * buffer; 1 for success, 0 for failure or a command line that would not fit. */
    int send(const char* format, ...) __attribute__((format(printf, 2, 3)));
    /* Calls the command entry with the status text showing the prefix
     * meanwhile; the component's answer, or -1 when there is no entry. */
    int call(HWND window, const char* line, char* report, DWORD size);

protected:
    char names_[32];   /* the prefix, a terminator, the component's file name */
    int32_t can_create_;
    int32_t kind_;
    archive_command_fn command_;
    archive_get_version_fn get_version_;
    archive_set_mode_fn set_background_mode_;
    archive_check_fn check_archive_;
    archive_file_count_fn get_file_count_;
    archive_set_mode_fn set_cursor_mode_;
    archive_open_fn open_archive_;
    archive_close_fn close_archive_;
    archive_find_first_fn find_first_;
    archive_find_next_fn find_next_;
    void* module_;
};

/* LZH through "unlha32.dll" (prefix Unlha). */
class LzhArchiver : public Archiver {
public:
    LzhArchiver();
    int special(const char* archive) override;
    /* Without an output buffer: the number of report lines (at least 1). */
    int run(char* output, int size, const char* format, ...) override
        __attribute__((format(printf, 4, 5)));
    int add(const char* archive, const char* source) override;
    int extract_all(const char* archive, const char* directory) override;
    int extract_one(const char* archive, const char* directory, const char* file) override;
};

/* ZIP: read through "unzip32.dll" (prefix UnZip), written through the creator
 * "zip32j.dll" (prefix Zip), which needs "zip32.dll" or "izip32j.dll" beside it. */
class ZipArchiver : public Archiver {
public:
    ZipArchiver();
    int bind() override;
    int version_text(char* out) override;
    int add(const char* archive, const char* source) override;
    int extract_all(const char* archive, const char* directory) override;
    int extract_one(const char* archive, const char* directory, const char* file) override;
    Archiver& creator() { return creator_; }

private:
    Archiver creator_;
};

/* CAB through "cab32.dll" (prefix Cab). */
class CabArchiver : public Archiver {
public:
    CabArchiver();
    int special(const char* archive) override;
    int add(const char* archive, const char* source) override;
    int extract_all(const char* archive, const char* directory) override;
    int extract_one(const char* archive, const char* directory, const char* file) override;
};

/* gzip-TAR through "tar32.dll" (prefix Tar). */
class TarArchiver : public Archiver {
public:
    TarArchiver();
    int add(const char* archive, const char* source) override;
    int extract_all(const char* archive, const char* directory) override;
    int extract_one(const char* archive, const char* directory, const char* file) override;
};

/* The archiver for the file's extension (".lzh", ".zip", ".cab", ".gz",
 * ".tgz", ".z", any case), made and bound on first use; null for other
 * extensions or when its component is missing. */
Archiver* archiver_for(const char* file);

OSTREL_API_END

#endif
