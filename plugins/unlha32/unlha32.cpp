// "unlha32.dll" (prefix Unlha): LZH archives. The first word is the command:
//   a archive [base\] [names...]   add (directories whole; names relative to base)
//   x archive [directory\] [names...]  extract with the stored directories
//   e archive [directory\] [names...]  extract the files alone into the directory
//   l archive [names...]           list
//   s archive                      self-extracting archive: not offered here
// Options -d, -z, -t (archive time = newest member), -n, -y, -x and -gw are taken
// with their usual digits; they change nothing else here (no dialogs, the stored
// paths are always relative, existing files are always replaced).
#include "plugins/archive_common/component.h"
#include "plugins/unlha32/lzh_add.h"

#include <archive.h>

namespace {

const component::OptionRule options[] = {
    {"-d", false},  {"-d0", false}, {"-d1", false}, {"-d2", false}, {"-z", false},  {"-z0", false},
    {"-z1", false}, {"-z2", false}, {"-t", false},  {"-t0", false}, {"-t1", false}, {"-n", false},
    {"-n0", false}, {"-n1", false}, {"-n2", false}, {"-y", false},  {"-x", false},  {"-x0", false},
    {"-x1", false}, {"-gw", false}, {"-gw0", false}, {"-gw1", false}, {"-gw2", false}, {"-gw3", false},
    {nullptr, false}};

void lzh_formats(struct archive* a)
{
    archive_read_support_format_lha(a);
    // Names in the archives this component writes are UTF-8.
    archive_read_set_format_option(a, "lha", "hdrcharset", "UTF-8");
}

int lzh_command(const component::CommandLine& line, component::Report& report)
{
    if (line.args.empty()) {
        report.line("error: no command (a, x, e, l or s)");
        return component::OUTCOME_BAD_COMMAND;
    }
    const std::string command = line.args[0];
    component::CommandLine rest = line;
    rest.args.erase(rest.args.begin());
    component::Targets t;
    if (!component::split_targets(rest, nullptr, t, report))
        return component::OUTCOME_BAD_COMMAND;

    if (command == "a")
        return ostrel::lzh::lzh_add(t, line.has("-t") || line.has("-t1"), report);
    if (command == "x" || command == "e") {
        component::ExtractRequest request{t.directory, t.names, command == "e"};
        return component::extract_archive(t.archive, lzh_formats, request, report);
    }
    if (command == "l") {
        std::vector<component::EntryInfo> entries;
        if (!component::scan_archive(t.archive, lzh_formats, false, entries, report))
            return component::OUTCOME_BAD_ARCHIVE;
        for (const component::EntryInfo& e : entries)
            if (component::name_matches(e.name, t.names))
                report.line("%12llu %s", static_cast<unsigned long long>(e.size), e.name.c_str());
        return component::OUTCOME_DONE;
    }
    if (command == "s") {
        report.line("error: self-extracting archives are not made on this platform: %s", t.archive.c_str());
        return component::OUTCOME_UNSUPPORTED;
    }
    report.line("error: unknown command: %s", command.c_str());
    return component::OUTCOME_BAD_COMMAND;
}

const component::Component unlha32{"unlha32.dll", 100, options, lzh_command, lzh_formats};

}  // namespace

ARCHIVE_COMPONENT_ENTRIES(Unlha, unlha32)
