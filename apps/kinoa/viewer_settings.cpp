/* ViewerSettings: reading, checking and rewriting "Kinoa.ini". */
#include "viewer_settings.h"

#include "atomic_file.h"
#include "settings_text.h"

#include <cmath>

ViewerSettings::ViewerSettings(const char* name)
{
    set_defaults();
    read(name);
}

void ViewerSettings::set_defaults()
{
    window_x = 300;
    window_y = 200;
    window_w = 720;
    window_h = 480;
    pixel_ratio_x = 1.0;
    pixel_ratio_y = -1.0;
    coordinate_x0 = 0.0;
    coordinate_y0 = 0.0;
    block_line = 1;
    overwrite_check = false;
    joint_mark = 5;
    file = nullptr;
}

void ViewerSettings::read(const char* name)
{
    file = std::fopen(name, "r");
    if (!file)
        return;
    for_each_setting(file, [this](const char* key, const char* value) { apply(key, value); });
    std::fclose(file);
    file = nullptr;
}

void ViewerSettings::apply(const char* key, const char* value)
{
    struct IntKey { const char* name; int32_t* field; };
    const IntKey window_keys[] = {
        {"WINDOW_X", &window_x}, {"WINDOW_Y", &window_y},
        {"WINDOW_W", &window_w}, {"WINDOW_H", &window_h}};
    for (const IntKey& k : window_keys) {
        if (key_is(key, k.name)) {
            int v = parse_int(value);
            if (v >= 0)
                *k.field = v;
            return;
        }
    }
    /* Infinite and not-a-number values (strtod reads "inf" and "nan") are
     * refused: they would map every point outside any integer range. */
    if (key_is(key, "PIXEL_RATIO_X") || key_is(key, "PIXEL_RATIO_Y")) {
        double v = parse_double(value);
        if (v != 0.0 && std::isfinite(v))
            (key_is(key, "PIXEL_RATIO_X") ? pixel_ratio_x : pixel_ratio_y) = v;
    } else if (key_is(key, "COORDINATE_X0") || key_is(key, "COORDINATE_Y0")) {
        double v = parse_double(value);
        if (std::isfinite(v))
            (key_is(key, "COORDINATE_X0") ? coordinate_x0 : coordinate_y0) = v;
    } else if (key_is(key, "BLOCK_LINE")) {
        int v = parse_int(value);
        if (v > 0)
            block_line = v;
    } else if (key_is(key, "OVERWRITE_CHECK")) {
        overwrite_check = parse_int(value) != 0;
    } else if (key_is(key, "JOINT_MARK")) {
        joint_mark = parse_int(value);
    }
}

bool ViewerSettings::save(const char* name)
{
    AtomicFile out(name);
    file = out.open();
    if (!file)
        return false;
    c_fprintf(file, "%s\t%d\n", "WINDOW_X", window_x);
    c_fprintf(file, "%s\t%d\n", "WINDOW_Y", window_y);
    c_fprintf(file, "%s\t%d\n", "WINDOW_W", window_w);
    c_fprintf(file, "%s\t%d\n", "WINDOW_H", window_h);
    c_fprintf(file, "%s\t%lf\n", "PIXEL_RATIO_X", pixel_ratio_x);
    c_fprintf(file, "%s\t%lf\n", "PIXEL_RATIO_Y", pixel_ratio_y);
    c_fprintf(file, "%s\t%lf\n", "COORDINATE_X0", coordinate_x0);
    c_fprintf(file, "%s\t%lf\n", "COORDINATE_Y0", coordinate_y0);
    c_fprintf(file, "%s\t%d\n", "BLOCK_LINE", block_line);
    c_fprintf(file, "%s\t%d\n", "OVERWRITE_CHECK", overwrite_check ? 1 : 0);
    c_fprintf(file, "%s\t%d\n", "JOINT_MARK", joint_mark);
    file = nullptr;
    return out.commit();
}
