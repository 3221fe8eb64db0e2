// WindowSearch on a real X server (run under Xvfb on Qt's X11 platform): the
// windows of another client by their titles, the program's own windows once and
// under their own handles, and the client list of a window manager.
#include "tests/shell/shell_fixture.h"
#include "tests/support/x11_windows.h"
#include "platform/win/window_enum.h"

#include <QGuiApplication>
#include <algorithm>

namespace {

// The found windows: own handles as they are, others as "x<id>".
std::vector<std::string> found(const char* pattern, int mode, int visibleOnly)
{
    WindowSearch s(pattern, mode, visibleOnly);
    std::vector<std::string> out;
    for (int i = 0; i < s.count; ++i) {
        const HWND w = s.handles[i];
        out.push_back(platform_foreign_window(w) ? "x" + std::to_string(platform_foreign_window_id(w)) : "own");
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string x(xcb_window_t w) { return "x" + std::to_string(w); }

}  // namespace

TEST_F(ShellTest, WindowSearchX11)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs Qt's X11 platform on a display (runs under Xvfb)";
    XWindows other;
    ASSERT_TRUE(other.ok());
    const xcb_window_t notepad = other.add("Notepad"), notes = other.add("My Notes", true),
                       note = other.add("My Note", true), hidden = other.add("Notepad (hidden)", false, false),
                       latin = other.add("Not\xe9 Notes");
    other.sync();
    HWND own = own_window("Notepad (own)");
    struct Case { const char* pattern; int mode, visibleOnly; std::vector<std::string> expect; } cases[] = {
        {"Note", 1, 1, {"own", x(notepad)}},
        {"Note", 1, 0, {"own", x(notepad), x(hidden)}},
        {"Note", 2, 1, {x(note)}},
        {"Note", 0, 1, {"own", x(notepad), x(notes), x(note), x(latin)}},
        {"Not\xc3\xa9", 1, 1, {x(latin)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " " + std::to_string(c.mode * 10 + c.visibleOnly));
        std::vector<std::string> expect = c.expect;
        std::sort(expect.begin(), expect.end());
        EXPECT_EQ(expect, found(c.pattern, c.mode, c.visibleOnly));
    }
    WindowSearch one("Notepad", 1, 1);
    EXPECT_FALSE(IsWindow(one.handles[0] == own ? one.handles[1] : one.handles[0]));   // not ours: no record
    // With a window manager only its clients count.
    other.fake_manager({notepad, note});
    other.sync();
    std::vector<std::string> expect = {"own", x(notepad), x(note)};
    std::sort(expect.begin(), expect.end());
    EXPECT_EQ(expect, found("Note", 0, 1));
    DestroyWindow(own);
}
