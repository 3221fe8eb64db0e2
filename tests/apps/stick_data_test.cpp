// StickData: the counting and storing passes, the refusals and frame_row.
#include "apps_test_support.h"
#include "stick_data.h"
#include "viewer_settings.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

struct Loaded {
    TempCwd dir;
    IoRecorder io;
    ViewerSettings settings;
    StickData data{settings};
};

std::string lines(int n)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += std::to_string(i) + "," + std::to_string(i) + " 10,20\n";
    return text;
}

struct Row { int frame, row; std::string text; };

TEST(StickDataLoad, FramesRowsAndWidths)
{
    struct Case { int block_line; std::string file; const char* printed; int frames, row_width; std::vector<Row> rows; };
    const Case cases[] = {
        {1, lines(120), "Reading...120frames\n", 120, 15, {{0, 0, "0,0 10,20\n"}, {119, 0, "119,119 10,20\n"},
                                                           {40, 0, "40,40 10,20\n"}, {39, 0, "39,39 10,20\n"},
                                                           {41, 0, "41,41 10,20\n"}, {0, 0, "0,0 10,20\n"}}},
        {1, "0,0 1,1\n\n2,2 3,3\n", "Reading...3frames\n", 3, 9, {{1, 0, "\n"}}},   // an empty line is a frame
        {1, std::string(300, '1') + "\n", "Reading...2frames\n", 2, 255,          // 254 characters, then the rest
         {{0, 0, std::string(254, '1')}, {1, 0, std::string(46, '1') + "\n"}}},
        {1, "0,0 1,1\r\n2,2 3,3\r\n", "Reading...2frames\n", 2, 9, {{1, 0, "2,2 3,3\n"}}},
        {1, "0,0 1,1\n2,2", "Reading...2frames\n", 2, 9, {{1, 0, "2,2"}}},
        {2, "a\nbb\nccc\ndddd\n", "Reading...2frames\n", 2, 6,
         {{0, 0, "a\n"}, {0, 1, "bb\n"}, {1, 0, "ccc\n"}, {1, 1, "dddd\n"}}},
    };
    for (const Case& c : cases) {
        Loaded t;
        t.settings.block_line = c.block_line;
        write_file("walk.txt", c.file);
        ASSERT_TRUE(t.data.load_frames("walk.txt")) << c.file;
        EXPECT_EQ(t.io.printed, c.printed);
        EXPECT_EQ(t.data.frame_count, c.frames);
        EXPECT_EQ(t.data.row_width, c.row_width);
        for (const Row& r : c.rows)
            EXPECT_EQ(std::string(t.data.frame_row(r.frame, r.row)), r.text) << r.frame << "," << r.row;
        EXPECT_TRUE(t.io.boxes.empty());
    }
}

TEST(StickDataLoad, RefusalsShowTheirBox)
{
    struct Case { int block_line; const char* name; const char* file; const char* printed; const char* box; };
    const Case cases[] = {
        {1, "empty.txt", "", "Reading...0frames\n", "１行のデータの長さが不正です."},
        {1, "nothere.txt", nullptr, "", "File can not open (nothere.txt)."},   // nothing printed before the open
        {3, "walk.txt", "a\nb\nc\nd\ne\n", "Reading...", "Data format error."},   // a trailing partial frame
    };
    for (const Case& c : cases) {
        Loaded t;
        t.settings.block_line = c.block_line;
        if (c.file)
            write_file(c.name, c.file);
        EXPECT_FALSE(t.data.load_frames(c.name));
        EXPECT_EQ(t.io.printed, c.printed);
        ASSERT_EQ(t.io.boxes.size(), 1u);
        EXPECT_EQ(t.io.boxes[0].caption, "Error");
        EXPECT_EQ(t.io.boxes[0].text, c.box);
    }
}

TEST(StickDataLoad, OverlongPathIsCutToTheMessageField)
{
    Loaded t;
    std::string path = "/no/such/" + std::string(600, 'x');
    EXPECT_FALSE(t.data.load_frames(path.c_str()));
    EXPECT_EQ(std::strlen(t.data.message), 255u);
    EXPECT_EQ(std::string(t.data.message).substr(0, 19), "File can not open (");
    ASSERT_EQ(t.io.boxes.size(), 1u);
    EXPECT_EQ(t.io.boxes[0].text, t.data.message);
}

TEST(StickDataLoad, NodesAreLinkedInFileOrderAndReplacedByTheNextLoad)
{
    Loaded t;
    write_file("a.txt", lines(5));
    write_file("b.txt", lines(3));
    ASSERT_TRUE(t.data.load_frames("a.txt"));
    ASSERT_TRUE(t.data.load_frames("b.txt"));
    EXPECT_EQ(t.data.frame_count, 3);
    const FrameNode* node = &t.data.first_frame;
    const FrameNode* before = nullptr;
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->index, i);
        EXPECT_EQ(node->previous, before);
        before = node;
        node = node->next;
    }
    EXPECT_EQ(node, nullptr);
}

TEST(StickDataRow, OutOfRangeOrBrokenListShowsTheGetDataBox)
{
    Loaded t;
    EXPECT_EQ(t.data.frame_row(0, 0), nullptr) << "before any load every frame is out of range";
    write_file("walk.txt", lines(4));
    ASSERT_TRUE(t.data.load_frames("walk.txt"));
    EXPECT_NE(t.data.frame_row(0, 0), nullptr);
    EXPECT_EQ(t.data.frame_row(4, 0), nullptr);
    EXPECT_EQ(t.data.frame_row(-1, 0), nullptr);
    EXPECT_EQ(t.data.frame_row(0, 1), nullptr);
    EXPECT_EQ(t.data.frame_row(0, -1), nullptr);
    t.data.first_frame.next->index = 7;
    EXPECT_EQ(t.data.frame_row(1, 0), nullptr);
    t.data.first_frame.next->index = 1;
    ASSERT_EQ(t.io.boxes.size(), 6u);
    for (const Box& b : t.io.boxes) {
        EXPECT_EQ(b.caption, "Error");
        EXPECT_EQ(b.text, "予想外のエラーです．要デバッグ(get_data)");
    }
}

} // namespace
