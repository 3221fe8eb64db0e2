// Console input with real key events into the real text area, typed from inside
// the wait: getchar, gets, getline, scanf and nested waits.
#include "console_fixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextCursor>
#include <string>
#include <vector>

namespace {

// Types the keys once the wait has begun (the timer fires inside its loop).
void later(std::function<void()> keys)
{
    QTimer::singleShot(30, std::move(keys));
}

void type(const char* s)
{
    for (QChar c : QString::fromUtf8(s)) {
        if (c.unicode() < 128) {
            QTest::keyClick(ConsoleTest::edit(), char(c.unicode()));
            continue;
        }
        // keys beyond ASCII, as an input method would send them
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(ConsoleTest::edit(), &press);
        QApplication::sendEvent(ConsoleTest::edit(), &release);
    }
}

void enter()
{
    QTest::keyClick(ConsoleTest::edit(), Qt::Key_Return);
}

// Types each line and Enter, one line per wait (keys typed ahead of a wait are
// served by the pump that ends the previous one, as in any such console); notes
// status part 1 as each wait shows it.
std::vector<std::string> prompts;
void lines(std::vector<std::string> rest)
{
    if (rest.empty())
        return;
    QTimer::singleShot(60, [rest] {
        char b[260];
        _getstatus(-1, b);
        prompts.push_back(b);
        type(rest.front().c_str());
        enter();
        lines(std::vector<std::string>(rest.begin() + 1, rest.end()));
    });
}

} // namespace

using Input = ConsoleTest;

TEST_F(Input, GetcharReturnsOneKeyWithoutEnterShowingItsPrompt)
{
    static std::string seen;
    static bool editable = false;
    ostrel_printf("press: ");
    later([] {
        char b[260];
        _getstatus(-1, b);
        seen = b;
        editable = !ConsoleTest::edit()->isReadOnly();
        type("x");
    });
    EXPECT_TRUE(edit()->isReadOnly());
    EXPECT_EQ(ostrel_getchar(), 'x');
    EXPECT_EQ(seen, "getchar");
    EXPECT_TRUE(editable);   // editable only while waiting
    EXPECT_TRUE(edit()->isReadOnly());
    EXPECT_EQ(status(1), "");
    EXPECT_EQ(text(), "press: x");
    QTextCursor c(edit()->document());
    c.setPosition(8);
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(0, 0, 255));   // typed: blue
    c.setPosition(3);
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(Qt::black));
    later([] { enter(); });
    EXPECT_EQ(ostrel_getchar(), 10);
    later([] { QTest::keyClick(ConsoleTest::edit(), Qt::Key_Z, Qt::ControlModifier); });
    EXPECT_EQ(ostrel_getchar(), -1);
}

TEST_F(Input, GetsAndGetlineAfterThePrompt)
{
    char buf[65536];
    ostrel_printf("Name? ");
    later([] { type("Bob"); enter(); });
    EXPECT_STREQ(ostrel_gets(buf), "Bob");
    EXPECT_EQ(text(), "Name? Bob\n");
    EXPECT_EQ(status(2), "2 0");
    ostrel_printf("Name? ");
    later([] { type("Bob"); enter(); });
    EXPECT_STREQ(ostrel_getline(buf), "Name? Bob");   // the whole line
    ostrel_printf("line one\nName? ");
    later([] {   // the caret moved to another line before Enter
        type("abc");
        QTest::keyClick(ConsoleTest::edit(), Qt::Key_Up);
        QTest::keyClick(ConsoleTest::edit(), Qt::Key_Home);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(ConsoleTest::edit(), Qt::Key_Right);
        enter();
    });
    EXPECT_STREQ(ostrel_gets(buf), "line");
}

TEST_F(Input, SizedGetsNeverOverrunsItsBuffer)
{
    later([] { type("abcdefghij"); enter(); });
    char buf[5] = {'#', '#', '#', '#', '#'};
    EXPECT_STREQ(_gets_n(buf, 4), "abc");
    later([] { type("あいう"); enter(); });
    char jp[8];
    EXPECT_STREQ(_getline_n(jp, sizeof jp), "あい");   // cut between characters
}

TEST_F(Input, ScanfOfIntegers)
{
    struct { std::vector<std::string> typed; const char* format; int result, a, b; } rows[] = {
        {{"1", "2"}, "%d %d", 2, 1, 2},
        {{"", "  ", "17"}, "%d", 1, 17, 0},   // an empty line waits for another
        {{"1;2"}, "%d,%d", 1, 1, 0},          // a literal mismatch stops
        {{"5 6"}, "%*d %d", 0, 0, 0},         // a suppressed conversion counts as failure
        {{"7 8"}, "%d %000000000000000000000000000000000001d", 1, 7, 0},   // too long for its buffer
    };
    for (auto& r : rows) {
        SetWindowTextA(_consoletext(), "");
        prompts.clear();
        lines(r.typed);
        int a = 0, b = 0;
        EXPECT_EQ(ostrel_scanf(r.format, &a, &b), r.result) << r.format;
        EXPECT_EQ(a, r.a) << r.format;
        EXPECT_EQ(b, r.b) << r.format;
        EXPECT_EQ(prompts, std::vector<std::string>(r.typed.size(), "scanf")) << r.format;   // in each wait
    }
}

TEST_F(Input, ScanfCountsConsumedCharactersAcrossLines)
{
    lines({" 12", "x 345"});
    int a = 0, b = 0, n = 0;
    short hn = 0;
    EXPECT_EQ(ostrel_scanf("%d x%d%n%hn", &a, &b, &n, &hn), 2);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 345);
    EXPECT_EQ(n, 3 + 1 + 4);   // " 12", then on the next line "x" and " 345"
    EXPECT_EQ(hn, 8);
    EXPECT_EQ(text(), " 12\nx 345\n");
}

TEST_F(Input, ScanfOtherConversionsAndPercent)
{
    later([] { type("50% abc 2.5 z"); enter(); });
    int p = 0;
    char word[16] = {};
    double d = 0;
    char c = 0;
    EXPECT_EQ(ostrel_scanf("%d%% %15s %lf %c", &p, word, &d, &c), 4);
    EXPECT_EQ(p, 50);
    EXPECT_STREQ(word, "abc");
    EXPECT_DOUBLE_EQ(d, 2.5);
    EXPECT_EQ(c, 'z');
}

TEST_F(Input, AHookWaitsForInputWhileMainWaits)
{
    static UINT custom = WM_USER + 91;
    static int inner = 0;
    _setmsgproc([](HWND, UINT m, WPARAM, LPARAM) -> int {
        if (m != custom)
            return 0;
        later([] { type("k"); });
        inner = ostrel_getchar();
        later([] { type("xy"); enter(); });   // for the outer wait, once the inner one ended
        return 1;
    });
    later([] { PostMessageA(_consolewindow(), custom, 0, 0); });
    char buf[65536];
    ostrel_gets(buf);
    _setmsgproc(nullptr);
    EXPECT_EQ(inner, 'k');
    EXPECT_STREQ(buf, "kxy");
    EXPECT_TRUE(edit()->isReadOnly());
    EXPECT_EQ(status(1), "");
}

TEST_F(Input, KeysOutsideAWaitDoNotInsertText)
{
    ostrel_printf("abc");
    QTest::keyClicks(edit(), "zz");
    pump();
    EXPECT_EQ(text(), "abc");
}
