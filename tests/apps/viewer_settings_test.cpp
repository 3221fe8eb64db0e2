// ViewerSettings: reading rules, checks and the rewritten "Kinoa.ini".
#include "apps_test_support.h"
#include "viewer_settings.h"

#include <clocale>
#include <gtest/gtest.h>

namespace {

const char* const kDefaultFile =
    "WINDOW_X\t300\nWINDOW_Y\t200\nWINDOW_W\t720\nWINDOW_H\t480\n"
    "PIXEL_RATIO_X\t1.000000\nPIXEL_RATIO_Y\t-1.000000\n"
    "COORDINATE_X0\t0.000000\nCOORDINATE_Y0\t0.000000\n"
    "BLOCK_LINE\t1\nOVERWRITE_CHECK\t0\nJOINT_MARK\t5\n";

TEST(ViewerSettingsRead, NoFileGivesDefaults)
{
    TempCwd dir;
    ViewerSettings s;
    EXPECT_EQ(s.window_x, 300);
    EXPECT_EQ(s.window_y, 200);
    EXPECT_EQ(s.window_w, 720);
    EXPECT_EQ(s.window_h, 480);
    EXPECT_EQ(s.pixel_ratio_x, 1.0);
    EXPECT_EQ(s.pixel_ratio_y, -1.0);
    EXPECT_EQ(s.coordinate_x0, 0.0);
    EXPECT_EQ(s.coordinate_y0, 0.0);
    EXPECT_EQ(s.block_line, 1);
    EXPECT_FALSE(s.overwrite_check);
    EXPECT_EQ(s.joint_mark, 5);
}

TEST(ViewerSettingsSave, DefaultsWriteTheElevenLinesByteForByte)
{
    TempCwd dir;
    ViewerSettings s;
    ASSERT_TRUE(s.save());
    EXPECT_EQ(read_file("Kinoa.ini"), kDefaultFile);
    EXPECT_EQ(list_dir(dir.path()).size(), 1u);
}

TEST(ViewerSettingsRead, WhatIsSavedIsReadBack)
{
    TempCwd dir;
    write_file("Kinoa.ini", "window_w 640\nPIXEL_RATIO_X -2\nPIXEL_RATIO_Y 0.5\nCOORDINATE_Y0 12.25\n"
                            "BLOCK_LINE 3\nOVERWRITE_CHECK 1\nJOINT_MARK -3\n");
    ViewerSettings a;
    ASSERT_TRUE(a.save());
    ViewerSettings b;
    EXPECT_EQ(b.window_w, 640);
    EXPECT_EQ(b.pixel_ratio_x, -2.0);
    EXPECT_EQ(b.pixel_ratio_y, 0.5);
    EXPECT_EQ(b.coordinate_y0, 12.25);
    EXPECT_EQ(b.block_line, 3);
    EXPECT_TRUE(b.overwrite_check);
    EXPECT_EQ(b.joint_mark, -3);
}

TEST(ViewerSettingsRead, ZeroRatioKeepsTheOldValue)
{
    TempCwd dir;
    write_file("Kinoa.ini", "PIXEL_RATIO_X 0\nPIXEL_RATIO_Y 0.0\n");
    ViewerSettings s;
    EXPECT_EQ(s.pixel_ratio_x, 1.0);
    EXPECT_EQ(s.pixel_ratio_y, -1.0);
}

TEST(ViewerSettingsRead, NegativeRatioIsAccepted)
{
    TempCwd dir;
    write_file("Kinoa.ini", "PIXEL_RATIO_X -2\n");
    ViewerSettings s;
    EXPECT_EQ(s.pixel_ratio_x, -2.0);
}

TEST(ViewerSettingsRead, JointMarkTakesAnyValue)
{
    TempCwd dir;
    write_file("Kinoa.ini", "JOINT_MARK -3\n");
    EXPECT_EQ(ViewerSettings().joint_mark, -3);
    write_file("Kinoa.ini", "JOINT_MARK 0\n");
    EXPECT_EQ(ViewerSettings().joint_mark, 0);
}

TEST(ViewerSettingsRead, RejectedValuesKeepTheirDefaults)
{
    TempCwd dir;
    write_file("Kinoa.ini", "BLOCK_LINE 0\nWINDOW_X -1\nWINDOW_H -480\nBLOCK_LINE -4\n");
    ViewerSettings s;
    EXPECT_EQ(s.block_line, 1);
    EXPECT_EQ(s.window_x, 300);
    EXPECT_EQ(s.window_h, 480);
}

TEST(ViewerSettingsRead, BlankLineEndsReadingAndTheSaveDropsTheRest)
{
    TempCwd dir;
    write_file("Kinoa.ini", "WINDOW_W 100\n   \t\nWINDOW_H 50\n");
    ViewerSettings s;
    EXPECT_EQ(s.window_w, 100);
    EXPECT_EQ(s.window_h, 480);
    ASSERT_TRUE(s.save());
    EXPECT_NE(read_file("Kinoa.ini").find("WINDOW_H\t480\n"), std::string::npos);
}

TEST(ViewerSettingsRead, OriginWithoutANumberReadsAsZero)
{
    TempCwd dir;
    write_file("Kinoa.ini", "COORDINATE_X0 7\nCOORDINATE_X0 abc\nCOORDINATE_Y0 -3.5e1\n");
    ViewerSettings s;
    EXPECT_EQ(s.coordinate_x0, 0.0);
    EXPECT_EQ(s.coordinate_y0, -35.0);
}

TEST(ViewerSettingsRead, NonFiniteNumbersAreRefused)
{
    TempCwd dir;
    write_file("Kinoa.ini", "PIXEL_RATIO_X nan\nPIXEL_RATIO_Y inf\nCOORDINATE_X0 -infinity\nCOORDINATE_Y0 1e999\n");
    ViewerSettings s;
    EXPECT_EQ(s.pixel_ratio_x, 1.0);
    EXPECT_EQ(s.pixel_ratio_y, -1.0);
    EXPECT_EQ(s.coordinate_x0, 0.0);
    EXPECT_EQ(s.coordinate_y0, 0.0);
}

TEST(ViewerSettingsRead, NumbersIgnoreTheProcessLocale)
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
