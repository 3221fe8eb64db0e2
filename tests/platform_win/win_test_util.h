// Helpers of the window-layer tests: a registered test class that records every
// message its procedure receives.
#pragma once
#include "platform/win/winuser.h"
#include "platform/win/window_surface.h"

#include <QWidget>
#include <string>
#include <vector>

struct Seen {
    HWND w;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

inline std::vector<Seen>& seen()
{
    static std::vector<Seen> s;
    return s;
}

inline LRESULT recording_proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    seen().push_back(Seen{w, m, wp, lp});
    return DefWindowProcA(w, m, wp, lp);
}

inline const char* test_class(UINT style)
{
    static std::vector<std::string> names;
    std::string name = "wintest" + std::to_string(style);
    for (auto& n : names)
        if (n == name)
            return n.c_str();
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = &recording_proc;
    wc.lpszClassName = name.c_str();
    RegisterClassA(&wc);
    names.push_back(name);
    return names.back().c_str();
}

inline HWND make_window(UINT classStyle = 0, DWORD style = WS_OVERLAPPEDWINDOW)
{
    return CreateWindowExA(0, test_class(classStyle), "test", style, 10, 10, 300, 200, nullptr, nullptr, nullptr, nullptr);
}

// The client area of a window: the widget under its frame that shows the back buffer.
inline QWidget* client_of(HWND w)
{
    for (QWidget* c : platform_window_widget(w)->findChildren<QWidget*>())
        if (platform_widget_window(c) == w)
            return c;
    return nullptr;
}

// Every message waiting now, in order (dispatching none).
inline std::vector<MSG> drain()
{
    std::vector<MSG> out;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        out.push_back(m);
    return out;
}
