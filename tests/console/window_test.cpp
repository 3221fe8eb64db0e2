// The console window: menus and their commands, Find with wrap-around, the Window
// menu, drops before and after main returns, hooks and re-entrant pumps, the
// double-click wait and the accelerator list.
#include "console_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QWidget>
#include <vector>

namespace {

void command(int id)
{
    PostMessageA(_consolewindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    _pumpmessages();
}

QWidget* find_dialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == "Find")
            return w;
    return nullptr;
}

void search(const char* what)
{
    QWidget* d = find_dialog();
    ASSERT_NE(d, nullptr);
    auto* edit = d->findChild<QLineEdit*>("findWhat");
    ASSERT_NE(edit, nullptr);
    edit->setText(QString::fromUtf8(what));
    d->findChild<QPushButton*>("findNext")->click();
    _pumpmessages();
}

void close_find()
{
    if (QWidget* d = find_dialog())
        d->close();
    for (int i = 0; i < 5; ++i)
        _pumpmessages();
}

std::vector<std::string> g_dropped;
int g_drop_page = -1;
void drop_hook(int page, int n, char** files)
{
    g_drop_page = page;
    g_dropped.assign(files, files + n);
}

// The window with the focus once activation has settled (the toolkit activates
// windows through its event loop), waiting at most a second for `want`.
HWND focus_settles_on(HWND want)
{
    QElapsedTimer t;
    t.start();
    do
        _pumpmessages();
    while (GetFocus() != want && t.elapsed() < 1000);
    return GetFocus();
}

void drop_on(QWidget* w, const QStringList& paths)
{
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    mime->setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drop);
    delete mime;
}

} // namespace

using Window = ConsoleTest;

TEST_F(Window, TitleMenusAndCommandIds)
{
    char title[64];
    GetWindowTextA(_consolewindow(), title, sizeof title);
    EXPECT_STREQ(title, "Console 1.11");
    HMENU bar = GetMenu(_consolewindow());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 4);
    char t[64];
    const char* names[] = {"&File", "&Edit", "&Window", "&Help"};
    for (int i = 0; i < 4; ++i) {
        GetMenuStringA(bar, UINT(i), t, sizeof t, MF_BYPOSITION);
        EXPECT_STREQ(t, names[i]);
    }
    HMENU edit = GetSubMenu(bar, 1);
    EXPECT_EQ(edit, _editsubmenu());
    std::vector<UINT> ids;   // separators as 0
    for (int i = 0; i < GetMenuItemCount(edit); ++i)
        ids.push_back(GetMenuState(edit, UINT(i), MF_BYPOSITION) & MF_SEPARATOR ? 0 : GetMenuItemID(edit, i));
    EXPECT_EQ(ids, (std::vector<UINT>{65508, 0, 65505, 65503, 65504, 65506, 65507, 0, 65509, 0, 65511, 65512, 65513}));
    GetMenuStringA(edit, 65509, t, sizeof t, MF_BYCOMMAND);
    EXPECT_STREQ(t, "&Find \t F3");
}

TEST_F(Window, SelectAllThenCopyPutsTheTextOnTheClipboard)
{
    ostrel_printf("alpha\nbeta 42\n");
    command(IDM_SELECTALL);
    command(IDM_COPY);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "alpha\nbeta 42\n");
}

