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

TEST(StickDataLoad, OneFramePerLine)
{
    Loaded t;
    write_file("walk.txt", lines(120));
    ASSERT_TRUE(t.data.load_frames("walk.txt"));
    EXPECT_EQ(t.data.frame_count, 120);
    EXPECT_EQ(t.io.printed, "Reading...120frames\n");
    EXPECT_TRUE(t.io.boxes.empty());
    EXPECT_STREQ(t.data.frame_row(0, 0), "0,0 10,20\n");
    EXPECT_STREQ(t.data.frame_row(119, 0), "119,119 10,20\n");
    EXPECT_EQ(t.data.row_width, static_cast<int>(std::strlen("119,119 10,20\n")) + 1);
}

TEST(StickDataLoad, NodesAreLinkedInFileOrder)
{
    Loaded t;
    write_file("walk.txt", lines(3));
    ASSERT_TRUE(t.data.load_frames("walk.txt"));
    const FrameNode* a = &t.data.first_frame;
    ASSERT_NE(a->next, nullptr);
    const FrameNode* b = a->next;
    ASSERT_NE(b->next, nullptr);
    const FrameNode* c = b->next;
    EXPECT_EQ(a->previous, nullptr);
    EXPECT_EQ(b->previous, a);
    EXPECT_EQ(c->previous, b);
    EXPECT_EQ(c->next, nullptr);
    EXPECT_EQ(a->index, 0);
    EXPECT_EQ(b->index, 1);
    EXPECT_EQ(c->index, 2);
}

TEST(StickDataLoad, EmptyFileIsRefused)
{
    Loaded t;
    write_file("empty.txt", "");
    EXPECT_FALSE(t.data.load_frames("empty.txt"));
    EXPECT_EQ(t.io.printed, "Reading...0frames\n");
    ASSERT_EQ(t.io.boxes.size(), 1u);
    EXPECT_EQ(t.io.boxes[0].caption, "Error");
    EXPECT_EQ(t.io.boxes[0].text, "１行のデータの長さが不正です.");
}

TEST(StickDataLoad, EmptyLineIsAFrameOfItsOwn)
{
    Loaded t;
    write_file("walk.txt", "0,0 1,1\n\n2,2 3,3\n");
    ASSERT_TRUE(t.data.load_frames("walk.txt"));
    EXPECT_EQ(t.data.frame_count, 3);
    EXPECT_STREQ(t.data.frame_row(1, 0), "\n");
}

TEST(StickDataLoad, LongLineIsReadAsTwoFrames)
{
    Loaded t;
    std::string line(300, '1');
    write_file("walk.txt", line + "\n");
    ASSERT_TRUE(t.data.load_frames("walk.txt"));
    EXPECT_EQ(t.data.frame_count, 2);
    EXPECT_EQ(t.data.row_width, 255);
    EXPECT_EQ(std::string(t.data.frame_row(0, 0)), std::string(254, '1'));
    EXPECT_EQ(std::string(t.data.frame_row(1, 0)), std::string(46, '1') + "\n");
}

TEST(StickDataLoad, CarriageReturnLineFeedIsOneLineEnd)
{
    Loaded t;
    write_file("walk.txt", "0,0 1,1\r\n2,2 3,3\r\n");
    ASSERT_TRUE(t.data.load_frames("walk.txt"));
    EXPECT_EQ(t.data.frame_count, 2);
    EXPECT_EQ(t.data.row_width, 9);
    EXPECT_STREQ(t.data.frame_row(1, 0), "2,2 3,3\n");
}

TEST(StickDataLoad, LastLineWithoutLineEnd)
{
    Loaded t;
    write_file("walk.txt", "0,0 1,1\n2,2");
    ASSERT_TRUE(t.data.load_frames("walk.txt"));
    EXPECT_EQ(t.data.frame_count, 2);
    EXPECT_STREQ(t.data.frame_row(1, 0), "2,2");
}

