// The rich-text area as programs drive it: lines, find, limits, formats, and
// sequences of EM_ and WM_ messages with what each step leaves in the text, the
// selection and the undo history.
#include "rich_edit_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST_F(RichEdit, LinesAndPositions)
{
    put("first\r\nsécond line\r\nthird");
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, 1, 0), 6);
    EXPECT_EQ(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, 8), 1);
    EXPECT_EQ(SendMessageA(edit, EM_LINELENGTH, 8, 0), 11);
    char buf[64];
    WORD max = 2;
    std::memcpy(buf, &max, 2);
    // two bytes would split the "é": one is copied
    EXPECT_EQ(SendMessageA(edit, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buf)), 1);
    max = 60;
    std::memcpy(buf, &max, 2);
    LRESULT n = SendMessageA(edit, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buf));
    buf[n] = 0;
    EXPECT_STREQ(buf, "sécond line");
    EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, 7, 0), -1);
}

TEST_F(RichEdit, FindWithCaseAndWholeWord)
{
    put("Alpha beta alphabet\r\nbeta");
    FINDTEXTA ft{{0, -1}, "alpha"};
    EXPECT_EQ(SendMessageA(edit, EM_FINDTEXT, FR_DOWN, reinterpret_cast<LPARAM>(&ft)), 0);
    EXPECT_EQ(SendMessageA(edit, EM_FINDTEXT, FR_DOWN | FR_MATCHCASE, reinterpret_cast<LPARAM>(&ft)), 11);
    EXPECT_EQ(SendMessageA(edit, EM_FINDTEXT, FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD, reinterpret_cast<LPARAM>(&ft)), -1);
    FINDTEXTA b{{7, -1}, "beta"};
    EXPECT_EQ(SendMessageA(edit, EM_FINDTEXT, FR_DOWN, reinterpret_cast<LPARAM>(&b)), 20);
}

TEST_F(RichEdit, CharacterFormats)
{
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_BOLD;
    cf.dwEffects = CFE_BOLD;
    cf.yHeight = 270;
    cf.crTextColor = RGB(0, 0, 255);
    std::strcpy(cf.szFaceName, "ＭＳ ゴシック");
    EXPECT_EQ(SendMessageA(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)), 1);
    CHARFORMATA got{};
    got.cbSize = sizeof got;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.yHeight, 270);
    EXPECT_EQ(got.crTextColor, RGB(0, 0, 255));
    EXPECT_STREQ(got.szFaceName, "ＭＳ ゴシック");
    EXPECT_TRUE(got.dwEffects & CFE_BOLD);
}

TEST_F(RichEdit, SelectReplaceAndReadBack)
{
    EXPECT_EQ(send_text(WM_SETTEXT, 0, "abc\r\ndef"), TRUE);
    EXPECT_EQ(send(WM_GETTEXTLENGTH), 8);   // the line break reads back as two bytes
    select(1, 3);
    DWORD from = 0, to = 0;
    EXPECT_EQ(send(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to)), MAKELPARAM(1, 3));
    EXPECT_EQ(from, 1u);
    EXPECT_EQ(to, 3u);
    send_text(EM_REPLACESEL, 0, "X");
    EXPECT_EQ(text(), "aX\r\ndef");
    CHARRANGE end{-1, 0};
    EXPECT_EQ(send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end)), 6);   // caret at the end
    CHARRANGE got{};
    send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.cpMin, 6);
    EXPECT_EQ(got.cpMax, 6);
    EXPECT_EQ(send(EM_LINEFROMCHAR, WPARAM(-1)), 1);   // the caret's line
    select(0, -1);
    send(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(to, 6u);
    char small[3];
    EXPECT_EQ(send(WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 2);
    EXPECT_STREQ(small, "aX");
}

TEST_F(RichEdit, ReadOnlyClearUndoAndItsHistory)
{
    send_text(WM_SETTEXT, 0, "hello");
    EXPECT_EQ(send(EM_CANUNDO), 0);   // setting the text leaves nothing to undo
    select(0, 1);
    send(EM_SETREADONLY, 1);
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & LONG(ES_READONLY));
    send(WM_CLEAR);
    EXPECT_EQ(text(), "hello");
    send(EM_SETREADONLY, 0);
    EXPECT_FALSE(GetWindowLongA(edit, GWL_STYLE) & LONG(ES_READONLY));
    send(WM_CLEAR);
    EXPECT_EQ(text(), "ello");
    EXPECT_EQ(send(EM_CANUNDO), 1);
    EXPECT_EQ(send(WM_UNDO), 1);
    EXPECT_EQ(text(), "hello");
    select(0, 0);
    send_text(EM_REPLACESEL, 1, ">");
    send(EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(send(EM_UNDO), 0);
    EXPECT_EQ(text(), ">hello");
}

TEST_F(RichEdit, LimitsAndTheirDefaults)
{
    struct Case { UINT msg; WPARAM wp; LPARAM lp; LRESULT limit; };
    const Case cases[] = {
        {EM_LIMITTEXT, 0, 0, 65535},
        {EM_EXLIMITTEXT, 0, 0, 65536},
        {EM_LIMITTEXT, 3, 0, 3},
        {EM_EXLIMITTEXT, 0, 7, 7},
    };
    for (const Case& c : cases) {
        send(c.msg, c.wp, c.lp);
        EXPECT_EQ(send(EM_GETLIMITTEXT), c.limit) << c.msg << " " << c.wp << " " << c.lp;
    }
    send_text(WM_SETTEXT, 0, "");
    send_text(EM_REPLACESEL, 0, "abcdefghij");
    EXPECT_EQ(text(), "abcdefg");
}

TEST_F(RichEdit, CopyCutAndPasteThroughTheClipboard)
{
    send_text(WM_SETTEXT, 0, "cut me");
    select(0, 3);
    send(WM_COPY);
    if (QApplication::clipboard()->text() != "cut")
        GTEST_SKIP() << "this platform plug-in keeps no clipboard";
    EXPECT_EQ(send(EM_CANPASTE), 1);
    send(WM_CUT);
    EXPECT_EQ(text(), " me");
    select(-1, 0);
    send(WM_PASTE);
    EXPECT_EQ(text(), " mecut");
}

TEST_F(RichEdit, MissingOrShortRecordsAreRefused)
{
    CHARFORMATA short_cf{};
    short_cf.cbSize = sizeof short_cf - 1;
    FINDTEXTA empty{{0, -1}, ""};
    struct Case { UINT msg; WPARAM wp; LPARAM lp; LRESULT result; };
    const Case cases[] = {
        {EM_EXSETSEL, 0, 0, 0},
        {EM_GETLINE, 0, 0, 0},
        {EM_FINDTEXT, 0, 0, -1},
        {EM_FINDTEXT, 0, reinterpret_cast<LPARAM>(&empty), -1},
        {EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&short_cf), 0},
        {EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&short_cf), 0},
        {WM_GETTEXT, 0, 0, 0},
    };
    send_text(WM_SETTEXT, 0, "text stays");
    for (const Case& c : cases)
        EXPECT_EQ(send(c.msg, c.wp, c.lp), c.result) << c.msg;
    EXPECT_EQ(text(), "text stays");
}

} // namespace
