/* ostrel sysutil: drives, volumes and disk space (part of libostrel-sysutil,
 * included by ostrel/sysutil.h).
 *
 * A drive text names a mounted file system. A text starting with '/' names the
 * file system that holds that path. Any other text is a drive letter: only its
 * first character counts, in either case ("d", "D:", "d:\\x" all name D). The
 * letters come from the drive map: C is the root file system; every other
 * file system that holds files gets the next free letter (D to Z) the first
 * time it is seen, and keeps it across runs. A letter whose file system is not
 * mounted now answers as a letter without a drive.
 * Text is UTF-8. Failures are reported by result (0, an empty text, an
 * unchanged buffer, zero outputs).
 */
#ifndef OSTREL_DRIVES_H
#define OSTREL_DRIVES_H

#include <stddef.h>

#include "ostrel/export.h"
#include "ostrel/win_types.h"

/* Drive kinds (drive_type). */
#ifndef DRIVE_UNKNOWN
#define DRIVE_UNKNOWN 0     /* the kind cannot be told */
#define DRIVE_NO_ROOT_DIR 1 /* no file system behind the text */
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4
#define DRIVE_CDROM 5
#define DRIVE_RAMDISK 6
#endif

enum {
    SYSUTIL_VOLUME_LABEL = 64,    /* the buffer of volume_label */
    SYSUTIL_DRIVE_TYPE_NAME = 32, /* the buffer of drive_type_name */
    SYSUTIL_DRIVE_LETTERS = 27    /* the buffer of drive_letters */
};

OSTREL_API_BEGIN

/* Free space for the caller, total size and total free space in bytes; all
 * three 0 when the drive cannot be queried. Null outputs are skipped. */
void disk_space(const char* drive, double* free_to_caller, double* total, double* total_free);
double disk_total(const char* drive);
double disk_free(const char* drive);   /* free space for the caller */
/* Bytes per sector (the device's logical block size, else 512); 0 without a drive. */
DWORD sector_size(const char* drive);
/* The volume's serial number; 0 when the drive cannot be queried. */
DWORD volume_serial(const char* drive);
/* out (size bytes) receives the label followed by the file-system name in
 * brackets ("DATA[ext4]", "[tmpfs]" without a label), or an empty text when
 * the drive cannot be queried. Returns out. */
char* volume_label(const char* drive, char* out, size_t size = SYSUTIL_VOLUME_LABEL);
int drive_type(const char* drive);     /* DRIVE_UNKNOWN .. DRIVE_RAMDISK */
/* out (size bytes) receives the kind's name for kinds 2 to 6 and is left as
 * it was for the others. Returns out. */
char* drive_type_name(const char* drive, char* out, size_t size = SYSUTIL_DRIVE_TYPE_NAME);
/* 1 when the user's Explorer policy (NoDrives) hides the drive, else 0. */
int drive_hidden(const char* drive);
/* The room a file takes on disk, never more than its size (double bytes). */
double compressed_size(const char* path);

/* ---- the drive map ---- */
/* out (SYSUTIL_DRIVE_LETTERS bytes) receives the letters of the drives
 * mounted now, in order ("CDE"); returns their number. */
int drive_letters(char* out);
/* out (size bytes) receives the mount point mapped to the letter, mounted now
 * or not; 1, or 0 for a letter without a mapping. */
int drive_root(const char* drive, char* out, size_t size);
/* Maps the letter to a mount point (an absolute path, mounted now or not),
 * taking the file system's letter away from any other; a null or empty mount
 * point removes the mapping (a file system still mounted gets a letter again
 * when it is next seen). C always names "/" and cannot be set. 1 or 0. */
int set_drive_root(const char* drive, const char* mount_point);
/* The letter of the file system holding an absolute path, or 0 when it has none. */
char drive_letter_of(const char* path);

OSTREL_API_END

#endif
