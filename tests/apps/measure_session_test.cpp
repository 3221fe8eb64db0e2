// The measuring session: paths, the overwrite question, clicks, markers and
// their colours, undo, and the data file.
#include "apps_test_support.h"
#include "measure_session.h"
#include "measure_settings.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace {

using Calls = std::vector<std::string>;

struct Session {
    TempCwd dir;
    IoRecorder io;
    CanvasRecorder canvas;
    MeasureSettings settings{"/nonexistent/Marcot.ini"};
    std::unique_ptr<MeasureSession> session;

    explicit Session(int points = 4)
    {
        settings.measure_point = points;
        session = std::make_unique<MeasureSession>(settings);
        marcot::bind(&settings, session.get());
    }
    bool paths(const std::string& image) { return marcot::prepare_paths(image.c_str()); }
    int click(double x, double y) { return marcot::on_page_message(1, 513, x, y); }
    int right() { return marcot::on_page_message(1, 516, 0, 0); }
    void reset()
    {
        io.printed.clear();
        io.boxes.clear();
        canvas.calls.clear();
    }
};

TEST(MarcotPaths, DataFileBesideTheImage)
{
    struct Row { const char* image; const char* ext; const char* image_path; const char* data_path; };
    const Row rows[] = {
        {"/pics/hand.jpg", "TXT", "/pics/hand.jpg", "/pics/hand.TXT"},
        {"/pics/hand", "TXT", "/pics/hand", "/pics/hand.TXT"},           // a dot and the extension
        {"hand", "TXT", "hand", "hand.TXT"},                              // no directory, no separator
        {"/pics/hand.jpg", ".dat", "/pics/hand.jpg", "/pics/hand.dat"},   // no doubled dot
        {"/pics/hand.jpg", "jpg", "/pics/hand.jpg", "/pics/hand.jpg"},    // the image itself
        {"\"/pics/my hand.jpg\"", "TXT", "/pics/my hand.jpg", "/pics/my hand.TXT"},   // quotes removed
    };
    for (const Row& r : rows) {
        Session s;
        std::strcpy(s.settings.ext_name, r.ext);
        EXPECT_TRUE(s.paths(r.image)) << r.image;
        EXPECT_STREQ(s.session->image_path, r.image_path);
        EXPECT_STREQ(s.session->data_path, r.data_path);
    }
}

TEST(MarcotPaths, LongCommandLineIsCutBetweenCharacters)
{
    Session s;
    std::string text = "/pics/";
    while (text.size() < 1000)
        text += "é";
    s.paths(text);
    // 259 bytes at most; a two-byte character that would pass it is left out whole
    EXPECT_EQ(std::strlen(s.session->image_path), 258u);
    EXPECT_EQ(std::string(s.session->image_path).back(), "é"[1]) << "no half character at the end";
}

TEST(MarcotPaths, DataPathThatDoesNotFitIsRefused)
{
    Session s;
    std::strcpy(s.settings.ext_name, "abcdefghijklmno");
    std::string image = "/" + std::string(250, 'd') + "/a.jpg";
    EXPECT_FALSE(s.paths(image));
    EXPECT_NE(s.io.printed.find("Data path too long"), std::string::npos);
}

TEST(MarcotPaths, OverwriteQuestionOnlyForAnExistingFile)
{
    Session s;
    s.settings.overwrite_check = true;
    EXPECT_TRUE(s.paths(s.dir.file("hand.jpg")));
    EXPECT_TRUE(s.io.boxes.empty());
    write_file("hand.TXT", "old");
    s.io.yesno_answers = {0};
    EXPECT_FALSE(s.paths(s.dir.file("hand.jpg")));
    ASSERT_EQ(s.io.boxes.size(), 1u);
    EXPECT_EQ(s.io.boxes[0].caption, "Overwrite_check");
    EXPECT_EQ(s.io.boxes[0].text, "hand.TXTを上書きしますか？");
    s.io.yesno_answers = {1};
    EXPECT_TRUE(s.paths(s.dir.file("hand.jpg")));
    s.io.yesno_answers = {-1};
    EXPECT_TRUE(s.paths(s.dir.file("hand.jpg"))) << "only No ends the program";
}

TEST(MarcotPaths, ImageExtensionAsDataExtensionAsksAboutAndReplacesTheImage)
{
    Session s(1);
    s.settings.overwrite_check = true;
    std::strcpy(s.settings.ext_name, "jpg");
    write_file("hand.jpg", "picture bytes");
    s.io.yesno_answers = {1};
    ASSERT_TRUE(s.paths(s.dir.file("hand.jpg")));
    ASSERT_EQ(s.io.boxes.size(), 1u);
    EXPECT_EQ(s.io.boxes[0].text, "hand.jpgを上書きしますか？");
    s.click(3, 4);
    EXPECT_EQ(read_file("hand.jpg"), "3.000000\t4.000000\t\n");
    EXPECT_EQ(list_dir(s.dir.path()), (std::vector<std::string>{"hand.jpg"}));
}

