// Windows of another X client, made on a connection of their own, with the
// title properties a desktop program sets; a stand-in window manager's records
// (the supporting-manager window and the client list) on the root; atoms and
// plain windows for other stand-ins (the clipboard manager).
#pragma once
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

class XWindows {
public:
    XWindows() : c_(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(c_))
            return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        netName_ = atom("_NET_WM_NAME");
        utf8_ = atom("UTF8_STRING");
    }
    ~XWindows()
    {
        if (manager_) {
            xcb_delete_property(c_, root_, atom("_NET_SUPPORTING_WM_CHECK"));
            xcb_delete_property(c_, root_, atom("_NET_CLIENT_LIST"));
        }
        xcb_disconnect(c_);   // the server destroys the windows with the connection
    }
    bool ok() const { return root_ != 0; }
    xcb_connection_t* connection() const { return c_; }

    // A window titled by WM_NAME (Latin-1) or by _NET_WM_NAME (UTF-8).
    xcb_window_t add(const std::string& title, bool utf8 = false, bool mapped = true)
    {
        const xcb_window_t w = make(mapped);
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, utf8 ? netName_ : xcb_atom_t(XCB_ATOM_WM_NAME),
                            utf8 ? utf8_ : xcb_atom_t(XCB_ATOM_STRING), 8, uint32_t(title.size()), title.data());
        return w;
    }
    void fake_manager(const std::vector<xcb_window_t>& clients)
    {
        manager_ = make(false);
        const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
        for (xcb_window_t on : {root_, manager_})
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, on, check, XCB_ATOM_WINDOW, 32, 1, &manager_);
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, root_, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 32,
                            uint32_t(clients.size()), clients.data());
    }
    // Everything sent has been done by the server.
    void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    xcb_atom_t atom(const char* name)
    {
        auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : 0;
        std::free(r);
        return a;
    }
    xcb_window_t make(bool mapped)
    {
        const xcb_window_t w = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, root_, 0, 0, 50, 30, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        if (mapped)
            xcb_map_window(c_, w);
        return w;
    }

private:
    xcb_connection_t* c_;
    xcb_window_t root_ = 0, manager_ = 0;
    xcb_atom_t netName_ = 0, utf8_ = 0;
};
