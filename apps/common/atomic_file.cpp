/* atomic_file: temporary file beside the target, fsync, rename. */
#include "atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool AtomicFile::sync_to_disk = true;

AtomicFile::AtomicFile(const char* target) : target_(target ? target : "") {}

AtomicFile::~AtomicFile() { abandon(); }

std::FILE* AtomicFile::open()
{
    if (file_ || target_.empty())
        return file_;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        temp_ = target_ + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(++counter);
        /* 0666 under the umask, like any file the program creates. */
        int fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            temp_.clear();
            return nullptr;
        }
        struct stat old;
        if (::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode))
            (void)::fchmod(fd, old.st_mode & 07777);
        file_ = ::fdopen(fd, "w");
        if (!file_) {
            ::close(fd);
            ::unlink(temp_.c_str());
            temp_.clear();
            return nullptr;
        }
    }
    return file_;
}

bool AtomicFile::commit()
{
    if (!file_)
        return false;
    bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
    ok = ok && (!sync_to_disk || ::fsync(fileno(file_)) == 0);
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    if (ok)
        ok = ::rename(temp_.c_str(), target_.c_str()) == 0;
    if (!ok)
        ::unlink(temp_.c_str());
    temp_.clear();
    return ok;
}

void AtomicFile::abandon()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}
