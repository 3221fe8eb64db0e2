// The one tree walker under every walk and tree operation of the library.
//
// It walks without recursion (an explicit stack of frames on the heap), works
// relative to open directory descriptors (openat with O_NOFOLLOW, so a symbolic
// link is an entry like a file and never leads out of the tree), keeps at most
// kMaxOpenDirs descriptors open (deeper ancestors are closed and found again
// through ".." with their device and inode checked), and reads each directory
// whole before it reports anything, so a visitor may change the directory it is
// told about. Paths grow without a fixed limit; the visitors that hand paths to
// callers apply their own.
//
// A visitor provides:
//   int begin_dir(const Listing&, const std::string& path)  1 go on, 0 pass the
//       directory by (no after_dir), -1 stop the walk
//   int file(int dirfd, const char* name, unsigned char type, const std::string& path)
//       1 next entry, 0 end the scan of this directory, -1 stop
//   int dir(int dirfd, const char* name, const std::string& path, int depth)
//       kEnter, kPass, 0 end the scan, -1 stop (depth: of the directory holding it)
//   int after_dir(int parent_fd, const char* name, const std::string& path)
//       path with its trailing '/'; 1 go on, -1 stop
//   void enter_failed()  the directory last entered could not be opened
//   bool sorted() const  entries in name order
#pragma once
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace sysutil_detail {

// The entries of one directory (without "." and ".."), names packed in one block.
struct Listing {
    struct Entry {
        uint32_t offset;
        unsigned char type;   // DT_* (DT_UNKNOWN resolved by the walker when asked)
    };
    std::vector<char> names;
    std::vector<Entry> entries;
    const char* name(std::size_t i) const { return names.data() + entries[i].offset; }
};

// Reads every entry of an open directory. False on a read error.
bool read_listing(int fd, Listing& out, bool sorted);
// The type of an entry whose directory did not say it.
unsigned char entry_type_at(int dirfd, const char* name);

enum WalkStep : int { kStop = -1, kEndScan = 0, kEnter = 1, kPass = 2 };
enum WalkResult : int { kWalkNoRoot = 0, kWalkDone = 1, kWalkFailed = -1 };

constexpr int kMaxOpenDirs = 48;
constexpr int kOpenDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

template <class V>
class DirWalker {
public:
    explicit DirWalker(V& v) : v_(v) {}
    ~DirWalker() { close_all(); }

    // Walks the directory `root` (a path as given; trailing '/' allowed).
    WalkResult run(const char* root)
    {
        std::string top = root;
        while (top.size() > 1 && top.back() == '/')
            top.pop_back();
        int fd = open(top.c_str(), kOpenDirFlags);
        if (fd < 0)
            return kWalkNoRoot;
        path_ = top;
        if (path_.back() != '/')
            path_ += '/';
        root_name_ = top;
        depth_ = 0;
        low_ = 0;
        if (!push(fd))
            return kWalkFailed;
        if (v_.begin_dir(frames_[0].list, path_) <= 0) {
            close_all();   // passed by or stopped: no after-callback for it
            return kWalkDone;
        }
        return loop();
    }

private:
    struct Frame {
        int fd = -1;
        dev_t dev = 0;
        ino_t ino = 0;
        Listing list;
        std::size_t next = 0;
        std::size_t path_len = 0;
        bool ended = false;
    };

    bool push(int fd)
    {
        struct stat st;
        if (fstat(fd, &st) != 0) {
            close(fd);
            return false;
        }
        if (frames_.size() <= depth_)
            frames_.emplace_back();
        Frame& f = frames_[depth_];
        f.fd = fd;
        f.dev = st.st_dev;
        f.ino = st.st_ino;
        f.next = 0;
        f.ended = false;
        f.path_len = path_.size();
        ++depth_;
        if (!read_listing(fd, f.list, v_.sorted())) {
            f.list.entries.clear();
        }
        return true;
    }

    void close_all()
    {
        for (std::size_t i = 0; i < depth_; ++i)
            if (frames_[i].fd >= 0) {
                close(frames_[i].fd);
                frames_[i].fd = -1;
            }
        depth_ = 0;
    }

    // Opens a child of the top frame, keeping the number of open descriptors
    // bounded by closing the oldest ancestor.
    int open_child(const char* name)
    {
        Frame& f = frames_[depth_ - 1];
        int fd = openat(f.fd, name, kOpenDirFlags);
        if (fd >= 0 && depth_ - low_ >= static_cast<std::size_t>(kMaxOpenDirs)) {
            close(frames_[low_].fd);
            frames_[low_].fd = -1;
            ++low_;
        }
        return fd;
    }

    // Before the top frame goes: make sure its parent is open again.
    bool reopen_parent()
    {
        if (depth_ < 2)
            return true;
        Frame& p = frames_[depth_ - 2];
        if (p.fd >= 0)
            return true;
        int fd = openat(frames_[depth_ - 1].fd, "..", kOpenDirFlags);
        struct stat st;
        if (fd < 0 || fstat(fd, &st) != 0 || st.st_dev != p.dev || st.st_ino != p.ino) {
            if (fd >= 0)
                close(fd);
            return false;   // the tree moved under the walk
        }
        p.fd = fd;
        low_ = depth_ - 2;
        return true;
    }

    WalkResult loop()
    {
        while (depth_ > 0) {
            Frame& f = frames_[depth_ - 1];
            if (!f.ended && f.next < f.list.entries.size()) {
                const std::size_t i = f.next++;
                const char* name = f.list.name(i);
                unsigned char type = f.list.entries[i].type;
                if (type == DT_UNKNOWN)
                    type = f.list.entries[i].type = entry_type_at(f.fd, name);
                path_.resize(f.path_len);
                path_ += name;
                if (type == DT_DIR) {
                    int step = v_.dir(f.fd, name, path_, static_cast<int>(depth_ - 1));
                    if (step == kStop)
                        return stop();
                    if (step == kEndScan) {
                        f.ended = true;
                        continue;
                    }
                    if (step != kEnter)
                        continue;
                    int cfd = open_child(name);
                    if (cfd < 0) {
                        v_.enter_failed();   // unreadable or replaced by a link: passed by
                        continue;
                    }
                    path_ += '/';
                    if (!push(cfd))
                        return stop(kWalkFailed);
                    int b = v_.begin_dir(frames_[depth_ - 1].list, path_);
                    if (b < 0)
                        return stop();
                    if (b == 0) {
                        close(frames_[depth_ - 1].fd);
                        frames_[depth_ - 1].fd = -1;
                        --depth_;
                    }
                } else {
                    int step = v_.file(f.fd, name, type, path_);
                    if (step == kStop)
                        return stop();
                    if (step == kEndScan)
                        f.ended = true;
                }
                continue;
            }
            // this directory is done: report it after its contents
            if (!reopen_parent())
                return stop(kWalkFailed);
            close(f.fd);
            f.fd = -1;
            path_.resize(f.path_len);
            --depth_;
            if (low_ > depth_)
                low_ = depth_;
            int step;
            if (depth_ == 0) {
                step = v_.after_dir(AT_FDCWD, root_name_.c_str(), path_);
            } else {
                Frame& p = frames_[depth_ - 1];
                step = v_.after_dir(p.fd, p.list.name(p.next - 1), path_);
            }
            if (step == kStop)
                return stop();
        }
        return kWalkDone;
    }

    WalkResult stop(WalkResult r = kWalkDone)
    {
        close_all();
        return r;
    }

    V& v_;
    std::vector<Frame> frames_;
    std::size_t depth_ = 0;
    std::size_t low_ = 0;   // frames below this index have their descriptor closed
    std::string path_;
    std::string root_name_;
};

// Visitor defaults: every entry, every directory entered, nothing reported.
struct WalkVisitorBase {
    bool sorted() const { return true; }
    int begin_dir(const Listing&, const std::string&) { return 1; }
    int file(int, const char*, unsigned char, const std::string&) { return 1; }
    int dir(int, const char*, const std::string&, int) { return kEnter; }
    int after_dir(int, const char*, const std::string&) { return 1; }
    void enter_failed() {}
};

} // namespace sysutil_detail
