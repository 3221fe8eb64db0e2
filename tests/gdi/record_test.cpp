// Recording and replay: calls recorded in order with 32-bit coordinates,
// replayed with the consumer's mapping, objects moved through the table,
// replay into another recording, queries answered from what was recorded.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

namespace {
constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0, kRed = 0x0000FF;

TEST(GdiRecord, ReplayAtTwentyUnitsPerPixel)
{
    HDC rec = CreateMetaFileA(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 4, kRed);
    SelectObject(rec, pen);
    MoveToEx(rec, 0, 200, nullptr);
    LineTo(rec, 200, 200);
    HMETAFILE mf = CloseMetaFile(rec);
    ASSERT_NE(mf, nullptr);
    Canvas c(20, 20);
    SetMapMode(c.dc, MM_ANISOTROPIC);
    SetWindowExtEx(c.dc, 400, 400, nullptr);
    SetViewportExtEx(c.dc, 20, 20, nullptr);
    EXPECT_TRUE(PlayMetaFile(c.dc, mf));
    EXPECT_EQ(c.at(0, 10), kRed);
    EXPECT_EQ(c.at(9, 10), kRed);
    EXPECT_EQ(c.at(10, 10), kWhite);
    // the consumer's pen is back after the replay
    EXPECT_EQ(GetCurrentObject(c.dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
    DeleteMetaFile(mf);
}

TEST(GdiRecord, CoordinatesBeyondSixteenBitsStayExact)
{
    HDC rec = CreateMetaFileA(nullptr);
    SelectObject(rec, GetStockObject(NULL_PEN));
    HBRUSH br = CreateSolidBrush(kRed);
    SelectObject(rec, br);
    Rectangle(rec, 40000, 60000, 40100, 60100);   // 2000 px, 3000 px at 1/20
    HMETAFILE mf = CloseMetaFile(rec);
    Canvas c(3100, 3100);
    SetMapMode(c.dc, MM_ANISOTROPIC);
    SetWindowExtEx(c.dc, 20, 20, nullptr);
    SetViewportExtEx(c.dc, 1, 1, nullptr);
    PlayMetaFile(c.dc, mf);
    EXPECT_EQ(c.at(2000, 3000), kRed);
    EXPECT_EQ(c.at(1999, 3000), kWhite);
    // a 16-bit file cannot hold it: the writer refuses instead of wrapping
    EXPECT_EQ(GetMetaFileBitsEx(mf, 0, nullptr), 0u);
    EXPECT_EQ(CopyMetaFileA(mf, "/tmp/never-written.wmf"), nullptr);
    DeleteObject(br);
    DeleteMetaFile(mf);
}

TEST(GdiRecord, RecordingAnswersWithTheValuesLastRecorded)
{
    HDC rec = CreateMetaFileA(nullptr);
    SetTextColor(rec, kRed);
    SetBkColor(rec, 0x00FF00);
    MoveToEx(rec, 30, 40, nullptr);
    LineTo(rec, 60, 80);
    EXPECT_EQ(GetTextColor(rec), kRed);
    EXPECT_EQ(GetBkColor(rec), COLORREF(0x00FF00));
    POINT p{};
    GetCurrentPositionEx(rec, &p);
    EXPECT_EQ(p.x, 60);
    EXPECT_EQ(p.y, 80);
    EXPECT_EQ(GetPixel(rec, 1, 1), CLR_INVALID);
    DeleteMetaFile(CloseMetaFile(rec));
}

TEST(GdiRecord, ReplayIntoARecordingKeepsObjectsApart)
{
    // content: a red pen line
    HDC a = CreateMetaFileA(nullptr);
    HPEN red = CreatePen(PS_SOLID, 0, kRed);
    SelectObject(a, red);
    MoveToEx(a, 0, 1, nullptr);
    LineTo(a, 5, 1);
    HMETAFILE content = CloseMetaFile(a);
    DeleteObject(red);
    // a new recording with its own pen replays the content, then draws
    HDC b = CreateMetaFileA(nullptr);
    HPEN black = CreatePen(PS_SOLID, 0, kBlack);
    SelectObject(b, black);
    PlayMetaFile(b, content);
    MoveToEx(b, 0, 3, nullptr);
    LineTo(b, 5, 3);
    HMETAFILE both = CloseMetaFile(b);
    Canvas c(8, 8);
    PlayMetaFile(c.dc, both);
    EXPECT_EQ(c.at(2, 1), kRed);
    EXPECT_EQ(c.at(2, 3), kBlack);   // the recording's own pen came back
    DeleteObject(black);
    DeleteMetaFile(content);
    DeleteMetaFile(both);
}

TEST(GdiRecord, DeletedObjectsAreDeletedInTheRecording)
{
    HDC rec = CreateMetaFileA(nullptr);
    for (int i = 0; i < 50; ++i) {
        HPEN p = CreatePen(PS_SOLID, 0, COLORREF(i));
        HGDIOBJ old = SelectObject(rec, p);
        if (old && old != GetStockObject(BLACK_PEN)) DeleteObject(old);
    }
    HMETAFILE mf = CloseMetaFile(rec);
    std::vector<unsigned char> b = wmf_bytes(mf);
    ASSERT_GE(b.size(), 18u);
    int objects = b[10] | (b[11] << 8);
    EXPECT_LE(objects, 2);   // slots are reused, not piled up
    DeleteMetaFile(mf);
}

TEST(GdiRecord, OffsetOfTheWindowOriginShiftsAReplay)
{
    HDC a = CreateMetaFileA(nullptr);
    SetPixel(a, 1, 1, kRed);
    HMETAFILE content = CloseMetaFile(a);
    HDC b = CreateMetaFileA(nullptr);
    OffsetWindowOrgEx(b, -3, -2, nullptr);
    PlayMetaFile(b, content);
    OffsetWindowOrgEx(b, 3, 2, nullptr);
    SetPixel(b, 0, 0, kBlack);
    HMETAFILE both = CloseMetaFile(b);
    Canvas c(8, 8);
    SetWindowOrgEx(c.dc, 0, 0, nullptr);
    PlayMetaFile(c.dc, both);
    EXPECT_EQ(c.at(4, 3), kRed);
    EXPECT_EQ(c.at(0, 0), kBlack);
    DeleteMetaFile(content);
    DeleteMetaFile(both);
}

TEST(GdiRecord, StaleHandlesFail)
{
    HDC rec = CreateMetaFileA(nullptr);
    HMETAFILE mf = CloseMetaFile(rec);
    EXPECT_EQ(CloseMetaFile(rec), nullptr);
    EXPECT_TRUE(DeleteMetaFile(mf));
    EXPECT_FALSE(DeleteMetaFile(mf));
    Canvas c(2, 2);
    EXPECT_FALSE(PlayMetaFile(c.dc, mf));
}
}  // namespace
