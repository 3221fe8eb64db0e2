// "unzip32.dll" (prefix UnZip): lists and extracts ZIP archives.
//   -x [--i] [-j] [-o] archive [directory\] [names...]   extract (the default)
//   -l archive [names...]                                list
// -j puts every file straight into the directory; -o (overwrite) and --i (no
// dialogs) are what this component always does; -q is accepted.
#include "plugins/archive_common/component.h"

#include <archive.h>

namespace {

const component::OptionRule options[] = {
    {"-x", false}, {"-l", false}, {"-j", false}, {"-o", false}, {"--i", false}, {"-q", false},
    {nullptr, false}};

void zip_formats(struct archive* a)
{
    archive_read_support_format_zip(a);
}

int unzip_command(const component::CommandLine& line, component::Report& report)
{
    component::Targets t;
    if (!component::split_targets(line, nullptr, t, report))
        return component::OUTCOME_BAD_COMMAND;
    if (line.has("-l"))
        return component::list_entries(t.archive, zip_formats, t.names, report);
    component::ExtractRequest request{t.directory, t.names, line.has("-j")};
    return component::extract_archive(t.archive, zip_formats, request, report);
}

const component::Component unzip32{"unzip32.dll", 100, options, unzip_command, zip_formats};

}  // namespace

ARCHIVE_COMPONENT_ENTRIES(UnZip, unzip32)
