// The public walks: walk_dir (one level), walk_tree (the whole tree, each
// directory reported after its contents) and walk_depth (to a depth). Entries
// come in name order with their find data; a directory in which nothing
// matches the pattern is passed by without any callback. A path that does not
// fit the record stops the walk, which then answers as refused.
#include "sysutil/fileops_internal.h"
#include "sysutil/dir_walker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

using namespace sysutil_detail;

namespace {

// Lends a record when the caller gave none.
struct RecordHolder {
    explicit RecordHolder(WalkRecord* given)
    {
        if (!given) {
            own = std::make_unique<WalkRecord>();
            given = own.get();
        }
        rec = given;
    }
    std::unique_ptr<WalkRecord> own;
    WalkRecord* rec;
};

// What the three walks share: the pattern, the record and its filling.
class RecordVisitor : public WalkVisitorBase {
public:
    RecordVisitor(const char* pattern, WalkRecord* rec) : rec_(rec), pattern_(pattern) {}
    bool refused = false;

    int begin_dir(const Listing& list, const std::string&)
    {
        // the original search found "." too: it counts as a match
        if (wildcard_match(pattern_, "."))
            return 1;
        for (std::size_t i = 0; i < list.entries.size(); ++i)
            if (wildcard_match(pattern_, list.name(i)))
                return 1;
        return 0;
    }

protected:
    bool matches(const char* name) const { return wildcard_match(pattern_, name); }

    // Fills the record for an entry; false (and the walk refused) when its
    // path does not fit.
    bool set_entry(int dirfd, const char* name, const std::string& path)
    {
        if (!set_path(path))
            return false;
        struct stat st;
        if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            std::memset(&rec_->find_data, 0, sizeof rec_->find_data);
            return true;
        }
        bool compressed = false;
        if (S_ISREG(st.st_mode) && compressing(dirfd)) {
            int fd = openat(dirfd, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
            if (fd >= 0) {
                compressed = compressed_flag(fd);
                close(fd);
            }
        }
        // the walked directory itself comes as its path: report its last name
        const char* slash = std::strrchr(name, '/');
        fill_find_data(rec_->find_data, slash ? slash + 1 : name, st, compressed);
        return true;
    }

    bool set_path(const std::string& path)
    {
        if (path.size() >= sizeof rec_->path) {
            refused = true;
            return false;
        }
        std::memcpy(rec_->path, path.c_str(), path.size() + 1);
        return true;
    }

