/* ViewerSettings: Kinoa's eleven settings and the file "Kinoa.ini".
 *
 * Filled from the file in the current directory when the record is built
 * (before main), read-only afterwards, written back whole at the normal end
 * of the process. The file is read and written under the one name
 * "Kinoa.ini", so that what is saved is what the next start reads on a file
 * system that tells case apart.
 */
#ifndef OSTREL_APPS_VIEWER_SETTINGS_H
#define OSTREL_APPS_VIEWER_SETTINGS_H

#include <cstdint>
#include <cstdio>

#define KINOA_INI "Kinoa.ini"

struct ViewerSettings {
    int32_t window_x;
    int32_t window_y;
    int32_t window_w;
    int32_t window_h;
    double pixel_ratio_x;
    double pixel_ratio_y;
    double coordinate_x0;
    double coordinate_y0;
    int32_t block_line;
    bool overwrite_check;
    int32_t joint_mark;
    std::FILE* file; /* while reading or writing; not a setting */

    /* Defaults, then the file name (relative to the current directory). */
    explicit ViewerSettings(const char* name = KINOA_INI);

    void set_defaults();
    void read(const char* name = KINOA_INI);
    /* Replaces the file atomically; false when it could not be written. */
    bool save(const char* name = KINOA_INI);

private:
    void apply(const char* key, const char* value);
};

#endif
