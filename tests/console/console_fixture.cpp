// One console per test program (the class can be registered once per process).
#include "console_fixture.h"

#include <QElapsedTimer>

void ConsoleTest::SetUpTestSuite()
{
    static bool started = false;
    if (!started) {
        ASSERT_EQ(_consolestartup("first second"), 1);
        started = true;
    }
}

void ConsoleTest::SetUp()
{
    _showconsole();
    SetWindowTextA(_consoletext(), "");
    _setstatus(-1, "");
    _setconsolefont(-1);
    pump();
}

QTextEdit* ConsoleTest::edit()
{
    return qobject_cast<QTextEdit*>(platform_window_widget(_consoletext()));
}

std::string ConsoleTest::text()
{
    return edit()->toPlainText().toStdString();
}

std::string ConsoleTest::status(int part)
{
    char buf[260];
    _getstatus(-part, buf);
    return buf;
}

void ConsoleTest::pump(int ms)
{
    QElapsedTimer t;
    t.start();
    do {
        _pumpmessages();
    } while (t.elapsed() < ms);
}