TEST(MarcotClicks, OnePointSessionWritesTheFileAndEnds)
{
    Session s(1);
    ASSERT_TRUE(s.paths(s.dir.file("hand.bmp")));
    s.io.keys = {'x'};
    EXPECT_EQ(s.click(12, 7), 1);
    EXPECT_EQ(s.io.printed, "0: (12.000000, 7.000000)\nデータファイルへの書き込み完了\nQUIT");
    EXPECT_EQ(read_file("hand.TXT"), "12.000000\t7.000000\t\n");
    EXPECT_EQ(s.io.getkey_calls, 1);
    EXPECT_EQ(s.io.quits, (std::vector<int>{1961}));
    EXPECT_EQ(list_dir(s.dir.path()).size(), 1u) << "no temporary file left";
}

TEST(MarcotClicks, DataLineInClickOrderReplacesAnOlderFile)
{
    struct Row { int points; const char* format; std::vector<std::pair<double, double>> clicks; const char* line; };
    const Row rows[] = {
        {3, "%lf", {{1, 2}, {3, 4}, {65535, 0}}, "1.000000\t2.000000\t3.000000\t4.000000\t65535.000000\t0.000000\t\n"},
        {1, "%.1f", {{12, 7}}, "12.0\t7.0\t\n"},
    };
    for (const Row& r : rows) {
        Session s(r.points);
        std::strcpy(s.settings.data_format, r.format);
        write_file("hand.TXT", std::string(1000, 'z'));
        ASSERT_TRUE(s.paths(s.dir.file("hand.bmp")));
        for (std::size_t i = 0; i < r.clicks.size(); ++i) {
            EXPECT_EQ(read_file("hand.TXT"), std::string(1000, 'z')) << "written only when complete";
            s.click(r.clicks[i].first, r.clicks[i].second);
        }
        EXPECT_EQ(read_file("hand.TXT"), r.line);
    }
}

TEST(MarcotClicks, DataFileThatCannotBeWrittenIsReportedAndWhatWasThereKept)
{
    struct Row { const char* image; bool directory_in_the_way; const char* message; };
    for (const Row& r : {Row{"missing/hand.bmp", false, "Can not open data file["},
                         Row{"hand.bmp", true, "Can not write data file["}}) {
        Session s(1);
        if (r.directory_in_the_way) {
            ASSERT_EQ(mkdir("hand.TXT", 0755), 0);
        }
        ASSERT_TRUE(s.paths(s.dir.file(r.image)));
        s.click(1, 1);
        EXPECT_NE(s.io.printed.find(r.message + std::string(s.session->data_path) + "]\n"), std::string::npos)
            << s.io.printed;
        EXPECT_EQ(s.io.printed.find("QUIT"), std::string::npos);
        EXPECT_EQ(s.io.getkey_calls, 1);
        EXPECT_EQ(s.io.quits, (std::vector<int>{1961}));
        struct stat st;
        EXPECT_EQ(stat("hand.TXT", &st) == 0 && S_ISDIR(st.st_mode), r.directory_in_the_way);
        EXPECT_EQ(list_dir(s.dir.path()).size(), r.directory_in_the_way ? 1u : 0u) << "no temporary file left";
    }
}

TEST(MarcotClicks, OtherPagesMessagesAndWindowsAreNotConsumed)
{
    Session s;
    ASSERT_TRUE(s.paths("/pics/hand.jpg"));
    EXPECT_EQ(marcot::on_page_message(0, 513, 5, 5), 0);
    EXPECT_EQ(marcot::on_page_message(2, 513, 5, 5), 0);
    EXPECT_EQ(marcot::on_page_message(2, 516, 5, 5), 0);
    EXPECT_EQ(marcot::on_page_message(1, 512, 5, 5), 0);
    EXPECT_EQ(marcot::hook(nullptr, 513, 0, 45 * 65536 + 120), 0);
    EXPECT_EQ(s.session->count, 0);
    EXPECT_TRUE(s.io.printed.empty());
    EXPECT_TRUE(s.canvas.calls.empty());
    // a quick double click: the second press is a double-click message, not consumed
    EXPECT_EQ(s.click(5, 5), 1);
    EXPECT_EQ(marcot::on_page_message(1, 515, 5, 5), 0);
    EXPECT_EQ(s.session->count, 1);
}

TEST(MarcotClicks, ClickDuringAnotherIsHandledAfterIt)
{
    Session s(2);
    ASSERT_TRUE(s.paths(s.dir.file("hand.bmp")));
    bool clicked = false;
    s.io.on_print = [&] {
        if (!clicked) {
            clicked = true;
            EXPECT_EQ(s.click(30, 40), 1);
        }
    };
    s.click(10, 20);
    EXPECT_EQ(read_file("hand.TXT"), "10.000000\t20.000000\t30.000000\t40.000000\t\n");
    EXPECT_EQ(s.io.printed.find("0: (10.000000, 20.000000)\n1: (30.000000, 40.000000)\n"), 0u);
}

