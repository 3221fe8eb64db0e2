// Inflating gzip members (one or more, in a row) into libarchive's reader.
#include "plugins/archive_common/gzip_source.h"

#include <archive.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <vector>

namespace component {

namespace {

constexpr std::size_t GZIP_BLOCK = 256 * 1024;

struct GzipSource {
    int fd = -1;
    z_stream z{};
    std::vector<unsigned char> in = std::vector<unsigned char>(GZIP_BLOCK);
    std::vector<unsigned char> out = std::vector<unsigned char>(GZIP_BLOCK);
    bool member_done = false;
    bool finished = false;

    ~GzipSource()
    {
        inflateEnd(&z);
        if (fd >= 0)
            close(fd);
    }
    // Input bytes; 0 at the end of the file, -1 on a read error.
    ssize_t fill()
    {
        if (z.avail_in > 0)
            return static_cast<ssize_t>(z.avail_in);
        ssize_t n;
        do
            n = read(fd, in.data(), in.size());
        while (n < 0 && errno == EINTR);
        if (n > 0) {
            z.next_in = in.data();
            z.avail_in = static_cast<uInt>(n);
        }
        return n;
    }
};

la_ssize_t read_inflated(struct archive* a, void* client, const void** buffer)
{
    auto* g = static_cast<GzipSource*>(client);
    g->z.next_out = g->out.data();
    g->z.avail_out = static_cast<uInt>(g->out.size());
    while (!g->finished && g->z.avail_out == g->out.size()) {
        const ssize_t n = g->fill();
        if (n < 0) {
            archive_set_error(a, errno, "cannot read the archive");
            return ARCHIVE_FATAL;
        }
        if (g->member_done) {
            // Another member follows, or the file ends (trailing bytes that
            // are not a member are ignored, as gzip readers do).
            if (n == 0 || g->z.next_in[0] != 0x1f) {
                g->finished = true;
                break;
            }
            inflateReset(&g->z);
            g->member_done = false;
        }
        if (n == 0) {
            archive_set_error(a, EILSEQ, "truncated gzip data");
            return ARCHIVE_FATAL;
        }
        const int r = inflate(&g->z, Z_NO_FLUSH);
        if (r == Z_STREAM_END) {
            g->member_done = true;
        } else if (r != Z_OK && r != Z_BUF_ERROR) {
            archive_set_error(a, EILSEQ, "damaged gzip data (%s)",
                              g->z.msg ? g->z.msg : "inflate failed");
            return ARCHIVE_FATAL;
        }
    }
    *buffer = g->out.data();
    return static_cast<la_ssize_t>(g->out.size() - g->z.avail_out);
}

int close_source(struct archive*, void* client)
{
    delete static_cast<GzipSource*>(client);
    return ARCHIVE_OK;
}

}  // namespace

bool is_gzip_file(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    unsigned char magic[2] = {0, 0};
    const bool gzip = read(fd, magic, 2) == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
    close(fd);
    return gzip;
}

int open_gzip_source(struct archive* a, const std::string& path)
{
    auto* g = new GzipSource;
    g->fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    // 16 + 15: a gzip wrapper around the largest window.
    if (g->fd < 0 || inflateInit2(&g->z, 16 + MAX_WBITS) != Z_OK) {
        archive_set_error(a, errno ? errno : ENOMEM, "cannot open the archive");
        delete g;
        return ARCHIVE_FATAL;
    }
    // libarchive calls the close callback on failure too, which frees g.
    return archive_read_open(a, g, nullptr, read_inflated, close_source);
}

}  // namespace component
