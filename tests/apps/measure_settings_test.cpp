// MeasureSettings: reading rules and checks, seen through the rewritten "Marcot.ini".
#include "apps_test_support.h"
#include "data_format.h"
#include "measure_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

namespace {

const char* const kKeys[] = {"WINDOW_X", "WINDOW_Y", "MEASURE_POINT", "EXT_NAME",
                             "DATA_FORMAT", "BULLET", "BULLET_COLOR", "OVERWRITE_CHECK"};
const char* const kDefaults[] = {"300", "200", "4", "TXT", "%lf", "1", "0", "0"};

const auto file_with = settings_file(kKeys, kDefaults);

TEST(MeasureSettings, NoFileGivesTheDefaultsAndTheEightLines)
{
    TempCwd dir;
    MeasureSettings s;
    EXPECT_EQ(s.window_x, 300);
    EXPECT_EQ(s.measure_point, 4);
    EXPECT_STREQ(s.ext_name, "TXT");
    EXPECT_TRUE(s.bullet);
    EXPECT_FALSE(s.overwrite_check);
    EXPECT_EQ(s.file, nullptr);
    ASSERT_TRUE(s.save());
    EXPECT_EQ(read_file("Marcot.ini"), file_with({}));
    EXPECT_EQ(list_dir(dir.path()).size(), 1u) << "no temporary file left behind";
}

TEST(MeasureSettings, ReadThenSaved)
{
    const std::string piece = "WINDOW_X 10" + std::string(254 - 11, ' ');   // the first piece of a long line
    struct Row { std::string file; std::map<std::string, std::string> saved; };
    const Row rows[] = {
        {"window_x 50\nMeasure_Point\t7\n", {{"WINDOW_X", "50"}, {"MEASURE_POINT", "7"}}},   // keys without case
        {"WINDOW_X -1\nWINDOW_Y -5\nMEASURE_POINT 0\nBULLET_COLOR 2\nBULLET 5\n", {}},       // rejected; BULLET 5 is 1
        {"BULLET_COLOR -1\nBULLET 0\nOVERWRITE_CHECK 3\n",
         {{"BULLET_COLOR", "-1"}, {"BULLET", "0"}, {"OVERWRITE_CHECK", "1"}}},
        {"WINDOW_X 10\n\nWINDOW_Y 20\nMEASURE_POINT 9\n", {{"WINDOW_X", "10"}}},   // a blank line ends reading
        {"WINDOW_X 10\nBULLET\nWINDOW_Y 20\n", {{"WINDOW_X", "10"}}},              // so does a one-word line
        {"MEASURE_POINT 12abc\nWINDOW_X abc\nWINDOW_Y +7\n",
         {{"MEASURE_POINT", "12"}, {"WINDOW_X", "0"}, {"WINDOW_Y", "7"}}},           // leading digits; none is 0
        {"WINDOW_X 99999999999999\nMEASURE_POINT 4294967297\n", {{"WINDOW_X", "2147483647"}}},   // saturated
        {"MEASURE_POINT 5\nMEASURE_POINT 0\nWINDOW_X 1\nWINDOW_X 2\n",
         {{"MEASURE_POINT", "5"}, {"WINDOW_X", "2"}}},                               // the last accepted value
        {"COLOUR 3\nWINDOW_X 40 50 60\nWINDOW_Y 41\n", {{"WINDOW_X", "40"}, {"WINDOW_Y", "41"}}},
        {"WINDOW_X\t50\r\nEXT_NAME\tdat\r\n", {{"WINDOW_X", "50"}, {"EXT_NAME", "dat"}}},
        {piece + "MEASURE_POINT 9\nWINDOW_Y 3\n", {{"WINDOW_X", "10"}, {"MEASURE_POINT", "9"}, {"WINDOW_Y", "3"}}},
        {"EXT_NAME 0123456789abcdef\nDATA_FORMAT %.3f-------------\n", {}},          // 16 characters do not fit
        {"EXT_NAME 0123456789abcde\nDATA_FORMAT %.3f-----------\n",
         {{"EXT_NAME", "0123456789abcde"}, {"DATA_FORMAT", "%.3f-----------"}}},
        {"EXT_NAME ../x\n", {}},
        {"DATA_FORMAT %.1f\nDATA_FORMAT %s%s%n\n", {{"DATA_FORMAT", "%.1f"}}},
        {"WINDOW_X 1\nWINDOW_Y 2\nMEASURE_POINT 3\nEXT_NAME dat\nDATA_FORMAT %.2e\nBULLET 0\nBULLET_COLOR 1\n"
         "OVERWRITE_CHECK 1\n",
         {{"WINDOW_X", "1"}, {"WINDOW_Y", "2"}, {"MEASURE_POINT", "3"}, {"EXT_NAME", "dat"},
          {"DATA_FORMAT", "%.2e"}, {"BULLET", "0"}, {"BULLET_COLOR", "1"}, {"OVERWRITE_CHECK", "1"}}},
        {"WINDOW_X 7\n" + std::string(5000, '#'), {{"WINDOW_X", "7"}}},               // the old file replaced whole
    };
    for (const Row& r : rows) {
        TempCwd dir;
        write_file("Marcot.ini", r.file);
        MeasureSettings s;
        ASSERT_TRUE(s.save());
        EXPECT_EQ(read_file("Marcot.ini"), file_with(r.saved)) << r.file;
    }
}

TEST(DataFormatCheck, AcceptsExactlyOneFloatingPointConversion)
{
    for (const char* ok : {"%lf", "%f", "%.1f", "%+08.3e", "%-10g", "%#a", "x=%F%%", "%%%E", "%.f", "% G", "%999.999f"})
        EXPECT_TRUE(is_safe_data_format(ok)) << ok;
    for (const char* bad : {"", "abc", "%%", "%d", "%s", "%f%f", "%n", "%*f", "%.*f", "%Lf", "%1$f",
                            "%1000f", "%.1000f", "%hf", "%", "%.", "%llf", "%lf %d"})
        EXPECT_FALSE(is_safe_data_format(bad)) << bad;
}

TEST(MeasureSettings, FailedWriteLeavesNothingBehind)
{
    TempCwd dir;
    // A directory in the file's place: the rename fails, the directory stays.
    ASSERT_EQ(mkdir("Marcot.ini", 0755), 0);
    MeasureSettings s;
    EXPECT_FALSE(s.save());
    struct stat st;
    ASSERT_EQ(stat("Marcot.ini", &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(list_dir(dir.path()).size(), 1u);
}

} // namespace
