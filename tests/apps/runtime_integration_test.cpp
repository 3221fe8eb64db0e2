// The programs on the real runtime (offscreen): the hook adapters on real
// page windows, and images of several formats opened on page 1.
#include "apps_test_support.h"
#include "frame_cursor.h"
#include "measure_session.h"
#include "measure_settings.h"
#include "stick_data.h"
#include "viewer_settings.h"

#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

#include <ostrel/sysutil.h>
#include <ostrel.h>

namespace {

void register_decoders()
{
    _setimg_decoders(_getjpg_size, _getpng_size, _getpsd_size, _getspi_size, _getjpg_bmap, _getpng_bmap,
                     _getpsd_bmap, _getspi_bmap);
}

TEST(AppsOnRuntime, KinoaHookStepsOnPageOneOnly)
{
    TempCwd dir;
    IoRecorder io;
    CanvasRecorder canvas;
    ViewerSettings settings;
    StickData data(settings);
    FrameCursor cursor;
    write_file("walk.txt", "0,0 1,1\n2,2 3,3\n");
    ASSERT_TRUE(data.load_frames("walk.txt"));
    kinoa::bind(&settings, &data, &cursor);
    ASSERT_TRUE(_newpage(1, "Kinoascope", 10, 10, 200, 150, 0, 0));
    ASSERT_TRUE(_newpage(2, "other", 10, 10, 200, 150, 0, 0));
    EXPECT_EQ(kinoa::hook(_pagewindow(2), 513, 0, 0), 0);
    EXPECT_EQ(cursor.current, 0);
    EXPECT_EQ(kinoa::hook(_pagewindow(1), 513, 0, 99 * 65536 + 7), 1);
    EXPECT_EQ(cursor.current, 1);
    EXPECT_EQ(kinoa::hook(_pagewindow(1), 516, 0, 0), 1);
    EXPECT_EQ(cursor.current, 0);
    _delpage(2);
    _delpage(1);
}

TEST(AppsOnRuntime, MarcotHookTakesThePositionFromTheSecondParameter)
{
    TempCwd dir;
    IoRecorder io;
    CanvasRecorder canvas;
    MeasureSettings settings("/nonexistent/Marcot.ini");
    MeasureSession session(settings);
    marcot::bind(&settings, &session);
    ASSERT_TRUE(marcot::prepare_paths(dir.file("hand.bmp").c_str()));
    ASSERT_TRUE(_newpage(1, "hand", 10, 10, -200, -150, 0, 0));
    EXPECT_EQ(marcot::hook(_pagewindow(1), 513, 0, 45 * 65536 + 120), 1);
    EXPECT_EQ(io.printed, "0: (120.000000, 45.000000)\n");
    // Positions are unsigned 16-bit halves: 65535 stays 65535, not -1.
    EXPECT_EQ(marcot::hook(_pagewindow(1), 513, 0, static_cast<std::intptr_t>(0xFFFFFFFFu)), 1);
    EXPECT_NE(io.printed.find("1: (65535.000000, 65535.000000)\n"), std::string::npos);
    _delpage(1);
}

TEST(AppsOnRuntime, MarcotMissingImageShowsTheBox)
{
    TempCwd dir;
    IoRecorder io;
    MeasureSettings settings("/nonexistent/Marcot.ini");
    MeasureSession session(settings);
    marcot::bind(&settings, &session);
    ASSERT_TRUE(marcot::prepare_paths(dir.file("none.png").c_str()));
    EXPECT_FALSE(marcot::show_image());
    ASSERT_EQ(io.boxes.size(), 1u);
    EXPECT_EQ(io.boxes[0].caption, "Error");
    EXPECT_EQ(io.boxes[0].text, "[" + dir.file("none.png") + "]は開けません.");
}

class MarcotFormats : public ::testing::TestWithParam<const char*> {};

TEST_P(MarcotFormats, ImageOpensOnPageOneAtItsOwnSize)
{
    TempCwd dir;
    IoRecorder io;
    register_decoders();
    const std::string name = dir.file(std::string("picture.") + GetParam());
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(200, 100, 50));
    ASSERT_TRUE(picture.save(QString::fromStdString(name)));
    MeasureSettings settings("/nonexistent/Marcot.ini");
    MeasureSession session(settings);
    marcot::bind(&settings, &session);
    ASSERT_TRUE(marcot::prepare_paths(name.c_str()));
    ASSERT_TRUE(marcot::show_image()) << (io.boxes.empty() ? "" : io.boxes[0].text);
    ASSERT_NE(session.image, nullptr);
    EXPECT_EQ(session.image->width, 64);
    EXPECT_EQ(session.image->height, 48);
    EXPECT_EQ(_ispage(1), 1);
    _delpage(1);
}

INSTANTIATE_TEST_SUITE_P(Formats, MarcotFormats, ::testing::Values("bmp", "png", "jpg"));

} // namespace