TEST(StickDataLoad, MissingFileNamesThePath)
{
    Loaded t;
    EXPECT_FALSE(t.data.load_frames("nothere.txt"));
    EXPECT_EQ(t.io.printed, "") << "nothing is printed before the file is open";
    ASSERT_EQ(t.io.boxes.size(), 1u);
    EXPECT_EQ(t.io.boxes[0].caption, "Error");
    EXPECT_EQ(t.io.boxes[0].text, "File can not open (nothere.txt).");
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

TEST(StickDataLoad, WholeFramesOfSeveralLinesAreAccepted)
{
    Loaded t;
    t.settings.block_line = 2;
    write_file("walk.txt", "a\nbb\nccc\ndddd\n");
    ASSERT_TRUE(t.data.load_frames("walk.txt"));
    EXPECT_EQ(t.io.printed, "Reading...2frames\n");
    EXPECT_EQ(t.data.frame_count, 2);
    EXPECT_EQ(t.data.row_width, 6);
    EXPECT_STREQ(t.data.frame_row(0, 0), "a\n");
    EXPECT_STREQ(t.data.frame_row(0, 1), "bb\n");
    EXPECT_STREQ(t.data.frame_row(1, 0), "ccc\n");
    EXPECT_STREQ(t.data.frame_row(1, 1), "dddd\n");
}

TEST(StickDataLoad, TrailingPartialFrameIsAFormatError)
{
    Loaded t;
    t.settings.block_line = 3;
    write_file("walk.txt", "a\nb\nc\nd\ne\n");
    EXPECT_FALSE(t.data.load_frames("walk.txt"));
    EXPECT_EQ(t.io.printed, "Reading...");
    ASSERT_EQ(t.io.boxes.size(), 1u);
    EXPECT_EQ(t.io.boxes[0].text, "Data format error.");
}

TEST(StickDataLoad, LoadingAgainReplacesTheFrames)
{
    Loaded t;
    write_file("a.txt", lines(5));
    write_file("b.txt", lines(2));
    ASSERT_TRUE(t.data.load_frames("a.txt"));
    ASSERT_TRUE(t.data.load_frames("b.txt"));
    EXPECT_EQ(t.data.frame_count, 2);
    EXPECT_EQ(t.data.first_frame.next->next, nullptr);
}

TEST(StickDataRow, OutOfRangeShowsTheGetDataBox)
{
    Loaded t;
    write_file("walk.txt", lines(4));
    ASSERT_TRUE(t.data.load_frames("walk.txt"));
    EXPECT_NE(t.data.frame_row(0, 0), nullptr);
    EXPECT_TRUE(t.io.boxes.empty());
    EXPECT_EQ(t.data.frame_row(4, 0), nullptr);
    EXPECT_EQ(t.data.frame_row(-1, 0), nullptr);
    EXPECT_EQ(t.data.frame_row(0, 1), nullptr);
    EXPECT_EQ(t.data.frame_row(0, -1), nullptr);
    ASSERT_EQ(t.io.boxes.size(), 4u);
    for (const Box& b : t.io.boxes) {
        EXPECT_EQ(b.caption, "Error");
        EXPECT_EQ(b.text, "予想外のエラーです．要デバッグ(get_data)");
    }
}

TEST(StickDataRow, WalksForwardAndBackward)
{
    Loaded t;
    write_file("walk.txt", lines(50));
    ASSERT_TRUE(t.data.load_frames("walk.txt"));
    EXPECT_STREQ(t.data.frame_row(40, 0), "40,40 10,20\n");
    EXPECT_STREQ(t.data.frame_row(39, 0), "39,39 10,20\n");
    EXPECT_STREQ(t.data.frame_row(41, 0), "41,41 10,20\n");
    EXPECT_STREQ(t.data.frame_row(0, 0), "0,0 10,20\n");
}

TEST(StickDataRow, BrokenListIsReported)
{
    Loaded t;
    write_file("walk.txt", lines(3));
    ASSERT_TRUE(t.data.load_frames("walk.txt"));
    t.data.first_frame.next->index = 7;
    EXPECT_EQ(t.data.frame_row(1, 0), nullptr);
    ASSERT_EQ(t.io.boxes.size(), 1u);
    t.data.first_frame.next->index = 1;
}

TEST(StickDataRow, BeforeAnyLoadEveryFrameIsOutOfRange)
{
    Loaded t;
    EXPECT_EQ(t.data.frame_count, 0);
    EXPECT_EQ(t.data.row_width, 0);
    EXPECT_EQ(t.data.frame_row(0, 0), nullptr);
    EXPECT_EQ(t.io.boxes.size(), 1u);
}

} // namespace
