// MeasureSettings: reading rules, checks and the rewritten "Marcot.ini".
#include "apps_test_support.h"
#include "data_format.h"
#include "measure_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const char* const kDefaultFile =
    "WINDOW_X\t300\nWINDOW_Y\t200\nMEASURE_POINT\t4\nEXT_NAME\tTXT\n"
    "DATA_FORMAT\t%lf\nBULLET\t1\nBULLET_COLOR\t0\nOVERWRITE_CHECK\t0\n";

TEST(MeasureSettingsRead, NoFileGivesDefaults)
{
    TempCwd dir;
    MeasureSettings s;
    EXPECT_EQ(s.window_x, 300);
    EXPECT_EQ(s.window_y, 200);
    EXPECT_EQ(s.measure_point, 4);
    EXPECT_STREQ(s.ext_name, "TXT");
    EXPECT_STREQ(s.data_format, "%lf");
    EXPECT_TRUE(s.bullet);
    EXPECT_EQ(s.bullet_color, 0);
    EXPECT_FALSE(s.overwrite_check);
    EXPECT_EQ(s.file, nullptr);
}

TEST(MeasureSettingsSave, DefaultsWriteTheEightLinesByteForByte)
{
    TempCwd dir;
    MeasureSettings s;
    ASSERT_TRUE(s.save());
    EXPECT_EQ(read_file("Marcot.ini"), kDefaultFile);
    EXPECT_EQ(list_dir(dir.path()).size(), 1u) << "no temporary file left behind";
}

TEST(MeasureSettingsRead, KeysCompareWithoutCase)
{
    TempCwd dir;
    write_file("Marcot.ini", "window_x 50\nMeasure_Point\t7\n");
    MeasureSettings s;
    EXPECT_EQ(s.window_x, 50);
    EXPECT_EQ(s.measure_point, 7);
}

TEST(MeasureSettingsRead, RejectedValuesKeepTheirDefaults)
{
    TempCwd dir;
    write_file("Marcot.ini", "WINDOW_X -1\nWINDOW_Y -5\nMEASURE_POINT 0\nBULLET_COLOR 2\nBULLET 5\n");
    MeasureSettings s;
    EXPECT_EQ(s.window_x, 300);
    EXPECT_EQ(s.window_y, 200);
    EXPECT_EQ(s.measure_point, 4);
    EXPECT_EQ(s.bullet_color, 0);
    EXPECT_TRUE(s.bullet);
    ASSERT_TRUE(s.save());
    EXPECT_EQ(read_file("Marcot.ini"), kDefaultFile) << "BULLET 5 is written back as 1";
}

TEST(MeasureSettingsRead, ColourRuleAndSwitches)
{
    TempCwd dir;
    write_file("Marcot.ini", "BULLET_COLOR -1\nBULLET 0\nOVERWRITE_CHECK 3\n");
    MeasureSettings s;
    EXPECT_EQ(s.bullet_color, -1);
    EXPECT_FALSE(s.bullet);
    EXPECT_TRUE(s.overwrite_check);
}

TEST(MeasureSettingsRead, BlankLineEndsReadingAndTheSaveDropsTheRest)
{
    TempCwd dir;
    write_file("Marcot.ini", "WINDOW_X 10\n\nWINDOW_Y 20\nMEASURE_POINT 9\n");
    MeasureSettings s;
    EXPECT_EQ(s.window_x, 10);
    EXPECT_EQ(s.window_y, 200);
    EXPECT_EQ(s.measure_point, 4);
    ASSERT_TRUE(s.save());
    std::string text = read_file("Marcot.ini");
    EXPECT_NE(text.find("WINDOW_X\t10\n"), std::string::npos);
    EXPECT_NE(text.find("WINDOW_Y\t200\n"), std::string::npos);
}

TEST(MeasureSettingsRead, OneWordLineEndsReading)
{
    TempCwd dir;
    write_file("Marcot.ini", "WINDOW_X 10\nBULLET\nWINDOW_Y 20\n");
    MeasureSettings s;
    EXPECT_EQ(s.window_x, 10);
    EXPECT_EQ(s.window_y, 200);
}

TEST(MeasureSettingsRead, IntegerReadsItsLeadingDigits)
{
    TempCwd dir;
    write_file("Marcot.ini", "MEASURE_POINT 12abc\nWINDOW_X abc\nWINDOW_Y +7\n");
    MeasureSettings s;
    EXPECT_EQ(s.measure_point, 12);
    EXPECT_EQ(s.window_x, 0) << "no digits reads as 0, which is accepted";
    EXPECT_EQ(s.window_y, 7);
}

TEST(MeasureSettingsRead, HugeNumbersSaturateInsteadOfWrapping)
{
    TempCwd dir;
    write_file("Marcot.ini", "WINDOW_X 99999999999999\nMEASURE_POINT 4294967297\n");
    MeasureSettings s;
    EXPECT_EQ(s.window_x, 2147483647);
    EXPECT_EQ(s.measure_point, 4) << "a point list this large is refused";
}

