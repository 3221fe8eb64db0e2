// Checks that what a widget shows on the screen is up to date: the part of the
// window's back store under the widget, against the widget drawn afresh now. The
// two are the same once every change has been drawn.
#pragma once
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

inline QImage shown(QWidget* w)
{
    QWidget* top = w->window();
    QPoint p = w->mapTo(top, QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(top->winId(), p.x(), p.y(), w->width(), w->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

inline QImage drawn_now(QWidget* w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
