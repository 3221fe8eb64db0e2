// File source for libjpeg: reads the stream in blocks. An empty file raises the
// empty-input flag quietly and reads as a stream without an image; a file that
// ends early gets a warning and an end-of-image marker, so what was read loads.
#include "runtime/image/decoders/decoders_internal.h"

namespace {

constexpr std::size_t block = 64 * 1024;

struct file_source {
    jpeg_source_mgr pub;
    std::FILE* file;
    JOCTET* buffer;
    bool start;
};

void init_source(j_decompress_ptr cinfo)
{
    reinterpret_cast<file_source*>(cinfo->src)->start = true;
}

boolean fill_input_buffer(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<file_source*>(cinfo->src);
    std::size_t n = std::fread(src->buffer, 1, block, src->file);
    if (n == 0) {
        if (src->start) {
            // Nothing at all: a stream that holds no image (no box for this one).
            _imgerr_set_empty();
            src->buffer[0] = 0xFF;
            src->buffer[1] = 0xD8;
            src->buffer[2] = 0xFF;
            src->buffer[3] = JPEG_EOI;
            n = 4;
        } else {
            WARNMS(cinfo, JWRN_JPEG_EOF);
            src->buffer[0] = 0xFF;
            src->buffer[1] = JPEG_EOI;
            n = 2;
        }
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    src->start = false;
    return TRUE;
}

void skip_input_data(j_decompress_ptr cinfo, long count)
{
    auto* src = reinterpret_cast<file_source*>(cinfo->src);
    if (count <= 0)
        return;
    while (count > static_cast<long>(src->pub.bytes_in_buffer)) {
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        fill_input_buffer(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void term_source(j_decompress_ptr) {}

} // namespace

void _imgerr_file_source(j_decompress_ptr cinfo, std::FILE* file)
{
    auto* src = static_cast<file_source*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(file_source)));
    src->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, block));
    src->file = file;
    src->start = true;
    src->pub.init_source = init_source;
    src->pub.fill_input_buffer = fill_input_buffer;
    src->pub.skip_input_data = skip_input_data;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = term_source;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
    cinfo->src = &src->pub;
}
