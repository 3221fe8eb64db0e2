/* MeasureSettings: reading, checking and rewriting "Marcot.ini". */
#include "measure_settings.h"

#include "atomic_file.h"
#include "data_format.h"
#include "settings_text.h"

#include <cstring>

MeasureSettings::MeasureSettings(const char* name)
{
    set_defaults();
    read(name);
}

void MeasureSettings::set_defaults()
{
    file = nullptr;
    window_x = 300;
    window_y = 200;
    measure_point = 4;
    std::strcpy(ext_name, "TXT");
    std::strcpy(data_format, "%lf");
    bullet = true;
    bullet_color = 0;
    overwrite_check = false;
}

void MeasureSettings::read(const char* name)
{
    file = std::fopen(name, "r");
    if (!file)
        return;
    for_each_setting(file, [this](const char* key, const char* value) { apply(key, value); });
    std::fclose(file);
    file = nullptr;
}

void MeasureSettings::apply(const char* key, const char* value)
{
    if (key_is(key, "WINDOW_X")) {
        int v = parse_int(value);
        if (v >= 0)
            window_x = v;
    } else if (key_is(key, "WINDOW_Y")) {
        int v = parse_int(value);
        if (v >= 0)
            window_y = v;
    } else if (key_is(key, "MEASURE_POINT")) {
        int v = parse_int(value);
        if (v > 0 && v <= MEASURE_POINT_MAX)
            measure_point = v;
    } else if (key_is(key, "EXT_NAME")) {
        /* A value that does not fit, or that would lead out of the image's
         * directory, is refused like any other bad value. */
        if (std::strlen(value) < sizeof ext_name && !std::strchr(value, '/'))
            std::strcpy(ext_name, value);
    } else if (key_is(key, "DATA_FORMAT")) {
        if (std::strlen(value) < sizeof data_format && is_safe_data_format(value))
            std::strcpy(data_format, value);
    } else if (key_is(key, "BULLET")) {
        bullet = parse_int(value) != 0;
    } else if (key_is(key, "BULLET_COLOR")) {
        int v = parse_int(value);
        bullet_color = (v == -1 || v == 0 || v == 1) ? v : 0;
    } else if (key_is(key, "OVERWRITE_CHECK")) {
        overwrite_check = parse_int(value) != 0;
    }
}

bool MeasureSettings::save(const char* name)
{
    AtomicFile out(name);
    file = out.open();
    if (!file)
        return false;
    c_fprintf(file, "%s\t%d\n", "WINDOW_X", window_x);
    c_fprintf(file, "%s\t%d\n", "WINDOW_Y", window_y);
    c_fprintf(file, "%s\t%d\n", "MEASURE_POINT", measure_point);
    c_fprintf(file, "%s\t%s\n", "EXT_NAME", ext_name);
    c_fprintf(file, "%s\t%s\n", "DATA_FORMAT", data_format);
    c_fprintf(file, "%s\t%d\n", "BULLET", bullet ? 1 : 0);
    c_fprintf(file, "%s\t%d\n", "BULLET_COLOR", bullet_color);
    c_fprintf(file, "%s\t%d\n", "OVERWRITE_CHECK", overwrite_check ? 1 : 0);
    file = nullptr;
    return out.commit();
}
