// Fuzz target: the PNG entries over libpng.
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string path = fuzz::input_file(data, size, ".png");
    int w, h, xd, yd;
    _getpng_size(path.c_str(), &w, &h, &xd, &yd);
    std::unique_ptr<_bmap> a(_getpng_bmap(path.c_str()));
    fuzz::check(a.get());
    return 0;
}
