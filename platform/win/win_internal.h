// Internal records of the window layer: the window record behind an HWND, window
// classes, and the helpers the platform/win files share. Not for the runtime.
#pragma once
#include "platform/win/winuser.h"

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

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
enum class WndKind { Frame, Child, RichEdit, StatusBar, Progress };

struct Wnd {
    bool alive = true;
    bool destroying = false;
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
    QImage surface;             // back buffer, client size; the object's address never changes
    QRegion invalid;            // waiting for WM_PAINT
    bool eraseWanted = false;
    bool shownOnce = false;
    // double-click tracking (class style CS_DBLCLKS)
    ulong lastPressTime = 0;
    int lastPressButton = 0;
    QPoint lastPressPos;
};

HWND wnd_from_widget(const QWidget* w);           // the window of a frame/client widget
bool wnd_valid(HWND w);                           // alive and not being torn down
LRESULT wnd_call(HWND w, UINT msg, WPARAM wp, LPARAM lp);   // the window procedure, now
void wnd_ensure_surface(HWND w);                  // back buffer follows the client size
QColor wnd_background(HWND w);                    // class background brush colour

// queue (message_queue.cpp)
void queue_post(const MSG& m);
void queue_forget_window(HWND w);
void queue_drop_char_of(std::uint32_t serial);    // a translated accelerator eats its WM_CHAR

// keys (key_events.cpp): original Qt key events kept for DefWindowProc
std::uint32_t key_keep(const class QKeyEvent& e);
bool key_deliver(std::uint32_t serial);           // sends the kept event to its widget
Qt::KeyboardModifiers key_modifiers(std::uint32_t serial);
inline std::uint32_t key_serial(LPARAM lp) { return std::uint32_t(std::uint64_t(lp) >> 32); }

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
