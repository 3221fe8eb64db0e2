// A scratch directory per test, the environment put back afterwards, and the
// small file and window helpers of the shell tests.
#pragma once
#include "ostrel/sysutil.h"
#include "platform/win/winuser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* v : {"HOME", "PATH", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            if (const char* s = std::getenv(v))
                saved[v] = s;
        char tmpl[] = "/tmp/ostrel-shell-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        dir = tmpl;
    }
    void TearDown() override
    {
        for (const char* v : {"HOME", "PATH", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            saved.count(v) ? setenv(v, saved[v].c_str(), 1) : unsetenv(v);
        std::filesystem::remove_all(dir);
    }

    static bool exists(const std::string& p) { return std::filesystem::exists(std::filesystem::symlink_status(p)); }
    // A started program works on its own time.
    static bool wait_for(const std::string& p, int ms = 5000)
    {
        for (int i = 0; i < ms / 10 && !exists(p); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return exists(p);
    }
    static void write_file(const std::string& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
    static std::string read_file(const std::string& p)
    {
        std::ostringstream s;
        s << std::ifstream(p, std::ios::binary).rdbuf();
        return s.str();
    }
    static std::vector<std::string> list_dir(const std::string& d)
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(d))
            names.push_back(e.path().filename());
        return names;
    }
    static bool has_tool(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null").c_str()) == 0; }
    static HWND own_window(const char* title, bool visible = true)
    {
        HWND w = CreateWindowExA(0, "ostrel-shell-test", title, WS_OVERLAPPEDWINDOW, 0, 0, 120, 80, nullptr, nullptr,
                                 nullptr, nullptr);
        if (visible)
            ShowWindow(w, SW_SHOW);
        return w;
    }
    static void SetUpTestSuite()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "ostrel-shell-test";
        RegisterClassA(&wc);
    }

    std::string dir;
    std::map<std::string, std::string> saved;
};
