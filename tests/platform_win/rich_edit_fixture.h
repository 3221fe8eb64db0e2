// A "RichEdit" text area in a frame window, and short ways to send it messages.
#pragma once
#include "win_test_util.h"
#include "platform/win/richedit.h"

#include <gtest/gtest.h>
#include <string>

class RichEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = make_window();
        edit = CreateWindowExA(0, "RichEdit", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 300, 150, frame, nullptr,
                               nullptr, nullptr);
        ASSERT_NE(edit, nullptr);
    }
    void TearDown() override { DestroyWindow(frame); }
    // Appends text at the end.
    void put(const char* t)
    {
        SendMessageA(edit, EM_SETSEL, WPARAM(-1), LPARAM(-1));
        SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(t));
    }
    LRESULT send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(edit, msg, wp, lp); }
    LRESULT send_text(UINT msg, WPARAM wp, const char* text) { return send(msg, wp, reinterpret_cast<LPARAM>(text)); }
    void select(long from, long to) { send(EM_SETSEL, WPARAM(from), LPARAM(to)); }
    std::string text()
    {
        char buf[256];
        send(WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    HWND frame = nullptr, edit = nullptr;
};
