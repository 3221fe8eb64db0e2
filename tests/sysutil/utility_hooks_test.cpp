// The owner window and the hooks: what set_utility_hooks sets and keeps.
#include "ostrel/sysutil.h"
#include "sysutil/hooks_internal.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace trace_capture;

int g_enabled = 0;
std::string g_status;
int g_status_part = 0;

int enabled() { return g_enabled; }
void record_status(int part, const char* text)
{
    g_status_part = part;
    g_status = text;
}

HWND fake_window(std::uintptr_t v)
{
    return reinterpret_cast<HWND>(v);
}

class Hooks : public ::testing::Test {
protected:
    void TearDown() override { set_utility_hooks(nullptr, nullptr, nullptr, nullptr, nullptr); }
};

TEST_F(Hooks, OwnerWindowTraceWhileEnabledAndStatusWithMinusOne)
{
    EXPECT_EQ(get_owner_window(), nullptr);
    set_owner_window(fake_window(0x10));
    EXPECT_EQ(get_owner_window(), fake_window(0x10));
    traced().clear();
    set_utility_hooks(fake_window(0x20), capture_trace, nullptr, record_status, enabled);
    EXPECT_EQ(get_owner_window(), fake_window(0x20));
    g_enabled = 0;
    sysutil_trace("copy %s\n", "a");
    EXPECT_EQ(traced(), "");
    g_enabled = 1;
    sysutil_trace("copy %s\n", "b");
    EXPECT_EQ(traced(), "copy b\n");
    sysutil_status("extracting");
    EXPECT_EQ(g_status_part, -1);
    EXPECT_EQ(g_status, "extracting");
    // null status and enabled hooks keep the previous ones; a null trace print clears it
    set_utility_hooks(nullptr, capture_trace, nullptr, nullptr, nullptr);
    EXPECT_EQ(get_owner_window(), nullptr);
    sysutil_status("kept");
    EXPECT_EQ(g_status, "kept");
    sysutil_trace("on");
    EXPECT_EQ(traced(), "copy b\non");
    set_utility_hooks(nullptr, nullptr, nullptr, nullptr, nullptr);
    sysutil_trace("gone");
    EXPECT_EQ(traced(), "copy b\non");
}

} // namespace
