/* Marcot, the measuring program: its static records, built in this order
 * before main (the settings first, saving themselves at the normal end of
 * the process, then the session sized by them), and main. */
#include "measure_session.h"
#include "measure_settings.h"

#include <cstdlib>
#include <ostrel.h>

MeasureSettings measure_settings;
static void save_measure_settings() { measure_settings.save(); }
static const bool measure_settings_saved_at_exit = std::atexit(save_measure_settings) == 0;
MeasureSession measure_session(measure_settings);

int main()
{
    (void)measure_settings_saved_at_exit;
    return marcot::run(measure_settings, measure_session);
}
