// Console input with real key events into the real text area, typed from inside
// the wait: getchar, gets, getline, scanf and nested waits.
#include "console_fixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextCursor>
#include <string>
#include <vector>

namespace {

QTextEdit* ConsoleTest_edit()
{
    return qobject_cast<QTextEdit*>(platform_window_widget(_consoletext()));
}

// Types the keys once the wait has begun (the timer fires inside its loop).
void later(std::function<void()> keys)
{
    QTimer::singleShot(30, std::move(keys));
}

void type(const char* s)
{
    for (QChar c : QString::fromUtf8(s)) {
        if (c.unicode() < 128) {
            QTest::keyClick(ConsoleTest_edit(), char(c.unicode()));
            continue;
        }
        // keys beyond ASCII, as an input method would send them
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(ConsoleTest_edit(), &press);
        QApplication::sendEvent(ConsoleTest_edit(), &release);
    }
}

void enter()
{
    QTest::keyClick(ConsoleTest_edit(), Qt::Key_Return);
}

// Types each line and Enter, one line per wait (keys typed ahead of a wait are
// served by the pump that ends the previous one, as in any such console).
void lines(std::vector<std::string> rest)
{
    if (rest.empty())
        return;
    QTimer::singleShot(60, [rest] {
        type(rest.front().c_str());
        enter();
        lines(std::vector<std::string>(rest.begin() + 1, rest.end()));
    });
}

} // namespace

using Input = ConsoleTest;

TEST_F(Input, GetcharReturnsOneKeyWithoutEnter)
{
    ostrel_printf("press: ");
    later([] { type("x"); });
    EXPECT_EQ(ostrel_getchar(), 'x');
    EXPECT_EQ(text(), "press: x");
    QTextCursor c(edit()->document());
    c.setPosition(8);
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(0, 0, 255));   // typed: blue
    c.setPosition(3);
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(Qt::black));
    EXPECT_EQ(status(1), "");
    EXPECT_TRUE(edit()->isReadOnly());
}

TEST_F(Input, GetcharEnterGivesTenAndCtrlZMinusOne)
{
    later([] { enter(); });
    EXPECT_EQ(ostrel_getchar(), 10);
    EXPECT_EQ(text(), "\n");
    later([] { QTest::keyClick(ConsoleTest_edit(), Qt::Key_Z, Qt::ControlModifier); });
    EXPECT_EQ(ostrel_getchar(), -1);
}

TEST_F(Input, PromptIsShownWhileWaitingAndTheTextIsEditableOnlyThen)
{
    static std::string seen;
    static bool editable = false;
    later([] {
        char b[260];
        _getstatus(-1, b);
        seen = b;
        editable = !ConsoleTest_edit()->isReadOnly();
        type("k");
    });
    EXPECT_TRUE(edit()->isReadOnly());
    ostrel_getchar();
    EXPECT_EQ(seen, "getchar");
    EXPECT_TRUE(editable);
    EXPECT_TRUE(edit()->isReadOnly());
}

TEST_F(Input, GetsReturnsWhatWasTypedAfterThePrompt)
{
    ostrel_printf("Name? ");
    later([] { type("Bob"); enter(); });
    char buf[65536];
    EXPECT_STREQ(ostrel_gets(buf), "Bob");
    EXPECT_EQ(text(), "Name? Bob\n");
    EXPECT_EQ(status(2), "2 0");
}

TEST_F(Input, GetlineReturnsTheWholeLineWithThePrompt)
{
    ostrel_printf("Name? ");
    later([] { type("Bob"); enter(); });
    char buf[65536];
    EXPECT_STREQ(ostrel_getline(buf), "Name? Bob");
}

TEST_F(Input, GetsAfterTheCaretMovedToAnotherLine)
{
    ostrel_printf("line one\nName? ");
    later([] {
        type("abc");
        QTest::keyClick(ConsoleTest_edit(), Qt::Key_Up);
        QTest::keyClick(ConsoleTest_edit(), Qt::Key_Home);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(ConsoleTest_edit(), Qt::Key_Right);
        enter();
    });
    char buf[65536];
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

TEST_F(Input, ScanfReadsTwoLines)
{
    lines({"1", "2"});
    int a = 0, b = 0;
    EXPECT_EQ(ostrel_scanf("%d %d", &a, &b), 2);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(text(), "1\n2\n");
}

TEST_F(Input, ScanfOnAnEmptyLineWaitsForAnother)
{
    lines({"", "  ", "17"});
    int a = 0;
    EXPECT_EQ(ostrel_scanf("%d", &a), 1);
    EXPECT_EQ(a, 17);
}

TEST_F(Input, ScanfStopsAtALiteralMismatch)
{
    later([] { type("1;2"); enter(); });
    int a = 0, b = 0;
    EXPECT_EQ(ostrel_scanf("%d,%d", &a, &b), 1);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);
}

TEST_F(Input, ScanfSuppressedConversionCountsAsFailure)
{
    later([] { type("5 6"); enter(); });
    int a = 0;
    EXPECT_EQ(ostrel_scanf("%*d %d", &a), 0);
    EXPECT_EQ(a, 0);
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

TEST_F(Input, ScanfConversionTooLongForItsBufferEndsTheCall)
{
    later([] { type("7 8"); enter(); });
    int a = 0, b = 0;
    EXPECT_EQ(ostrel_scanf("%d %000000000000000000000000000000000001d", &a, &b), 1);
    EXPECT_EQ(b, 0);
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
