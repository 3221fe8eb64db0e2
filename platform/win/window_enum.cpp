// Top-level windows of the desktop through X11 (xcb), and the process's own
// through the window layer. Every X request for the whole list is sent before
// the first reply is read, so a search costs a handful of round trips however
// many windows there are.
#include "platform/win/window_enum.h"
#include "platform/win/win_internal.h"
#include "platform/utf8_cut.h"

#include <QGuiApplication>
#include <QWindow>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace {

constexpr std::uintptr_t kForeignBit = std::uintptr_t(1) << (sizeof(std::uintptr_t) * 8 - 1);
// Longest title read from the server, in 32-bit units: enough for any title a
// caller keeps, also after Latin-1 doubles its bytes.
constexpr std::uint32_t kTitleUnits = 1024;
// Longest client list taken.
constexpr std::uint32_t kListUnits = 65536;

HWND foreign_handle(xcb_window_t id)
{
    return reinterpret_cast<HWND>(kForeignBit | std::uintptr_t(id));
}

// The connection to use: Qt's own on its X11 platform; a short one of our own
// in a program without an application object and with a display; none where
// Qt draws elsewhere (offscreen, Wayland).
struct XLink {
    xcb_connection_t* c = nullptr;
    bool owned = false;
    xcb_window_t root = 0;
    ~XLink()
    {
        if (owned && c)
            xcb_disconnect(c);
    }
};

bool x_connect(XLink& x)
{
    int screen = 0;
    if (qGuiApp) {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return false;
        auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        x.c = native ? native->connection() : nullptr;
        if (!x.c)
            return false;
        char* host = nullptr;
        int display = 0;
        if (!xcb_parse_display(nullptr, &host, &display, &screen))
            screen = 0;
        std::free(host);
    } else {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            return false;
        x.c = xcb_connect(nullptr, &screen);
        x.owned = true;
        if (xcb_connection_has_error(x.c))
            return false;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(x.c));
    for (int i = 0; i < screen && it.rem > 1; ++i)
        xcb_screen_next(&it);
    if (!it.data)
        return false;
    x.root = it.data->root;
    return true;
}

struct Atoms {
    xcb_atom_t check = XCB_ATOM_NONE, clients = XCB_ATOM_NONE, netName = XCB_ATOM_NONE,
               utf8 = XCB_ATOM_NONE;
};

Atoms intern_atoms(xcb_connection_t* c)
{
    static const char* const names[] = {"_NET_SUPPORTING_WM_CHECK", "_NET_CLIENT_LIST", "_NET_WM_NAME",
                                        "UTF8_STRING"};
    xcb_intern_atom_cookie_t cookies[4];
    for (int i = 0; i < 4; ++i)
        cookies[i] = xcb_intern_atom(c, 0, std::uint16_t(std::strlen(names[i])), names[i]);
    xcb_atom_t got[4];
    for (int i = 0; i < 4; ++i) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, cookies[i], nullptr);
        got[i] = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(r);
    }
    return {got[0], got[1], got[2], got[3]};
}

// The window named by a WINDOW property, or 0.
xcb_window_t window_property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop)
{
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, XCB_ATOM_WINDOW, 0, 1), nullptr);
    xcb_window_t v = 0;
    if (r && r->format == 32 && xcb_get_property_value_length(r) >= 4)
        std::memcpy(&v, xcb_get_property_value(r), 4);
    std::free(r);
    return v;
}

// A window manager that follows the desktop conventions names a window of its
// own on the root, and that window names itself; a stale name left by a manager
// that has gone fails the second test.
bool manager_running(xcb_connection_t* c, xcb_window_t root, const Atoms& a)
{
    if (a.check == XCB_ATOM_NONE)
        return false;
    xcb_window_t w = window_property(c, root, a.check);
    return w && window_property(c, w, a.check) == w;
}

std::vector<xcb_window_t> x_top_windows(xcb_connection_t* c, xcb_window_t root, const Atoms& a)
{
    std::vector<xcb_window_t> out;
    if (manager_running(c, root, a) && a.clients != XCB_ATOM_NONE) {
        xcb_get_property_reply_t* r = xcb_get_property_reply(
            c, xcb_get_property(c, 0, root, a.clients, XCB_ATOM_WINDOW, 0, kListUnits), nullptr);
        if (r && r->format == 32) {
            const int n = xcb_get_property_value_length(r) / 4;
            const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(r));
            out.assign(ids, ids + n);
        }
        std::free(r);
        return out;
    }
    xcb_query_tree_reply_t* t = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (t) {
        const int n = xcb_query_tree_children_length(t);
        const xcb_window_t* ids = xcb_query_tree_children(t);
        out.assign(ids, ids + n);
        std::free(t);
    }
    // the server lists the bottom window first
    return {out.rbegin(), out.rend()};
}

