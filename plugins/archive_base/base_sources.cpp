// Gathering runs inside the base directory and comes back through a descriptor of
// the directory it left, so that a relative working directory cannot be lost.
#include "plugins/archive_base/base_sources.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace component {
namespace {

std::string absolute(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

}  // namespace

int gather_under_base(const Targets& targets, const GatherRules& rules, std::string& archive,
                      std::vector<Source>& out, Report& report)
{
    archive = absolute(targets.archive);
    int back = -1;
    if (!targets.directory.empty()) {
        back = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (back < 0 || ::chdir(targets.directory.c_str()) != 0) {
            report.line("error: cannot enter %s: %s", targets.directory.c_str(), std::strerror(errno));
            if (back >= 0)
                ::close(back);
            return OUTCOME_NOT_FOUND;
        }
    }
    const std::vector<std::string> names = targets.names.empty() ? std::vector<std::string>{"*.*"} : targets.names;
    const bool found = gather_sources(names, rules, archive, out, report);
    for (auto& s : out)
        s.path = absolute(s.path);
    if (back >= 0) {
        if (::fchdir(back) != 0)
            report.line("error: cannot return to the working directory");
        ::close(back);
    }
    return found ? OUTCOME_DONE : OUTCOME_NOT_FOUND;
}

}  // namespace component