TEST_F(Window, EditMenuStatesFollowTheTextArea)
{
    ostrel_printf("abc");
    SendMessageA(_consoletext(), EM_SETSEL, 0, 0);
    _windowmenu(_editsubmenu());
    EXPECT_TRUE(GetMenuState(_editsubmenu(), IDM_COPY, MF_BYCOMMAND) & MF_GRAYED);
    SendMessageA(_consoletext(), EM_SETSEL, 0, 2);
    command(IDM_FONTBIG);
    _windowmenu(_editsubmenu());
    EXPECT_FALSE(GetMenuState(_editsubmenu(), IDM_COPY, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(_editsubmenu(), IDM_FONTBIG, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(_editsubmenu(), IDM_FONTNORMAL, MF_BYCOMMAND) & MF_CHECKED);
    _setconsolesize(18, 12);   // the two formats differ: nothing checked
    _windowmenu(_editsubmenu());
    for (int id : {IDM_FONTBIG, IDM_FONTNORMAL, IDM_FONTSMALL})
        EXPECT_FALSE(GetMenuState(_editsubmenu(), UINT(id), MF_BYCOMMAND) & MF_CHECKED) << id;
}

TEST_F(Window, ClearAllEmptiesAndStillReachesTheHookHelpCallsTheHelpHook)
{
    static int seen = 0, calls = 0;
    seen = calls = 0;
    _setmsgproc([](HWND, UINT m, WPARAM wp, LPARAM) -> int {
        seen += m == WM_COMMAND && LOWORD(wp) == IDM_CLEARALL;
        return 0;
    });
    ostrel_printf("text");
    command(IDM_CLEARALL);
    _setmsgproc(nullptr);
    EXPECT_EQ(text(), "");
    EXPECT_EQ(seen, 1);
    EXPECT_NE(_sethelpproc([] { ++calls; }), nullptr);
    command(IDM_HELP);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(_sethelpproc(nullptr), nullptr);
    command(IDM_HELP);
    EXPECT_EQ(calls, 1);
}

TEST_F(Window, FindWrapsAroundOrReturnsTheCaret)
{
    struct { const char* what; const char* status; LONG from, to; } rows[] = {
        {"hello", "found", 0, 5},   // from line 2 round to the top
        {"absent", "not found", 8, 8},
    };
    ostrel_printf("hello\nworld\nfoo\n");
    for (auto& r : rows) {
        _setstatus(-1, "before");
        SendMessageA(_consoletext(), EM_SETSEL, 8, 8);
        command(IDM_FIND);
        EXPECT_EQ(status(1), "find");
        search(r.what);
        EXPECT_EQ(status(1), r.status);
        CHARRANGE got{};
        SendMessageA(_consoletext(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&got));
        EXPECT_EQ(got.cpMin, r.from);
        EXPECT_EQ(got.cpMax, r.to);
        _setstatus(-1, "x");
        command(IDM_FIND);   // a second Find while the dialog is open does nothing
        EXPECT_EQ(status(1), "x");
        _setstatus(-1, "before");
        close_find();
        EXPECT_EQ(status(1), "before");
    }
    QTest::keyClick(edit(), Qt::Key_F3);   // F3 through the accelerator
    _pumpmessages();
    EXPECT_NE(find_dialog(), nullptr);
    EXPECT_EQ(status(1), "find");
    close_find();
}

TEST_F(Window, WindowMenuNumbersPagesAndActivatesThem)
{
    ASSERT_EQ(_newpage(2, "two", 10, 10, 100, 80), 1);
    ASSERT_EQ(_newpage(7, "seven", 20, 20, 100, 80), 1);
    HMENU w = _windowsubmenu();
    _windowmenu(w);
    ASSERT_EQ(GetMenuItemCount(w), 4);
    char t[300];
    GetMenuStringA(w, 0, t, sizeof t, MF_BYPOSITION);
    EXPECT_STREQ(t, "&W console \t- Console 1.11 ");
    EXPECT_EQ(GetMenuItemID(w, 0), UINT(IDM_WINDOW));
    EXPECT_EQ(GetMenuState(w, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    GetMenuStringA(w, 2, t, sizeof t, MF_BYPOSITION);
    EXPECT_STREQ(t, "&1 page 2 \t- two");
    EXPECT_EQ(GetMenuItemID(w, 2), UINT(IDM_WINDOW + 1));
    GetMenuStringA(w, 3, t, sizeof t, MF_BYPOSITION);
    EXPECT_STREQ(t, "&2 page 7 \t- seven");
    ShowWindow(_pagewindow(7), SW_HIDE);
    focus_settles_on(nullptr);   // the activation that hiding hands on
    _activatewindow(2);
    EXPECT_TRUE(IsWindowVisible(_pagewindow(7)));
    EXPECT_EQ(focus_settles_on(_pagewindow(7)), _pagewindow(7));
    _activatewindow(0);   // the console's text area
    EXPECT_EQ(focus_settles_on(_consoletext()), _consoletext());
    _activatewindow(2);   // a page already shown gets the focus too
    EXPECT_EQ(focus_settles_on(_pagewindow(7)), _pagewindow(7));
    // with the console hidden, pages count from 0 and there is no separator
    ShowWindow(_consolewindow(), SW_HIDE);
    _windowmenu(w);
    ASSERT_EQ(GetMenuItemCount(w), 2);
    GetMenuStringA(w, 0, t, sizeof t, MF_BYPOSITION);
    EXPECT_STREQ(t, "&0 page 2 \t- two");
    ShowWindow(_pagewindow(2), SW_HIDE);
    focus_settles_on(nullptr);
    _activatewindow(0);
    EXPECT_TRUE(IsWindowVisible(_pagewindow(2)));
    EXPECT_EQ(focus_settles_on(_pagewindow(2)), _pagewindow(2));
    ShowWindow(_pagewindow(7), SW_HIDE);
    _activatewindow(5);   // no such entry: nothing changes
    EXPECT_EQ(focus_settles_on(_pagewindow(7)), _pagewindow(2));
    EXPECT_FALSE(IsWindowVisible(_pagewindow(7)));
    _delpage(2);
    _delpage(7);
    _windowmenu(w);   // neither pages nor a visible console: an empty menu
    EXPECT_EQ(GetMenuItemCount(w), 0);
    _showconsole();
}

TEST_F(Window, DropsReplaceTheCommandLineUntilMainReturnsThenGoToTheHook)
{
    char buf[1024];
    EXPECT_EQ(_getcmdline(buf), 0);
    EXPECT_STREQ(buf, "first second");
    ASSERT_EQ(_newpage(3, "drop", 10, 10, 100, 80), 1);
    QWidget* page = platform_window_widget(_pagewindow(3));
    QWidget* console = platform_window_widget(_consolewindow());
    _setdropproc(&drop_hook);
    drop_on(console, {"/tmp/one file.png", "/tmp/two.png"});
    _pumpmessages();
    EXPECT_EQ(_getcmdline(buf), 1);
    EXPECT_STREQ(buf, "/tmp/one file.png");
    drop_on(page, {"/tmp/on page.png"});   // a page while main runs: the same
    _pumpmessages();
    EXPECT_EQ(_getcmdline(buf), 1);
    EXPECT_STREQ(buf, "/tmp/on page.png");
    EXPECT_TRUE(g_dropped.empty());

    _runmain([] { return 0; });   // main has returned from now on
    EXPECT_EQ(status(1).rfind("Done. ", 0), 0u);
    drop_on(console, {"/tmp/a.bmp", "/tmp/b.bmp"});
    _pumpmessages();
    EXPECT_EQ(g_drop_page, 0);
    EXPECT_EQ(g_dropped, (std::vector<std::string>{"/tmp/a.bmp", "/tmp/b.bmp"}));
    drop_on(page, {"/tmp/c.bmp"});
    _pumpmessages();
    EXPECT_EQ(g_drop_page, 3);
    EXPECT_EQ(g_dropped, (std::vector<std::string>{"/tmp/c.bmp"}));
    EXPECT_EQ(_setdropproc(nullptr), nullptr);
    _delpage(3);
}

TEST_F(Window, HookPrintsInsidePrintfPump)
{
    static UINT custom = WM_USER + 77;
    static int depth = 0, max_depth = 0;
    _setmsgproc([](HWND, UINT m, WPARAM wp, LPARAM) -> int {
        if (m != custom)
            return 0;
        ++depth;
        max_depth = std::max(max_depth, depth);
        if (wp > 0)
            PostMessageA(_consolewindow(), custom, wp - 1, 0);
        ostrel_printf("[%d]", int(wp));   // its pump runs the next one: nesting
        --depth;
        return 1;
    });
    PostMessageA(_consolewindow(), custom, 3, 0);
    ostrel_printf("main ");
    _setmsgproc(nullptr);
    EXPECT_EQ(text(), "main [3][2][1][0]");
    EXPECT_EQ(max_depth, 4);
    EXPECT_EQ(depth, 0);
}

TEST_F(Window, WaitDblClickSeesTheDoubleClickOfTheSameWindow)
{
    PostMessageA(_consolewindow(), WM_LBUTTONDBLCLK, 0, 0);
    EXPECT_EQ(_waitdblclick(_consolewindow(), WM_LBUTTONDOWN), 1);
    PostMessageA(_consoletext(), WM_LBUTTONDBLCLK, 0, 0);   // another window
    EXPECT_EQ(_waitdblclick(_consolewindow(), WM_LBUTTONDOWN), 0);
    EXPECT_EQ(_waitdblclick(_consolewindow(), WM_MOUSEMOVE), 0);
    PostMessageA(_consolewindow(), WM_RBUTTONDBLCLK, 0, 0);
    EXPECT_EQ(_waitdblclick(_consolewindow(), WM_RBUTTONDOWN), 1);
}

TEST_F(Window, AcceleratorListHoldsTenAndRefusesTheEleventh)
{
    ACCEL a{FVIRTKEY, WORD(VK_F12), 4242};
    HACCEL t = CreateAcceleratorTableA(&a, 1);
    int added = 0;
    for (int i = 0; i < 11; ++i)
        added += _addaccelerator(_consolewindow(), t);
    EXPECT_EQ(added, 10);
    static int got = 0;
    got = 0;
    _setmsgproc([](HWND, UINT m, WPARAM wp, LPARAM) -> int {
        if (m == WM_COMMAND && LOWORD(wp) == 4242)
            ++got;
        return 0;
    });
    QTest::keyClick(edit(), Qt::Key_F12);
    _pumpmessages();
    _setmsgproc(nullptr);
    EXPECT_EQ(got, 1);   // the first table that translates stops the search
}
