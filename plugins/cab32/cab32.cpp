// "cab32.dll" (prefix Cab): cabinet archives over libgcab.
//   -a [-r] archive [base\] [names...]     add (-r: directories whole)
//   -x [-j] archive [directory\] [names...] extract (-j: files alone, no directories)
//   -l archive [names...]                  list
//   -f archive                             self-extracting cabinet: not offered here
// -i (no dialogs) and -o (replace existing files; they are always replaced) are taken.
#include "plugins/archive_base/base_sources.h"
#include "plugins/archive_common/component.h"
#include "plugins/archive_common/safe_paths.h"
#include "plugins/cab32/cab_engine.h"

#include <archive.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

namespace {

const component::OptionRule options[] = {{"-a", false}, {"-x", false}, {"-l", false}, {"-f", false}, {"-r", false},
                                         {"-i", false}, {"-o", false}, {"-j", false}, {nullptr, false}};

void cab_formats(struct archive* a)
{
    archive_read_support_format_cab(a);
}

int cab_add(const component::CommandLine& line, const component::Targets& t, component::Report& report)
{
    component::GatherRules rules;
    rules.recurse = line.has("-r");
    std::string archive;
    std::vector<component::Source> gathered;
    if (const int found = component::gather_under_base(t, rules, archive, gathered, report))
        return found;
    std::vector<ostrel::cab::CabSource> sources;
    std::set<std::string> names;
    for (const auto& s : gathered) {
        if (S_ISDIR(s.st.st_mode))
            continue;  // a cabinet holds files; their names carry the directories
        if (!S_ISREG(s.st.st_mode)) {
            report.line("skipped (not a file): %s", s.path.c_str());
            continue;
        }
        if (names.insert(s.name).second)
            sources.push_back({s.path, s.name, static_cast<std::int64_t>(s.st.st_mtime)});
    }
    if (sources.empty()) {
        report.line("error: no file to add");
        return component::OUTCOME_NOT_FOUND;
    }
    std::string error;
    if (!ostrel::cab::cab_write(archive, sources, error)) {
        report.line("error: %s", error.c_str());
        return component::OUTCOME_WRITE_FAILED;
    }
    for (const auto& s : sources)
        report.line("added: %s", s.name.c_str());
    return component::OUTCOME_DONE;
}

int cab_extract(const component::Targets& t, bool junk_paths, component::Report& report)
{
    const std::string root = t.directory.empty() ? std::string(".") : t.directory;
    std::error_code ec;
    std::filesystem::create_directories(root, ec);
    if (!std::filesystem::is_directory(root, ec)) {
        report.line("error: cannot make directory %s", root.c_str());
        return component::OUTCOME_WRITE_FAILED;
    }
    bool skipped = false, matched = false;
    std::string error;
    const bool ok = ostrel::cab::cab_extract(
        t.archive, root,
        [&](const ostrel::cab::CabMember& m) -> std::string {
            if (!component::name_matches(m.name, t.names))
                return {};
            matched = true;
            std::string clean;
            const char* why = component::entry_path_problem(m.name, clean);
            if (!why && junk_paths)
                clean = clean.substr(clean.find_last_of('/') + 1);
            if (!why)
                why = component::disk_path_problem(root, clean);
            if (why) {
                report.line("skipped (%s): %s", why, m.name.c_str());
                skipped = true;
                return {};
            }
            return clean;
        },
        [&](const ostrel::cab::CabMember&, const std::string& at) {
            report.line("extracted: %s", at.substr(root.size() + 1).c_str());
        },
        error);
    if (!ok) {
        report.line("error: damaged archive %s: %s", t.archive.c_str(), error.c_str());
        return component::OUTCOME_BAD_ARCHIVE;
    }
    if (!matched) {
        report.line("error: no entry matches");
        return component::OUTCOME_NOT_FOUND;
    }
    return skipped ? component::OUTCOME_SKIPPED : component::OUTCOME_DONE;
}

int cab_command(const component::CommandLine& line, component::Report& report)
{
    component::Targets t;
    if (!component::split_targets(line, nullptr, t, report))
        return component::OUTCOME_BAD_COMMAND;
    const int modes = line.has("-a") + line.has("-x") + line.has("-l") + line.has("-f");
    if (modes != 1) {
        report.line("error: give one of -a, -x, -l and -f");
        return component::OUTCOME_BAD_COMMAND;
    }
    if (line.has("-a"))
        return cab_add(line, t, report);
    if (line.has("-x"))
        return cab_extract(t, line.has("-j"), report);
    if (line.has("-f")) {
        report.line("error: self-extracting cabinets are not made on this platform: %s", t.archive.c_str());
        return component::OUTCOME_UNSUPPORTED;
    }
    std::vector<ostrel::cab::CabMember> members;
    std::string error;
    if (!ostrel::cab::cab_list(t.archive, members, error)) {
        report.line("error: damaged archive %s: %s", t.archive.c_str(), error.c_str());
        return component::OUTCOME_BAD_ARCHIVE;
    }
    for (const auto& m : members)
        if (component::name_matches(m.name, t.names))
            report.line("%12u %s", m.size, m.name.c_str());
    return component::OUTCOME_DONE;
}

const component::Component cab32{"cab32.dll", 100, options, cab_command, cab_formats};

}  // namespace

ARCHIVE_COMPONENT_ENTRIES(Cab, cab32)
