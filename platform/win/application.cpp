// The one QApplication of the process: programs get it from the runtime's entry,
// test programs create their own first. Either way the layer finds it here.
#include "platform/win/win_internal.h"

#include <QApplication>

void platform_ensure_application()
{
    if (QCoreApplication::instance())
        return;
    // Never destroyed: the process ends through the C exit, and Qt's own statics
    // must not outlive a deleted application.
    static int argc = 1;
    static char name[] = "ostrel";
    static char* argv[] = {name, nullptr};
    auto* app = new QApplication(argc, argv);
    app->setQuitOnLastWindowClosed(false);
}
