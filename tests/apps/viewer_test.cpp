// The viewer: frame drawing through the mapping, stepping by keys and clicks,
// BMP export with its overwrite questions, and the two ways to quit.
#include "apps_test_support.h"
#include "frame_cursor.h"
#include "stick_data.h"
#include "viewer_settings.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::string>;

struct Viewer {
    TempCwd dir;
    IoRecorder io;
    CanvasRecorder canvas;
    ViewerSettings settings;
    StickData data{settings};
    FrameCursor cursor;

    explicit Viewer(const std::string& frames = "0,0 10,20\n1,1 11,21\n2,2 12,22\n")
    {
        write_file("walk.txt", frames);
        kinoa::bind(&settings, &data, &cursor);
        split_path(dir.file("walk.txt").c_str(), kinoa::path_parts());
    }
    bool load()
    {
        bool ok = data.load_frames("walk.txt");
        reset();
        return ok;
    }
    void reset()
    {
        io.printed.clear();
        io.boxes.clear();
        canvas.calls.clear();
    }
};

TEST(ViewerMapping, DefaultsAreTheIdentity)
{
    ViewerSettings s("/nonexistent/Kinoa.ini");
    EXPECT_EQ(kinoa::map_x(s, 12.9), 12);
    EXPECT_EQ(kinoa::map_y(s, 7.2), 7);
}

TEST(ViewerMapping, NegativeProductTruncatesTowardZero)
{
    ViewerSettings s("/nonexistent/Kinoa.ini");
    EXPECT_EQ(kinoa::map_x(s, -0.7), 0);
    EXPECT_EQ(kinoa::map_y(s, -1.9), -1);
}

TEST(ViewerMapping, RatiosAndOrigins)
{
    ViewerSettings s("/nonexistent/Kinoa.ini");
    s.pixel_ratio_x = 2;
    s.pixel_ratio_y = 1.5;
    s.coordinate_x0 = 10;
    s.coordinate_y0 = 100;
    EXPECT_EQ(kinoa::map_x(s, 15), 10);
    // Larger data y is drawn higher: page y = (y - y0) * 1.5 * -1.
    EXPECT_EQ(kinoa::map_y(s, 80), 30);
    EXPECT_EQ(kinoa::map_y(s, 100), 0);
}

TEST(ViewerMapping, ExtendedPrecisionTruncatesOnce)
{
    ViewerSettings s("/nonexistent/Kinoa.ini");
    s.pixel_ratio_x = 3;
    // (1/3 as a double) * 3 is 0.99999999999999994...: rounded to a double
    // first it would become 1.0 and truncate to 1.
    EXPECT_EQ(kinoa::map_x(s, 1.0 / 3.0), 0);
}

TEST(ViewerMapping, OutOfRangeValuesClampInsteadOfOverflowing)
{
    ViewerSettings s("/nonexistent/Kinoa.ini");
    EXPECT_EQ(kinoa::map_x(s, 1e300), INT_MAX);
    EXPECT_EQ(kinoa::map_x(s, -1e300), INT_MIN);
    EXPECT_EQ(kinoa::map_x(s, std::nan("")), 0);
}

TEST(ViewerDraw, CirclesCentredOnEachPoint)
{
    Viewer v("0,0 10,20\n");
    ASSERT_TRUE(v.load());
    v.reset();
    EXPECT_TRUE(kinoa::draw_frame(v.cursor, 0));
    EXPECT_EQ(v.canvas.calls, (Calls{"clearscreen(2)", "setpage(1,1)", "setcolor(0x00000000)",
                                     "ellipse(-5,-5,5,5)", "moveto(0,0)", "ellipse(5,15,15,25)",
                                     "lineto(10,20)", "setpage(1,1)"}));
    EXPECT_EQ(v.io.printed, "[frame0]\n");
    EXPECT_EQ(v.cursor.displayed, 0);
}

TEST(ViewerDraw, CirclesStayOnTheDataValuesWhenTheRatioChanges)
{
    Viewer v("0,0 10,20\n");
    v.settings.pixel_ratio_x = 2;
    ASSERT_TRUE(v.load());
    EXPECT_TRUE(kinoa::draw_frame(v.cursor, 0));
    EXPECT_EQ(v.canvas.strokes(), (Calls{"ellipse(-5,-5,5,5)", "moveto(0,0)", "ellipse(5,15,15,25)",
                                         "lineto(20,20)"}));
}

