// libarchive writing of ZIP and TAR archives, with the old entries kept on request.
#include "plugins/archive_common/archive_writer.h"

#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace component {

namespace {

constexpr std::size_t COPY_BLOCK = 1024 * 1024;

struct WriterDeleter {
    void operator()(struct archive* a) const { archive_write_free(a); }
};
struct EntryDeleter {
    void operator()(struct archive_entry* e) const { archive_entry_free(e); }
};

const char* error_text(struct archive* a)
{
    const char* e = archive_error_string(a);
    return e ? e : "unknown error";
}

bool add_file_data(struct archive* a, const Source& s, std::vector<char>& buffer, Report& report)
{
    const int fd = open(s.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        report.line("error: cannot read %s: %s", s.path.c_str(), std::strerror(errno));
        return false;
    }
    off_t left = s.st.st_size;
    while (left > 0) {
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n <= 0)
            break;
        const ssize_t take = n > left ? static_cast<ssize_t>(left) : n;
        if (archive_write_data(a, buffer.data(), static_cast<size_t>(take)) != take) {
            report.line("error: cannot write %s: %s", s.name.c_str(), error_text(a));
            close(fd);
            return false;
        }
        left -= take;
    }
    close(fd);
    if (left > 0) {
        report.line("error: %s became shorter while it was read", s.path.c_str());
        return false;
    }
    return true;
}

bool add_source(struct archive* a, const Source& s, std::vector<char>& buffer, Report& report)
{
    std::unique_ptr<struct archive_entry, EntryDeleter> e(archive_entry_new());
    archive_entry_copy_stat(e.get(), &s.st);
    archive_entry_set_uid(e.get(), 0);
    archive_entry_set_gid(e.get(), 0);
    archive_entry_copy_pathname(e.get(), s.name.c_str());
    if (S_ISLNK(s.st.st_mode)) {
        std::vector<char> target(static_cast<std::size_t>(s.st.st_size > 0 ? s.st.st_size : 0) + 4096);
        const ssize_t n = readlink(s.path.c_str(), target.data(), target.size() - 1);
        if (n < 0) {
            report.line("error: cannot read link %s", s.path.c_str());
            return false;
        }
        target[static_cast<std::size_t>(n)] = '\0';
        archive_entry_copy_symlink(e.get(), target.data());
        archive_entry_set_size(e.get(), 0);
    } else if (!S_ISREG(s.st.st_mode)) {
        archive_entry_set_size(e.get(), 0);
        if (!S_ISDIR(s.st.st_mode)) {
            report.line("skipped (special file): %s", s.path.c_str());
            return true;
        }
    }
    if (archive_write_header(a, e.get()) < ARCHIVE_WARN) {
        report.line("error: cannot add %s: %s", s.name.c_str(), error_text(a));
        return false;
    }
    if (S_ISREG(s.st.st_mode) && !add_file_data(a, s, buffer, report))
        return false;
    report.line("added: %s%s", s.name.c_str(), S_ISDIR(s.st.st_mode) ? "/" : "");
    return true;
}

// Copies the old archive's entries whose names are not being replaced.
bool keep_old(struct archive* a, const std::string& path, const WriteRules& rules,
              const std::vector<Source>& sources, std::vector<char>& buffer, Report& report)
{
    struct stat st;
    if (!rules.keep_old_entries || stat(path.c_str(), &st) != 0)
        return true;
    Reader in = open_reader(path, rules.reader, report);
    if (!in)
        return false;
    std::set<std::string> replaced;
    for (const Source& s : sources)
        replaced.insert(s.name);
    struct archive_entry* e;
    for (;;) {
        const int r = archive_read_next_header(in.get(), &e);
        if (r == ARCHIVE_EOF)
            return true;
        if (r < ARCHIVE_WARN) {
            report.line("error: damaged archive %s: %s", path.c_str(), error_text(in.get()));
            return false;
        }
        std::string name = archive_entry_pathname(e) ? archive_entry_pathname(e) : "";
        while (!name.empty() && name.back() == '/')
            name.pop_back();
        if (replaced.count(name))
            continue;
        if (archive_write_header(a, e) < ARCHIVE_WARN) {
            report.line("error: cannot keep %s: %s", name.c_str(), error_text(a));
            return false;
        }
        la_ssize_t n;
        while ((n = archive_read_data(in.get(), buffer.data(), buffer.size())) > 0)
            if (archive_write_data(a, buffer.data(), static_cast<size_t>(n)) != n) {
                report.line("error: cannot keep %s: %s", name.c_str(), error_text(a));
                return false;
            }
        if (n < 0) {
            report.line("error: damaged data in %s: %s", name.c_str(), error_text(in.get()));
            return false;
        }
    }
}

}  // namespace

int open_beside(const std::string& path, std::string& temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool replace_with(const std::string& temporary, const std::string& path, Report& report)
{
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        report.line("error: cannot write %s: %s", path.c_str(), std::strerror(errno));
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

void set_time_from(const std::string& path, const std::vector<Source>& sources)
{
    struct timespec newest{0, 0};
    for (const Source& s : sources)
        if (!S_ISDIR(s.st.st_mode) &&
            (s.st.st_mtim.tv_sec > newest.tv_sec ||
             (s.st.st_mtim.tv_sec == newest.tv_sec && s.st.st_mtim.tv_nsec > newest.tv_nsec)))
            newest = s.st.st_mtim;
    if (newest.tv_sec == 0 && newest.tv_nsec == 0)
        return;
    const struct timespec times[2] = {newest, newest};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

int write_archive(const std::string& path, const std::vector<Source>& sources,
                  const WriteRules& rules, Report& report)
{
    std::string temporary;
    const int fd = open_beside(path, temporary);
    if (fd < 0) {
        report.line("error: cannot write %s: %s", path.c_str(), std::strerror(errno));
        return OUTCOME_WRITE_FAILED;
    }
    std::unique_ptr<struct archive, WriterDeleter> a(archive_write_new());
    rules.writer(a.get());
    archive_write_set_bytes_per_block(a.get(), 64 * 1024);
    archive_write_set_bytes_in_last_block(a.get(), 1);
    std::vector<char> buffer(COPY_BLOCK);
    bool ok = archive_write_open_fd(a.get(), fd) == ARCHIVE_OK;
    if (!ok)
        report.line("error: cannot write %s: %s", path.c_str(), error_text(a.get()));
    int outcome = OUTCOME_WRITE_FAILED;
    if (ok && !keep_old(a.get(), path, rules, sources, buffer, report)) {
        ok = false;
        outcome = OUTCOME_BAD_ARCHIVE;
    }
    for (std::size_t i = 0; ok && i < sources.size(); ++i)
        ok = add_source(a.get(), sources[i], buffer, report);
    if (ok && archive_write_close(a.get()) != ARCHIVE_OK) {
        report.line("error: cannot write %s: %s", path.c_str(), error_text(a.get()));
        ok = false;
    }
    a.reset();
    close(fd);
    if (!ok) {
        unlink(temporary.c_str());
        return outcome;
    }
    if (!replace_with(temporary, path, report))
        return OUTCOME_WRITE_FAILED;
    if (rules.time_from_newest)
        set_time_from(path, sources);
    return OUTCOME_DONE;
}

}  // namespace component
