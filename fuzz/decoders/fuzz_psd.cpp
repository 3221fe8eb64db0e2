// Fuzz target: the 8BPS entries.
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string path = fuzz::input_file(data, size, ".psd");
    int w, h, xd, yd;
    _getpsd_size(path.c_str(), &w, &h);
    (void)xd;
    (void)yd;
    std::unique_ptr<_bmap> a(_getpsd_bmap(path.c_str()));
    fuzz::check(a.get());
    return 0;
}
