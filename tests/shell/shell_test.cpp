// The shell functions on real files and processes: run_command, shortcuts,
// special folders, and WindowSearch over the program's own windows (offscreen).
#include "tests/shell/shell_fixture.h"
#include "platform/win/winuser.h"
#include "sysutil/shell_internal.h"

#include <cstring>
#include <sys/stat.h>

using namespace shell_detail;

// ---- run_command ----

TEST_F(ShellTest, RunCommandPassesShellTextAsOneArgument)
{
    CurrentDirKeeper in(dir.c_str());
    const char* names[] = {"a; touch pwned", "b | touch pwned", "$(touch pwned)", "`touch pwned`", "c&&touch pwned"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        ASSERT_EQ(1, run_command("touch \"%s\"", name));
        EXPECT_TRUE(wait_for(dir + "/" + name));
    }
    EXPECT_FALSE(exists(dir + "/pwned"));
}

TEST_F(ShellTest, RunCommandRefusesWhatCannotStart)
{
    const std::string script = dir + "/bad-interpreter";
    write_file(script, "#!/nonexistent/interpreter\n");
    chmod(script.c_str(), 0755);
    write_file(dir + "/not-a-program", "x");
    const std::string longName(SHELL_COMMAND_LINE_MAX, 'x');
    struct Case { const char *format, *arg; } cases[] = {
        {"%s", ""}, {"%s", "   "}, {"\"\" %s", "x"}, {"touch \"%s", "odd quotes"},
        {"ostrel-no-such-program-xyz %s", "a"}, {"%s/not-a-program", dir.c_str()}, {"%s", "/tmp"},
        {"%s", script.c_str()}, {"touch %s", longName.c_str()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " / " + c.arg);
        EXPECT_EQ(0, run_command(c.format, c.arg));
    }
    EXPECT_EQ(0, run_command(nullptr));
}

// ---- shortcuts ----

TEST_F(ShellTest, ShortcutRoundTrip)
{
    // args: Exec as a desktop reads it back; showKey: X-Ostrel-Show-Command, or null
    struct Case { const char *target, *arguments, *work, *show, *icon; std::vector<std::string> args; const char* showKey; };
    const Case cases[] = {
        {"/usr/bin/plain", nullptr, nullptr, "SW_MAXIMIZE", nullptr, {"/usr/bin/plain"}, nullptr},
        {"/opt/my app/run it", "\"a b\" 100% c:\\dir\\x \"say \"\"hi\"\"\"", "/tmp/work dir", "minimized",
         "/icons/app.png,3", {"/opt/my app/run it", "a b", "100%", "c:\\dir\\x", "say \"hi\""}, "2"},
        {"/bin/$x`y`", "%f ;|& '$HOME'", "NULL", "maximised", "NULLICON",
         {"/bin/$x`y`", "%f", ";|&", "'$HOME'"}, "3"},
        {"/usr/bin/x", "\"\" z", "", "normal", "", {"/usr/bin/x", "", "z"}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const std::string lnk = dir + "/short cut.desktop";
        ASSERT_EQ(1, make_shortcut(lnk.c_str(), c.target, c.arguments, c.work, c.show, c.icon));
        char out[SHELL_PATH_BUFFER] = "junk";
        ASSERT_EQ(1, shortcut_target(lnk.c_str(), out));
        EXPECT_STREQ(c.target, out);
        const std::string text = read_file(lnk);
        DesktopEntry e;
        ASSERT_TRUE(parse_desktop_entry(text.data(), text.size(), e));
        std::vector<std::string> args;
        ASSERT_TRUE(split_exec(*e.find("Exec"), args));
        EXPECT_EQ(c.args, args);
        EXPECT_EQ("short cut", *e.find("Name"));
        const std::string* work = e.find("Path");
        EXPECT_EQ(is_null_text(c.work) ? "" : c.work, work ? *work : "") << text;
        const std::string* show = e.find("X-Ostrel-Show-Command");
        EXPECT_EQ(c.showKey ? c.showKey : "", show ? *show : "");
        const std::string* icon = e.find("Icon");
        EXPECT_EQ(is_null_text(c.icon) ? "" : "/icons/app.png", icon ? *icon : "");
        if (std::system("command -v desktop-file-validate >/dev/null") == 0) {
            EXPECT_EQ(0, std::system(("desktop-file-validate --no-hints '" + lnk + "' >&2").c_str())) << text;
        }
    }
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir), {})) << "no temporary file is left";
}

