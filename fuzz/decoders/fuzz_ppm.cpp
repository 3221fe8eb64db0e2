// Fuzz target: the PPM/PGM/PBM row reader.
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string path = fuzz::input_file(data, size, ".ppm");
    int w, h, xd, yd;
    _getimg_size(path.c_str(), &w, &h, &xd, &yd);
    std::unique_ptr<_bmap> a(_getimg_bmap(path.c_str()));
    fuzz::check(a.get());
    return 0;
}
