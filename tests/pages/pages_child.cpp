// A small program on the real runtime entry, started by the page tests and the
// Xvfb checks to watch what only a whole process shows: the fatal report and
// its exit status, and the end of the program when a page is closed.
//   fatal     _newpage(0, ...): reports the box it sees on stdout, closes it
//   close     a page closed by the user ends the program while main waits
//   exitmenu  Exit in a page's menu ends the program while main waits
//   geometry  _newpage(1, "geometry", 300, 200, -640, -480, 0, 0), prints its
//             geometry and waits to be closed
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include "platform/win/window_surface.h"
#include "platform/win/winuser.h"
#include "runtime/console/console_internal.h"
#include <ostrel.h>

#include <cstring>

namespace {

void say(const char* text)
{
    std::fputs(text, stdout);
    std::fflush(stdout);
}

void ended()
{
    say("ended\n");
}

// Reports and closes whatever modal box is up.
void watch_boxes()
{
    auto* timer = new QTimer();
    QObject::connect(timer, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QDialog*>(w);
            if (!box || !box->isVisible())
                continue;
            say("caption: ");
            say(box->windowTitle().toUtf8().constData());
            say("\n");
            if (auto* mb = qobject_cast<QMessageBox*>(box)) {
                say("text: ");
                say(mb->text().toUtf8().constData());
                say("\n");
            }
            for (QLabel* l : box->findChildren<QLabel*>()) {
                say("label: ");
                say(l->text().toUtf8().constData());
                say("\n");
            }
            box->done(IDOK);
        }
    });
    timer->start(50);
}

} // namespace

int main()
{
    char mode[1024] = {};
    _getcmdline(mode);
    std::atexit(ended);
    if (std::strcmp(mode, "fatal") == 0) {
        watch_boxes();
        _newpage(0, "fatal", 0, 0, 100, 100, 0, 0);
        say("after\n");
        return 0;
    }
    if (std::strcmp(mode, "close") == 0) {
        _newpage(1, "close", 10, 10, 200, 150, 0, 0);
        QTimer::singleShot(300, [] {
            if (IsWindowVisible(_pagewindow(1)))
                say("page open\n");
            if (QWidget* w = platform_window_widget(_pagewindow(1)))
                w->close();
        });
        getchar();   // main still runs when the page is closed
        say("main returned\n");
        return 0;
    }
    if (std::strcmp(mode, "exitmenu") == 0) {
        _newpage(1, "exit", 10, 10, 200, 150, 0, 0);
        PostMessageA(_pagewindow(1), WM_COMMAND, IDM_EXIT, 0);
        getchar();
        say("main returned\n");
        return 0;
    }
    if (std::strcmp(mode, "geometry") == 0) {
        _newpage(1, "geometry", 300, 200, -640, -480, 0, 0);
        RECT c{}, r{};
        GetClientRect(_pagewindow(1), &c);
        GetWindowRect(_pagewindow(1), &r);
        char line[200];
        std::snprintf(line, sizeof line, "client %d %d\nwindow %d %d %d %d\n", int(c.right - c.left),
                      int(c.bottom - c.top), int(r.left), int(r.top), int(r.right - r.left),
                      int(r.bottom - r.top));
        say(line);
        return 0;
    }
    say("unknown mode\n");
    return CLOSE_CONSOLE;
}
