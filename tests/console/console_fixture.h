// Shared set-up of the in-process console tests: one console per test program,
// started like the entry does; each test starts from an empty, shown console.
#pragma once
#include "ostrel.h"
#include "platform/win/commctrl.h"
#include "platform/win/richedit.h"
#include "platform/win/window_surface.h"
#include "runtime/console/console_internal.h"
#include "runtime/console/console_state.h"

#include <QTest>
#include <QTimer>
#include <cstring>

#include <QTextEdit>
#include <gtest/gtest.h>
#include <string>

class ConsoleTest : public ::testing::Test {
public:
    static QTextEdit* edit();              // the console's text area

protected:
    static void SetUpTestSuite();
    void SetUp() override;
    static std::string text();             // the console text, line breaks as \n
    static std::string status(int part);   // console status part 0, 1 or 2
    static void pump(int ms = 0);          // runs the loops for a while
};
