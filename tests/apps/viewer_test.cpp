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

TEST(ViewerMapping, RatiosOriginsAndTruncation)
{
    struct Row { double ratio_x, ratio_y, x0, y0; bool is_x; double value; int expected; };
    const Row rows[] = {
        {1, -1, 0, 0, true, 12.9, 12},   {1, -1, 0, 0, false, 7.2, 7},   // the defaults: identity
        {1, -1, 0, 0, true, -0.7, 0},    {1, -1, 0, 0, false, -1.9, -1}, // toward zero
        {2, 1.5, 10, 100, true, 15, 10}, {2, 1.5, 10, 100, false, 80, 30},   // larger data y is drawn higher
        {2, 1.5, 10, 100, false, 100, 0},
        // (1/3 as a double) * 3 is 0.99999999999999994...: rounded to a double first it would give 1
        {3, -1, 0, 0, true, 1.0 / 3.0, 0},
        {1, -1, 0, 0, true, 1e300, INT_MAX}, {1, -1, 0, 0, true, -1e300, INT_MIN},
        {1, -1, 0, 0, true, std::nan(""), 0},
    };
    for (const Row& r : rows) {
        ViewerSettings s("/nonexistent/Kinoa.ini");
        s.pixel_ratio_x = r.ratio_x;
        s.pixel_ratio_y = r.ratio_y;
        s.coordinate_x0 = r.x0;
        s.coordinate_y0 = r.y0;
        EXPECT_EQ(r.is_x ? kinoa::map_x(s, r.value) : kinoa::map_y(s, r.value), r.expected) << r.value;
    }
}

TEST(ViewerDraw, FrameZeroDrawsCirclesCentredOnEachPoint)
{
    Viewer v("0,0 10,20\n");
    ASSERT_TRUE(v.load());
    EXPECT_TRUE(kinoa::draw_frame(v.cursor, 0));
    EXPECT_EQ(v.canvas.calls, (Calls{"clearscreen(2)", "setpage(1,1)", "setcolor(0x00000000)",
                                     "ellipse(-5,-5,5,5)", "moveto(0,0)", "ellipse(5,15,15,25)",
                                     "lineto(10,20)", "setpage(1,1)"}));
    EXPECT_EQ(v.io.printed, "[frame0]\n");
    EXPECT_EQ(v.cursor.displayed, 0);
}

TEST(ViewerDraw, StrokesOfAFrame)
{
    struct Row { const char* frames; int block_line, joint_mark; double ratio_x; bool ok; Calls strokes; };
    const Row rows[] = {
        // circles stay on the data values while the line follows the ratio
        {"0,0 10,20\n", 1, 5, 2, true, {"ellipse(-5,-5,5,5)", "moveto(0,0)", "ellipse(5,15,15,25)", "lineto(20,20)"}},
        {"4,4 8,8\n", 1, -3, 1, true, {"rect(7,7,1,1)", "moveto(4,4)", "rect(11,11,5,5)", "lineto(8,8)"}},
        {"4,4 8,8\n", 1, 0, 1, true, {"moveto(4,4)", "lineto(8,8)"}},
        // rows are separate polylines; a non-number reads as 0
        {"1,1 2,2\nx,3 4,4\n", 2, 0, 1, true, {"moveto(1,1)", "lineto(2,2)", "moveto(0,3)", "lineto(4,4)"}},
        {"0,0 1,1 2\n", 1, 0, 1, false, {"moveto(0,0)", "lineto(1,1)"}},   // an x without its y
    };
    for (const Row& r : rows) {
        Viewer v(r.frames);
        v.settings.block_line = r.block_line;
        v.settings.joint_mark = r.joint_mark;
        v.settings.pixel_ratio_x = r.ratio_x;
        ASSERT_TRUE(v.load());
        EXPECT_EQ(kinoa::draw_frame(v.cursor, 0), r.ok) << r.frames;
        EXPECT_EQ(v.canvas.strokes(), r.strokes) << r.frames;
        EXPECT_EQ(v.io.boxes.size(), r.ok ? 0u : 1u);
    }
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

TEST(ViewerDraw, FrameBeyondTheLastIsRefusedSilently)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    EXPECT_FALSE(kinoa::draw_frame(v.cursor, 3));
    EXPECT_TRUE(v.canvas.calls.empty());
    EXPECT_TRUE(v.io.boxes.empty());
    v.cursor.current = 2;
    EXPECT_TRUE(kinoa::draw_frame(v.cursor, -1)) << "below 0 draws the current frame";
    EXPECT_EQ(v.cursor.displayed, 2);
}

