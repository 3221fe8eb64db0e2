/* Kinoa's main on the runtime: decoders, hook, command line, the data file,
 * page 1 and the export page, frame 0, then the key loop. */
#include "frame_cursor.h"

#include "app_io.h"
#include "path_parts.h"
#include "stick_data.h"
#include "viewer_settings.h"

#include <ostrel/sysutil.h>
#include <ostrel.h>

namespace kinoa {

int hook(HWND window, UINT message, WPARAM, LPARAM)
{
    return on_page_message(_windowpage(window), message);
}

int run(ViewerSettings& settings, StickData& data, FrameCursor& cursor)
{
    bind(&settings, &data, &cursor);
    _setimg_decoders(_getjpg_size, _getpng_size, _getpsd_size, _getspi_size, _getjpg_bmap, _getpng_bmap,
                     _getpsd_bmap, _getspi_bmap);
    _setmsgproc(hook);

    /* The runtime's command line holds up to 1023 characters; the path is
     * cut to 259 (between whole UTF-8 sequences) and loses its quotes. */
    char line[1024] = {};
    _getcmdline(line);
    char path[260];
    copy_cut(path, sizeof path, unquote_path(line).c_str());
    split_path(path, path_parts());

    if (!data.load_frames(path))
        return CLOSE_CONSOLE;
    _newpage(1, "Kinoascope", settings.window_x, settings.window_y, settings.window_w, settings.window_h, 0, 0);
    _newmempage(settings.window_w, settings.window_h, EXPORT_PAGE);
    if (data.frame_count >= 1) {
        cursor.current = 0;
        draw_frame(cursor, 0);
        run_pending();
    }
    return key_loop(cursor);
}

} // namespace kinoa