TEST_F(ShellTest, ShortcutTargetOfLinkEntries)
{
    struct Case { const char *url, *target; } cases[] = {
        {"file:///tmp/a%20b", "/tmp/a b"}, {"file://localhost/x", "/x"},
        {"https://example.org/", "https://example.org/"}, {"file://host/x", nullptr}, {"file:///a%00b", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        write_file(dir + "/l.desktop", std::string("[Desktop Entry]\nType=Link\nName=l\nURL=") + c.url + "\n");
        char out[SHELL_PATH_BUFFER];
        EXPECT_EQ(c.target ? 1 : 0, shortcut_target((dir + "/l.desktop").c_str(), out));
        EXPECT_STREQ(c.target ? c.target : "", out);
    }
}

TEST_F(ShellTest, ShortcutFailures)
{
    const std::string notEntries[] = {
        "", "hello world\n", std::string("[Desktop Entry]\nType=Application\nExec=a") + '\0' + "b\n",
        "Type=Application\n[Desktop Entry]\nExec=x\n", "[Other]\n[Desktop Entry]\nType=Application\nExec=x\n",
        "[Desktop Entry]\nType=Application\nExec=\"/bin/x\n", "[Desktop Entry]\nType=Application\nExec=\"a\\qb\"\n",
        "[Desktop Entry]\nType=Directory\nExec=x\n", "[Desktop Entry]\nType=Application\n",
        "[Desktop Entry]\nType=Application\nbad key!=x\nExec=x\n", "[Desktop Entry\nType=Application\nExec=x\n",
    };
    char out[SHELL_PATH_BUFFER];
    for (const std::string& content : notEntries) {
        SCOPED_TRACE(content);
        write_file(dir + "/f.desktop", content);
        std::strcpy(out, "junk");
        EXPECT_EQ(0, shortcut_target((dir + "/f.desktop").c_str(), out));
        EXPECT_STREQ("", out);
    }
    write_file(dir + "/big.desktop", "[Desktop Entry]\nType=Application\nExec=/" + std::string(300, 'x') + "\n");
    for (const std::string& path : {dir + "/big.desktop", dir, dir + "/missing.desktop"})
        EXPECT_EQ(0, shortcut_target(path.c_str(), out)) << path;

    const std::string lnk = dir + "/s.desktop";
    EXPECT_EQ(0, make_shortcut(lnk.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0, make_shortcut(lnk.c_str(), "NULL", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0, make_shortcut(lnk.c_str(), "/bin/x", "\"odd", nullptr, nullptr, nullptr));
    EXPECT_EQ(0, make_shortcut((dir + "/no/such/dir.desktop").c_str(), "/bin/x", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0, make_shortcut(dir.c_str(), "/bin/x", nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(exists(lnk));
}

// ---- special folders ----

TEST_F(ShellTest, SpecialFolders)
{
    setenv("HOME", dir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    struct Case { const char *dirs, *name; std::string path; } cases[] = {   // dirs: user-dirs.dirs, or null
        {nullptr, "Desktop", dir + "/Desktop"}, {nullptr, "Personal", dir}, {nullptr, nullptr, dir + "/Desktop"},
        {"XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_DOCUMENTS_DIR=\"/srv/docs/\"\n", "Personal Files", "/srv/docs"},
        {"# x\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", "Anything", dir + "/Schreibtisch"},
        {"XDG_DESKTOP_DIR=relative\nXDG_DOCUMENTS_DIR=\"$HOMEX/a\"\n", "Personal", dir},
        {nullptr, "SendTo", dir + "/data/ostrel/SendTo"},
    };
    mkdir((dir + "/config").c_str(), 0700);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name ? c.name : "(null)") + " " + (c.dirs ? c.dirs : ""));
        remove((dir + "/config/user-dirs.dirs").c_str());
        if (c.dirs)
            write_file(dir + "/config/user-dirs.dirs", c.dirs);
        char out[SHELL_PATH_BUFFER];
        ASSERT_EQ(1, special_folder(out, c.name));
        EXPECT_EQ(c.path, out);
    }
    EXPECT_TRUE(is_dir((dir + "/data/ostrel/SendTo").c_str()));
    setenv("XDG_DATA_HOME", ("/" + std::string(SHELL_PATH_BUFFER, 'd')).c_str(), 1);
    char out[SHELL_PATH_BUFFER];
    EXPECT_EQ(0, special_folder(out, "SendTo"));
}

// ---- WindowSearch over the program's own windows ----

TEST_F(ShellTest, WindowSearchOwnWindows)
{
    HWND notepad = own_window("Notepad"), notes = own_window("My Notes"), note = own_window("My Note");
    HWND hidden = own_window("Notepad (hidden)", false);
    struct Case { int mode, visibleOnly; std::vector<HWND> expect; } cases[] = {
        {1, 1, {notepad}}, {1, 0, {notepad, hidden}}, {2, 1, {note}}, {0, 1, {notepad, notes, note}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode * 10 + c.visibleOnly);
        WindowSearch s("Note", c.mode, c.visibleOnly);
        EXPECT_EQ(c.expect, std::vector<HWND>(s.handles, s.handles + s.count));
    }
    HWND one[2] = {nullptr, nullptr};
    WindowSearch sized("Note", 0, 0, one, 1);
    EXPECT_EQ(4, sized.count);
    EXPECT_EQ(notepad, one[0]);
    EXPECT_EQ(nullptr, one[1]);
    EXPECT_EQ(0, WindowSearch(nullptr, 0, 0).count);
    for (HWND w : {notepad, notes, note, hidden})
        DestroyWindow(w);
}
