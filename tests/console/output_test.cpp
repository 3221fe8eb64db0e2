// Text output: printf and companions, line ends, the clear at 256,000 characters,
// character formats, status lines and the caret display, elapsed-time texts.
#include "tests/support/screen_check.h"
#include "console_fixture.h"

#include <QApplication>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <string>

namespace {

QColor colour_at(QTextEdit* e, int pos)
{
    QTextCursor c(e->document());
    c.setPosition(pos + 1);   // the format of the character before the cursor
    return c.charFormat().foreground().color();
}

// Fills the console with `n` characters in lines of 100 (a line break is one).
void fill(int n)
{
    std::string t;
    while (int(t.size()) + 100 <= n)
        t += std::string(99, 'x') + "\n";
    t += std::string(size_t(n) - t.size(), 'x');
    SendMessageA(_consoletext(), EM_SETSEL, WPARAM(-1), LPARAM(-1));
    SendMessageA(_consoletext(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(t.c_str()));
}

} // namespace

TEST(ElapsedText, FollowsTheTable)
{
    char b[64];
    struct { double s; const char* want; } cases[] = {
        {0.25, "250msec"}, {0.0, "0msec"}, {5.5, "5.5sec"}, {9.96, "10.0sec"}, {1.0, "1.0sec"},
        {10.0, "10sec"}, {59.9, "59sec"}, {75.9, "1min15sec"}, {60.0, "1min0sec"}, {3725.0, "1hour2min"},
        {3599.0, "59min59sec"},
    };
    for (auto& c : cases) {
        _elapsedtext(c.s, b, sizeof b);
        EXPECT_STREQ(b, c.want) << c.s;
    }
}

using Output = ConsoleTest;

TEST_F(Output, LineFeedBecomesLineBreakAndCompanionsPrintThroughPrintf)
{
    EXPECT_EQ(ostrel_printf("a\nb"), 3);
    char buf[64];
    GetWindowTextA(_consoletext(), buf, sizeof buf);
    EXPECT_STREQ(buf, "a\r\nb");
    EXPECT_EQ(ostrel_printf("%d-%s\n", 42, "x"), 5);
    EXPECT_EQ(_puts("line"), 1);
    EXPECT_EQ(_putchar('z'), 'z');
    EXPECT_EQ(text(), "a\nb42-x\nline\nz");
    FILE* f = tmpfile();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(_fprintf(f, "n=%d", 7), 3);
    rewind(f);
    char got[16] = {};
    ASSERT_NE(fgets(got, sizeof got, f), nullptr);
    fclose(f);
    EXPECT_STREQ(got, "n=7");
}

TEST_F(Output, AppendsAtTheEndWhateverTheSelection)
{
    ostrel_printf("first line\nsecond line\n");
    SendMessageA(_consoletext(), EM_SETSEL, 2, 5);
    ostrel_printf("tail");
    EXPECT_EQ(text(), "first line\nsecond line\ntail");
    QTextCursor c = edit()->textCursor();
    EXPECT_FALSE(c.hasSelection());
    EXPECT_EQ(c.position(), int(text().size()));
}

TEST_F(Output, ClearsTheConsoleAtTwoHundredFiftySixThousandCharacters)
{
    struct { int before; const char* printed; int after; } rows[] = {
        {255990, "01234567890123456789", 20},        // cleared first: the new text alone
        {255970, "0123456789012345678", 255989},     // below the limit: kept
    };
    for (auto& r : rows) {
        SetWindowTextA(_consoletext(), "");
        fill(r.before);
        ASSERT_EQ(edit()->document()->characterCount() - 1, r.before);
        ostrel_printf("%s", r.printed);
        EXPECT_EQ(edit()->document()->characterCount() - 1, r.after);
        EXPECT_EQ(text().substr(text().size() - std::strlen(r.printed)), r.printed);
    }
}

TEST_F(Output, CaretLineAndColumnInStatusPartTwo)
{
    ostrel_printf("one\ntwo\nthree\n");
    EXPECT_EQ(status(2), "4 0");
    ostrel_printf("ab");
    EXPECT_EQ(status(2), "4 2");
}

TEST_F(Output, HookInsidePrintfPumpSeesTheCaretOfThatOutput)
{
    static UINT custom = WM_USER + 78;
    static std::string seen;
    seen.clear();
    _setmsgproc([](HWND, UINT m, WPARAM, LPARAM) -> int {
        if (m != custom)
            return 0;
        char buf[260];
        _getstatus(-2, buf);
        seen = buf;
        return 1;
    });
    ostrel_printf("one\ntwo\n");
    PostMessageA(_consolewindow(), custom, 0, 0);
    ostrel_printf("three\nfour");
    _setmsgproc(nullptr);
    EXPECT_EQ(seen, "4 4");
}

TEST_F(Output, FastOutputReachesTheScreenOnceEventsRun)
{
    int flash = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0);   // no caret blink between the two pictures
    QWidget* bar = platform_window_widget(_consolestatus());
    ASSERT_NE(bar, nullptr);
    pump(50);
    ostrel_printf("lone\n");
    pump(5);
    EXPECT_TRUE(shown(edit()) == drawn_now(edit())) << "a lone line waits for a frame";
    for (int i = 0; i < 2000; ++i)
        ostrel_printf("%04d 56789 abcdefghij 0123456789 abcdef\n", i);
    EXPECT_EQ(status(2), "2002 0");
    // a frame or two here; a busy machine may take longer, a lost picture never shows
    for (int waited = 0; waited < 3000 && !(shown(edit()) == drawn_now(edit()) && shown(bar) == drawn_now(bar));
         waited += 50)
        pump(50);
    EXPECT_TRUE(shown(edit()) == drawn_now(edit())) << "the last lines were never drawn";
    EXPECT_TRUE(shown(bar) == drawn_now(bar)) << "the caret position was never drawn";
    QApplication::setCursorFlashTime(flash);
}

