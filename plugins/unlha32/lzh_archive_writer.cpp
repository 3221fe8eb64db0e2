// The archive file side of the LZH writer. Each member's header is written first
// with the sizes unknown and rewritten in place once the data is out (level-2
// headers keep their length); a member whose packed form is not smaller than the
// original is rewritten stored.
#include "plugins/unlha32/lzh_archive_writer.h"

#include "plugins/unlha32/lzh_header.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrel::lzh {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const
    {
        if (f)
            std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool write_all(std::FILE* f, const void* data, std::size_t size)
{
    return size == 0 || std::fwrite(data, 1, size, f) == size;
}

bool store(std::FILE* out, const ByteSource& source, Lh5Result& r)
{
    r = {};
    std::vector<std::uint8_t> buf(1 << 16);
    for (;;) {
        const long long n = source(buf.data(), buf.size());
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        r.crc = lzh_crc16(r.crc, buf.data(), static_cast<std::size_t>(n));
        r.original += static_cast<std::uint64_t>(n);
        r.packed += static_cast<std::uint64_t>(n);
        if (r.original > kLh5MaxInput || !write_all(out, buf.data(), static_cast<std::size_t>(n)))
            return false;
    }
}

bool write_member(std::FILE* out, const LzhMemberSource& m, std::string& error)
{
    LzhEntry e;
    e.path = m.name;
    e.directory = m.directory;
    e.mtime_ns = m.mtime_ns;
    e.unix_mode = static_cast<std::uint16_t>(m.mode & 07777);
    std::vector<std::uint8_t> header = lzh_level2_header(e);
    if (header.empty()) {
        error = m.name + ": name too long for an LZH header";
        return false;
    }
    const off_t header_at = ftello(out);
    if (!write_all(out, header.data(), header.size())) {
        error = m.name + ": cannot write";
        return false;
    }
    if (m.directory)
        return true;

    Lh5Result r;
    ByteSource source = m.open ? m.open() : ByteSource();
    if (!source) {
        error = m.name + ": cannot read";
        return false;
    }
    const bool packed = lh5_encode(source, [&](const std::uint8_t* d, std::size_t n) { return write_all(out, d, n); }, r);
    if (!packed) {
        error = m.name + (r.original > kLh5MaxInput ? ": too large for an LZH member" : ": cannot read or write");
        return false;
    }
    e.method = "-lh5-";
    if (r.packed >= r.original) {
        if (ByteSource again = m.open ? m.open() : ByteSource()) {
            if (fseeko(out, header_at + static_cast<off_t>(header.size()), SEEK_SET) != 0 || !store(out, again, r)) {
                error = m.name + ": cannot store";
                return false;
            }
            e.method = "-lh0-";
        }
    }
    e.packed = static_cast<std::uint32_t>(r.packed);
    e.original = static_cast<std::uint32_t>(r.original);
    e.crc = r.crc;
    const off_t end = header_at + static_cast<off_t>(header.size() + r.packed);
    header = lzh_level2_header(e);
    if (fseeko(out, header_at, SEEK_SET) != 0 || !write_all(out, header.data(), header.size())
        || fseeko(out, end, SEEK_SET) != 0) {
        error = m.name + ": cannot write";
        return false;
    }
    return true;
}

// Carries the members of an existing archive over, re-packing their data.
bool copy_old_members(std::FILE* out, const std::string& archive_path, const std::set<std::string>& replaced,
                      std::string& error)
{
    struct stat st{};
    if (::stat(archive_path.c_str(), &st) != 0 || st.st_size == 0)
        return true;
    std::unique_ptr<archive, decltype(&archive_read_free)> a(archive_read_new(), archive_read_free);
    archive_read_support_format_lha(a.get());
    archive_read_set_options(a.get(), "hdrcharset=UTF-8");
    if (archive_read_open_filename(a.get(), archive_path.c_str(), 1 << 16) != ARCHIVE_OK) {
        error = archive_path + ": " + (archive_error_string(a.get()) ? archive_error_string(a.get()) : "not an LZH archive");
        return false;
    }
    archive_entry* entry = nullptr;
    int rc;
    while ((rc = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK) {
        const char* name = archive_entry_pathname_utf8(entry);
        std::string path = name ? name : "";
        while (!path.empty() && path.back() == '/')
            path.pop_back();
        if (path.empty() || replaced.count(path))
            continue;
        LzhMemberSource m;
        m.name = path;
        m.directory = archive_entry_filetype(entry) == AE_IFDIR;
        m.mtime_ns = static_cast<std::int64_t>(archive_entry_mtime(entry)) * 1000000000 + archive_entry_mtime_nsec(entry);
        m.mode = archive_entry_perm(entry);
        bool opened = false;
        m.open = [&]() -> ByteSource {
            if (opened)
                return {};
            opened = true;
            return [&](std::uint8_t* b, std::size_t cap) -> long long {
                const la_ssize_t n = archive_read_data(a.get(), b, cap);
                return n < 0 ? -1 : static_cast<long long>(n);
            };
        };
        if (!write_member(out, m, error))
            return false;
    }
    if (rc != ARCHIVE_EOF) {
        error = archive_path + ": " + (archive_error_string(a.get()) ? archive_error_string(a.get()) : "damaged");
        return false;
    }
    return true;
}

}  // namespace

bool lzh_update(const std::string& archive_path, const std::vector<LzhMemberSource>& sources,
                const std::function<void(const LzhMemberSource&)>& added, std::string& error)
{
    const std::string temp = archive_path + ".lzh-new";
    File out(std::fopen(temp.c_str(), "wb"));
    if (!out) {
        error = archive_path + ": cannot create";
        return false;
    }
    std::set<std::string> replaced;
    for (const auto& s : sources)
        replaced.insert(s.name);
    bool ok = copy_old_members(out.get(), archive_path, replaced, error);
    for (std::size_t i = 0; ok && i < sources.size(); ++i) {
        ok = write_member(out.get(), sources[i], error);
        if (ok && added)
            added(sources[i]);
    }
    const std::uint8_t end_mark = 0;
    // A member stored after all may end before its packed form did: cut what is left.
    ok = ok && write_all(out.get(), &end_mark, 1) && std::fflush(out.get()) == 0
         && ftruncate(fileno(out.get()), ftello(out.get())) == 0;
    ok = (std::fclose(out.release()) == 0) && ok;
    if (ok && std::rename(temp.c_str(), archive_path.c_str()) != 0) {
        error = archive_path + ": cannot replace";
        ok = false;
    }
    if (!ok)
        std::remove(temp.c_str());
    return ok;
}

}  // namespace ostrel::lzh
