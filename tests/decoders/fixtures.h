// Small images written by the tests themselves, with the same libraries the
// decoders read them with (libjpeg, libpng, giflib, libtiff) or byte by byte for
// the formats the runtime reads on its own (Targa, PPM, 8BPS, BMP).
#pragma once
#include <QTemporaryDir>
#include <cstdint>
#include <string>
#include <vector>

namespace fixtures {

// An RGB picture, rows top first, 3 bytes per pixel in the order red, green, blue.
struct picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    std::uint8_t* at(int x, int y) { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
    const std::uint8_t* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// A picture with distinct colours in every pixel, smooth enough for JPEG.
picture gradient(int width, int height);
// A picture of one colour.
picture flat(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b);

struct jpeg_options {
    int quality = 95;
    bool jfif = true;
    int density_unit = 1;
    int xdensity = 72;
    int ydensity = 72;
    bool grey = false;
    bool progressive = false;
};
std::vector<std::uint8_t> jpeg(const picture& p, const jpeg_options& o = {});

// Indexed PNG: palette entries (RGB), alpha per entry (tRNS; empty: none), the
// background index (bKGD; -1: none) and the indices of the pixels.
std::vector<std::uint8_t> png_indexed(int width, int height, const std::vector<std::uint8_t>& palette,
                                      const std::vector<std::uint8_t>& alpha, int background,
                                      const std::vector<std::uint8_t>& indices);
// RGB or RGBA PNG (channels 3 or 4), optional physical size in pixels per metre.
std::vector<std::uint8_t> png_rgb(int width, int height, int channels, const std::vector<std::uint8_t>& samples,
                                  int ppm = 0, bool interlaced = false);

// GIF with one image (or two, the second ignored) through giflib.
std::vector<std::uint8_t> gif(const picture& p, bool interlaced, bool second_image = false);

std::vector<std::uint8_t> ppm(const picture& p, bool plain, int maxval = 255);
std::vector<std::uint8_t> pgm(const picture& p, bool plain, int maxval = 255);   // grey from red
std::vector<std::uint8_t> tga(const picture& p, bool rle, bool top_first, bool grey = false);
std::vector<std::uint8_t> bmp24(const picture& p, bool top_down, int ppm = 2835);
std::vector<std::uint8_t> bmp8(const picture& p);   // palette of the picture's colours (<= 256)

// 8BPS: mode 1 grey, 2 indexed, 3 RGB (depth 8), 0 bitmap (depth 1, red < 128 is black),
// 4 CMYK (refused); packbits chooses the compression.
std::vector<std::uint8_t> psd(const picture& p, int mode, bool packbits,
                              const std::vector<std::uint8_t>& palette768 = {}, int depth = 8);

std::vector<std::uint8_t> tiff(const picture& p, int xdpi = 0, bool alpha = false);

// Writes bytes into the directory under `name`; returns the full path.
std::string write(const QTemporaryDir& dir, const std::string& name, const std::vector<std::uint8_t>& bytes);

} // namespace fixtures
