// Peak resident memory of Marcot holding a large JPEG, as a ratio against the
// picture's 24-bit size (width x height x 3): the page shown and 100 points
// clicked. Each picture is measured in a fresh process (this program run again
// with --child), so one case's peak never counts for the next; the JPEG files
// are made beforehand by the parent. Goal: a ratio of at most 2.5.
#include "app_bench.h"
#include "measure_session.h"
#include "measure_settings.h"

#include "platform/win/window_surface.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

// Last: the runtime's console names must not rename the library headers' printf.
#include <ostrel/sysutil.h>
#include <ostrel.h>
// This program has its own process entry: the benchmark runner, not the runtime's.
#undef main

namespace {

std::string dir;
std::string self;

std::string picture_path(int w) { return dir + "/big" + std::to_string(w) + ".jpg"; }

// The process's peak resident size in bytes, 0 where /proc does not tell.
double peak_resident()
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return 0;
    char line[256];
    double kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            kb = std::atof(line + 6);
    std::fclose(f);
    return kb * 1024;
}

bool make_picture(int w, int h)
{
    QImage picture(w, h, QImage::Format_RGB888);
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QColor(230, 225, 210));
    for (int i = 0; i < 400; ++i)
        painter.fillRect((i * 577) % (w - 80), (i * 389) % (h - 80), 80, 80, QColor(i % 256, 255 - i % 256, (i * 3) % 256));
    painter.end();
    return picture.save(QString::fromStdString(picture_path(w)), "JPEG", 90);
}

void repaint()
{
    QApplication::processEvents();
    platform_window_flush(_pagewindow(1), nullptr);
}

// The child: Marcot shows the picture, takes 100 clicks, and prints its peak.
[[noreturn]] void child(const char* path)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    app_bench_silence(EOF);
    _getpage();
    auto* settings = new MeasureSettings("/nonexistent/Marcot.ini");
    settings->measure_point = 100000;
    settings->bullet_color = -1;
    auto* session = new MeasureSession(*settings);
    marcot::bind(settings, session);
    _setimg_decoders(_getjpg_size, _getpng_size, _getpsd_size, _getspi_size, _getjpg_bmap, _getpng_bmap,
                     _getpsd_bmap, _getspi_bmap);
    if (!marcot::prepare_paths(path) || !marcot::show_image())
        _exit(1);
    repaint();
    for (int i = 0; i < 100; ++i) {
        marcot::on_page_message(1, 513, 100 + (i * 577) % 5800, 100 + (i * 389) % 3800);
        repaint();
    }
    // straight to the pipe: the runtime's console takes the program's printf
    char out[64];
    int n = std::snprintf(out, sizeof out, "%.0f %d\n", peak_resident(), session->count);
    _exit(n > 0 && write(STDOUT_FILENO, out, std::size_t(n)) == n ? 0 : 1);
}

void BM_MarcotPeakResident(benchmark::State& state)
{
    const int w = int(state.range(0)), h = w * 2 / 3;
    double peak = 0;
    int clicks = 0;
    for (auto _ : state) {
        const std::string command = "'" + self + "' --child '" + picture_path(w) + "'";
        std::FILE* p = popen(command.c_str(), "r");
        if (!p || std::fscanf(p, "%lf %d", &peak, &clicks) != 2 || clicks != 100) {
            if (p)
                pclose(p);
            state.SkipWithError("the child did not show the picture and take 100 clicks");
            return;
        }
        pclose(p);
    }
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["ratio_to_24bit"] = peak / (double(w) * h * 3);
}
BENCHMARK(BM_MarcotPeakResident)->Arg(6000)->Arg(12000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
        child(argv[2]);
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return 1;
    self.assign(exe, std::size_t(n));
    app_bench_main(argc, argv, "marcot-memory", &dir, [] { return make_picture(6000, 4000) && make_picture(12000, 8000); });
}
