/* MeasureSettings: Marcot's eight settings and the file "Marcot.ini".
 *
 * Filled from the file in the current directory when the record is built
 * (before main), read-only afterwards, and written back whole at the normal
 * end of the process. Rejected or missing values keep their defaults.
 */
#ifndef OSTREL_APPS_MEASURE_SETTINGS_H
#define OSTREL_APPS_MEASURE_SETTINGS_H

#include <cstdint>
#include <cstdio>

#define MARCOT_INI "Marcot.ini"

/* Above this many points a session would only exhaust memory. */
enum { MEASURE_POINT_MAX = 1000000 };

struct MeasureSettings {
    std::FILE* file;
    int32_t window_x;
    int32_t window_y;
    int32_t measure_point;
    char ext_name[16];
    char data_format[16];
    bool bullet;
    int32_t bullet_color;
    bool overwrite_check;

    /* Defaults, then the file name (relative to the current directory). */
    explicit MeasureSettings(const char* name = MARCOT_INI);

    void set_defaults();
    void read(const char* name = MARCOT_INI);
    /* Replaces the file atomically; false when it could not be written. */
    bool save(const char* name = MARCOT_INI);

private:
    void apply(const char* key, const char* value);
};

#endif
