/* StickData: the frames of a stick data file, as read at start.
 *
 * A file is a sequence of frames of BLOCK_LINE text lines each; a line is one
 * polyline of x, y numbers. load_frames reads the whole file into memory and
 * walks it in two passes (count, then store) into a list of FrameNode records,
 * each holding its rows' text; the numbers are parsed when a frame is drawn.
 */
#ifndef OSTREL_APPS_STICK_DATA_H
#define OSTREL_APPS_STICK_DATA_H

#include <cstdint>
#include <cstdio>

struct ViewerSettings;

struct FrameNode {
    FrameNode* previous;
    FrameNode* next;
    char* rows;     /* BLOCK_LINE rows of row-width bytes, zero-filled */
    int32_t index;
};

struct StickData {
    std::FILE* file;
    char message[256];
    char line[256];
    int32_t row_width;
    FrameNode first_frame;
    int32_t frame_count;
    const ViewerSettings* settings; /* gives BLOCK_LINE */

    explicit StickData(const ViewerSettings& settings);
    ~StickData();
    StickData(const StickData&) = delete;
    StickData& operator=(const StickData&) = delete;

    /* Reads the file; false after the failure was shown in a box. */
    bool load_frames(const char* path);
    /* Start of the text of one row, or null (with a box for a bad index). */
    const char* frame_row(int frame, int row);

private:
    /* The node of the last lookup: stepping to a neighbouring frame walks
     * one link instead of the whole list. */
    const FrameNode* last_node = nullptr;

    int block_line() const;
    void release();
    bool fail(const char* text);
};

#endif