TEST(ViewerKeys, TheLoopStepsFoldsCaseIgnoresOtherKeysAndAsksBeforeQuitting)
{
    struct Row { std::deque<int> keys, answers; const char* printed; int current, displayed; std::size_t boxes; };
    const Row rows[] = {   // each key ends its line; a draw prints the frame's line
        {{'N', 'N', 'P'}, {}, "\n[frame1]\n\n[frame2]\n\n[frame1]\n", 1, 1, 0},
        {{'N', 'N', 'N'}, {}, "\n[frame1]\n\n[frame2]\n\n", 2, 2, 0},   // N on the last frame draws nothing
        {{'P'}, {}, "\n", 0, -1, 0},                                        // nor P on frame 0
        {{'x', '\n', '7', 'n', 'e'}, {1}, "\n\n\n\n[frame1]\n\n", 1, 1, 1},   // case folded, others ignored
        {{'E', 'N'}, {0}, "\n\n[frame1]\n", 1, 1, 1},                      // E answered No goes on
    };
    for (const Row& r : rows) {
        Viewer v;
        ASSERT_TRUE(v.load());
        v.io.keys = r.keys;
        v.io.yesno_answers = r.answers;
        EXPECT_EQ(kinoa::key_loop(v.cursor), 1961);
        EXPECT_EQ(v.io.printed, r.printed);
        EXPECT_EQ(v.cursor.current, r.current);
        EXPECT_EQ(v.cursor.displayed, r.displayed);
        ASSERT_EQ(v.io.boxes.size(), r.boxes);
        if (r.boxes) {
            EXPECT_EQ(v.io.boxes[0].caption, "Kinoascope");
            EXPECT_EQ(v.io.boxes[0].text, "QUIT? (Y/N)");
        }
    }
}

TEST(ViewerKeys, BSavesTheShownPageBesideTheDataFile)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    EXPECT_EQ(kinoa::act_on_key(v.cursor, 'B'), 0);
    EXPECT_EQ(v.canvas.calls, (Calls{"savearea(0,0,719,479,10)", "savebmp(10,24)"}));
    EXPECT_EQ(v.canvas.saved, (Calls{v.dir.file("walk.BMP")}));
    v.canvas.fail_savebmp = true;
    EXPECT_FALSE(kinoa::save_shown_page());
    EXPECT_EQ(v.io.printed, "Can not write " + v.dir.file("walk.BMP") + "\n");
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

TEST(ViewerQuit, OneQuestionYesOverwritesAllNoSavesNothingAndStillEnds)
{
    for (int answer : {1, 0}) {
        Viewer v;
        v.settings.overwrite_check = true;
        ASSERT_TRUE(v.load());
        write_file("walk0000.BMP", "old");
        write_file("walk0001.BMP", "old");
        v.io.yesno_answers = {1, answer};
        EXPECT_EQ(kinoa::act_on_key(v.cursor, 'Q'), 1961);
        ASSERT_EQ(v.io.boxes.size(), 3u);
        EXPECT_EQ(v.io.boxes[1].text, v.dir.file("walk0000.BMP") + "を上書きしますか？");
        EXPECT_EQ(v.io.boxes[2].text, "終了します．");
        EXPECT_EQ(read_file("walk0000.BMP"), answer ? "BM" : "old");
        EXPECT_EQ(read_file("walk0001.BMP"), answer ? "BM" : "old");
        EXPECT_EQ(v.canvas.saved.size(), answer ? 3u : 0u);
        EXPECT_EQ(v.io.printed.find("Finished.") != std::string::npos, answer == 1);
    }
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

TEST(ViewerMouse, ClicksAnywhereOnPageOneStepOnlyThere)
{
    Viewer v;
    ASSERT_TRUE(v.load());
    EXPECT_EQ(kinoa::on_page_message(1, 513), 1);
    EXPECT_EQ(v.cursor.current, 1);
    EXPECT_EQ(kinoa::on_page_message(1, 516), 1);
    EXPECT_EQ(v.cursor.current, 0);
    // a quick double click moves one frame: the second press is a double-click message
    EXPECT_EQ(kinoa::on_page_message(1, 513), 1);
    EXPECT_EQ(kinoa::on_page_message(1, 515), 0);
    EXPECT_EQ(kinoa::on_page_message(1, 514), 0);
    EXPECT_EQ(v.cursor.current, 1);
    // other pages, the console and unknown windows are not consumed
    EXPECT_EQ(kinoa::on_page_message(0, 513), 0);
    EXPECT_EQ(kinoa::on_page_message(2, 513), 0);
    EXPECT_EQ(kinoa::on_page_message(10, 516), 0);
    EXPECT_EQ(kinoa::hook(nullptr, 513, 0, 45 * 65536 + 120), 0);
    EXPECT_EQ(v.cursor.current, 1);
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
