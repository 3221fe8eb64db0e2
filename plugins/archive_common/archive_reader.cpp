// Listing and extracting archives with libarchive (reader and disk writer).
#include "plugins/archive_common/archive_reader.h"
#include "plugins/archive_common/command_line.h"
#include "plugins/archive_common/dos_time.h"
#include "plugins/archive_common/gzip_source.h"
#include "plugins/archive_common/safe_paths.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace component {

namespace {

constexpr std::size_t READ_BLOCK = 256 * 1024;

struct WriterDeleter {
    void operator()(struct archive* a) const { archive_write_free(a); }
};

const char* error_text(struct archive* a)
{
    const char* e = archive_error_string(a);
    return e ? e : "unknown error";
}

std::string method_of(struct archive* a)
{
    const char* f = archive_format_name(a);
    std::string name = f ? f : "";
    if (const std::size_t lh = name.find("-lh"); lh != std::string::npos && lh + 5 <= name.size())
        return name.substr(lh, 5);
    if (name.find("deflat") != std::string::npos)
        return "deflate";
    if (name.find("uncompressed") != std::string::npos || name.find("stored") != std::string::npos)
        return "store";
    for (const char* m : {"bzip2", "lzma", "xz", "zstd", "lzx", "mszip", "quantum"})
        if (name.find(m) != std::string::npos)
            return m;
    const std::size_t space = name.find(' ');
    return name.substr(0, space == std::string::npos ? 7 : (space < 7 ? space : 7));
}

const char* entry_name(struct archive_entry* e)
{
    const char* n = archive_entry_pathname(e);
    return n ? n : "";
}

// Makes the directory and its parents; false when that fails.
bool make_dirs(const std::string& dir)
{
    if (dir.empty())
        return true;
    struct stat st;
    if (stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const std::size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !make_dirs(dir.substr(0, slash)))
        return false;
    return mkdir(dir.c_str(), 0777) == 0 || errno == EEXIST;
}

// Copies one entry's data to the disk writer: false with a report line on damage.
bool copy_data(struct archive* in, struct archive* out, const std::string& name, Report& report,
               bool& damaged)
{
    const void* block;
    size_t size;
    la_int64_t offset;
    for (;;) {
        const int r = archive_read_data_block(in, &block, &size, &offset);
        if (r == ARCHIVE_EOF)
            return true;
        // A warning while data is read is a failed check (a bad CRC): damage.
        if (r != ARCHIVE_OK) {
            report.line("error: damaged data in %s: %s", name.c_str(), error_text(in));
            damaged = true;
            return false;
        }
        if (archive_write_data_block(out, block, size, offset) < ARCHIVE_WARN) {
            report.line("error: cannot write %s: %s", name.c_str(), error_text(out));
            return false;
        }
    }
}

}  // namespace

void ReaderDeleter::operator()(struct archive* a) const
{
    archive_read_free(a);
}

Reader open_reader(const std::string& path, FormatSetup setup, Report& report)
{
    Reader a(archive_read_new());
    if (!a) {
        report.line("error: out of memory");
        return nullptr;
    }
    setup(a.get());
    const int opened = is_gzip_file(path) ? open_gzip_source(a.get(), path)
                                          : archive_read_open_filename(a.get(), path.c_str(), READ_BLOCK);
    if (opened != ARCHIVE_OK) {
        report.line("error: cannot read %s: %s", path.c_str(), error_text(a.get()));
        return nullptr;
    }
    return a;
}

bool scan_archive(const std::string& path, FormatSetup setup, bool with_data,
                  std::vector<EntryInfo>& entries, Report& report)
{
    Reader a = open_reader(path, setup, report);
    if (!a)
        return false;
    struct archive_entry* e;
    for (;;) {
        const int r = archive_read_next_header(a.get(), &e);
        if (r == ARCHIVE_EOF)
            return true;
        if (r < ARCHIVE_WARN) {
            report.line("error: damaged archive %s: %s", path.c_str(), error_text(a.get()));
            return false;
        }
        EntryInfo info;
        info.name = entry_name(e);
        info.size = archive_entry_size_is_set(e) && archive_entry_size(e) > 0
                        ? static_cast<std::uint64_t>(archive_entry_size(e)) : 0;
        info.mtime = archive_entry_mtime(e);
        info.type = archive_entry_filetype(e);
        info.perm = archive_entry_perm(e);
        info.method = method_of(a.get());
        const la_int64_t start = archive_filter_bytes(a.get(), 0);
        if (with_data) {
            const void* block;
            size_t size;
            la_int64_t offset;
            uLong crc = crc32(0L, Z_NULL, 0);
            int d;
            while ((d = archive_read_data_block(a.get(), &block, &size, &offset)) == ARCHIVE_OK)
                crc = crc32(crc, static_cast<const Bytef*>(block), static_cast<uInt>(size));
            if (d != ARCHIVE_EOF) {
                report.line("error: damaged data in %s: %s", info.name.c_str(), error_text(a.get()));
                return false;
            }
            info.crc = static_cast<std::uint32_t>(crc);
        } else if (archive_read_data_skip(a.get()) < ARCHIVE_WARN) {
            report.line("error: damaged archive %s: %s", path.c_str(), error_text(a.get()));
            return false;
        }
        const la_int64_t end = archive_filter_bytes(a.get(), 0);
        info.stored = end > start ? static_cast<std::uint64_t>(end - start) : 0;
        entries.push_back(std::move(info));
    }
}

