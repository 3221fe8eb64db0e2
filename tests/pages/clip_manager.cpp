// A minimal desktop clipboard manager for the interop check: it owns
// CLIPBOARD_MANAGER, answers SAVE_TARGETS by reading image/bmp from the
// clipboard's owner, then owns the clipboard itself and serves those bytes.
// Prints "manager" once it is in place and runs until it is ended.
#include "tests/support/x11_windows.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

xcb_connection_t* c;
xcb_window_t self;

void notify(const xcb_selection_request_event_t* rq, xcb_atom_t property)
{
    xcb_selection_notify_event_t n{};
    n.response_type = XCB_SELECTION_NOTIFY;
    n.time = rq->time;
    n.requestor = rq->requestor;
    n.selection = rq->selection;
    n.target = rq->target;
    n.property = property;
    xcb_send_event(c, 0, rq->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&n));
    xcb_flush(c);
}

// Reads `target` of the clipboard into `out` (small data only: no INCR).
bool read_clipboard(xcb_atom_t clipboard, xcb_atom_t target, xcb_atom_t prop, std::vector<unsigned char>& out)
{
    xcb_convert_selection(c, self, clipboard, target, prop, XCB_CURRENT_TIME);
    xcb_flush(c);
    while (xcb_generic_event_t* ev = xcb_wait_for_event(c)) {
        const bool done = (ev->response_type & 0x7F) == XCB_SELECTION_NOTIFY;
        const bool ok = done && reinterpret_cast<xcb_selection_notify_event_t*>(ev)->property != XCB_NONE;
        std::free(ev);
        if (!done)
            continue;
        if (!ok)
            return false;
        xcb_get_property_reply_t* r =
            xcb_get_property_reply(c, xcb_get_property(c, 1, self, prop, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 24), nullptr);
        if (!r)
            return false;
        auto* p = static_cast<unsigned char*>(xcb_get_property_value(r));
        out.assign(p, p + xcb_get_property_value_length(r));
        const bool whole = r->type == target;
        std::free(r);
        return whole && !out.empty();
    }
    return false;
}

} // namespace

int main()
{
    XWindows x;
    if (!x.ok())
        return 1;
    c = x.connection();
    self = x.make(false);
    const xcb_atom_t manager = x.atom("CLIPBOARD_MANAGER"), clipboard = x.atom("CLIPBOARD"),
                     save = x.atom("SAVE_TARGETS"), targets = x.atom("TARGETS"), bmp = x.atom("image/bmp"),
                     prop = x.atom("_CLIP_MANAGER_DATA");
    xcb_set_selection_owner(c, self, manager, XCB_CURRENT_TIME);
    xcb_get_selection_owner_reply_t* o = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, manager), nullptr);
    const bool owned = o && o->owner == self;
    std::free(o);
    if (!owned)
        return 1;
    std::printf("manager\n");
    std::fflush(stdout);
    std::vector<unsigned char> saved;
    while (xcb_generic_event_t* ev = xcb_wait_for_event(c)) {
        if ((ev->response_type & 0x7F) == XCB_SELECTION_REQUEST) {
            auto* rq = reinterpret_cast<xcb_selection_request_event_t*>(ev);
            if (rq->selection == manager && rq->target == save) {
                const bool ok = read_clipboard(clipboard, bmp, prop, saved);
                if (ok)
                    xcb_set_selection_owner(c, self, clipboard, XCB_CURRENT_TIME);
                std::printf("saved %zu bytes\n", ok ? saved.size() : std::size_t(0));
                std::fflush(stdout);
                notify(rq, ok ? rq->property : xcb_atom_t(XCB_NONE));
            } else if (rq->selection == clipboard && rq->target == targets && !saved.empty()) {
                xcb_atom_t list[2] = {targets, bmp};
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, rq->requestor, rq->property, XCB_ATOM_ATOM, 32, 2, list);
                notify(rq, rq->property);
            } else if (rq->selection == clipboard && rq->target == bmp && !saved.empty()) {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, rq->requestor, rq->property, bmp, 8,
                                    std::uint32_t(saved.size()), saved.data());
                notify(rq, rq->property);
            } else {
                notify(rq, XCB_NONE);
            }
        }
        std::free(ev);
    }
    return 0;
}
