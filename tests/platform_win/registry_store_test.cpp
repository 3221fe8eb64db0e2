// The registry calls on a scratch store: keys and values, names compared without
// case, deletion, bad arguments, broken stores, several processes at once and a
// writer killed half-way.
#include "platform/win/winreg.h"
#include "tests/support/registry_scratch.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using RegistryStore = RegistryScratch;

LONG create_status(HKEY root, const char* path, HKEY* k, DWORD* disposition = nullptr)
{
    return RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k, disposition);
}

HKEY create(HKEY root, const char* path, DWORD* disposition = nullptr)
{
    HKEY k = nullptr;
    EXPECT_EQ(create_status(root, path, &k, disposition), ERROR_SUCCESS) << path;
    return k;
}

LONG set_text(HKEY key, const char* name, const std::string& text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          DWORD(text.size() + 1));
}

std::string query_text(HKEY key, const char* name, LONG* status = nullptr)
{
    char buf[512] = {};
    DWORD size = sizeof buf - 1;
    const LONG st = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
    if (status)
        *status = st;
    return st == ERROR_SUCCESS ? std::string(buf) : std::string("<") + std::to_string(st) + ">";
}

TEST_F(RegistryStore, KeysAreFoundWithoutCaseAndKeepTheirCase)
{
    DWORD disposition = 0;
    HKEY k = create(HKEY_CURRENT_USER, "Software\\Vendor\\Äpfel", &disposition);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    RegCloseKey(create(HKEY_CURRENT_USER, "SOFTWARE\\vendor\\äPFEL", &disposition));
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    RegCloseKey(create(HKEY_CURRENT_USER, "software\\Vendor\\banana"));
    RegCloseKey(create(HKEY_CURRENT_USER, "software\\Vendor\\Cherry"));
    // bytes that are not UTF-8 are names of their own
    RegCloseKey(create(HKEY_CURRENT_USER, "software\\Vendor\\\xff"));
    RegCloseKey(create(HKEY_CURRENT_USER, "software\\Vendor\\\xfe"));

    HKEY vendor = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "sOfTwArE\\VENDOR", 0, KEY_READ, &vendor), ERROR_SUCCESS);
    std::string names;
    char name[256];
    DWORD n = sizeof name;
    for (DWORD i = 0; (n = sizeof name, RegEnumKeyExA(vendor, i, name, &n, nullptr, nullptr, nullptr, nullptr))
                      == ERROR_SUCCESS; ++i)
        names += std::string(name, n) + "|";
    EXPECT_EQ(names, "banana|Cherry|Äpfel|\xfe|\xff|");
    n = 3;
    EXPECT_EQ(RegEnumKeyExA(vendor, 0, name, &n, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(n, 7u);

    HKEY missing = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(vendor, "Durian", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(k), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(vendor), ERROR_SUCCESS);
}

TEST_F(RegistryStore, ValuesKeepTheirBytesTypeAndOrder)
{
    HKEY k = create(HKEY_LOCAL_MACHINE, "A\\B");
    const BYTE embedded[] = {'a', 'b', 0, 'c', 'd', 0};
    const DWORD number = 0x12345678;
    ASSERT_EQ(set_text(k, nullptr, "default"), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k, "Mixed", 0, REG_BINARY, embedded, sizeof embedded), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("xyz"), 3), ERROR_SUCCESS);
    ASSERT_EQ(set_text(k, "MIXED", "again"), ERROR_SUCCESS);   // same value, same place

    EXPECT_EQ(query_text(k, ""), "default");
    EXPECT_EQ(query_text(k, "mixed"), "again");
    EXPECT_EQ(query_text(k, "bare"), "xyz");   // a terminator added where there is room
    DWORD type = 0, size = 0, got = 0;
    ASSERT_EQ(RegQueryValueExA(k, "count", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(size, 4u);
    ASSERT_EQ(RegQueryValueExA(k, "count", nullptr, nullptr, reinterpret_cast<BYTE*>(&got), &size), ERROR_SUCCESS);
    EXPECT_EQ(got, number);
    BYTE small[2];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(k, "mixed", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);

    ASSERT_EQ(RegSetValueExA(k, "Mixed", 0, REG_BINARY, embedded, sizeof embedded), ERROR_SUCCESS);
    BYTE back[16];
    size = sizeof back;
    ASSERT_EQ(RegQueryValueExA(k, "Mixed", nullptr, &type, back, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back), size), std::string("ab\0cd\0", 6));

    std::string order;
    char name[64];
    DWORD n;
    for (DWORD i = 0; (n = sizeof name, RegEnumValueA(k, i, name, &n, nullptr, nullptr, nullptr, nullptr))
                      == ERROR_SUCCESS; ++i)
        order += std::string(name) + "|";
    EXPECT_EQ(order, "|Mixed|Count|Bare|");

    // RegGetValueA: the key below and the value in one step, by type.
    char text[8];
    DWORD bytes = 3;
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "a\\b", "bare", RRF_RT_REG_SZ, &type, text, &bytes), ERROR_MORE_DATA);
    EXPECT_EQ(bytes, 4u);   // the terminator must fit
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "a\\b", "bare", RRF_RT_REG_SZ, &type, text, &bytes), ERROR_SUCCESS);
    EXPECT_STREQ(text, "xyz");
    bytes = sizeof text;
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "a\\b", "count", RRF_RT_REG_SZ | RRF_ZEROONFAILURE, &type, text,
                           &bytes), ERROR_UNSUPPORTED_TYPE);
    EXPECT_EQ(text[0], 0);
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "a\\c", "count", RRF_RT_ANY, &type, text, &bytes), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegGetValueA(k, nullptr, "count", RRF_RT_DWORD, &type, &got, &(size = 4)), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteValueA(k, "COUNT"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(k, "Count"), ERROR_FILE_NOT_FOUND);
    HKEY reader = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "a\\b", 0, KEY_READ, &reader), ERROR_SUCCESS);
    EXPECT_EQ(set_text(reader, "x", "y"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetKeyValueA(reader, "New", "x", REG_SZ, "y", 2), ERROR_ACCESS_DENIED);
    RegCloseKey(reader);
    // RegSetKeyValueA makes the missing levels and the value together.
    ASSERT_EQ(RegSetKeyValueA(k, "C\\D", "Made", REG_SZ, "yes", 4), ERROR_SUCCESS);
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "A\\B\\c\\d", "made", RRF_RT_REG_SZ, nullptr, text,
                           &(bytes = sizeof text)), ERROR_SUCCESS);
    EXPECT_STREQ(text, "yes");
    RegCloseKey(k);
}

