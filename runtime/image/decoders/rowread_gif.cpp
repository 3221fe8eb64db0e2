// GIF row reader over giflib: the first image of the file, interlaced or not,
// through its own or the global colour map (blue first). Data that ends early
// raises the error flag without a box; bad codes are errors.
#include "runtime/image/decoders/decoders_internal.h"

#include <gif_lib.h>
#include <cstring>

namespace {

struct gif_state {
    GifFileType* gif;
    unsigned char map[256 * 3];   // blue, green, red; entries past the file's map are black
    GifByteType* line;            // one row of indices
    GifByteType* image;           // the whole picture of an interlaced file, else null
    bool interlaced;
    bool ended;                   // data ran out: the remaining rows are black
    int y;
};

int read_fn(GifFileType* gif, GifByteType* buf, int n)
{
    auto* r = static_cast<rowreader*>(gif->UserData);
    return n <= 0 ? 0 : static_cast<int>(std::fread(buf, 1, static_cast<std::size_t>(n), r->file));
}

void close_gif(rowreader* r)
{
    if (r->handle) {
        int err = 0;
        DGifCloseFile(static_cast<GifFileType*>(r->handle), &err);
        r->handle = nullptr;
    }
}

[[noreturn]] void fail(rowreader* r, int gif_error)
{
    int code = ROWMSG_GIF_BADRECORD;
    switch (gif_error) {
    case D_GIF_ERR_NOT_GIF_FILE: code = ROWMSG_GIF_NOTGIF; break;
    case D_GIF_ERR_NO_SCRN_DSCR: code = ROWMSG_GIF_BADHEADER; break;
    case D_GIF_ERR_NO_IMAG_DSCR: code = ROWMSG_GIF_BADIMAGE; break;
    case D_GIF_ERR_NO_COLOR_MAP: code = ROWMSG_GIF_BADCMAP; break;
    case D_GIF_ERR_WRONG_RECORD: code = ROWMSG_GIF_BADRECORD; break;
    case D_GIF_ERR_DATA_TOO_BIG:
    case D_GIF_ERR_IMAGE_DEFECT: code = ROWMSG_GIF_BADCODE; break;
    case D_GIF_ERR_NOT_ENOUGH_MEM: code = ROWMSG_GIF_NOMEM; break;
    case D_GIF_ERR_READ_FAILED:
    case D_GIF_ERR_EOF_TOO_SOON: code = ROWMSG_IMG_EOF; break;
    default: break;
    }
    _rowreader_error(r->host, code);
}

// Reads one row of indices; false when the data ended early (flag raised).
bool read_line(rowreader* r, gif_state* st, GifByteType* dst)
{
    if (st->ended) {
        std::memset(dst, 0, static_cast<std::size_t>(r->width));
        return false;
    }
    if (DGifGetLine(st->gif, dst, r->width) == GIF_OK)
        return true;
    if (st->gif->Error == D_GIF_ERR_READ_FAILED || st->gif->Error == D_GIF_ERR_EOF_TOO_SOON) {
        st->ended = true;
        _rowreader_warning(r->host, ROWMSG_GIF_EOF);
        std::memset(dst, 0, static_cast<std::size_t>(r->width));
        return false;
    }
    fail(r, st->gif->Error);
}

void next_row(rowreader* r)
{
    auto* st = static_cast<gif_state*>(r->state);
    const std::size_t w = static_cast<std::size_t>(r->width);
    const GifByteType* idx;
    if (st->interlaced) {
        if (!st->image) {
            st->image = static_cast<GifByteType*>(_rowreader_alloc(r, w * static_cast<std::size_t>(r->height)));
            static const int first[4] = {0, 4, 2, 1};
            static const int step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = first[pass]; y < r->height; y += step[pass])
                    read_line(r, st, st->image + w * static_cast<std::size_t>(y));
        }
        idx = st->image + w * static_cast<std::size_t>(st->y);
    } else {
        read_line(r, st, st->line);
        idx = st->line;
    }
    unsigned char* out = r->row;
    for (std::size_t x = 0; x < w; ++x, out += 3)
        std::memcpy(out, st->map + 3 * idx[x], 3);
    ++st->y;
}

} // namespace

void _rowreader_start_gif(rowreader* r)
{
    auto* st = static_cast<gif_state*>(_rowreader_alloc(r, sizeof(gif_state)));
    std::memset(st, 0, sizeof *st);
    r->state = st;
    r->close = close_gif;
    int err = 0;
    st->gif = DGifOpen(r, read_fn, &err);
    if (!st->gif)
        fail(r, err);
    r->handle = st->gif;
    GifFileType* gif = st->gif;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) != GIF_OK)
            fail(r, gif->Error);
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) != GIF_OK)
                fail(r, gif->Error);
            break;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) != GIF_OK)
                fail(r, gif->Error);
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) != GIF_OK)
                    fail(r, gif->Error);
            }
            continue;
        }
        if (type == TERMINATE_RECORD_TYPE)
            _rowreader_error(r->host, ROWMSG_GIF_NOIMAGE);
        _rowreader_error(r->host, ROWMSG_GIF_BADRECORD);
    }
    r->width = gif->Image.Width;
    r->height = gif->Image.Height;
    r->components = 3;
    // LZW with a full table emits up to 4096 pixels per 12-bit code
    r->pixels_per_byte = 2731;
    const ColorMapObject* cm = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
    if (cm && cm->Colors) {
        int n = cm->ColorCount > 256 ? 256 : cm->ColorCount;
        for (int i = 0; i < n; ++i) {
            st->map[3 * i + 0] = cm->Colors[i].Blue;
            st->map[3 * i + 1] = cm->Colors[i].Green;
            st->map[3 * i + 2] = cm->Colors[i].Red;
        }
    } else {
        // no colour map at all: a grey ramp
        for (int i = 0; i < 256; ++i)
            st->map[3 * i] = st->map[3 * i + 1] = st->map[3 * i + 2] = static_cast<unsigned char>(i);
    }
    st->interlaced = gif->Image.Interlace;
    if (r->width < 1 || r->height < 1)
        return;   // the caller reports the size
    st->line = static_cast<GifByteType*>(_rowreader_alloc(r, static_cast<std::size_t>(r->width)));
    r->row = static_cast<unsigned char*>(_rowreader_alloc(r, static_cast<std::size_t>(r->width) * 3));
    r->next_row = next_row;
}
