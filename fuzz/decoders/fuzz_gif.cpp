// Fuzz target: the GIF row reader (reached through the JPEG entries, as a .gif file is).
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string path = fuzz::input_file(data, size, ".gif");
    int w, h, xd, yd;
    _getjpg_size(path.c_str(), &w, &h, &xd, &yd);
    std::unique_ptr<_bmap> a(_getjpg_bmap(path.c_str(), 1, 0));
    fuzz::check(a.get());
    return 0;
}
