// Internal records of the window layer: the window record behind an HWND, window
// classes, and the helpers the platform/win files share. Not for the runtime.
#pragma once
#include "platform/win/winuser.h"

#include <QImage>
#include <QScrollArea>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>
#include <QIcon>

class QMenuBar;

// Makes sure a QApplication exists (programs get one from the entry; tests bring
// their own).
void platform_ensure_application();

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    bool builtin = false;   // RichEdit, status bar, progress bar
};

// The kind of Qt widget that stands behind a window.
enum class WndKind { Frame, Child, RichEdit, StatusBar, Progress, Dialog };

struct Wnd {
    bool alive = true;
    bool destroying = false;
    bool created = false;       // WM_CREATE has been answered (no WM_SIZE before it)
    WndKind kind = WndKind::Frame;
    const WindowClass* cls = nullptr;
    WNDPROC proc = nullptr;
    HWND parent = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    std::intptr_t userData = 0;
    HMENU menu = nullptr;
    QPointer<QWidget> frame;    // top level: the window with its menu bar; child: the control
    QPointer<QWidget> client;   // where client coordinates start and the back buffer shows
    QPointer<QMenuBar> menuBar;
    // A frame larger than the screen is shown fitted to it, its client at full size
    // inside a scroller; `wanted` keeps the frame rectangle asked for.
    QPointer<QScrollArea> scroller;
    QRect wanted;
    QImage surface;             // back buffer, client size; the object's address never changes
    // Parts of a new back buffer never reached yet: their memory is left untouched
    // until something draws, shows or reads there, then filled with `unfilledColour`
    // (the background when the buffer was made), as the whole buffer would have been.
    QRegion unfilled;
    QColor unfilledColour;
    QRegion invalid;            // waiting for WM_PAINT (off-screen parts wait until seen or read)
    QRegion paintDue;           // during our WM_PAINT: the part BeginPaint hands out
    bool painting = false;      // our WM_PAINT is running
    bool eraseWanted = false;
    bool shownOnce = false;
    QSize lastSize;             // client size last reported with WM_SIZE
    RECT paintRect{};           // what BeginPaint reports
    // double-click tracking (class style CS_DBLCLKS)
    ulong lastPressTime = 0;
    int lastPressButton = 0;
    QPoint lastPressPos;
};

HWND wnd_from_widget(const QWidget* w);           // the window of a frame/client widget
bool wnd_valid(HWND w);                           // alive and not being torn down
LRESULT wnd_call(HWND w, UINT msg, WPARAM wp, LPARAM lp);   // the window procedure, now
void wnd_ensure_surface(HWND w);                  // back buffer follows the client size
void wnd_fill_unfilled(HWND w, const QRegion& r); // gives the untouched part of r its pixels
QRegion wnd_visible_part(HWND w);                 // client pixels on some screen (client coordinates)
void wnd_update_visible(HWND w, const QRegion& r); // the toolkit repaints the visible part of r
void wnd_paint_now(HWND w, const QRegion& due);   // WM_PAINT for the invalid part of `due`, now
QColor wnd_background(HWND w);                    // class background brush colour
void wnd_layout(HWND w);                          // frame: menu bar and client; then WM_SIZE
void wnd_place_frame(HWND w, const QRect& want);  // frame geometry, fitted to the screen with a scroller if needed
QRect wnd_frame_rect(HWND w);                     // the frame rectangle the program sees (the full one)
void wnd_sync_size(HWND w);                       // WM_SIZE when the client size changed
std::vector<HWND> wnd_all();                      // every live window, in creation order
HWND wnd_adopt(QWidget* top);                     // a window record for a dialog of ours
void wnd_flush_deletes();                         // widgets whose deletion had to wait
QColor brush_colour(HBRUSH b);                    // a GDI brush's colour (white if unknown)
QIcon icon_of(HICON icon);

// Marks that a Qt event handler of ours is on the stack: widgets destroyed meanwhile
// are deleted later, when the queue is next read.
struct QtHandlerScope {
    QtHandlerScope();
    ~QtHandlerScope();
    QtHandlerScope(const QtHandlerScope&) = delete;
    QtHandlerScope& operator=(const QtHandlerScope&) = delete;
};

// queue (message_queue.cpp)
void queue_post(const MSG& m);
void queue_forget_window(HWND w);
void queue_drop_char_of(std::uint32_t serial);    // a translated accelerator eats its WM_CHAR

// keys (key_events.cpp): original Qt key events kept for DefWindowProc
std::uint32_t key_keep(const class QKeyEvent& e, QObject* target);
bool key_deliver(std::uint32_t serial);           // sends the kept event to its widget
Qt::KeyboardModifiers key_modifiers(std::uint32_t serial);
// Key messages carry the serial of their kept Qt event in bits 32-62 of lParam; bit
// 63 marks the message whose default handling hands the event to its widget (the
// WM_CHAR of a key with text, else its WM_KEYDOWN; and WM_KEYUP).
inline std::uint32_t key_serial(LPARAM lp) { return std::uint32_t((std::uint64_t(lp) >> 32) & 0x7FFFFFFFu); }
inline bool key_delivers(LPARAM lp) { return (std::uint64_t(lp) >> 63) != 0; }
inline LPARAM key_lparam(std::uint32_t low, std::uint32_t serial, bool delivers)
{
    return LPARAM((std::uint64_t(delivers) << 63) | (std::uint64_t(serial & 0x7FFFFFFFu) << 32) | low);
}
int key_vk(int qtKey);                            // Qt key code to virtual key (0 if none)
bool key_passing(const QEvent* e);                // the event is being handed on by us

// event translation (event_filter.cpp)
void filter_install(HWND w);

// menus (menus.cpp)
void menu_attach(HWND w, HMENU m);

// built-in controls
LRESULT richedit_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT statusbar_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT progress_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
QWidget* richedit_create(QWidget* parent);
QWidget* statusbar_create(QWidget* parent, DWORD style);
QWidget* progress_create(QWidget* parent);

// Files dropped on a window (the HDROP of WM_DROPFILES).
struct DropInfo {
    std::vector<std::string> files;   // UTF-8 paths
    POINT pt{};                       // client coordinates of the drop
};
HDROP drop_make(std::vector<std::string> files, POINT pt);
