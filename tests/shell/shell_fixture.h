// A scratch directory per test, the environment put back afterwards, and the
// small file and window helpers of the shell tests.
#pragma once
#include "ostrel/sysutil.h"
#include "platform/win/winuser.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

class ShellTest : public ::testing::Test {
protected:
    static constexpr const char* kVariables[] = {"HOME", "PATH", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "OSTREL_REGISTRY"};
    void SetUp() override
    {
        for (const char* v : kVariables)
            if (const char* s = std::getenv(v))
                saved[v] = s;
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override
    {
        for (const char* v : kVariables)
            saved.count(v) ? setenv(v, saved[v].c_str(), 1) : unsetenv(v);
    }

    static bool exists(const std::string& p) { return std::filesystem::exists(std::filesystem::symlink_status(p)); }
    // A started program works on its own time.
    static bool wait_for(const std::string& p, int ms = 5000)
    {
        for (int i = 0; i < ms / 10 && !exists(p); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return exists(p);
    }
    static void write_file(const std::string& p, const std::string& s) { put_file(p, s); }
    static std::string read_file(const std::string& p) { return file_text(p); }
    static HWND own_window(const char* title, bool visible = true)
    {
        static const WNDCLASSA wc{0, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "shelltest"};
        static const ATOM registered = RegisterClassA(&wc);
        HWND w = CreateWindowExA(0, "shelltest", title, WS_OVERLAPPEDWINDOW, 0, 0, 120, 80, nullptr, nullptr, nullptr,
                                 nullptr);
        ShowWindow(w, visible && registered ? SW_SHOW : SW_HIDE);
        return w;
    }

    ScratchDir scratch{"ostrel-shell"};
    std::string dir = scratch.path;
    std::map<std::string, std::string> saved;
};
