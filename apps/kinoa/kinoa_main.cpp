/* Kinoa, the stick-figure viewer: its static records, built in this order
 * before main (the settings first, each settings record saving itself at the
 * normal end of the process), and main. */
#include "frame_cursor.h"
#include "stick_data.h"
#include "viewer_settings.h"

#include <cstdlib>
#include <ostrel.h>

ViewerSettings viewer_settings;
static void save_viewer_settings() { viewer_settings.save(); }
static const bool viewer_settings_saved_at_exit = std::atexit(save_viewer_settings) == 0;
StickData stick_data(viewer_settings);
FrameCursor frame_cursor;

int main()
{
    (void)viewer_settings_saved_at_exit;
    return kinoa::run(viewer_settings, stick_data, frame_cursor);
}
