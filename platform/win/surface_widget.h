// The widgets behind registered-class windows: FrameWidget (a top-level window
// holding the menu bar and the client area) and SurfaceWidget (a client area that
// shows the window's back buffer and asks the window procedure for WM_PAINT).
#pragma once
#include "platform/win/win_internal.h"

class FrameWidget : public QWidget {
public:
    FrameWidget(HWND w, Qt::WindowFlags flags);
    HWND wnd;
protected:
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
};

class SurfaceWidget : public QWidget {
public:
    SurfaceWidget(HWND w, QWidget* parent);
    HWND wnd;
protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
};
