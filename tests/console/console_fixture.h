// Shared set-up of the in-process console tests: one console per test program,
// started like the entry does; each test starts from an empty, shown console.
#pragma once
#include "ostrel.h"
#include "platform/win/commctrl.h"
#include "platform/win/richedit.h"
#include "platform/win/window_surface.h"
#include "runtime/console/console_internal.h"
#include "runtime/console/console_state.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <cstring>

#include <QTextEdit>
#include <gtest/gtest.h>
#include <string>

class ConsoleTest : public ::testing::Test {
public:
    // the console's text area
    static QTextEdit* edit() { return qobject_cast<QTextEdit*>(platform_window_widget(_consoletext())); }

protected:
    // one console per test program (the class can be registered once per process)
    static void SetUpTestSuite()
    {
        static bool started = false;
        if (!started) {
            ASSERT_EQ(_consolestartup("first second"), 1);
            started = true;
        }
    }
    void SetUp() override
    {
        _showconsole();
        SetWindowTextA(_consoletext(), "");
        _setstatus(-1, "");
        _setconsolefont(-1);
        pump();
    }
    // the console text, line breaks as \n
    static std::string text() { return edit()->toPlainText().toStdString(); }
    // console status part 0, 1 or 2
    static std::string status(int part)
    {
        char buf[260];
        _getstatus(-part, buf);
        return buf;
    }
    // runs the loops for a while
    static void pump(int ms = 0)
    {
        QElapsedTimer t;
        t.start();
        do {
            _pumpmessages();
        } while (t.elapsed() < ms);
    }
};
