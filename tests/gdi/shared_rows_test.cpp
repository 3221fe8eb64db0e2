// Large bitmap rows shared with recordings: a recording keeps the rows as they were
// when put, whatever the owner writes afterwards, and its bytes are those of a copy.
#include "gdi_test_support.h"
#include "platform/gdi/shared_rows.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// 1024 x 1366 at 24 bits: just over the size from which rows are shared.
constexpr int W = 1024, H = 1366;
constexpr std::size_t kStride = W * 3, kSize = kStride * H;
static_assert(kSize >= kSharedRowsMin);

BITMAPINFO top_down_info()
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = 40;
    bi.bmiHeader.biWidth = W;
    bi.bmiHeader.biHeight = -H;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

void fill(unsigned char* rows, COLORREF c)
{
    for (std::size_t i = 0; i < kSize; i += 3) {
        rows[i] = GetBValue(c);
        rows[i + 1] = GetGValue(c);
        rows[i + 2] = GetRValue(c);
    }
}

HMETAFILE record(const unsigned char* rows)
{
    const BITMAPINFO bi = top_down_info();
    HDC dc = CreateMetaFileA(nullptr);
    EXPECT_EQ(StretchDIBits(dc, 0, 0, W, H, 0, 0, W, H, rows, &bi, DIB_RGB_COLORS, SRCCOPY), H);
    return CloseMetaFile(dc);
}

// The colours at three corners and the middle of a replay.
std::vector<COLORREF> replayed(HMETAFILE mf)
{
    Canvas c(W, H);
    replay(mf, c);
    return {c.at(0, 0), c.at(W - 1, 0), c.at(W / 2, H / 2), c.at(W - 1, H - 1)};
}

} // namespace

TEST(SharedRows, RecordingsKeepTheRowsAsTheyWereWhenPut)
{
    unsigned char* rows = shared_rows_allocate(kSize);
    if (!rows)
        GTEST_SKIP() << "this system refuses memory files; bitmaps use plain memory here";
    const COLORREF blue = RGB(10, 20, 200), red = RGB(220, 30, 40);
    fill(rows, blue);
    const std::vector<unsigned char> copy(rows, rows + kSize);

    HMETAFILE before = record(rows);
    HMETAFILE ofCopy = record(copy.data());
    HMETAFILE again = record(rows);   // unwritten: the same rows once more
    fill(rows, red);                  // the program writes its bitmap
    HMETAFILE after = record(rows);
    rows[0] = 0;                      // and writes again after that recording
    EXPECT_TRUE(shared_rows_free(rows));   // then frees it: the recordings stay whole
    EXPECT_FALSE(shared_rows_free(rows)) << "a freed block is no longer known";

    EXPECT_EQ(replayed(before), std::vector<COLORREF>(4, blue));
    EXPECT_EQ(replayed(again), std::vector<COLORREF>(4, blue));
    EXPECT_EQ(replayed(after), std::vector<COLORREF>(4, red));
    const std::vector<unsigned char> bytes = wmf_bytes(before);
    ASSERT_GT(bytes.size(), kSize);
    EXPECT_TRUE(bytes == wmf_bytes(ofCopy)) << "a shared recording is written as a copied one";
    EXPECT_TRUE(bytes == wmf_bytes(again));
    for (HMETAFILE mf : {before, ofCopy, again, after})
        DeleteMetaFile(mf);
}

TEST(SharedRows, ViewsAreSharedUntilTheOwnerWrites)
{
    EXPECT_EQ(shared_rows_allocate(kSharedRowsMin - 1), nullptr) << "small rows stay plain memory";
    if (std::FILE* map = std::fopen("/proc/self/pagemap", "rb"))
        std::fclose(map);
    else
        GTEST_SKIP() << "no page map to tell written rows: every recording copies them";
    unsigned char* rows = shared_rows_allocate(kSize);
    if (!rows)
        GTEST_SKIP() << "this system refuses memory files; bitmaps use plain memory here";
    std::memset(rows, 5, kSize);
    std::size_t at = 99;
    auto whole = shared_rows_snapshot(rows, kSize, at);
    ASSERT_TRUE(whole);
    EXPECT_EQ(at, 0u);
    auto band = shared_rows_snapshot(rows + kStride, kStride, at);
    EXPECT_EQ(band, whole) << "unwritten rows are viewed once";
    EXPECT_EQ(at, kStride);
    EXPECT_FALSE(shared_rows_snapshot(rows + kSize - 1, 2, at)) << "past the block's end";
    const unsigned char outside[4] = {};
    EXPECT_FALSE(shared_rows_snapshot(outside, sizeof outside, at));

    rows[kSize - 1] = 9;
    EXPECT_EQ(whole->data()[kSize - 1], 5) << "the view keeps what was there";
    EXPECT_EQ(rows[kSize - 1], 9);
    EXPECT_FALSE(shared_rows_snapshot(rows, kSize, at)) << "written rows are copied, not viewed";
    EXPECT_TRUE(shared_rows_free(rows));
    EXPECT_EQ(whole->data()[0], 5);
}
