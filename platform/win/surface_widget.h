// The widgets behind registered-class windows: FrameWidget (a top-level window
// holding the menu bar and the client area) and SurfaceWidget (a client area that
// shows the window's back buffer and asks the window procedure for WM_PAINT).
#pragma once
#include "platform/win/win_internal.h"

#include <QBasicTimer>
#include <QElapsedTimer>

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
    // Asks the toolkit to show `r` of the back buffer: at the next pass of the loop,
    // or, within one frame of the last paint, when that frame ends.
    void request_update(const QRegion& r);
    // Shows now what waits for the end of the frame.
    void flush_held();
protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
private:
    QBasicTimer pacing;
    QElapsedTimer painted;   // since the widget was last drawn
    QRegion held;            // asked for during the current frame
};
