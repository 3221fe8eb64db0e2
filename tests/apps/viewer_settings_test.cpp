// ViewerSettings: reading rules and checks, seen through the rewritten "Kinoa.ini".
#include "apps_test_support.h"
#include "viewer_settings.h"

#include <clocale>
#include <gtest/gtest.h>

#include <map>

namespace {

const char* const kKeys[] = {"WINDOW_X", "WINDOW_Y", "WINDOW_W", "WINDOW_H", "PIXEL_RATIO_X", "PIXEL_RATIO_Y",
                             "COORDINATE_X0", "COORDINATE_Y0", "BLOCK_LINE", "OVERWRITE_CHECK", "JOINT_MARK"};
const char* const kDefaults[] = {"300", "200", "720", "480", "1.000000", "-1.000000",
                                 "0.000000", "0.000000", "1", "0", "5"};

const auto file_with = settings_file(kKeys, kDefaults);

TEST(ViewerSettings, NoFileGivesTheDefaultsAndTheElevenLines)
{
    TempCwd dir;
    ViewerSettings s;
    EXPECT_EQ(s.window_w, 720);
    EXPECT_EQ(s.pixel_ratio_y, -1.0);
    EXPECT_EQ(s.block_line, 1);
    EXPECT_FALSE(s.overwrite_check);
    EXPECT_EQ(s.joint_mark, 5);
    ASSERT_TRUE(s.save());
    EXPECT_EQ(read_file("Kinoa.ini"), file_with({}));
    EXPECT_EQ(list_dir(dir.path()).size(), 1u);
}

TEST(ViewerSettings, ReadThenSavedAndReadBack)
{
    struct Row { const char* file; std::map<std::string, std::string> saved; };
    const Row rows[] = {
        {"window_w 640\nPIXEL_RATIO_X -2\nPIXEL_RATIO_Y 0.5\nCOORDINATE_Y0 12.25\nBLOCK_LINE 3\n"
         "OVERWRITE_CHECK 1\nJOINT_MARK -3\n",
         {{"WINDOW_W", "640"}, {"PIXEL_RATIO_X", "-2.000000"}, {"PIXEL_RATIO_Y", "0.500000"},
          {"COORDINATE_Y0", "12.250000"}, {"BLOCK_LINE", "3"}, {"OVERWRITE_CHECK", "1"}, {"JOINT_MARK", "-3"}}},
        {"PIXEL_RATIO_X 0\nPIXEL_RATIO_Y 0.0\n", {}},                     // a zero ratio keeps the old value
        {"JOINT_MARK 0\n", {{"JOINT_MARK", "0"}}},
        {"BLOCK_LINE 0\nWINDOW_X -1\nWINDOW_H -480\nBLOCK_LINE -4\n", {}},
        {"WINDOW_W 100\n   \t\nWINDOW_H 50\n", {{"WINDOW_W", "100"}}},     // a blank line ends reading
        {"COORDINATE_X0 7\nCOORDINATE_X0 abc\nCOORDINATE_Y0 -3.5e1\n", {{"COORDINATE_Y0", "-35.000000"}}},
        {"PIXEL_RATIO_X nan\nPIXEL_RATIO_Y inf\nCOORDINATE_X0 -infinity\nCOORDINATE_Y0 1e999\n", {}},
    };
    for (const Row& r : rows) {
        TempCwd dir;
        write_file("Kinoa.ini", r.file);
        ViewerSettings a;
        ASSERT_TRUE(a.save());
        EXPECT_EQ(read_file("Kinoa.ini"), file_with(r.saved)) << r.file;
        ViewerSettings b;
        EXPECT_EQ(b.pixel_ratio_x, a.pixel_ratio_x);
        EXPECT_EQ(b.coordinate_y0, a.coordinate_y0);
        EXPECT_EQ(b.joint_mark, a.joint_mark);
    }
}

TEST(ViewerSettings, NumbersIgnoreTheProcessLocale)
{
    TempCwd dir;
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    write_file("Kinoa.ini", "PIXEL_RATIO_X 2.5\n");
    ViewerSettings s;
    bool saved_ok = s.save();
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(s.pixel_ratio_x, 2.5);
    ASSERT_TRUE(saved_ok);
    EXPECT_NE(read_file("Kinoa.ini").find("PIXEL_RATIO_X\t2.500000\n"), std::string::npos);
}

} // namespace