TEST(ViewerDraw, NegativeJointMarkDrawsSquaresAndZeroNothing)
{
    Viewer v("4,4 8,8\n");
    v.settings.joint_mark = -3;
    ASSERT_TRUE(v.load());
    EXPECT_TRUE(kinoa::draw_frame(v.cursor, 0));
    EXPECT_EQ(v.canvas.strokes(), (Calls{"rect(7,7,1,1)", "moveto(4,4)", "rect(11,11,5,5)", "lineto(8,8)"}));
    v.canvas.calls.clear();
    v.settings.joint_mark = 0;
    EXPECT_TRUE(kinoa::draw_frame(v.cursor, 0));
    EXPECT_EQ(v.canvas.strokes(), (Calls{"moveto(4,4)", "lineto(8,8)"}));
}

TEST(ViewerDraw, RowsAreSeparatePolylinesAndNonNumbersReadAsZero)
{
    Viewer v("1,1 2,2\nx,3 4,4\n");
    v.settings.block_line = 2;
    v.settings.joint_mark = 0;
    ASSERT_TRUE(v.load());
    EXPECT_TRUE(kinoa::draw_frame(v.cursor, 0));
    EXPECT_EQ(v.canvas.strokes(), (Calls{"moveto(1,1)", "lineto(2,2)", "moveto(0,3)", "lineto(4,4)"}));
}

TEST(ViewerDraw, EmptyRowIsAFormatError)
{
    Viewer v("0,0 1,1\n\n");
    ASSERT_TRUE(v.load());
    kinoa::draw_frame(v.cursor, 0);
    v.reset();
    EXPECT_FALSE(kinoa::draw_frame(v.cursor, 1));
    ASSERT_EQ(v.io.boxes.size(), 1u);
    EXPECT_EQ(v.io.boxes[0].caption, "Error");
    EXPECT_EQ(v.io.boxes[0].text, "Data format error.");
    EXPECT_EQ(v.cursor.current, 1);
    EXPECT_EQ(v.cursor.displayed, 0) << "a frame that failed is not displayed";
}

TEST(ViewerDraw, XWithoutYIsAFormatError)
{
    Viewer v("0,0 1,1 2\n");
    v.settings.joint_mark = 0;
    ASSERT_TRUE(v.load());
    EXPECT_FALSE(kinoa::draw_frame(v.cursor, 0));
    ASSERT_EQ(v.io.boxes.size(), 1u);
    EXPECT_EQ(v.io.boxes[0].text, "Data format error.");
    EXPECT_EQ(v.canvas.strokes(), (Calls{"moveto(0,0)", "lineto(1,1)"}));
}

TEST(ViewerDraw, FrameBeyondTheLastIsRefusedSilently)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    v.reset();
    EXPECT_FALSE(kinoa::draw_frame(v.cursor, 3));
    EXPECT_TRUE(v.canvas.calls.empty());
    EXPECT_TRUE(v.io.boxes.empty());
    v.cursor.current = 2;
    EXPECT_TRUE(kinoa::draw_frame(v.cursor, -1)) << "below 0 draws the current frame";
    EXPECT_EQ(v.cursor.displayed, 2);
}

TEST(ViewerKeys, NOnTheLastFrameStaysAndDrawsNothing)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    v.cursor.current = 2;
    v.reset();
    EXPECT_EQ(kinoa::act_on_key(v.cursor, 'N'), 0);
    EXPECT_EQ(v.cursor.current, 2);
    EXPECT_TRUE(v.canvas.calls.empty());
}

TEST(ViewerKeys, POnFrameZeroStaysAndDrawsNothing)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    v.reset();
    EXPECT_EQ(kinoa::act_on_key(v.cursor, 'P'), 0);
    EXPECT_EQ(v.cursor.current, 0);
    EXPECT_TRUE(v.canvas.calls.empty());
}