TEST(MarcotMarker, CircleAndCrossAfterFivePixelReads)
{
    Session s;
    ASSERT_TRUE(s.paths("/pics/hand.jpg"));
    s.click(50, 60);
    EXPECT_EQ(s.canvas.calls,
              (Calls{"getpixel(50,60)", "getpixel(50,59)", "getpixel(50,61)", "getpixel(49,60)", "getpixel(51,60)",
                     "setcolor(0x00000000)", "ellipse(45,55,55,65)", "moveto(50,50)", "lineto(50,70)",
                     "moveto(40,60)", "lineto(60,60)", "setpage(1,0)"}));
}

TEST(MarcotMarker, ColourRules)
{
    struct Row {
        int rule;
        std::function<unsigned(double, double)> pixel;
        double x;
        const char* colour;
    };
    const Row rows[] = {
        {-1, [](double, double) { return 0x00FFFFFFu; }, 10, "setcolor(0x00FF0000)"},   // blue kept, red and green inverted
        {-1, [](double, double) { return 0u; }, 10, "setcolor(0x0000FFFF)"},
        {1, [](double, double) { return 0u; }, 10, "setcolor(0x00FFFFFF)"},
        // packed values averaged as whole numbers: x 10, 10, 10, 9, 11 read four 0xFF and one
        // 0x10000; (0x3FC + 0x10000) / 5 = 0x33FF, ^ 0xFFFF = 0xCC00 (by channel: 0xFF33)
        {-1, [](double x, double) { return x < 10 ? 0x00010000u : 0x000000FFu; }, 10, "setcolor(0x0000CC00)"},
        // the left edge reads outside: (4 * 0xFFFFFF + 0xFFFFFFFF) wraps to 0x03FFFFFB; / 5 = 0xCCCCCB
        {-1, [](double x, double) { return x < 0 ? 0xFFFFFFFFu : 0x00FFFFFFu; }, 0, "setcolor(0x00CC3334)"},
    };
    for (const Row& r : rows) {
        Session s;
        ASSERT_TRUE(s.paths("/pics/hand.jpg"));
        s.settings.bullet_color = r.rule;
        s.canvas.pixel = r.pixel;
        s.click(r.x, 10);
        ASSERT_GE(s.canvas.calls.size(), 7u);
        EXPECT_EQ(s.canvas.calls[5], r.colour) << r.rule << " at " << r.x;
        EXPECT_EQ(s.canvas.calls[6], "ellipse(" + std::to_string(int(r.x) - 5) + ",5," + std::to_string(int(r.x) + 5) + ",15)");
    }
}

TEST(MarcotMarker, BulletOffDrawsNothing)
{
    Session s;
    s.settings.bullet = false;
    ASSERT_TRUE(s.paths("/pics/hand.jpg"));
    s.click(10, 10);
    EXPECT_EQ(s.io.printed, "0: (10.000000, 10.000000)\n");
    EXPECT_TRUE(s.canvas.calls.empty());
    s.right();
    EXPECT_EQ(s.canvas.calls, (Calls{"clearscreen(2)", "putbmap(0,0,13369376,1)", "setpage(1,0)"}));
}

TEST(MarcotUndo, NothingWithoutPointsAfterThreePointsRedrawsTwo)
{
    Session s;
    ASSERT_TRUE(s.paths("/pics/hand.jpg"));
    EXPECT_EQ(s.right(), 1);
    EXPECT_TRUE(s.io.printed.empty());
    EXPECT_TRUE(s.canvas.calls.empty());
    s.click(1, 1);
    s.click(2, 2);
    s.click(3, 3);
    s.reset();
    EXPECT_EQ(s.right(), 1);
    EXPECT_EQ(s.io.printed, "[CANCEL]\n0: (1.000000, 1.000000)\n1: (2.000000, 2.000000)\n");
    EXPECT_EQ(s.session->count, 2);
    EXPECT_EQ(s.canvas.strokes().size(), 10u) << "two markers of a circle and two lines";
    EXPECT_EQ(s.canvas.calls.front(), "clearscreen(2)");
    EXPECT_EQ(s.canvas.calls[1], "putbmap(0,0,13369376,1)");
    EXPECT_EQ(s.canvas.calls.back(), "setpage(1,0)");
    s.click(9, 9);   // the next click takes index 2 again
    EXPECT_NE(s.io.printed.find("2: (9.000000, 9.000000)\n"), std::string::npos);
}

TEST(MarcotSession, PointStackIsBuiltFromTheSettingsAndBounded)
{
    Session s(2);
    EXPECT_EQ(s.session->capacity, 2);
    EXPECT_EQ(s.session->count, 0);
    EXPECT_EQ(s.session->image, nullptr);
    EXPECT_TRUE(s.session->push_point(1, 1));
    EXPECT_TRUE(s.session->push_point(2, 2));
    EXPECT_FALSE(s.session->push_point(3, 3));
    EXPECT_FALSE(s.session->has_room());
    s.session->count = -1;
    EXPECT_FALSE(s.session->push_point(3, 3));
}

} // namespace
