// Answers the next modal window from a timer, so that a test can call a
// function that shows a box or dialog and waits for it.
#pragma once
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Whether the last answer_next_modal found a modal widget.
inline bool& modal_seen_flag()
{
    static bool seen = false;
    return seen;
}
inline bool modal_seen() { return modal_seen_flag(); }

// Calls `act` with the next modal widget that appears (within timeout_ms). A
// widget that `act` leaves open is rejected a little later, so a wrong answer
// fails the test instead of hanging it. Returns nothing; check modal_seen().
inline void answer_next_modal(std::function<void(QWidget*)> act, int timeout_ms = 10000)
{
    modal_seen_flag() = false;
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, act, timeout_ms]() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            for (QWidget* t : QApplication::topLevelWidgets())
                if (t->isVisible() && t->isModal()) {
                    w = t;
                    break;
                }
        }
        if (!w && clock->elapsed() <= timeout_ms)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (!w)
            return;
        modal_seen_flag() = true;
        QPointer<QWidget> guard(w);
        act(w);
        QTimer::singleShot(3000, [guard]() {
            if (guard && guard->isVisible()) {
                if (auto* d = qobject_cast<QDialog*>(guard.data()))
                    d->reject();
                else
                    guard->close();
            }
        });
    });
    timer->start();
}
