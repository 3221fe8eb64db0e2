// Listing arbitrary bytes as the ZIP and TAR components do (headers alone and
// with the data), and filling the entry records.
#include "fuzz_archive_file.h"
#include "plugins/archive_common/archive_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz_archive::write_input(data, size);
    for (component::FormatSetup setup : {fuzz_archive::zip_formats, fuzz_archive::tar_formats}) {
        for (bool with_data : {false, true}) {
            component::Report report;
            std::vector<component::EntryInfo> entries;
            component::scan_archive(path, setup, with_data, entries, report);
            INDIVIDUALINFO record;
            for (const component::EntryInfo& e : entries)
                component::fill_record(e, record);
        }
    }
    return 0;
}
