// Associations and registry values by key path on a scratch store, with the
// desktop's view checked through xdg-mime on scratch XDG directories.
#include "ostrel/sysutil.h"
#include "platform/win/winreg.h"
#include "sysutil/registry_internal.h"
#include "tests/support/registry_scratch.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

using namespace trace_capture;

class Registry : public RegistryScratch {
protected:
    void SetUp() override
    {
        RegistryScratch::SetUp();
        setenv("XDG_DATA_HOME", (dir_ + "/data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
        traced().clear();
        set_utility_hooks(nullptr, capture_trace, nullptr, nullptr, trace_on);
    }
    void TearDown() override
    {
        set_utility_hooks(nullptr, nullptr, nullptr, nullptr, trace_off);
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_CONFIG_HOME");
        RegistryScratch::TearDown();
    }
};

// Every key below `path` of HKEY_CLASSES_ROOT with its values, one line each:
// `key\sub` alone, or `key\sub[name]=text` ([] for the default value).
void dump_key(HKEY key, const std::string& path, std::string* out)
{
    *out += path + "\n";
    char name[300];
    BYTE data[600];
    for (DWORD i = 0;; ++i) {
        DWORD n = sizeof name, size = sizeof data - 1;
        if (RegEnumValueA(key, i, name, &n, nullptr, nullptr, data, &size) != ERROR_SUCCESS)
            break;
        data[size] = 0;
        *out += path + "[" + name + "]=" + reinterpret_cast<char*>(data) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD n = sizeof name;
        if (RegEnumKeyExA(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY sub = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            dump_key(sub, path + "\\" + name, out);
            RegCloseKey(sub);
        }
    }
}

std::string dump(const char* path)
{
    std::string out;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "(none)\n";
    dump_key(key, path, &out);
    RegCloseKey(key);
    return out;
}

// A command's output without its last line ends.
std::string run(const std::string& command)
{
    std::string out = command_output(command);
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

constexpr const char ICON[] = "/usr/bin/xyzedit,1";
constexpr const char COMMAND[] = "/usr/bin/xyzedit \"%1\"";

TEST_F(Registry, AssociatingAnExtensionAndTakingItAway)
{
    associate_type(".xyz", ICON, "*&Open", COMMAND, nullptr);
    EXPECT_EQ(dump(".xyz"), ".xyz\n.xyz[]=XYZfile\n");
    EXPECT_EQ(dump("XYZfile"),
              "XYZfile\nXYZfile[]=XYZ file\n"
              "XYZfile\\DefaultIcon\nXYZfile\\DefaultIcon[]=/usr/bin/xyzedit,1\n"
              "XYZfile\\Shell\nXYZfile\\Shell[]=Open\n"
              "XYZfile\\Shell\\Open\nXYZfile\\Shell\\Open[]=&Open\n"
              "XYZfile\\Shell\\Open\\command\nXYZfile\\Shell\\Open\\command[]=/usr/bin/xyzedit \"%1\"\n");
    EXPECT_EQ(traced(), " XYZfile(XYZ file)\n");

    // A verb without the star leaves the default verb as it is.
    associate_type(".xyz", nullptr, "Edit", "/usr/bin/xyzedit -e %1", nullptr);
    EXPECT_EQ(dump("XYZfile\\Shell"),
              "XYZfile\\Shell\nXYZfile\\Shell[]=Open\n"
              "XYZfile\\Shell\\Edit\nXYZfile\\Shell\\Edit[]=Edit\n"
              "XYZfile\\Shell\\Edit\\command\nXYZfile\\Shell\\Edit\\command[]=/usr/bin/xyzedit -e %1\n"
              "XYZfile\\Shell\\Open\nXYZfile\\Shell\\Open[]=&Open\n"
              "XYZfile\\Shell\\Open\\command\nXYZfile\\Shell\\Open\\command[]=/usr/bin/xyzedit \"%1\"\n");
    char out[SYSUTIL_TYPE_NAME];
    ASSERT_EQ(default_verb(".xyz", out), 1);
    EXPECT_STREQ(out, "Open");
    ASSERT_EQ(open_command(".XYZ", out), 1);
    EXPECT_STREQ(out, COMMAND);

    unassociate_type(".xyz", ICON, "*&Open", COMMAND, nullptr);
    EXPECT_EQ(dump(".xyz"), ".xyz\n.xyz[]=XYZfile\n");
    EXPECT_EQ(dump("XYZfile"),
              "XYZfile\nXYZfile[]=XYZ file\nXYZfile\\Shell\n"
              "XYZfile\\Shell\\Edit\nXYZfile\\Shell\\Edit[]=Edit\n"
              "XYZfile\\Shell\\Edit\\command\nXYZfile\\Shell\\Edit\\command[]=/usr/bin/xyzedit -e %1\n");
    EXPECT_EQ(default_verb(".xyz", out), 0);   // the shell key has no default value left
}

TEST_F(Registry, AssociatingATypeByName)
{
    associate_type("Folder", nullptr, "Browse", "/usr/bin/browse %1", "browse");   // no key: nothing
    EXPECT_EQ(dump("Folder"), "(none)\n");
    ASSERT_EQ(set_key_value("Folder", nullptr, "Folder"), ERROR_SUCCESS);
    associate_type("Folder", nullptr, "*Bro&wse", "/usr/bin/browse %1", "look");
    EXPECT_EQ(dump("Folder\\shell"),
              "Folder\\shell\nFolder\\shell[]=look\n"
              "Folder\\shell\\look\nFolder\\shell\\look[]=Bro&wse\n"
              "Folder\\shell\\look\\command\nFolder\\shell\\look\\command[]=/usr/bin/browse %1\n");
    char out[SYSUTIL_TYPE_NAME];
    ASSERT_EQ(open_command("Folder", out), 1);
    EXPECT_STREQ(out, "/usr/bin/browse %1");
}

TEST_F(Registry, OpenKeyPathCreatesMissingLevelsUnlessOpenOnly)
{
    ASSERT_EQ(set_key_value("First", nullptr, "x"), ERROR_SUCCESS);
    traced().clear();
    EXPECT_EQ(open_key_path("first Second \"Third level\"", HKEY_CLASSES_ROOT, 1), nullptr);
    EXPECT_EQ(traced(), "");
    HKEY k = open_key_path("first Second \"Third level\"", HKEY_CLASSES_ROOT, 0);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(traced(), " Second created\n Third level created\n");
    RegCloseKey(k);
    traced().clear();
    k = open_key_path("FIRST second \"THIRD LEVEL\"", HKEY_CLASSES_ROOT, 1);
    EXPECT_NE(k, nullptr);
    EXPECT_EQ(traced(), "");
    RegCloseKey(k);
}

TEST_F(Registry, ValuesByKeyPath)
{
    ASSERT_EQ(set_key_value("Software Vendor \"My App\" Settings", "Colour", "blue"), ERROR_SUCCESS);
    char out[SYSUTIL_KEY_TEXT];
    ASSERT_EQ(read_key_text(out, "colour", "software vendor \"my app\" settings", HKEY_CLASSES_ROOT), 1);
    EXPECT_STREQ(out, "blue");
    DWORD type = 0;
    char buf[8];
    EXPECT_EQ(read_key_value(buf, sizeof buf, &type, "Colour", "Software Vendor \"My App\" Settings",
                             HKEY_CLASSES_ROOT), 1);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(read_key_value(buf, 4, &type, "Colour", "Software Vendor \"My App\" Settings",
                             HKEY_CLASSES_ROOT), 0);   // does not fit
    EXPECT_EQ(read_key_text(out, "Colour", "Software Vendor \"My App\" Settings", HKEY_CURRENT_USER), 0);

    // Data with a terminator inside reads as the text before it; a text that
    // fills all 256 bytes without one is refused.
    HKEY k = open_key_path("Software Vendor", HKEY_CLASSES_ROOT, 1);
    ASSERT_NE(k, nullptr);
    ASSERT_EQ(RegSetValueExA(k, "Two", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab\0cd"), 6), ERROR_SUCCESS);
    const std::string full(256, 'f');
    ASSERT_EQ(RegSetValueExA(k, "Full", 0, REG_SZ, reinterpret_cast<const BYTE*>(full.data()), 256), ERROR_SUCCESS);
    RegCloseKey(k);
    std::strcpy(out, "unchanged");
    ASSERT_EQ(read_key_text(out, "Two", "Software Vendor", HKEY_CLASSES_ROOT), 1);
    EXPECT_STREQ(out, "ab");
    EXPECT_EQ(read_key_text(out, "Full", "Software Vendor", HKEY_CLASSES_ROOT), 0);
    EXPECT_STREQ(out, "ab");
    ASSERT_EQ(set_key_value("Software Vendor", "Full", std::string(255, 'g').c_str()), ERROR_SUCCESS);
    EXPECT_EQ(read_key_text(out, "Full", "Software Vendor", HKEY_CLASSES_ROOT), 1);

    EXPECT_EQ(delete_key("Software Vendor", "My App"), ERROR_ACCESS_DENIED);   // has a subkey
    EXPECT_EQ(delete_key("Software Vendor \"My App\"", "settings"), ERROR_SUCCESS);
    EXPECT_EQ(delete_key("Software\\Vendor\\My App", nullptr), ERROR_SUCCESS);   // the text is one key name
    EXPECT_EQ(open_key_path("Software Vendor \"My App\"", HKEY_CLASSES_ROOT, 1), nullptr);
    EXPECT_EQ(delete_key("Software Nothing", "x"), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, BadKeyPathsAreRefusedBeforeAnythingIsWritten)
{
    const std::string longest = std::string(128, 'k') + " " + std::string(SYSUTIL_MAX_KEY_PATH - 129, 'm');
    const std::string over = longest + "b";
    const struct { const char* what; const char* path; } cases[] = {
        {"over 259 bytes", over.c_str()},
        {"null", nullptr},
        {"empty", ""},
        {"spaces only", "   "},
        {"empty word", "a \"\" b"},
        {"unbalanced quote", "a \"b c"},
        {"stray quote", "a b\"c"},
        {"empty level", "a\\\\b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(open_key_path(c.path, HKEY_CLASSES_ROOT, 0), nullptr) << c.what;
        EXPECT_NE(set_key_value(c.path, "v", "x"), ERROR_SUCCESS) << c.what;
        char out[SYSUTIL_KEY_TEXT];
        EXPECT_EQ(read_key_text(out, "v", c.path, HKEY_CLASSES_ROOT), 0) << c.what;
    }
    EXPECT_EQ(dump("a"), "(none)\n");
    EXPECT_EQ(traced(), "");
    EXPECT_EQ(set_key_value(longest.c_str(), "v", "x"), ERROR_SUCCESS);
    EXPECT_NE(delete_key(over.c_str(), nullptr), ERROR_SUCCESS);
}

TEST_F(Registry, TwelveVerbsListTen)
{
    associate_type(".many", nullptr, nullptr, nullptr, nullptr);
    for (int i = 0; i < 12; ++i) {
        const std::string text = "Verb &" + std::string(1, char('A' + i));
        associate_type(".many", nullptr, text.c_str(), "/bin/true %1", nullptr);
    }
    ASSERT_EQ(set_key_value("MANYfile Shell \"Verb B\"", nullptr, "  "), ERROR_SUCCESS);
    char keys[SYSUTIL_MAX_VERBS][SYSUTIL_VERB_SLOT];
    char texts[SYSUTIL_MAX_VERBS][SYSUTIL_VERB_SLOT];
    ASSERT_EQ(list_verbs(".many", keys, texts), 10);
    EXPECT_STREQ(keys[0], "Verb A");
    EXPECT_STREQ(texts[0], "Verb &A");
    EXPECT_STREQ(texts[1], "Verb B");   // a blank menu text becomes the key name
    EXPECT_STREQ(keys[9], "Verb J");
    EXPECT_EQ(list_verbs(".none", keys, texts), 0);
    char out[SYSUTIL_TYPE_NAME];
    ASSERT_EQ(set_key_value("MANYfile Shell", nullptr, " "), ERROR_SUCCESS);
    ASSERT_EQ(default_verb(".many", out), 1);
    EXPECT_STREQ(out, "open");   // a blank default verb
    EXPECT_EQ(open_command(".many", out), 0);   // and no "open" verb
}

TEST(RegistryText, NullTextsAndAmpersands)
{
    const struct { const char* text; int is_null; const char* stripped; } cases[] = {
        {nullptr, 1, ""}, {"", 1, ""}, {"NULL", 1, "NULL"}, {"NULLish", 1, "NULLish"},
        {"null", 0, "null"}, {"&Open", 0, "Open"}, {"A&&B&", 0, "AB"}, {"&Öffnen", 0, "Öffnen"},
    };
    for (const auto& c : cases) {
        char out[64] = "x";
        EXPECT_EQ(is_null_text(c.text), c.is_null) << (c.text ? c.text : "(null)");
        EXPECT_STREQ(strip_ampersands(c.text, out), c.stripped);
    }
}

TEST(RegistryText, CommandLinesBecomeExecLines)
{
    const struct { const char* command; const char* exec; } cases[] = {
        {"/usr/bin/ed %1", "/usr/bin/ed %f"},
        {"\"/opt/My App/run\" \"%1\" -x", "\"/opt/My App/run\" %f -x"},
        {"/bin/tool --in=%L", "/bin/tool --in=%f"},
        {"/bin/tool", "/bin/tool %f"},
        {"/bin/tool 50% $HOME `x` a\\b %*", "/bin/tool 50%% \"\\\\$HOME\" \"\\\\`x\\\\`\" \"a\\\\\\\\b\" %f"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(registry_sysutil::exec_line_of(c.command), c.exec) << c.command;
}

TEST_F(Registry, TheDesktopSeesTheAssociation)
{
    if (run("for t in xdg-mime gio update-mime-database update-desktop-database; do command -v $t; done | wc -l") != "4")
        GTEST_SKIP() << "xdg-mime, gio, update-mime-database or update-desktop-database is not installed";
    associate_type(".xyz", ICON, "*&Open", "/bin/cat \"%1\"", nullptr);
    associate_type(".xyz", nullptr, "Edit", "/bin/ls -l %1", nullptr);
    const std::string file = dir_ + "/sample.xyz";
    std::ofstream(file) << "text\n";
    // xdg-mime takes a default only when its program exists; gio reads the MIME database of XDG_DATA_HOME; a GNOME desktop makes xdg-mime ask it.
    const std::string env = "XDG_CURRENT_DESKTOP=GNOME XDG_DATA_DIRS=/usr/share ";
    EXPECT_EQ(run(env + "xdg-mime query filetype '" + file + "'"), "application/x-ostrel-xyzfile");
    EXPECT_EQ(run(env + "xdg-mime query default application/x-ostrel-xyzfile"), "ostrel-xyzfile-open.desktop");
    const std::string entry = file_bytes(dir_ + "/data/applications/ostrel-xyzfile-open.desktop");
    EXPECT_NE(entry.find("\nExec=/bin/cat %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nName=Open\n"), std::string::npos) << entry;

    unassociate_type(".xyz", ICON, "*&Open", "/bin/cat \"%1\"", nullptr);
    unassociate_type(".xyz", nullptr, "Edit", "/bin/ls -l %1", nullptr);
    EXPECT_EQ(run(env + "xdg-mime query default application/x-ostrel-xyzfile"), "");
    EXPECT_EQ(run(env + "xdg-mime query filetype '" + file + "'"), "application/x-ostrel-xyzfile");
}

TEST_F(Registry, ABrokenStoreChangesNothing)
{
    { std::ofstream(db_, std::ios::binary) << std::string(4096, 'z'); }
    associate_type(".xyz", ICON, "*&Open", COMMAND, nullptr);
    unassociate_type(".xyz", ICON, "*&Open", COMMAND, nullptr);
    char out[SYSUTIL_TYPE_NAME];
    EXPECT_EQ(set_key_value("A B", "v", "x"), ERROR_BADDB);
    EXPECT_EQ(read_key_text(out, "v", "A B", HKEY_CLASSES_ROOT), 0);
    EXPECT_EQ(open_command(".xyz", out), 0);
    EXPECT_EQ(file_bytes(db_), std::string(4096, 'z'));
}

} // namespace
