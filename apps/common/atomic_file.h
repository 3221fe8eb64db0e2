/* atomic_file: replace a file whole or not at all.
 *
 * The new text goes to a temporary file beside the target, which is renamed
 * over the target only once everything was written and flushed to disk. A
 * full disk, a failed write or a crash in between leaves the old file as it
 * was and no temporary file behind (except after a crash).
 */
#ifndef OSTREL_APPS_ATOMIC_FILE_H
#define OSTREL_APPS_ATOMIC_FILE_H

#include <cstdio>
#include <string>

class AtomicFile {
public:
    explicit AtomicFile(const char* target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    /* The stream to write to, or null when no temporary file could be made. */
    std::FILE* open();
    /* Flushes, syncs and renames into place; false (and the target untouched)
     * when any step or any earlier write failed. */
    bool commit();
    /* Drops the temporary file; the target stays as it was. */
    void abandon();

    /* Whether commit waits for the disk (fsync). On by default; fuzzers,
     * which write throwaway files thousands of times, turn it off. */
    static bool sync_to_disk;

private:
    std::string target_;
    std::string temp_;
    std::FILE* file_ = nullptr;
};

#endif