// STRING titles are Latin-1; UTF8_STRING (and, by common use, anything else)
// is taken as it is.
std::string title_text(xcb_get_property_reply_t* r)
{
    if (!r || r->format != 8)
        return {};
    const char* v = static_cast<const char*>(xcb_get_property_value(r));
    const int n = xcb_get_property_value_length(r);
    std::string s;
    if (r->type == XCB_ATOM_STRING) {
        for (int i = 0; i < n; ++i) {
            const unsigned char ch = static_cast<unsigned char>(v[i]);
            if (ch < 0x80) {
                s += char(ch);
            } else {
                s += char(0xC0 | (ch >> 6));
                s += char(0x80 | (ch & 0x3F));
            }
        }
    } else {
        s.assign(v, std::size_t(n));
    }
    // a title ends at its first terminator, as the text it is shown as
    s.resize(std::strlen(s.c_str()));
    return s;
}

void cut_title(std::string& s, std::size_t max)
{
    s.resize(utf8_cut(s.data(), s.size(), max));
}

// X ids of the windows Qt made for this process: they are listed as our own.
std::unordered_set<xcb_window_t> own_x_ids()
{
    std::unordered_set<xcb_window_t> ids;
    if (!qGuiApp)
        return ids;
    for (QWindow* w : QGuiApplication::allWindows())
        if (w->handle())
            ids.insert(xcb_window_t(w->winId()));
    return ids;
}

void add_x_windows(std::vector<TopWindow>& out, std::size_t title_max)
{
    XLink x;
    if (!x_connect(x))
        return;
    const Atoms a = intern_atoms(x.c);
    const std::vector<xcb_window_t> all = x_top_windows(x.c, x.root, a);
    const std::unordered_set<xcb_window_t> own = own_x_ids();
    std::vector<xcb_window_t> ids;
    ids.reserve(all.size());
    for (xcb_window_t w : all)
        if (!own.count(w))
            ids.push_back(w);

    struct Asked {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_property_cookie_t netName, name;
    };
    std::vector<Asked> asked(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        asked[i].attributes = xcb_get_window_attributes(x.c, ids[i]);
        asked[i].netName = a.netName != XCB_ATOM_NONE
                               ? xcb_get_property(x.c, 0, ids[i], a.netName, a.utf8, 0, kTitleUnits)
                               : xcb_get_property_cookie_t{0};
        asked[i].name = xcb_get_property(x.c, 0, ids[i], XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0,
                                         kTitleUnits);
    }
    for (std::size_t i = 0; i < ids.size(); ++i) {
        xcb_get_window_attributes_reply_t* at = xcb_get_window_attributes_reply(x.c, asked[i].attributes, nullptr);
        xcb_get_property_reply_t* nn =
            a.netName != XCB_ATOM_NONE ? xcb_get_property_reply(x.c, asked[i].netName, nullptr) : nullptr;
        xcb_get_property_reply_t* n = xcb_get_property_reply(x.c, asked[i].name, nullptr);
        if (at) {   // a window gone since it was listed has no attributes
            TopWindow t{foreign_handle(ids[i]), at->map_state == XCB_MAP_STATE_VIEWABLE, {}};
            t.title = nn && nn->type == a.utf8 && nn->value_len > 0 ? title_text(nn)
                                                                     : title_text(n);
            cut_title(t.title, title_max);
            out.push_back(std::move(t));
        }
        std::free(at);
        std::free(nn);
        std::free(n);
    }
}

}  // namespace

std::vector<TopWindow> platform_top_windows(std::size_t title_max)
{
    std::vector<TopWindow> out;
    std::vector<char> buf(title_max + 1);
    for (HWND w : wnd_all()) {
        if (w->kind != WndKind::Frame && w->kind != WndKind::Dialog)
            continue;
        GetWindowTextA(w, buf.data(), int(buf.size()));
        out.push_back({w, IsWindowVisible(w) != FALSE, buf.data()});
    }
    add_x_windows(out, title_max);
    return out;
}

bool platform_foreign_window(HWND w)
{
    return (reinterpret_cast<std::uintptr_t>(w) & kForeignBit) != 0;
}

unsigned long platform_foreign_window_id(HWND w)
{
    return platform_foreign_window(w) ? static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(w) & ~kForeignBit)
                                      : 0;
}
