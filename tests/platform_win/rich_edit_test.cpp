// The rich-text area as programs drive it: sequences of EM_ and WM_ messages and
// what each step leaves in the text, the selection and the undo history.
#include "win_test_util.h"
#include "platform/win/richedit.h"

#include <QApplication>
#include <QClipboard>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

class RichEditMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = make_window();
        edit = CreateWindowExA(0, "RichEdit", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 300, 150, frame, nullptr,
                               nullptr, nullptr);
        ASSERT_NE(edit, nullptr);
    }
    void TearDown() override { DestroyWindow(frame); }
    LRESULT send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(edit, msg, wp, lp); }
    LRESULT send_text(UINT msg, WPARAM wp, const char* text) { return send(msg, wp, reinterpret_cast<LPARAM>(text)); }
    std::string text()
    {
        char buf[256];
        send(WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    void select(long from, long to) { send(EM_SETSEL, WPARAM(from), LPARAM(to)); }
    HWND frame = nullptr, edit = nullptr;
};

TEST_F(RichEditMessages, SelectReplaceAndReadBack)
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

TEST_F(RichEditMessages, ReadOnlyClearUndoAndItsHistory)
{
    send_text(WM_SETTEXT, 0, "hello");
    EXPECT_EQ(send(EM_CANUNDO), 0);   // setting the text leaves nothing to undo
    select(0, 1);
    send(EM_SETREADONLY, 1);
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

TEST_F(RichEditMessages, LimitsAndTheirDefaults)
{
    struct Case {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        LRESULT limit;
    };
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

TEST_F(RichEditMessages, CopyCutAndPasteThroughTheClipboard)
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

TEST_F(RichEditMessages, MissingOrShortRecordsAreRefused)
{
    CHARFORMATA short_cf{};
    short_cf.cbSize = sizeof short_cf - 1;
    FINDTEXTA empty{{0, -1}, ""};
    struct Case {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        LRESULT result;
    };
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
