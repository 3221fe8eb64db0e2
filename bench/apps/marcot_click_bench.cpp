// One click on a 6000 x 4000 JPEG with 100 markers already placed (hook,
// five pixel reads, drawing, _setpage, repaint), and one undo with 100 points.
#include "app_bench.h"
#include "app_io.h"
#include "measure_session.h"
#include "measure_settings.h"

#include "platform/win/window_surface.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

// Last: the runtime's console names must not rename the library headers' printf.
#include <ostrel/sysutil.h>
#include <ostrel.h>
// This program has its own process entry: the benchmark runner, not the runtime's.
#undef main

namespace {

std::string dir;
MeasureSettings* settings = nullptr;
MeasureSession* session = nullptr;

double px(int i) { return 100 + (i * 577) % 5800; }
double py(int i) { return 100 + (i * 389) % 3800; }

// What the loop does after the hook: the page's visible part reaches the screen,
// including a repaint that waits for the end of the current frame.
void repaint()
{
    QApplication::processEvents();
    platform_window_flush(_pagewindow(1), nullptr);
}

// A user's click comes long after the last frame: wait one, outside the timing.
void idle_frame()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    QApplication::processEvents();
}

bool set_up()
{
    const std::string image = dir + "/big.jpg";
    QImage picture(6000, 4000, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QColor(230, 225, 210));
    for (int i = 0; i < 200; ++i)
        painter.fillRect(int(px(i * 7)) - 40, int(py(i * 7)) - 40, 80, 80, QColor(i, 255 - i, (i * 3) % 256));
    painter.end();
    if (!picture.save(QString::fromStdString(image), "JPEG", 90))
        return false;
    settings = new MeasureSettings("/nonexistent/Marcot.ini");
    settings->measure_point = 100000;
    settings->bullet_color = -1;
    session = new MeasureSession(*settings);
    marcot::bind(settings, session);
    _setimg_decoders(_getjpg_size, _getpng_size, _getpsd_size, _getspi_size, _getjpg_bmap, _getpng_bmap,
                     _getpsd_bmap, _getspi_bmap);
    if (!marcot::prepare_paths(image.c_str()) || !marcot::show_image())
        return false;
    repaint();
    for (int i = 0; i < 100; ++i)
        marcot::on_page_message(1, 513, px(i), py(i));
    repaint();
    return session->count == 100;
}

void BM_ClickWith100Markers(benchmark::State& state)
{
    int i = 100;
    for (auto _ : state) {
        marcot::on_page_message(1, 513, px(i), py(i));
        repaint();
        state.PauseTiming();
        marcot::on_page_message(1, 516, 0, 0);
        repaint();
        idle_frame();
        state.ResumeTiming();
        ++i;
    }
}
BENCHMARK(BM_ClickWith100Markers)->Unit(benchmark::kMillisecond)->Iterations(20);

// Undo of the 101st point, timed until the page shows the 100 markers again.
void undo_rounds(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        marcot::on_page_message(1, 513, px(100), py(100));
        repaint();
        idle_frame();
        state.ResumeTiming();
        marcot::on_page_message(1, 516, 0, 0);
        repaint();
    }
}

void BM_UndoWith100Points(benchmark::State& state) { undo_rounds(state); }
BENCHMARK(BM_UndoWith100Points)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same undo as the program does it: its 101 console lines are printed, and
// every printf lets the page repaint.
void BM_UndoWith100PointsAndConsoleLines(benchmark::State& state)
{
    AppIo quiet = app_io_set(app_io_runtime());
    undo_rounds(state);
    app_io_set(quiet);
}
BENCHMARK(BM_UndoWith100PointsAndConsoleLines)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    app_bench_main(argc, argv, "marcot", &dir, [] {
        _getpage(); // the runtime makes its application object on first use
        return set_up();
    });
}