    WalkRecord* rec_;

private:
    bool compressing(int dirfd)
    {
        if (compress_known_ < 0)
            compress_known_ = file_system_compresses(dirfd) ? 1 : 0;
        return compress_known_ == 1;
    }
    const char* pattern_;
    int compress_known_ = -1;
};

class WalkDirVisitor : public RecordVisitor {
public:
    WalkDirVisitor(const char* pattern, WalkRecord* rec, walk_callback f, walk_callback d)
        : RecordVisitor(pattern, rec), file_cb_(f), dir_cb_(d) {}
    int begin_dir(const Listing&, const std::string&) { return 1; }
    int file(int dirfd, const char* name, unsigned char, const std::string& path)
    {
        if (file_cb_ && matches(name)) {
            if (!set_entry(dirfd, name, path))
                return kStop;
            file_cb_(rec_);
        }
        return 1;
    }
    int dir(int dirfd, const char* name, const std::string& path, int)
    {
        if (dir_cb_ && matches(name)) {
            if (!set_entry(dirfd, name, path))
                return kStop;
            dir_cb_(rec_);
        }
        return kPass;
    }

private:
    walk_callback file_cb_, dir_cb_;
};

class WalkTreeVisitor : public RecordVisitor {
public:
    WalkTreeVisitor(const char* pattern, WalkRecord* rec, walk_callback f, walk_callback after,
                    walk_callback before, walk_callback skip)
        : RecordVisitor(pattern, rec), file_cb_(f), after_(after), before_(before), skip_(skip) {}
    int file(int dirfd, const char* name, unsigned char, const std::string& path)
    {
        if (!matches(name) || !file_cb_)
            return 1;
        if (!set_entry(dirfd, name, path))
            return kStop;
        return file_cb_(rec_) == 0 ? kEndScan : 1;
    }
    int dir(int dirfd, const char* name, const std::string& path, int)
    {
        if (!matches(name))
            return kPass;
        if (!set_entry(dirfd, name, path))
            return kStop;
        if (skip_ && skip_(rec_))
            return kPass;
        if (before_ && before_(rec_) == 0)
            return kEndScan;
        return kEnter;
    }
    int after_dir(int parent_fd, const char* name, const std::string& path)
    {
        if (!after_)
            return 1;
        if (!set_entry(parent_fd, name, path))
            return kStop;
        after_(rec_);
        return 1;
    }

private:
    walk_callback file_cb_, after_, before_, skip_;
};

class WalkDepthVisitor : public RecordVisitor {
public:
    WalkDepthVisitor(int depth, int level, const char* pattern, WalkRecord* rec, walk_callback f,
                     walk_callback leaf, walk_callback skip)
        : RecordVisitor(pattern, rec), depth_(depth), level_(level), deepest(level), file_cb_(f),
          leaf_(leaf), skip_(skip) {}
    int file(int dirfd, const char* name, unsigned char, const std::string& path)
    {
        if (!matches(name) || !file_cb_)
            return 1;
        if (!set_entry(dirfd, name, path))
            return kStop;
        file_cb_(rec_);
        return 1;
    }
    int dir(int dirfd, const char* name, const std::string& path, int depth)
    {
        if (!matches(name))
            return kPass;
        if (!set_entry(dirfd, name, path))
            return kStop;
        if (skip_ && skip_(rec_))
            return kPass;
        if (depth_ >= 0 && depth_ - depth == 0) {
            if (leaf_)
                leaf_(rec_);
            return kPass;
        }
        if (level_ + depth + 1 > deepest)
            deepest = level_ + depth + 1;
        return kEnter;
    }

private:
    int depth_, level_;

public:
    int deepest;

private:
    walk_callback file_cb_, leaf_, skip_;
};

bool walk_args_ok(const char* directory, const char* pattern)
{
    return path_arg_ok(directory) && pattern_ok(pattern);
}

} // namespace

int walk_dir(const char* directory, const char* pattern, WalkRecord* record,
             walk_callback file_callback, walk_callback dir_callback)
{
    if (!walk_args_ok(directory, pattern))
        return 0;
    RecordHolder r(record);
    WalkDirVisitor v(pattern, r.rec, file_callback, dir_callback);
    return DirWalker<WalkDirVisitor>(v).run(directory) == kWalkDone && !v.refused ? 1 : 0;
}

int walk_tree(const char* directory, const char* pattern, WalkRecord* record,
              walk_callback file_callback, walk_callback after_dir_callback,
              walk_callback before_dir_callback, walk_callback skip_filter)
{
    if (!walk_args_ok(directory, pattern))
        return 0;
    RecordHolder r(record);
    WalkTreeVisitor v(pattern, r.rec, file_callback, after_dir_callback, before_dir_callback, skip_filter);
    return DirWalker<WalkTreeVisitor>(v).run(directory) == kWalkDone && !v.refused ? 1 : 0;
}

int walk_depth(int depth, const char* directory, const char* pattern, WalkRecord* record,
               walk_callback file_callback, walk_callback leaf_dir_callback,
               walk_callback skip_filter, int level)
{
    if (!walk_args_ok(directory, pattern))
        return -1;
    RecordHolder r(record);
    WalkDepthVisitor v(depth, level, pattern, r.rec, file_callback, leaf_dir_callback, skip_filter);
    WalkResult w = DirWalker<WalkDepthVisitor>(v).run(directory);
    return w == kWalkFailed || v.refused ? -1 : v.deepest;
}