TEST_F(Output, PrintedTextIsBlackTypedTextIsBlue)
{
    _setconsolefont(1);
    ostrel_printf("out");
    EXPECT_EQ(colour_at(edit(), 0), QColor(Qt::black));
    EXPECT_EQ(colour_at(edit(), 2), QColor(Qt::black));
    // what the user types takes the insertion point's format
    EXPECT_EQ(edit()->currentCharFormat().foreground().color(), QColor(0, 0, 255));
    EXPECT_DOUBLE_EQ(edit()->currentCharFormat().fontPointSize(), 13.5);
}

TEST_F(Output, ConsoleFontSizesOfTheEditMenu)
{
    _setconsolefont(1);
    EXPECT_EQ(console_input_format.yHeight, 270);
    EXPECT_EQ(console_output_format.yHeight, 270);
    _setconsolefont(2);
    EXPECT_EQ(console_input_format.yHeight, 270);
    _setconsolefont(0);
    EXPECT_EQ(console_output_format.yHeight, 225);
    _setconsolesize(10, 20);
    EXPECT_EQ(console_output_format.yHeight, 150);
    EXPECT_EQ(console_input_format.yHeight, 300);
}

TEST_F(Output, OverflowShowsTheErrorWaitsForAKeyAndReturnsMinusOne)
{
    QTimer::singleShot(30, [] { QTest::keyClick(edit(), Qt::Key_Q); });
    std::string before = text();
    EXPECT_EQ(ostrel_printf("%128000s", "x"), -1);
    EXPECT_EQ(text(), before + "q");   // only the awaited key went in
    EXPECT_EQ(status(1), "");
}

TEST_F(Output, StatusIsRewrittenOnlyWhenItChangesAndCutNotOverrun)
{
    static int writes = 0;
    static WNDPROC original = nullptr;
    writes = 0;
    HWND bar = _consolestatus();
    original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(bar, GWLP_WNDPROC));
    SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == SB_SETTEXTA)
            ++writes;
        return original(w, m, wp, lp);
    }));
    EXPECT_EQ(_setstatus(-1, "hello"), 1);
    EXPECT_EQ(_setstatus(-1, "hello"), 1);
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(_setstatus(-1, "hell"), 1);
    EXPECT_EQ(writes, 2);
    EXPECT_EQ(_printstatus(0, "%d apples", 3), 1);
    EXPECT_EQ(status(0), "3 apples");
    SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(original));
    // the bar's own cut at 259 bytes: StatusBar.PartsTextsAndTheCutAt259Bytes
    char buf[260];
    std::string jp;
    for (int i = 0; i < 100; ++i)
        jp += "あ";
    EXPECT_EQ(_setstatus(0, jp.c_str()), 1);
    ASSERT_EQ(_getstatus(0, buf), 1);
    EXPECT_EQ(std::string(buf), jp.substr(0, 258));   // a cut never splits a character
    // bad page numbers
    EXPECT_EQ(_printstatus(-3, "x"), 0);
    EXPECT_EQ(_getstatus(-3, buf), 0);
    EXPECT_EQ(_setstatus(3998, "x"), 0);
    EXPECT_EQ(_getstatus(3998, buf), 0);
    EXPECT_EQ(_getstatusbar(0), _consolestatus());
    EXPECT_EQ(_getstatusbar(-1), nullptr);
    EXPECT_EQ(_getstatusbar(3998), nullptr);
}

TEST_F(Output, ConsoleStatusPartsFollowTheWidth)
{
    RECT r{};
    int edges[3] = {};
    MoveWindow(_consolewindow(), 16, 16, 200, 300, TRUE);
    SendMessageA(_consolestatus(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[0], 80);
    EXPECT_EQ(edges[1], 180);
    EXPECT_EQ(edges[2], 240);
    MoveWindow(_consolewindow(), 16, 16, 640, 400, TRUE);
    GetClientRect(_consolewindow(), &r);
    SendMessageA(_consolestatus(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[2], r.right);
    EXPECT_EQ(edges[0], r.right - 160);
    RECT t{}, s{};
    GetWindowRect(_consoletext(), &t);
    GetWindowRect(_consolestatus(), &s);
    EXPECT_EQ((t.bottom - t.top) + (s.bottom - s.top), r.bottom);
}
