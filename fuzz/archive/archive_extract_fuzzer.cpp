// Extracting arbitrary bytes as the ZIP and TAR components do, into a target
// inside a fence directory: anything written beside the target (or anywhere
// else in the scratch directory) is a finding.
#include "fuzz_archive_file.h"
#include "plugins/archive_common/archive_reader.h"

#include <filesystem>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz_archive::write_input(data, size);
    const fs::path fence = fs::path(fuzz_archive::scratch()) / "fence";
    const fs::path target = fence / "target";
    for (component::FormatSetup setup : {fuzz_archive::zip_formats, fuzz_archive::tar_formats}) {
        for (bool junk : {false, true}) {
            std::error_code ec;
            fs::remove_all(fence, ec);
            fs::create_directories(target, ec);
            component::Report report;
            component::ExtractRequest request{target.string(), {}, junk};
            component::extract_archive(path, setup, request, report);
            for (const auto& e : fs::directory_iterator(fence, ec))
                if (e.path() != target)
                    std::abort();
            for (const auto& e : fs::directory_iterator(fuzz_archive::scratch(), ec))
                if (e.path() != fence && e.path().filename() != "input")
                    std::abort();
        }
    }
    return 0;
}
