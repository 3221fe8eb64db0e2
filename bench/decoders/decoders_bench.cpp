// Decoder speed against named peers on the same 6000 x 4000 picture, made at start
// in a temporary directory: JPEG against `djpeg -bmp` (libjpeg-turbo's own tool,
// output discarded), PNG and GIF against Qt's QImage loader, WebP through the
// shipped plug-in against `dwebp -bmp` (libwebp's own tool, output discarded).
#include "ostrel/bmap.h"
#include "ostrel/decoders.h"
#include "ostrel/image.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <webp/encode.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/wait.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int W = 6000, H = 4000;
std::string jpg_path, png_path, gif_path, webp_path;

// A photo-like picture: smooth gradients with some texture.
std::vector<unsigned char> picture()
{
    std::vector<unsigned char> rgb(static_cast<std::size_t>(W) * H * 3);
    unsigned seed = 12345;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            seed = seed * 1103515245u + 12345u;
            int n = static_cast<int>((seed >> 16) & 15) - 8;
            unsigned char* p = &rgb[(static_cast<std::size_t>(y) * W + x) * 3];
            p[0] = static_cast<unsigned char>(std::clamp(x * 255 / W + n, 0, 255));
            p[1] = static_cast<unsigned char>(std::clamp(y * 255 / H + n, 0, 255));
            p[2] = static_cast<unsigned char>(std::clamp(((x / 50 + y / 50) % 2) * 120 + 60 + n, 0, 255));
        }
    return rgb;
}

void write_jpeg(const std::vector<unsigned char>& rgb)
{
    std::FILE* f = std::fopen(jpg_path.c_str(), "wb");
    jpeg_compress_struct c;
    jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = W;
    c.image_height = H;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(&rgb[static_cast<std::size_t>(c.next_scanline) * W * 3]);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
}

void write_png(const std::vector<unsigned char>& rgb)
{
    std::FILE* f = std::fopen(png_path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, W, H, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < H; ++y)
        png_write_row(png, &rgb[static_cast<std::size_t>(y) * W * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

void write_gif(const std::vector<unsigned char>& rgb)
{
    // 3-3-2 colour cube
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = GifColorType{static_cast<GifByteType>((i >> 5) * 255 / 7), static_cast<GifByteType>(((i >> 2) & 7) * 255 / 7),
                                  static_cast<GifByteType>((i & 3) * 255 / 3)};
    int err = 0;
    GifFileType* g = EGifOpenFileName(gif_path.c_str(), false, &err);
    ColorMapObject* map = GifMakeMapObject(256, colours);
    EGifPutScreenDesc(g, W, H, 8, 0, map);
    EGifPutImageDesc(g, 0, 0, W, H, false, nullptr);
    std::vector<GifPixelType> line(W);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * W + x) * 3];
            line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>((p[0] >> 5) << 5 | (p[1] >> 5) << 2 | (p[2] >> 6));
        }
        EGifPutLine(g, line.data(), W);
    }
    EGifCloseFile(g, &err);
    GifFreeMapObject(map);
}

void write_webp(const std::vector<unsigned char>& rgb)
{
    std::uint8_t* out = nullptr;
    const std::size_t n = WebPEncodeRGB(rgb.data(), W, H, W * 3, 80, &out);
    std::FILE* f = std::fopen(webp_path.c_str(), "wb");
    std::fwrite(out, 1, n, f);
    std::fclose(f);
    WebPFree(out);
}

// Runs a peer tool to its end; false when it cannot be started.
bool run_tool(const char* const* argv)
{
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return true;
}

void make_inputs(const QTemporaryDir& dir)
{
    jpg_path = dir.path().toStdString() + "/picture.jpg";
    png_path = dir.path().toStdString() + "/picture.png";
    gif_path = dir.path().toStdString() + "/picture.gif";
    webp_path = dir.path().toStdString() + "/picture.webp";
    std::vector<unsigned char> rgb = picture();
    write_webp(rgb);
    write_jpeg(rgb);
    write_png(rgb);
    write_gif(rgb);
    _setimg_decoders(_getjpg_size, _getpng_size, _getpsd_size, _getspi_size, _getjpg_bmap, _getpng_bmap,
                     _getpsd_bmap, _getspi_bmap);
}

void BM_Jpeg_getjpg_bmap(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<_bmap> bm(_getjpg_bmap(jpg_path.c_str(), 1, 0));
        if (!bm) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(bm->bits);
    }
}

void BM_Jpeg_getfile_bmap(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<_bmap> bm(_getfile_bmap(jpg_path.c_str(), 1.0, 0));
        if (!bm) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(bm->bits);
    }
}

void BM_Jpeg_djpeg_bmp(benchmark::State& state)
{
    for (auto _ : state) {
        const char* argv[] = {"djpeg", "-bmp", "-outfile", "/dev/null", jpg_path.c_str(), nullptr};
        if (!run_tool(argv)) {
            state.SkipWithError("djpeg (libjpeg-turbo-progs) is not installed");
            break;
        }
    }
}

void BM_Webp_getfile_bmap(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<_bmap> bm(_getfile_bmap(webp_path.c_str(), 1.0, 0));
        if (!bm || bm->width != W) state.SkipWithError("decode failed (is ifwebp.spi built?)");
        benchmark::DoNotOptimize(bm->bits);
    }
}

void BM_Webp_dwebp_bmp(benchmark::State& state)
{
    for (auto _ : state) {
        const char* argv[] = {"dwebp", "-quiet", "-bmp", webp_path.c_str(), "-o", "/dev/null", nullptr};
        if (!run_tool(argv)) {
            state.SkipWithError("dwebp (webp) is not installed");
            break;
        }
    }
}

void BM_Png_getpng_bmap(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<_bmap> bm(_getpng_bmap(png_path.c_str()));
        if (!bm) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(bm->bits);
    }
}

void BM_Png_QImage(benchmark::State& state)
{
    for (auto _ : state) {
        QImage img(QString::fromStdString(png_path));
        if (img.isNull()) state.SkipWithError("QImage failed");
        benchmark::DoNotOptimize(img.constBits());
    }
}

void BM_Gif_getjpg_bmap(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<_bmap> bm(_getjpg_bmap(gif_path.c_str(), 1, 0));
        if (!bm) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(bm->bits);
    }
}

void BM_Gif_QImage(benchmark::State& state)
{
    for (auto _ : state) {
        QImage img(QString::fromStdString(gif_path));
        if (img.isNull()) state.SkipWithError("QImage failed (no gif plug-in?)");
        benchmark::DoNotOptimize(img.constBits());
    }
}

} // namespace

BENCHMARK(BM_Jpeg_getjpg_bmap)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Jpeg_getfile_bmap)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Jpeg_djpeg_bmp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Webp_getfile_bmap)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Webp_dwebp_bmp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Png_getpng_bmap)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Png_QImage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gif_getjpg_bmap)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gif_QImage)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // the plug-ins as built
    if (!std::getenv("OSTREL_COMPONENT_DIR"))
        setenv("OSTREL_COMPONENT_DIR", OSTREL_PLUGIN_BUILD_DIR, 1);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    make_inputs(dir);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
