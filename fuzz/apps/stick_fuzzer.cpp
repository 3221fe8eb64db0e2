// Fuzzes the stick data loader: the first byte picks BLOCK_LINE (1 to 4), the
// rest is the file. A loaded file gives every row of every frame, each row
// terminated within the row width.
#include "fuzz_io.h"
#include "stick_data.h"
#include "viewer_settings.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_silence_io();
    if (size < 1)
        return 0;
    static ViewerSettings settings("/nonexistent/Kinoa.ini");
    settings.block_line = 1 + data[0] % 4;
    const std::string& path = fuzz_scratch_file(data + 1, size - 1);

    StickData stick(settings);
    if (!stick.load_frames(path.c_str()))
        return 0;
    if (stick.frame_count < 1 || stick.row_width < 2 || stick.row_width > 255)
        std::abort();
    for (int f = 0; f < stick.frame_count; ++f) {
        for (int r = 0; r < settings.block_line; ++r) {
            const char* row = stick.frame_row(f, r);
            if (!row || !std::memchr(row, 0, static_cast<size_t>(stick.row_width)))
                std::abort();
        }
    }
    if (stick.frame_row(stick.frame_count, 0) || stick.frame_row(0, settings.block_line))
        std::abort();
    return 0;
}
