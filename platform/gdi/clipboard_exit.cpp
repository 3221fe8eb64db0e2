// The clipboard when the program ends. On X11 what a program copies stays in
// the program and goes with it, unless the desktop's clipboard manager takes a
// copy first (the ICCCM SAVE_TARGETS request). Qt asks the manager only while
// its application object is destroyed, which never happens here (the process
// ends through the C exit), so the platform asks itself at the end, while Qt
// can still answer the manager's reads.
#include "platform/gdi/winclip.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace {

xcb_atom_t intern(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

// Watches Qt's event stream for the manager's answer to our request.
class SaveAnswer : public QAbstractNativeEventFilter {
public:
    explicit SaveAnswer(xcb_window_t w) : window(w) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t") return false;
        auto* ev = static_cast<xcb_generic_event_t*>(message);
        if ((ev->response_type & 0x7F) != XCB_SELECTION_NOTIFY) return false;
        if (reinterpret_cast<xcb_selection_notify_event_t*>(ev)->requestor != window) return false;
        answered = true;
        return true;
    }
    xcb_window_t window;
    bool answered = false;
};

}  // namespace

int platform_clipboard_handover(int waitMs)
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb")) return 0;
    if (!QGuiApplication::clipboard()->ownsClipboard()) return 0;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c) return 0;
    const xcb_atom_t manager = intern(c, "CLIPBOARD_MANAGER"), save = intern(c, "SAVE_TARGETS"),
                     prop = intern(c, "_OSTREL_CLIPBOARD_SAVED");
    xcb_get_selection_owner_reply_t* o = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, manager), nullptr);
    const bool present = o && o->owner != XCB_NONE;
    std::free(o);
    if (!present) return 0;   // no manager: the data ends with the program, as usual on X11
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen) return 0;
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    SaveAnswer answer(w);
    QCoreApplication::instance()->installNativeEventFilter(&answer);
    xcb_convert_selection(c, w, manager, save, prop, XCB_CURRENT_TIME);
    xcb_flush(c);
    // Qt answers the manager's reads of our formats while the loop runs.
    QElapsedTimer t;
    t.start();
    while (!answer.answered && t.elapsed() < waitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        if (!answer.answered) QThread::msleep(2);
    }
    QCoreApplication::instance()->removeNativeEventFilter(&answer);
    xcb_destroy_window(c, w);
    xcb_flush(c);
    return answer.answered ? 1 : 0;
}