TEST(ViewerKeys, NAndPStepAndDraw)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    kinoa::act_on_key(v.cursor, 'N');
    kinoa::act_on_key(v.cursor, 'N');
    kinoa::act_on_key(v.cursor, 'P');
    EXPECT_EQ(v.cursor.current, 1);
    EXPECT_EQ(v.cursor.displayed, 1);
    EXPECT_EQ(v.io.printed, "[frame1]\n[frame2]\n[frame1]\n");
}

TEST(ViewerKeys, LoopFoldsCaseAndIgnoresOtherKeys)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    v.io.keys = {'x', '\n', '7', 'n', 'e'};
    v.io.yesno_answers = {1};
    EXPECT_EQ(kinoa::key_loop(v.cursor), 1961);
    EXPECT_EQ(v.io.printed, "\n\n\n\n[frame1]\n\n");
    ASSERT_EQ(v.io.boxes.size(), 1u);
    EXPECT_EQ(v.io.boxes[0].caption, "Kinoascope");
    EXPECT_EQ(v.io.boxes[0].text, "QUIT? (Y/N)");
}

TEST(ViewerKeys, EAnsweredNoGoesOn)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    v.io.keys = {'E', 'N'};
    v.io.yesno_answers = {0};
    EXPECT_EQ(kinoa::key_loop(v.cursor), 1961) << "ends only when the input ends";
    EXPECT_EQ(v.cursor.current, 1);
}

TEST(ViewerKeys, BSavesTheShownPageBesideTheDataFile)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    v.reset();
    EXPECT_EQ(kinoa::act_on_key(v.cursor, 'B'), 0);
    EXPECT_EQ(v.canvas.calls, (Calls{"savearea(0,0,719,479,10)", "savebmp(10,24)"}));
    ASSERT_EQ(v.canvas.saved.size(), 1u);
    EXPECT_EQ(v.canvas.saved[0], v.dir.file("walk.BMP"));
}

TEST(ViewerKeys, BAsksBeforeOverwritingAndNoKeepsTheFile)
{
    Viewer v;
    v.settings.overwrite_check = true;
    ASSERT_TRUE(v.load());
    write_file("walk.BMP", "old");
    v.io.yesno_answers = {0};
    kinoa::act_on_key(v.cursor, 'B');
    ASSERT_EQ(v.io.boxes.size(), 1u);
    EXPECT_EQ(v.io.boxes[0].caption, "Overwrite_check");
    EXPECT_EQ(v.io.boxes[0].text, v.dir.file("walk.BMP") + "を上書きしますか？");
    EXPECT_EQ(read_file("walk.BMP"), "old");
    v.io.yesno_answers = {1};
    kinoa::act_on_key(v.cursor, 'B');
    EXPECT_EQ(read_file("walk.BMP"), "BM");
}

TEST(ViewerKeys, FailedExportIsReported)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    v.canvas.fail_savebmp = true;
    v.reset();
    EXPECT_FALSE(kinoa::save_shown_page());
    EXPECT_EQ(v.io.printed, "Can not write " + v.dir.file("walk.BMP") + "\n");
}

TEST(ViewerQuit, QSavesEveryFrameAndEnds)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    v.io.yesno_answers = {1};
    EXPECT_EQ(kinoa::act_on_key(v.cursor, 'q'), 0) << "lower case is folded by the loop, not here";
    EXPECT_EQ(kinoa::act_on_key(v.cursor, 'Q'), 1961);
    EXPECT_EQ(v.canvas.saved, (Calls{v.dir.file("walk0000.BMP"), v.dir.file("walk0001.BMP"),
                                     v.dir.file("walk0002.BMP")}));
    EXPECT_NE(v.io.printed.find("Saving...\n[frame0]\n[frame1]\n[frame2]\nFinished.\n"), std::string::npos);
    ASSERT_EQ(v.io.boxes.size(), 2u);
    EXPECT_EQ(v.io.boxes[0].text, "QUIT and SAVE ? (Y/N)");
    EXPECT_EQ(v.io.boxes[1].caption, "Kinoascope");
    EXPECT_EQ(v.io.boxes[1].text, "終了します．");
}

