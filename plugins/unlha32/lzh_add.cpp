// The LZH add command: disk files become byte sources for the writer, which
// reopens them when a member is better stored than packed.
#include "plugins/unlha32/lzh_add.h"

#include "plugins/archive_base/base_sources.h"
#include "plugins/archive_common/archive_writer.h"
#include "plugins/unlha32/lzh_archive_writer.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace ostrel::lzh {
namespace {

// Opens a disk file as a byte source; the descriptor closes with the last copy.
ByteSource file_source(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    auto owner = std::shared_ptr<int>(new int(fd), [](int* p) {
        ::close(*p);
        delete p;
    });
    return [owner](std::uint8_t* buffer, std::size_t capacity) -> long long {
        for (;;) {
            const ssize_t n = ::read(*owner, buffer, capacity);
            if (n >= 0 || errno != EINTR)
                return n;
        }
    };
}

}  // namespace

int lzh_add(const component::Targets& targets, bool archive_time_from_newest, component::Report& report)
{
    std::string archive;
    std::vector<component::Source> sources;
    if (const int found = component::gather_under_base(targets, component::GatherRules{}, archive, sources, report))
        return found;

    std::vector<LzhMemberSource> members;
    for (const auto& s : sources) {
        if (!S_ISDIR(s.st.st_mode) && !S_ISREG(s.st.st_mode)) {
            report.line("skipped (not a file or directory): %s", s.path.c_str());
            continue;
        }
        LzhMemberSource m;
        m.name = s.name;
        m.directory = S_ISDIR(s.st.st_mode);
        m.mtime_ns = static_cast<std::int64_t>(s.st.st_mtim.tv_sec) * 1000000000 + s.st.st_mtim.tv_nsec;
        m.mode = s.st.st_mode & 07777;
        const std::string path = s.path;
        m.open = [path] { return file_source(path); };
        members.push_back(std::move(m));
    }
    std::string error;
    const bool ok = lzh_update(
        archive, members,
        [&](const LzhMemberSource& m) { report.line("added: %s%s", m.name.c_str(), m.directory ? "/" : ""); }, error);
    if (!ok) {
        report.line("error: %s", error.c_str());
        return component::OUTCOME_WRITE_FAILED;
    }
    if (archive_time_from_newest)
        component::set_time_from(archive, sources);
    return component::OUTCOME_DONE;
}

}  // namespace ostrel::lzh
