// "tar32.dll" (prefix Tar): gzip-TAR archives (and plain, compress, bzip2 and
// xz TAR when reading).
//   -c [-z] -f archive names...             create (gzip with -z); directories whole
//   -x -f archive [-o directory\] [names...] extract
//   -t -f archive [names...]                list
// --use-directory=0 extracts files without their directories; -n and
// --display-dialog=N are accepted (there are no dialogs).
#include "plugins/archive_common/archive_writer.h"
#include "plugins/archive_common/component.h"

#include <archive.h>

namespace {

const component::OptionRule options[] = {
    {"-c", false}, {"-x", false}, {"-t", false}, {"-z", false}, {"-n", false},
    {"-f", true}, {"-o", true}, {"--display-dialog", false}, {"--use-directory", false},
    {nullptr, false}};

void tar_formats(struct archive* a)
{
    archive_read_support_format_tar(a);
    archive_read_support_format_gnutar(a);
    archive_read_support_filter_gzip(a);
    archive_read_support_filter_compress(a);
    archive_read_support_filter_bzip2(a);
    archive_read_support_filter_xz(a);
}

void tar_writer(struct archive* a)
{
    archive_write_set_format_pax_restricted(a);
}

void tar_gzip_writer(struct archive* a)
{
    archive_write_set_format_pax_restricted(a);
    archive_write_add_filter_gzip(a);
}

int tar_command(const component::CommandLine& line, component::Report& report)
{
    component::Targets t;
    if (!component::split_targets(line, line.value("-f"), t, report))
        return component::OUTCOME_BAD_COMMAND;
    if (const std::string* out = line.value("-o"); out && t.directory.empty()) {
        t.directory = *out;
        if (t.directory.size() > 1 && t.directory.back() == '\\')
            t.directory.pop_back();
    }
    const int modes = line.has("-c") + line.has("-x") + line.has("-t");
    if (modes != 1) {
        report.line("error: give one of -c, -x and -t");
        return component::OUTCOME_BAD_COMMAND;
    }
    if (line.has("-c")) {
        std::vector<component::Source> sources;
        if (!component::gather_sources(t.names, component::GatherRules{}, t.archive, sources, report))
            return component::OUTCOME_NOT_FOUND;
        component::WriteRules write{line.has("-z") ? tar_gzip_writer : tar_writer};
        return component::write_archive(t.archive, sources, write, report);
    }
    if (line.has("-t"))
        return component::list_entries(t.archive, tar_formats, t.names, report);
    const std::string* use_directory = line.value("--use-directory");
    component::ExtractRequest request{t.directory, t.names, use_directory && *use_directory == "0"};
    return component::extract_archive(t.archive, tar_formats, request, report);
}

const component::Component tar32{"tar32.dll", 100, options, tar_command, tar_formats};

}  // namespace

ARCHIVE_COMPONENT_ENTRIES(Tar, tar32)
