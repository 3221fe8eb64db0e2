// shell_open on a scratch registry and scratch XDG directories: registered verbs
// run their command lines with the path; everything else goes to the desktop's
// default action, here a stand-in xdg-open that writes down what it was given.
#include "tests/shell/shell_fixture.h"

#include <sys/stat.h>

class ShellOpenTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        setenv("OSTREL_REGISTRY", (dir + "/registry.db").c_str(), 1);
        setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
        mkdir((dir + "/bin").c_str(), 0755);
        write_file(dir + "/bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$*\" > '" + dir + "/opened.tmp' && mv '" + dir +
                                              "/opened.tmp' '" + dir + "/opened'\n");
        chmod((dir + "/bin/xdg-open").c_str(), 0755);
        setenv("PATH", (dir + "/bin:" + saved["PATH"]).c_str(), 1);
        associate_type(".shtest", nullptr, "*&View", "touch \"%1.viewed\"", nullptr);
        associate_type(".shtest", nullptr, "Edit", "touch %L.edited", nullptr);
        associate_type(".shappend", nullptr, "*Make", "mkdir", nullptr);
    }
    int verb_index(const char* key)
    {
        char keys[SYSUTIL_MAX_VERBS][SYSUTIL_VERB_SLOT], texts[SYSUTIL_MAX_VERBS][SYSUTIL_VERB_SLOT];
        for (int i = 0, n = list_verbs(".shtest", keys, texts); i < n; ++i)
            if (std::string(keys[i]) == key)
                return i;
        return -1;
    }
};

TEST_F(ShellOpenTest, RegisteredVerbsRunTheirCommandWithThePath)
{
    const std::string file = dir + "/my file; touch pwned.shtest", folder = dir + "/a folder";
    write_file(file, "x");
    mkdir(folder.c_str(), 0755);
    set_key_value("Folder", nullptr, "File folder");   // a type name is only opened, never made
    associate_type("Folder", nullptr, "*Browse", "touch \"%1/browsed\"", nullptr);
    struct Case { std::string path; int verb; std::string effect; } cases[] = {
        {file, -1, file + ".viewed"}, {file, verb_index("View"), file + ".viewed"},
        {file, verb_index("Edit"), file + ".edited"}, {folder, -1, folder + "/browsed"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.effect);
        remove(c.effect.c_str());
        EXPECT_EQ(1, shell_open(c.path.c_str(), c.verb));
        EXPECT_TRUE(wait_for(c.effect));
    }
    CurrentDirKeeper in(dir.c_str());
    EXPECT_EQ(1, shell_open("new dir.shappend", -1));   // no %1: the path is appended
    EXPECT_TRUE(wait_for(dir + "/new dir.shappend"));
    EXPECT_FALSE(exists(dir + "/pwned"));
    EXPECT_FALSE(exists(dir + "/opened"));
}

TEST_F(ShellOpenTest, EverythingElseGoesToTheDesktop)
{
    write_file(dir + "/README", "x");
    struct Case { std::string path; int verb, result; } cases[] = {
        {dir + "/README", -1, 0}, {dir + "/README", 0, 0}, {dir + "/a.unregistered", -1, 1},
        {dir + "/a.shtest", 7, 1}, {dir, 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.verb));
        remove((dir + "/opened").c_str());
        EXPECT_EQ(c.result, shell_open(c.path.c_str(), c.verb));
        ASSERT_TRUE(wait_for(dir + "/opened"));
        EXPECT_EQ(c.path, read_file(dir + "/opened"));
    }
    EXPECT_EQ(0, shell_open(nullptr, 0));
    EXPECT_EQ(0, shell_open(("/" + std::string(SHELL_PATH_BUFFER, 'p') + ".shtest").c_str(), -1));
}
