// Fuzz target: one image plug-in's two reading entries (GetPictureInfo, GetPicture)
// on a file holding the input. The plug-in source is linked in directly; which one
// is chosen by the build. The blocks handed out must describe a whole picture.
#include "fuzz/decoders/fuzz_file.h"
#include "runtime/image/decoders/spi_abi.h"

extern "C" int GetPictureInfo(const char* source, long offset, unsigned flag, spi_picture_info* info);
extern "C" int GetPicture(const char* source, long offset, unsigned flag, void** info, void** bits,
                          spi_progress progress, long data);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string path = fuzz::input_file(data, size, OSTREL_FUZZ_EXTENSION);
    spi_picture_info pi{};
    const bool sized = GetPictureInfo(path.c_str(), 0, 0, &pi) == 0;
    std::free(pi.info);
    void* info = nullptr;
    void* bits = nullptr;
    if (GetPicture(path.c_str(), 0, 0, &info, &bits, nullptr, 0) == 0) {
        if (!info || !bits || !sized)
            std::abort();
        const auto* h = static_cast<const unsigned char*>(info);
        const int w = h[4] | h[5] << 8 | h[6] << 16 | h[7] << 24;
        if (w != pi.width || h[14] != 24)
            std::abort();
        // touch the last row byte: the rows block must hold every row
        const int height = pi.height;
        volatile unsigned char last =
            static_cast<unsigned char*>(bits)[((static_cast<std::size_t>(w) * 3 + 3) & ~std::size_t(3)) * height - 1];
        (void)last;
    }
    std::free(info);
    std::free(bits);
    return 0;
}