TEST(MeasureSettingsRead, RepeatedKeyLastAcceptedValueCounts)
{
    TempCwd dir;
    write_file("Marcot.ini", "MEASURE_POINT 5\nMEASURE_POINT 0\nWINDOW_X 1\nWINDOW_X 2\n");
    MeasureSettings s;
    EXPECT_EQ(s.measure_point, 5);
    EXPECT_EQ(s.window_x, 2);
}

TEST(MeasureSettingsRead, UnknownKeysAndExtraWordsAreSkipped)
{
    TempCwd dir;
    write_file("Marcot.ini", "COLOUR 3\nWINDOW_X 40 50 60\nWINDOW_Y 41\n");
    MeasureSettings s;
    EXPECT_EQ(s.window_x, 40);
    EXPECT_EQ(s.window_y, 41);
}

TEST(MeasureSettingsRead, CarriageReturnLineEnds)
{
    TempCwd dir;
    write_file("Marcot.ini", "WINDOW_X\t50\r\nEXT_NAME\tdat\r\n");
    MeasureSettings s;
    EXPECT_EQ(s.window_x, 50);
    EXPECT_STREQ(s.ext_name, "dat");
}

TEST(MeasureSettingsRead, LongLineIsReadInPiecesOf254)
{
    TempCwd dir;
    // 254 characters make the first piece; the rest of the line is a line of its own.
    std::string first = "WINDOW_X 10";
    first.append(254 - first.size(), ' ');
    write_file("Marcot.ini", first + "MEASURE_POINT 9\nWINDOW_Y 3\n");
    MeasureSettings s;
    EXPECT_EQ(s.window_x, 10);
    EXPECT_EQ(s.measure_point, 9);
    EXPECT_EQ(s.window_y, 3);
}

TEST(MeasureSettingsRead, TextValuesThatDoNotFitAreRefused)
{
    TempCwd dir;
    write_file("Marcot.ini", "EXT_NAME 0123456789abcdef\nDATA_FORMAT %.3f-------------\n");
    MeasureSettings s;
    EXPECT_STREQ(s.ext_name, "TXT");
    EXPECT_STREQ(s.data_format, "%lf");
}

TEST(MeasureSettingsRead, FifteenCharactersFit)
{
    TempCwd dir;
    write_file("Marcot.ini", "EXT_NAME 0123456789abcde\nDATA_FORMAT %.3f-----------\n");
    MeasureSettings s;
    EXPECT_STREQ(s.ext_name, "0123456789abcde");
    EXPECT_STREQ(s.data_format, "%.3f-----------");
}

TEST(MeasureSettingsRead, ExtensionWithASlashIsRefused)
{
    TempCwd dir;
    write_file("Marcot.ini", "EXT_NAME ../x\n");
    MeasureSettings s;
    EXPECT_STREQ(s.ext_name, "TXT");
}

TEST(MeasureSettingsRead, UnsafeDataFormatKeepsTheDefault)
{
    TempCwd dir;
    write_file("Marcot.ini", "DATA_FORMAT %.1f\nDATA_FORMAT %s%s%n\n");
    MeasureSettings s;
    EXPECT_STREQ(s.data_format, "%.1f");
}

TEST(DataFormatCheck, AcceptsExactlyOneFloatingPointConversion)
{
    for (const char* ok : {"%lf", "%f", "%.1f", "%+08.3e", "%-10g", "%#a", "x=%F%%", "%%%E", "%.f", "% G", "%999.999f"})
        EXPECT_TRUE(is_safe_data_format(ok)) << ok;
    for (const char* bad : {"", "abc", "%%", "%d", "%s", "%f%f", "%n", "%*f", "%.*f", "%Lf", "%1$f",
                            "%1000f", "%.1000f", "%hf", "%", "%.", "%llf", "%lf %d"})
        EXPECT_FALSE(is_safe_data_format(bad)) << bad;
}

TEST(MeasureSettingsSave, RoundTripKeepsAcceptedValues)
{
    TempCwd dir;
    write_file("Marcot.ini", "WINDOW_X 1\nWINDOW_Y 2\nMEASURE_POINT 3\nEXT_NAME dat\nDATA_FORMAT %.2e\n"
                             "BULLET 0\nBULLET_COLOR 1\nOVERWRITE_CHECK 1\n");
    MeasureSettings a;
    ASSERT_TRUE(a.save());
    EXPECT_EQ(read_file("Marcot.ini"),
              "WINDOW_X\t1\nWINDOW_Y\t2\nMEASURE_POINT\t3\nEXT_NAME\tdat\nDATA_FORMAT\t%.2e\n"
              "BULLET\t0\nBULLET_COLOR\t1\nOVERWRITE_CHECK\t1\n");
}

TEST(MeasureSettingsSave, FailedWriteLeavesNothingBehind)
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

TEST(MeasureSettingsSave, ReplacesTheOldFileWhole)
{
    TempCwd dir;
    std::string old(5000, '#');
    write_file("Marcot.ini", "WINDOW_X 7\n" + old);
    MeasureSettings s;
    EXPECT_EQ(s.window_x, 7);
    ASSERT_TRUE(s.save());
    std::string text = read_file("Marcot.ini");
    EXPECT_EQ(text.find('#'), std::string::npos);
    EXPECT_EQ(text.substr(0, 12), "WINDOW_X\t7\nW");
}

} // namespace
