// "zip32j.dll" (prefix Zip): adds files to ZIP archives (deflate), keeping the
// entries of an existing archive that are not replaced.
//   [-r] [-j] [-o] [-q] archive names...   the names; -r: directories whole
//   -R [-o] [-q] archive patterns...       every file of the current tree whose
//                                          name matches ("*.*": all)
// -j stores files under their last name alone; -o gives the archive the write
// time of its newest file; -q is accepted (the report is only ever returned).
#include "plugins/archive_common/archive_writer.h"
#include "plugins/archive_common/component.h"

#include <archive.h>

namespace {

const component::OptionRule options[] = {
    {"-r", false}, {"-R", false}, {"-j", false}, {"-o", false}, {"-q", false}, {nullptr, false}};

void zip_formats(struct archive* a)
{
    archive_read_support_format_zip(a);
}

void zip_writer(struct archive* a)
{
    archive_write_set_format_zip(a);
    archive_write_set_options(a, "zip:compression=deflate");
}

int zip_command(const component::CommandLine& line, component::Report& report)
{
    component::Targets t;
    if (!component::split_targets(line, nullptr, t, report))
        return component::OUTCOME_BAD_COMMAND;
    component::GatherRules rules;
    rules.recurse = line.has("-r") || line.has("-R");
    rules.junk_paths = line.has("-j");
    rules.walk_patterns = line.has("-R");
    std::vector<component::Source> sources;
    if (!component::gather_sources(t.names, rules, t.archive, sources, report))
        return component::OUTCOME_NOT_FOUND;
    component::WriteRules write{zip_writer, zip_formats, true, line.has("-o")};
    return component::write_archive(t.archive, sources, write, report);
}

const component::Component zip32j{"zip32j.dll", 100, options, zip_command, zip_formats};

}  // namespace

ARCHIVE_COMPONENT_ENTRIES(Zip, zip32j)
