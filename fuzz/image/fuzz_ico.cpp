// Fuzz target: icon and cursor files through the runtime's icon reader.
#include "runtime/image/image_internal.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    IcoImage img;
    if (image_ico_decode(data, size, 32, &img)) {
        if (img.argb.size() != static_cast<std::size_t>(img.width) * img.height)
            __builtin_trap();
    }
    return 0;
}
