// Fuzzes both settings readers: whatever the file holds, the records keep
// their invariants, the text fields stay terminated, DATA_FORMAT stays safe,
// and Marcot's rewritten file reads back to the same record.
#include "atomic_file.h"
#include "data_format.h"
#include "fuzz_io.h"
#include "measure_settings.h"
#include "viewer_settings.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_silence_io();
    AtomicFile::sync_to_disk = false;
    const std::string& path = fuzz_scratch_file(data, size);

    MeasureSettings m(path.c_str());
    if (m.window_x < 0 || m.window_y < 0 || m.measure_point < 1 || m.measure_point > MEASURE_POINT_MAX)
        std::abort();
    if (m.bullet_color < -1 || m.bullet_color > 1)
        std::abort();
    if (!std::memchr(m.ext_name, 0, sizeof m.ext_name) || !std::memchr(m.data_format, 0, sizeof m.data_format))
        std::abort();
    if (!is_safe_data_format(m.data_format))
        std::abort();
    char number[4096];
    std::snprintf(number, sizeof number, m.data_format, 12.5);

    static const std::string saved = path + ".ini";
    if (m.save(saved.c_str())) {
        MeasureSettings back(saved.c_str());
        if (back.window_x != m.window_x || back.window_y != m.window_y ||
            back.measure_point != m.measure_point || std::strcmp(back.ext_name, m.ext_name) ||
            std::strcmp(back.data_format, m.data_format) || back.bullet != m.bullet ||
            back.bullet_color != m.bullet_color || back.overwrite_check != m.overwrite_check)
            std::abort();
        unlink(saved.c_str());
    }

    ViewerSettings v(path.c_str());
    if (v.window_x < 0 || v.window_y < 0 || v.window_w < 0 || v.window_h < 0 || v.block_line < 1)
        std::abort();
    if (v.pixel_ratio_x == 0.0 || v.pixel_ratio_y == 0.0 || !std::isfinite(v.pixel_ratio_x) ||
        !std::isfinite(v.pixel_ratio_y) || !std::isfinite(v.coordinate_x0) || !std::isfinite(v.coordinate_y0))
        std::abort();
    return 0;
}