void fill_record(const EntryInfo& entry, INDIVIDUALINFO& record)
{
    std::memset(&record, 0, sizeof record);
    record.dwOriginalSize = entry.size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(entry.size);
    record.dwCompressedSize =
        entry.stored > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(entry.stored);
    record.dwCRC = entry.crc;
    const std::uint64_t ratio = entry.size ? entry.stored * 1000 / entry.size : 0;
    record.wRatio = static_cast<uint16_t>(ratio > 0xFFFF ? 0xFFFF : ratio);
    to_dos_time(entry.mtime, record.wDate, record.wTime);
    std::size_t n = std::min<std::size_t>(entry.name.size(), ARCHIVE_NAME_MAX);
    // Never end inside a UTF-8 sequence.
    if (n < entry.name.size())
        while (n > 0 && (static_cast<unsigned char>(entry.name[n]) & 0xC0) == 0x80)
            --n;
    std::memcpy(record.szFileName, entry.name.data(), n);
    const std::size_t last = entry.name.find_last_of('/');
    const bool hidden = entry.name[last == std::string::npos ? 0 : last + 1] == '.';
    record.szAttribute[0] = entry.type == AE_IFDIR ? 'd' : '-';
    record.szAttribute[1] = (entry.perm & 0200) ? '-' : 'r';
    record.szAttribute[2] = hidden ? 'h' : '-';
    record.szAttribute[3] = entry.type == AE_IFLNK ? 'l' : '-';
    std::strncpy(record.szMode, entry.method.c_str(), sizeof record.szMode - 1);
}

int list_entries(const std::string& path, FormatSetup setup, const std::vector<std::string>& patterns,
                 Report& report)
{
    std::vector<EntryInfo> entries;
    if (!scan_archive(path, setup, false, entries, report))
        return OUTCOME_BAD_ARCHIVE;
    for (const EntryInfo& e : entries)
        if (name_matches(e.name, patterns))
            report.line("%12llu %s", static_cast<unsigned long long>(e.size), e.name.c_str());
    return OUTCOME_DONE;
}

int extract_archive(const std::string& path, FormatSetup setup, const ExtractRequest& request,
                    Report& report)
{
    Reader in = open_reader(path, setup, report);
    if (!in)
        return OUTCOME_BAD_ARCHIVE;
    const std::string root = request.directory.empty() ? std::string(".") : request.directory;
    if (!make_dirs(root)) {
        report.line("error: cannot make directory %s", root.c_str());
        return OUTCOME_WRITE_FAILED;
    }
    std::unique_ptr<struct archive, WriterDeleter> out(archive_write_disk_new());
    archive_write_disk_set_options(out.get(), ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_SECURE_NODOTDOT);
    bool skipped = false, failed = false, matched = false, damaged = false;
    struct archive_entry* e;
    for (;;) {
        const int r = archive_read_next_header(in.get(), &e);
        if (r == ARCHIVE_EOF)
            break;
        if (r < ARCHIVE_WARN) {
            report.line("error: damaged archive %s: %s", path.c_str(), error_text(in.get()));
            damaged = true;
            break;
        }
        const std::string name = entry_name(e);
        std::string clean;
        if (const char* why = entry_path_problem(name, clean)) {
            report.line("skipped (%s): %s", why, name.c_str());
            skipped = true;
            continue;
        }
        if (clean.empty() || !name_matches(clean, request.patterns))
            continue;
        matched = true;
        const unsigned type = archive_entry_filetype(e);
        if (request.junk_paths) {
            if (type == AE_IFDIR)
                continue;
            clean = clean.substr(clean.find_last_of('/') + 1);
        }
        const char* why = nullptr;
        if (type == AE_IFLNK) {
            const char* target = archive_entry_symlink(e);
            why = link_target_problem(clean, target ? target : "");
        } else if (archive_entry_hardlink(e)) {
            std::string target;
            why = entry_path_problem(archive_entry_hardlink(e), target);
            if (!why && target.empty())
                why = "link to the directory itself";
            if (!why)
                why = disk_path_problem(root, target);
            if (!why)
                archive_entry_copy_hardlink(e, (root + "/" + target).c_str());
        } else if (type != AE_IFREG && type != AE_IFDIR) {
            why = "special file";
        }
        if (!why)
            why = disk_path_problem(root, clean, type == AE_IFLNK);
        if (why) {
            report.line("skipped (%s): %s", why, name.c_str());
            skipped = true;
            continue;
        }
        archive_entry_copy_pathname(e, (root + "/" + clean).c_str());
        // Readable and writable for the owner whatever the archive says, and
        // never set-user or set-group.
        archive_entry_set_perm(e, (archive_entry_perm(e) & 0777) | (type == AE_IFDIR ? 0700 : 0600));
        if (archive_write_header(out.get(), e) < ARCHIVE_WARN) {
            report.line("error: cannot write %s: %s", clean.c_str(), error_text(out.get()));
            failed = true;
            continue;
        }
        if (archive_entry_size(e) > 0 && !copy_data(in.get(), out.get(), clean, report, damaged)) {
            failed = true;
            if (damaged)
                break;
        }
        if (archive_write_finish_entry(out.get()) < ARCHIVE_WARN) {
            report.line("error: cannot finish %s: %s", clean.c_str(), error_text(out.get()));
            failed = true;
            continue;
        }
        if (type != AE_IFDIR)
            report.line("extracted: %s", clean.c_str());
    }
    if (archive_write_close(out.get()) < ARCHIVE_WARN)
        failed = true;
    if (damaged)
        return OUTCOME_BAD_ARCHIVE;
    if (failed)
        return OUTCOME_WRITE_FAILED;
    if (!request.patterns.empty() && !matched) {
        report.line("error: no entry matches");
        return OUTCOME_NOT_FOUND;
    }
    return skipped ? OUTCOME_SKIPPED : OUTCOME_DONE;
}

}  // namespace component
