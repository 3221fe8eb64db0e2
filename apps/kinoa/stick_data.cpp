/* StickData: counting pass, storing pass and row lookup. */
#include "stick_data.h"

#include "app_io.h"
#include "path_parts.h"
#include "settings_text.h"
#include "viewer_settings.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

StickData::StickData(const ViewerSettings& viewer)
    : file(nullptr), message{}, line{}, row_width(0), first_frame{}, frame_count(0), settings(&viewer)
{
}

StickData::~StickData()
{
    release();
    if (file)
        std::fclose(file);
}

int StickData::block_line() const { return settings->block_line > 0 ? settings->block_line : 1; }

void StickData::release()
{
    FrameNode* node = first_frame.next;
    while (node) {
        FrameNode* next = node->next;
        std::free(node); /* its block with it */
        node = next;
    }
    std::free(first_frame.rows);
    first_frame = FrameNode{};
    last_node = nullptr;
    row_width = 0;
    frame_count = 0;
}

bool StickData::fail(const char* text)
{
    app_info("Error", "%s", text);
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    return false;
}

bool StickData::load_frames(const char* path)
{
    release();
    const int lines_per_frame = block_line();
    file = path ? std::fopen(path, "r") : nullptr;
    if (!file) {
        /* The field holds 256 bytes; a longer path is cut, never overrun. */
        std::string text = std::string("File can not open (") + (path ? path : "") + ").";
        copy_cut(message, sizeof message, text.c_str());
        app_info("Error", "%s", message);
        return false;
    }
    app_print("Reading...");
    /* The file is read once; both passes walk the copy in memory, with the
     * same pieces and line ends as line reads from the stream would give. */
    size_t size = 0;
    std::unique_ptr<char, decltype(&std::free)> text(read_stream_text(file, &size), &std::free);
    std::fclose(file);
    file = nullptr;
    if (!text)
        return fail("Can not allocate memory.");
    const TextSpan whole = text_span(text.get(), size);

    /* Counting pass. A file of whole frames is accepted; a group that starts
     * but ends before its BLOCK_LINE-th line is a format error. Only lengths
     * count here, so the pieces are measured in place, not copied. */
    TextSpan span = whole;
    int longest = 0;
    long long frames = 0;
    for (;;) {
        int n = take_text_line(nullptr, 255, span);
        if (n < 0)
            break;
        if (n > longest)
            longest = n;
        for (int j = 1; j < lines_per_frame; ++j) {
            n = take_text_line(nullptr, 255, span);
            if (n < 0)
                return fail("Data format error.");
            if (n > longest)
                longest = n;
        }
        if (frames == INT32_MAX)
            return fail("データの行数が不正です.");
        ++frames;
    }
    frame_count = static_cast<int32_t>(frames);
    app_print("%dframes\n", frame_count);
    if (longest <= 0 || longest >= 255) {
        frame_count = 0;
        return fail("１行のデータの長さが不正です.");
    }
    row_width = longest + 1;
    if (frame_count <= 0) {
        frame_count = 0;
        return fail("データの行数が不正です.");
    }

    /* Storing pass: each read with the buffer size row width returns the same
     * piece as in the counting pass. */
    span = whole;
    const size_t block_size = static_cast<size_t>(lines_per_frame) * static_cast<size_t>(row_width);
    FrameNode* node = &first_frame;
    first_frame.rows = static_cast<char*>(std::calloc(block_size, 1));
    if (!first_frame.rows)
        return fail("Can not allocate memory.");
    for (int32_t i = 0; i < frame_count; ++i) {
        node->index = i;
        /* Read straight into the row: the read stores at most row width - 1
         * characters and its terminator, as the copy from the line buffer would. */
        for (int j = 0; j < lines_per_frame; ++j) {
            char* row = node->rows + static_cast<size_t>(j) * static_cast<size_t>(row_width);
            if (take_text_line(row, row_width, span) < 0)
                row[0] = '\0';
        }
        if (i + 1 < frame_count) {
            /* A later node and its block share one allocation: half the
             * allocations and frees, which cost more than the reading. */
            FrameNode* next = static_cast<FrameNode*>(std::calloc(1, sizeof(FrameNode) + block_size));
            if (!next)
                return fail("Can not allocate memory.");
            next->rows = reinterpret_cast<char*>(next + 1);
            next->previous = node;
            node->next = next;
            node = next;
        } else {
            node->next = nullptr;
        }
    }
    return true;
}

const char* StickData::frame_row(int frame, int row)
{
    const char* bad = "予想外のエラーです．要デバッグ(get_data)";
    if (frame < 0 || frame >= frame_count || row < 0 || row >= block_line()) {
        app_info("Error", "%s", bad);
        return nullptr;
    }
    const FrameNode* node = &first_frame;
    if (last_node && last_node->index <= frame)
        node = last_node;
    for (int i = node->index; i < frame && node; ++i)
        node = node->next;
    if (!node || node->index != frame) {
        app_info("Error", "%s", bad);
        return nullptr;
    }
    last_node = node;
    if (!node->rows)
        return nullptr;
    return node->rows + static_cast<size_t>(row) * static_cast<size_t>(row_width);
}