TEST(ViewerQuit, OneQuestionAndYesOverwritesAll)
{
    Viewer v;
    v.settings.overwrite_check = true;
    ASSERT_TRUE(v.load());
    write_file("walk0000.BMP", "old");
    write_file("walk0001.BMP", "old");
    v.io.yesno_answers = {1, 1};
    EXPECT_EQ(kinoa::act_on_key(v.cursor, 'Q'), 1961);
    ASSERT_EQ(v.io.boxes.size(), 3u);
    EXPECT_EQ(v.io.boxes[1].text, v.dir.file("walk0000.BMP") + "を上書きしますか？");
    EXPECT_EQ(read_file("walk0000.BMP"), "BM");
    EXPECT_EQ(read_file("walk0001.BMP"), "BM");
    EXPECT_EQ(v.canvas.saved.size(), 3u);
}

TEST(ViewerQuit, NoSavesNothingAndStillEnds)
{
    Viewer v;
    v.settings.overwrite_check = true;
    ASSERT_TRUE(v.load());
    write_file("walk0000.BMP", "old");
    write_file("walk0001.BMP", "old");
    v.io.yesno_answers = {1, 0};
    EXPECT_EQ(kinoa::act_on_key(v.cursor, 'Q'), 1961);
    EXPECT_TRUE(v.canvas.saved.empty());
    EXPECT_EQ(read_file("walk0000.BMP"), "old");
    EXPECT_EQ(v.io.printed.find("Finished."), std::string::npos);
    EXPECT_EQ(v.io.boxes.back().text, "終了します．");
}

TEST(ViewerQuit, FrameThatCannotBeDrawnStopsTheSave)
{
    Viewer v("0,0 1,1\n\n2,2 3,3\n");
    ASSERT_TRUE(v.load());
    EXPECT_FALSE(kinoa::save_all_frames(v.cursor));
    EXPECT_EQ(v.canvas.saved, (Calls{v.dir.file("walk0000.BMP")}));
    EXPECT_FALSE(file_exists("walk0001.BMP"));
    EXPECT_FALSE(file_exists("walk0002.BMP"));
    EXPECT_NE(v.io.printed.find("Stopped at frame 1"), std::string::npos);
    EXPECT_EQ(v.io.printed.find("Finished."), std::string::npos);
}

TEST(ViewerMouse, ClicksAnywhereOnPageOneStep)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    EXPECT_EQ(kinoa::on_page_message(1, 513), 1);
    EXPECT_EQ(v.cursor.current, 1);
    EXPECT_EQ(kinoa::on_page_message(1, 516), 1);
    EXPECT_EQ(v.cursor.current, 0);
}

TEST(ViewerMouse, DoubleClickMovesOneFrameOnly)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    EXPECT_EQ(kinoa::on_page_message(1, 513), 1);
    EXPECT_EQ(kinoa::on_page_message(1, 515), 0) << "the second press is a double-click message";
    EXPECT_EQ(kinoa::on_page_message(1, 514), 0);
    EXPECT_EQ(v.cursor.current, 1);
}

TEST(ViewerMouse, OtherPagesAndTheConsoleAreNotConsumed)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    EXPECT_EQ(kinoa::on_page_message(0, 513), 0);
    EXPECT_EQ(kinoa::on_page_message(2, 513), 0);
    EXPECT_EQ(kinoa::on_page_message(10, 516), 0);
    EXPECT_EQ(v.cursor.current, 0);
}

TEST(ViewerMouse, HookOfAnUnknownWindowIsNotConsumed)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    EXPECT_EQ(kinoa::hook(nullptr, 513, 0, 45 * 65536 + 120), 0);
    EXPECT_EQ(v.cursor.current, 0);
}

TEST(ViewerMouse, ClickDuringADrawWaitsForIt)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    // The console output of a draw pumps messages: a click arrives there.
    bool clicked = false;
    v.io.on_print = [&] {
        if (!clicked) {
            clicked = true;
            EXPECT_EQ(kinoa::on_page_message(1, 513), 1);
        }
    };
    kinoa::on_page_message(1, 513);
    EXPECT_EQ(v.cursor.current, 2);
    EXPECT_EQ(v.io.printed, "[frame1]\n[frame2]\n") << "the second draw starts after the first ends";
}

} // namespace
