// Timer-driven answers for modal boxes and dialogs in tests.
#include "modal_answer.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {
bool g_seen = false;
}

bool modal_seen()
{
    return g_seen;
}

void answer_next_modal(std::function<void(QWidget*)> act, int timeout_ms)
{
    g_seen = false;
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
        if (!w) {
            if (clock->elapsed() > timeout_ms) {
                timer->stop();
                timer->deleteLater();
                delete clock;
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        delete clock;
        g_seen = true;
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
