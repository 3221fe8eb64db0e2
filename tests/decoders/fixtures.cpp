// Writers of the tests' small images (see fixtures.h).
#include "fixtures.h"
#include "tests/support/bmp_bytes.h"

#include <QTemporaryFile>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>

namespace fixtures {

namespace {

using bmp_bytes::put16;
void put16be(std::vector<std::uint8_t>& v, unsigned x) { v.push_back((x >> 8) & 0xFF); v.push_back(x & 0xFF); }
void put32be(std::vector<std::uint8_t>& v, std::uint32_t x) { put16be(v, x >> 16); put16be(v, x & 0xFFFF); }

void png_write_vec(png_structp png, png_bytep data, png_size_t n)
{
    auto* v = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    v->insert(v->end(), data, data + n);
}
void png_flush_vec(png_structp) {}

int gif_write_vec(GifFileType* g, const GifByteType* data, int n)
{
    auto* v = static_cast<std::vector<std::uint8_t>*>(g->UserData);
    v->insert(v->end(), data, data + n);
    return n;
}

// PackBits of one row: repeat runs of 3 equal bytes or more, literal runs of at
// most 128 bytes between them.
void pack_bits(std::vector<std::uint8_t>& out, const std::uint8_t* row, std::size_t n)
{
    std::size_t i = 0;
    while (i < n) {
        // a repeat run when at least 3 equal bytes follow
        std::size_t run = 1;
        while (i + run < n && row[i + run] == row[i] && run < 128)
            ++run;
        if (run >= 3) {
            out.push_back(static_cast<std::uint8_t>(1 - static_cast<int>(run)));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        std::size_t lit = std::min<std::size_t>(n - i, 128);
        out.push_back(static_cast<std::uint8_t>(lit - 1));
        out.insert(out.end(), row + i, row + i + lit);
        i += lit;
    }
}

} // namespace

picture gradient(int width, int height)
{
    picture p{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* q = p.at(x, y);
            q[0] = static_cast<std::uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
            q[1] = static_cast<std::uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
            q[2] = static_cast<std::uint8_t>((x + y) * 7);
        }
    return p;
}

picture flat(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    picture p{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        p.rgb.insert(p.rgb.end(), {r, g, b});
    return p;
}

std::vector<std::uint8_t> jpeg(const picture& p, const jpeg_options& o)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = static_cast<JDIMENSION>(p.width);
    c.image_height = static_cast<JDIMENSION>(p.height);
    c.input_components = o.grey ? 1 : 3;
    c.in_color_space = o.grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, o.quality, TRUE);
    c.write_JFIF_header = o.jfif;
    c.density_unit = static_cast<UINT8>(o.density_unit);
    c.X_density = static_cast<UINT16>(o.xdensity);
    c.Y_density = static_cast<UINT16>(o.ydensity);
    if (o.progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(p.width) * 3);
    while (c.next_scanline < c.image_height) {
        const std::uint8_t* src = p.at(0, static_cast<int>(c.next_scanline));
        if (o.grey)
            for (int x = 0; x < p.width; ++x)
                row[static_cast<std::size_t>(x)] = src[3 * x];
        else
            std::memcpy(row.data(), src, row.size());
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<std::uint8_t> out(buf, buf + size);
    std::free(buf);
    return out;
}

static std::vector<std::uint8_t> png_write(int width, int height, int colour, int depth,
                                           const std::vector<std::uint8_t>& palette,
                                           const std::vector<std::uint8_t>& alpha, int background,
                                           const std::vector<std::uint8_t>& samples, int ppm, bool interlaced)
{
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        throw std::runtime_error("png writer failed");
    png_set_write_fn(png, &out, png_write_vec, png_flush_vec);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), depth, colour,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> pal;
    for (std::size_t i = 0; i + 2 < palette.size(); i += 3)
        pal.push_back(png_color{palette[i], palette[i + 1], palette[i + 2]});
    if (!pal.empty())
        png_set_PLTE(png, info, pal.data(), static_cast<int>(pal.size()));
    if (!alpha.empty())
        png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
    if (background >= 0) {
        png_color_16 bg{};
        bg.index = static_cast<png_byte>(background);
        if (colour != PNG_COLOR_TYPE_PALETTE) {
            bg.red = static_cast<png_uint_16>(background & 0xFF);
            bg.green = static_cast<png_uint_16>((background >> 8) & 0xFF);
            bg.blue = static_cast<png_uint_16>((background >> 16) & 0xFF);
        }
        png_set_bKGD(png, info, &bg);
    }
    if (ppm > 0)
        png_set_pHYs(png, info, static_cast<png_uint_32>(ppm), static_cast<png_uint_32>(ppm), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    const std::size_t rowbytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(samples.data() + rowbytes * static_cast<std::size_t>(y));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> png_indexed(int width, int height, const std::vector<std::uint8_t>& palette,
                                      const std::vector<std::uint8_t>& alpha, int background,
                                      const std::vector<std::uint8_t>& indices)
{
    return png_write(width, height, PNG_COLOR_TYPE_PALETTE, 8, palette, alpha, background, indices, 0, false);
}

std::vector<std::uint8_t> png_rgb(int width, int height, int channels, const std::vector<std::uint8_t>& samples,
                                  int ppm, bool interlaced)
{
    return png_write(width, height, channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, 8, {}, {}, -1,
                     samples, ppm, interlaced);
}

std::vector<std::uint8_t> gif(const picture& p, bool interlaced, bool second_image)
{
    // palette of the picture's colours (tests keep them at most 256)
    std::map<std::uint32_t, int> index;
    std::vector<GifColorType> colours;
    std::vector<GifPixelType> pixels;
    for (int i = 0; i < p.width * p.height; ++i) {
        const std::uint8_t* q = &p.rgb[static_cast<std::size_t>(i) * 3];
        std::uint32_t key = q[0] << 16 | q[1] << 8 | q[2];
        auto it = index.find(key);
        if (it == index.end()) {
            it = index.emplace(key, static_cast<int>(colours.size())).first;
            colours.push_back(GifColorType{q[0], q[1], q[2]});
        }
        pixels.push_back(static_cast<GifPixelType>(it->second));
    }
    while (colours.size() < 256)
        colours.push_back(GifColorType{0, 0, 0});
    std::vector<std::uint8_t> out;
    int err = 0;
    GifFileType* g = EGifOpen(&out, gif_write_vec, &err);
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    EGifSetGifVersion(g, true);
    EGifPutScreenDesc(g, p.width, p.height, 8, 0, map);
    EGifPutImageDesc(g, 0, 0, p.width, p.height, interlaced, nullptr);
    const int first[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    if (interlaced) {
        for (int pass = 0; pass < 4; ++pass)
            for (int y = first[pass]; y < p.height; y += step[pass])
                EGifPutLine(g, &pixels[static_cast<std::size_t>(y) * p.width], p.width);
    } else {
        for (int y = 0; y < p.height; ++y)
            EGifPutLine(g, &pixels[static_cast<std::size_t>(y) * p.width], p.width);
    }
    if (second_image) {
        std::vector<GifPixelType> zeros(static_cast<std::size_t>(p.width), 0);
        EGifPutImageDesc(g, 0, 0, p.width, p.height, false, nullptr);
        for (int y = 0; y < p.height; ++y)
            EGifPutLine(g, zeros.data(), p.width);
    }
    EGifCloseFile(g, &err);
    GifFreeMapObject(map);
    return out;
}

static std::vector<std::uint8_t> pnm(const picture& p, bool plain, int maxval, bool grey)
{
    std::string head = std::string("P") + (grey ? (plain ? "2" : "5") : (plain ? "3" : "6")) + "\n# made by a test\n" +
                       std::to_string(p.width) + " " + std::to_string(p.height) + "\n" + std::to_string(maxval) + "\n";
    std::vector<std::uint8_t> out(head.begin(), head.end());
    const int samples = grey ? 1 : 3;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            for (int k = 0; k < samples; ++k) {
                unsigned v = static_cast<unsigned>(p.at(x, y)[k]) * static_cast<unsigned>(maxval) / 255;
                if (plain) {
                    std::string s = std::to_string(v) + " ";
                    out.insert(out.end(), s.begin(), s.end());
                } else if (maxval > 255) {
                    out.push_back(static_cast<std::uint8_t>(v >> 8));
                    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
                } else {
                    out.push_back(static_cast<std::uint8_t>(v));
                }
            }
        }
        if (plain)
            out.push_back('\n');
    }
    return out;
}

std::vector<std::uint8_t> ppm(const picture& p, bool plain, int maxval) { return pnm(p, plain, maxval, false); }
std::vector<std::uint8_t> pgm(const picture& p, bool plain, int maxval) { return pnm(p, plain, maxval, true); }

std::vector<std::uint8_t> tga(const picture& p, bool rle, bool top_first, bool grey)
{
    std::vector<std::uint8_t> out;
    out.push_back(0);                          // no ID
    out.push_back(0);                          // no colour map
    out.push_back(static_cast<std::uint8_t>((grey ? 3 : 2) + (rle ? 8 : 0)));
    for (int i = 0; i < 5; ++i) out.push_back(0);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<unsigned>(p.width));
    put16(out, static_cast<unsigned>(p.height));
    out.push_back(grey ? 8 : 24);
    out.push_back(top_first ? 0x20 : 0x00);
    std::vector<std::uint8_t> px;   // file pixels in file order
    for (int i = 0; i < p.height; ++i) {
        int y = top_first ? i : p.height - 1 - i;
        for (int x = 0; x < p.width; ++x) {
            const std::uint8_t* q = p.at(x, y);
            if (grey) {
                px.push_back(q[0]);
            } else {
                px.push_back(q[2]);
                px.push_back(q[1]);
                px.push_back(q[0]);
            }
        }
    }
    const std::size_t bpp = grey ? 1 : 3;
    const std::size_t n = px.size() / bpp;
    if (!rle) {
        out.insert(out.end(), px.begin(), px.end());
        return out;
    }
    // run-length packets over the whole pixel stream, crossing rows: a repeat packet for
    // two or more equal pixels, else a literal packet up to the next such pair
    auto same = [&](std::size_t a, std::size_t b) { return std::memcmp(&px[a * bpp], &px[b * bpp], bpp) == 0; };
    for (std::size_t i = 0; i < n;) {
        std::size_t run = 1, lit = 1;
        while (i + run < n && run < 128 && same(i + run, i))
            ++run;
        while (run == 1 && i + lit < n && lit < 128 && !(i + lit + 1 < n && same(i + lit, i + lit + 1)))
            ++lit;
        const std::size_t taken = run > 1 ? 1 : lit;
        out.push_back(static_cast<std::uint8_t>(run > 1 ? 0x80 | (run - 1) : lit - 1));
        out.insert(out.end(), px.begin() + static_cast<long>(i * bpp), px.begin() + static_cast<long>((i + taken) * bpp));
        i += run > 1 ? run : lit;
    }
    return out;
}

// The picture's pixels as 0x00RRGGBB, top row first.
static std::vector<std::uint32_t> colours_of(const picture& p)
{
    std::vector<std::uint32_t> c;
    for (std::size_t i = 0; i < p.rgb.size(); i += 3)
        c.push_back(std::uint32_t(p.rgb[i]) << 16 | p.rgb[i + 1] << 8 | p.rgb[i + 2]);
    return c;
}

std::vector<std::uint8_t> bmp24(const picture& p, bool top_down, int ppm)
{
    return bmp_bytes::file(p.width, top_down ? -p.height : p.height, 24, 0, {},
                           bmp_bytes::rows24(p.width, p.height, colours_of(p), !top_down), ppm, ppm);
}

std::vector<std::uint8_t> bmp8(const picture& p)
{
    const std::vector<std::uint32_t> pixels = colours_of(p);
    std::map<std::uint32_t, int> index;
    std::vector<std::uint32_t> palette;
    for (std::uint32_t c : pixels)
        if (index.emplace(c, static_cast<int>(palette.size())).second)
            palette.push_back(c);
    std::vector<int> indices;
    for (std::uint32_t c : pixels)
        indices.push_back(index[c]);
    const auto rows = bmp_bytes::rows8(p.width, p.height, indices);
    return bmp_bytes::file(p.width, p.height, 8, 0, palette, rows, 0, 0);
}

std::vector<std::uint8_t> psd(const picture& p, int mode, bool packbits, const std::vector<std::uint8_t>& palette768,
                              int depth)
{
    const int channels = mode == 3 ? 3 : mode == 4 ? 4 : 1;
    std::vector<std::uint8_t> out{'8', 'B', 'P', 'S'};
    put16be(out, 1);
    for (int i = 0; i < 6; ++i) out.push_back(0);
    put16be(out, static_cast<unsigned>(channels));
    put32be(out, static_cast<std::uint32_t>(p.height));
    put32be(out, static_cast<std::uint32_t>(p.width));
    put16be(out, static_cast<unsigned>(mode == 0 ? 1 : depth));
    put16be(out, static_cast<unsigned>(mode));
    put32be(out, static_cast<std::uint32_t>(palette768.size()));
    out.insert(out.end(), palette768.begin(), palette768.end());
    put32be(out, 0);   // image resources
    put32be(out, 0);   // layers and masks
    put16be(out, packbits ? 1 : 0);
    const std::size_t rowbytes = mode == 0 ? (static_cast<std::size_t>(p.width) + 7) / 8 : static_cast<std::size_t>(p.width);
    std::vector<std::vector<std::uint8_t>> rows;   // per channel, per row
    for (int c = 0; c < channels; ++c)
        for (int y = 0; y < p.height; ++y) {
            std::vector<std::uint8_t> row(rowbytes, 0);
            for (int x = 0; x < p.width; ++x) {
                const std::uint8_t* q = p.at(x, y);
                if (mode == 0) {
                    if (q[0] < 128)
                        row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                } else if (mode == 2) {
                    row[static_cast<std::size_t>(x)] = q[0];   // red is the index
                } else {
                    row[static_cast<std::size_t>(x)] = q[c % 3];
                }
            }
            rows.push_back(row);
        }
    if (!packbits) {
        for (auto& r : rows)
            out.insert(out.end(), r.begin(), r.end());
        return out;
    }
    std::vector<std::vector<std::uint8_t>> packed;
    for (auto& r : rows) {
        packed.emplace_back();
        pack_bits(packed.back(), r.data(), r.size());
        put16be(out, static_cast<unsigned>(packed.back().size()));
    }
    for (auto& r : packed)
        out.insert(out.end(), r.begin(), r.end());
    return out;
}

std::vector<std::uint8_t> tiff(const picture& p, int xdpi, bool alpha)
{
    QTemporaryFile tmp;
    tmp.open();
    std::string path = tmp.fileName().toStdString();
    tmp.close();
    TIFF* t = TIFFOpen(path.c_str(), "w");
    const int spp = alpha ? 4 : 3;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(p.width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(p.height));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, spp);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 4);
    if (alpha) {
        std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (xdpi) {
        TIFFSetField(t, TIFFTAG_XRESOLUTION, static_cast<float>(xdpi));
        TIFFSetField(t, TIFFTAG_YRESOLUTION, static_cast<float>(xdpi));
        TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(p.width) * spp);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            std::memcpy(&row[static_cast<std::size_t>(x) * spp], p.at(x, y), 3);
            if (alpha)
                row[static_cast<std::size_t>(x) * spp + 3] = static_cast<std::uint8_t>(x % 2 ? 0 : 255);
        }
        TIFFWriteScanline(t, row.data(), static_cast<std::uint32_t>(y), 0);
    }
    TIFFClose(t);
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    return bytes;
}

std::string write(const QTemporaryDir& dir, const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    const std::string path = dir.path().toStdString() + "/" + name;
    if (!std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size())))
        throw std::runtime_error("cannot write " + path);
    return path;
}

} // namespace fixtures
