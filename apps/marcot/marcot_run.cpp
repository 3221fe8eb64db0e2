/* Marcot's main on the runtime: decoders, hook, command line, paths, and the
 * image on page 1; the session then goes on in the hook. */
#include "measure_session.h"

#include "app_canvas.h"
#include "app_io.h"
#include "measure_settings.h"

#include <ostrel/sysutil.h>
#include <ostrel.h>

namespace marcot {

int hook(HWND window, UINT message, WPARAM, LPARAM lparam)
{
    /* Unsigned halves: the click's client pixel, 0 to 65535 (not GET_X_LPARAM). */
    const double x = static_cast<double>(LOWORD(static_cast<std::uintptr_t>(lparam)));
    const double y = static_cast<double>(HIWORD(static_cast<std::uintptr_t>(lparam)));
    return on_page_message(_windowpage(window), message, x, y);
}

bool show_image()
{
    MeasureSession& s = bound_session();
    const MeasureSettings& settings = bound_settings();
    std::FILE* f = std::fopen(s.image_path, "rb");
    if (!f) {
        app_info("Error", "[%s]は開けません.", s.image_path);
        return false;
    }
    std::fclose(f);
    delete s.image;
    s.image = _getfile_bmap(s.image_path, 1.0, 0);
    if (!s.image) {
        app_info("Error", "[%s]の読み込みに失敗しました.", s.image_path);
        return false;
    }
    int width = 0, height = 0, xdpi = 0, ydpi = 0;
    if (!_getfile_size(s.image_path, &width, &height, &xdpi, &ydpi) || width <= 0 || height <= 0) {
        /* The size query failed where the load worked: the bitmap knows. */
        width = s.image->width;
        height = s.image->height;
    }
    _newpage(1, s.image_path, settings.window_x, settings.window_y, -width, -height, 0, 0);
    app_canvas().putbmap(0, 0, s.image, SRCCOPY, 1.0);
    app_canvas().setpage(1, 0);
    return true;
}

int run(const MeasureSettings& settings, MeasureSession& session)
{
    bind(&settings, &session);
    if (!session.points) {
        /* Reported here rather than while the records are built: the
         * console does not exist before main. */
        app_print("Can not allocate data memory...(%ddata)\n", session.capacity);
        return CLOSE_CONSOLE;
    }
    _setimg_decoders(_getjpg_size, _getpng_size, _getpsd_size, _getspi_size, _getjpg_bmap, _getpng_bmap,
                     _getpsd_bmap, _getspi_bmap);
    _setmsgproc(hook);
    /* The runtime's command line holds up to 1023 characters; the image path
     * keeps at most 259 of them. */
    char line[1024] = {};
    _getcmdline(line);
    if (!prepare_paths(line))
        return CLOSE_CONSOLE;
    app_print("Source BMP = %s\n", session.image_path);
    app_print("Point Data = %s\n", session.data_path);
    if (!show_image())
        return CLOSE_CONSOLE;
    return 0;
}

} // namespace marcot