TEST_F(RegistryStore, DeletingKeys)
{
    HKEY leaf = create(HKEY_CLASSES_ROOT, "T\\Shell\\Open\\command");
    ASSERT_EQ(set_text(leaf, nullptr, "prog %1"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "t\\shell\\open"), ERROR_ACCESS_DENIED);   // has a subkey
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "t\\shell\\open\\COMMAND"), ERROR_SUCCESS);
    EXPECT_EQ(query_text(leaf, nullptr), "<1018>");   // ERROR_KEY_DELETED
    EXPECT_EQ(set_text(leaf, nullptr, "again"), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "t\\shell\\open\\command"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(leaf);

    HKEY shell = create(HKEY_CLASSES_ROOT, "T\\Shell\\Edit\\command");
    RegCloseKey(shell);
    shell = create(HKEY_CLASSES_ROOT, "T\\Shell");
    ASSERT_EQ(set_text(shell, nullptr, "Edit"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeA(shell, nullptr), ERROR_SUCCESS);   // empties, keeps the key
    EXPECT_EQ(query_text(shell, nullptr), "<2>");
    HKEY gone = nullptr;
    EXPECT_EQ(RegOpenKeyExA(shell, "Edit", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
    RegCloseKey(create(HKEY_CLASSES_ROOT, "T\\Shell\\Print\\command"));
    EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "T"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "T", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
    RegCloseKey(shell);
}

TEST_F(RegistryStore, BadArgumentsAreRefused)
{
    const std::string long_level(256, 'k');
    HKEY k = nullptr;
    struct Case { const char* what; HKEY root; std::string path; LONG status; };
    const Case cases[] = {
        {"empty level", HKEY_CURRENT_USER, "a\\\\b", ERROR_INVALID_PARAMETER},
        {"leading separator", HKEY_CURRENT_USER, "\\a", ERROR_INVALID_PARAMETER},
        {"trailing separator", HKEY_CURRENT_USER, "a\\", ERROR_INVALID_PARAMETER},
        {"level over 255", HKEY_CURRENT_USER, long_level, ERROR_INVALID_PARAMETER},
        {"no such root", reinterpret_cast<HKEY>(std::uintptr_t(0x1234)), "a", ERROR_INVALID_HANDLE},
        {"null handle", nullptr, "a", ERROR_INVALID_HANDLE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(create_status(c.root, c.path.c_str(), &k), c.status) << c.what;
        EXPECT_EQ(RegOpenKeyExA(c.root, c.path.c_str(), 0, KEY_READ, &k), c.status) << c.what;
        EXPECT_EQ(k, nullptr) << c.what;
    }
    EXPECT_EQ(create_status(HKEY_CURRENT_USER, std::string(255, 'k').c_str(), &k), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "a", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(k, "v", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(k, std::string(16384, 'v').c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    RegCloseKey(k);
}

// A store that cannot be used answers with an error and is left as it was.
TEST_F(RegistryStore, BrokenStoresAreRefusedAndKept)
{
    struct Case { const char* what; std::string content; LONG status; };
    const Case cases[] = {
        {"not a database", std::string(8192, 'x'), ERROR_BADDB},
        {"damaged header", "SQLite format 3" + std::string(1, '\0') + std::string(4000, '\xff'), ERROR_BADDB},
    };
    for (const Case& c : cases) {
        { std::ofstream(db_, std::ios::binary) << c.content; }
        HKEY k = nullptr;
        EXPECT_EQ(create_status(HKEY_CURRENT_USER, "a", &k), c.status) << c.what;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "a", 0, KEY_READ, &k), c.status) << c.what;
        EXPECT_EQ(file_bytes(db_), c.content) << c.what;
    }
    // Somebody else's database.
    std::remove(db_.c_str());
    ASSERT_EQ(std::system(("sqlite3 '" + db_ + "' 'CREATE TABLE notes(t TEXT); INSERT INTO notes VALUES (1)'").c_str()), 0);
    const std::string before = file_bytes(db_);
    HKEY k = nullptr;
    EXPECT_EQ(create_status(HKEY_CURRENT_USER, "a", &k), ERROR_BADDB);
    EXPECT_EQ(file_bytes(db_), before);
    // A directory where the file should be stops root too.
    std::remove(db_.c_str());
    ASSERT_EQ(mkdir(db_.c_str(), 0700), 0);
    EXPECT_EQ(create_status(HKEY_CURRENT_USER, "a", &k), ERROR_CANTOPEN);
}

TEST_F(RegistryStore, ImmutableStoreStillReadsAndRefusesWrites)
{
    HKEY k = create(HKEY_CURRENT_USER, "Kept");
    ASSERT_EQ(set_text(k, "v", "before"), ERROR_SUCCESS);
    RegCloseKey(k);
    // Leave the store, so that its connection ends and the file is whole.
    setenv("OSTREL_REGISTRY", (dir_ + "/other.db").c_str(), 1);
    RegCloseKey(create(HKEY_CURRENT_USER, "x"));
    setenv("OSTREL_REGISTRY", db_.c_str(), 1);
    if (std::system(("chattr +i '" + db_ + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "chattr +i is not possible here (no CAP_LINUX_IMMUTABLE or no file system support)";
    const std::string before = file_bytes(db_);
    HKEY reader = nullptr;
    const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, "Kept", 0, KEY_ALL_ACCESS, &reader);
    const std::string read = query_text(reader, "v");
    const LONG write = set_text(reader, "v", "after");
    const LONG created = create_status(HKEY_CURRENT_USER, "New", &k);
    const std::string after = file_bytes(db_);
    std::system(("chattr -i '" + db_ + "'").c_str());
    EXPECT_EQ(opened, ERROR_SUCCESS);
    EXPECT_EQ(read, "before");
    EXPECT_EQ(write, ERROR_ACCESS_DENIED);
    EXPECT_EQ(created, ERROR_ACCESS_DENIED);
    EXPECT_EQ(after, before);
    RegCloseKey(reader);
}

// Runs `body` in a child process; its exit status is the result.
pid_t start_child(int (*body)(int), int arg)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body(arg));
    return pid;
}

int write_thousand(int process)
{
    const std::string path = "Load\\P" + std::to_string(process);
    HKEY k = nullptr;
    if (create_status(HKEY_CURRENT_USER, path.c_str(), &k))
        return 2;
    for (int i = 0; i < 1000; ++i)
        if (set_text(k, ("v" + std::to_string(i)).c_str(), std::to_string(process * 100000 + i)) != ERROR_SUCCESS)
            return 3;
    return 0;
}

TEST_F(RegistryStore, FourProcessesWritingAtOnceLoseNothing)
{
    pid_t children[4];
    for (int p = 0; p < 4; ++p)
        children[p] = start_child(write_thousand, p);
    for (pid_t c : children) {
        int status = -1;
        ASSERT_EQ(waitpid(c, &status, 0), c);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    int found = 0;
    for (int p = 0; p < 4; ++p) {
        HKEY k = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ("load\\p" + std::to_string(p)).c_str(), 0, KEY_READ, &k),
                  ERROR_SUCCESS);
        for (int i = 0; i < 1000; ++i)
            found += query_text(k, ("v" + std::to_string(i)).c_str()) == std::to_string(p * 100000 + i);
        RegCloseKey(k);
    }
    EXPECT_EQ(found, 4000);
}

int g_report_fd = -1;

int write_until_killed(int)
{
    HKEY k = nullptr;
    if (create_status(HKEY_CURRENT_USER, "Killed", &k))
        return 2;
    for (int i = 0;; ++i) {
        if (set_text(k, ("v" + std::to_string(i)).c_str(), std::string(200, char('a' + i % 26))) != ERROR_SUCCESS)
            return 3;
        if (write(g_report_fd, &i, sizeof i) != sizeof i)
            return 4;
    }
}

TEST_F(RegistryStore, WriterKilledHalfWayLeavesEveryCommittedValue)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    g_report_fd = fds[1];
    const pid_t child = start_child(write_until_killed, 0);
    close(fds[1]);
    int last = -1, i = 0;
    while (last < 500 && read(fds[0], &i, sizeof i) == sizeof i)
        last = i;
    kill(child, SIGKILL);
    while (read(fds[0], &i, sizeof i) == sizeof i)
        last = i;   // reported before the kill: committed
    close(fds[0]);
    waitpid(child, nullptr, 0);
    ASSERT_GE(last, 500);
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Killed", 0, KEY_READ, &k), ERROR_SUCCESS);
    int found = 0;
    for (int v = 0; v <= last; ++v)
        found += query_text(k, ("v" + std::to_string(v)).c_str()) == std::string(200, char('a' + v % 26));
    EXPECT_EQ(found, last + 1);
    RegCloseKey(k);
}

} // namespace
