// "ifwebp.spi": the image plug-in for WebP pictures, over libwebp. Lossy and lossless
// pictures, with or without alpha (transparent parts put on white, as the TIFF
// plug-in does); an animation gives its first frame as libwebp's still decoder reads it.
#include "plugins/spi_plugin.h"

#include <webp/decode.h>

#include <cstdio>
#include <vector>

namespace {

const char* const plugin_name = "ostrel WebP plug-in over libwebp";
const char* const patterns[] = {"*.webp", "WebP images"};

// A WebP file is a RIFF container; anything larger than this is not a picture we take.
constexpr long long max_file_bytes = 1LL << 30;

bool read_file(const char* name, std::vector<std::uint8_t>& out)
{
    const long long size = spi::file_size(name);
    if (size < 12 || size > max_file_bytes)
        return false;
    std::FILE* f = std::fopen(name, "rb");
    if (!f)
        return false;
    out.resize(static_cast<std::size_t>(size));
    const bool ok = std::fread(out.data(), 1, out.size(), f) == out.size();
    std::fclose(f);
    return ok;
}

bool is_webp(const unsigned char* p)
{
    return std::memcmp(p, "RIFF", 4) == 0 && std::memcmp(p + 8, "WEBP", 4) == 0;
}

// Width and height from the bitstream, refused when the rows would not be allowed.
bool picture_size(const std::vector<std::uint8_t>& file, int* w, int* h)
{
    if (!WebPGetInfo(file.data(), file.size(), w, h) || *w < 1 || *h < 1)
        return false;
    const long long rows = static_cast<long long>(spi::dib24_stride(*w)) * *h;
    return rows <= (1LL << 30);
}

// Rows with alpha, composited onto white in place into the 24-bit rows.
void put_on_white(const std::uint8_t* bgra, std::size_t in_stride, unsigned char* rows, std::size_t stride, int w,
                  int h)
{
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = bgra + in_stride * static_cast<std::size_t>(y);
        unsigned char* out = rows + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < w; ++x, in += 4, out += 3) {
            const unsigned a = in[3], white = 255 * (255 - a);
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<unsigned char>((in[c] * a + white + 127) / 255);
        }
    }
}

} // namespace

SPI_EXPORT int GetPluginInfo(int number, char* buffer, int size)
{
    return spi::plugin_info(number, buffer, size, plugin_name, patterns, 1);
}

SPI_EXPORT int IsSupported(const char*, const void* head)
{
    return head && is_webp(static_cast<const unsigned char*>(head)) ? 1 : 0;
}

SPI_EXPORT int GetPictureInfo(const char* source, long offset, unsigned flag, spi_picture_info* info)
{
    if (!info || !spi::plain_file_request(source, offset, flag))
        return spi::NOT_IMPLEMENTED;
    // the header is enough: the first 64 KiB hold every chunk WebPGetInfo reads
    std::FILE* f = std::fopen(source, "rb");
    if (!f)
        return spi::READ_ERROR;
    std::vector<std::uint8_t> head(65536);
    head.resize(std::fread(head.data(), 1, head.size(), f));
    std::fclose(f);
    WebPBitstreamFeatures features;
    if (head.size() < 12 || !is_webp(head.data()) ||
        WebPGetFeatures(head.data(), head.size(), &features) != VP8_STATUS_OK || features.width < 1 ||
        features.height < 1)
        return spi::UNKNOWN_FORMAT;
    spi::fill_info(info, features.width, features.height, 0, 0, features.has_alpha ? 32 : 24);
    return spi::OK;
}

SPI_EXPORT int GetPicture(const char* source, long offset, unsigned flag, void** info, void** bits,
                          spi_progress progress, long data)
{
    if (!info || !bits)
        return spi::NOT_IMPLEMENTED;
    *info = *bits = nullptr;
    if (!spi::plain_file_request(source, offset, flag))
        return spi::NOT_IMPLEMENTED;
    std::vector<std::uint8_t> file;
    if (!read_file(source, file))
        return spi::READ_ERROR;
    int w = 0, h = 0;
    WebPDecoderConfig config;
    if (!is_webp(file.data()) || !picture_size(file, &w, &h) || !WebPInitDecoderConfig(&config) ||
        WebPGetFeatures(file.data(), file.size(), &config.input) != VP8_STATUS_OK)
        return spi::UNKNOWN_FORMAT;
    if (progress && progress(0, h, data) != 0)
        return spi::CANCELLED;
    if (!spi::new_dib24(w, h, info, bits))
        return spi::NO_MEMORY;
    const std::size_t stride = spi::dib24_stride(w);
    auto* rows = static_cast<unsigned char*>(*bits);
    config.options.use_threads = 1;
    std::vector<std::uint8_t> bgra;
    if (config.input.has_alpha) {
        // decoded to blue-green-red-alpha first, then put on white
        bgra.resize(static_cast<std::size_t>(w) * 4 * static_cast<std::size_t>(h));
        config.output.colorspace = MODE_BGRA;
        config.output.u.RGBA.rgba = bgra.data();
        config.output.u.RGBA.stride = w * 4;
        config.output.u.RGBA.size = bgra.size();
    } else {
        // straight into the rows the runtime takes
        config.output.colorspace = MODE_BGR;
        config.output.u.RGBA.rgba = rows;
        config.output.u.RGBA.stride = static_cast<int>(stride);
        config.output.u.RGBA.size = stride * static_cast<std::size_t>(h);
    }
    config.output.is_external_memory = 1;
    const VP8StatusCode status = WebPDecode(file.data(), file.size(), &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) {
        std::free(*info);
        std::free(*bits);
        *info = *bits = nullptr;
        return spi::BROKEN;
    }
    if (!bgra.empty())
        put_on_white(bgra.data(), static_cast<std::size_t>(w) * 4, rows, stride, w, h);
    return spi::OK;
}
