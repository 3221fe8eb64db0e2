// System metrics, system colours, the double-click time, icons and cursors.
#include "platform/win/win_internal.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPalette>
#include <QScreen>
#include <QStyle>

namespace {

QSize screen_size()
{
    platform_ensure_application();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->size() : QSize(1024, 768);
}

struct CursorRec {
    int id;
    Qt::CursorShape shape;
};

CursorRec* cursor_rec(int id)
{
    static CursorRec table[] = {
        {32512, Qt::ArrowCursor}, {32513, Qt::IBeamCursor}, {32514, Qt::WaitCursor}, {32515, Qt::CrossCursor},
        {32516, Qt::UpArrowCursor}, {32642, Qt::SizeFDiagCursor}, {32643, Qt::SizeBDiagCursor},
        {32644, Qt::SizeHorCursor}, {32645, Qt::SizeVerCursor}, {32646, Qt::SizeAllCursor},
        {32648, Qt::ForbiddenCursor}, {32649, Qt::PointingHandCursor}, {32650, Qt::BusyCursor},
        {32651, Qt::WhatsThisCursor},
    };
    for (auto& c : table)
        if (c.id == id)
            return &c;
    return nullptr;
}

HCURSOR g_current = nullptr;

} // namespace

int GetSystemMetrics(int index)
{
    if (index == SM_CMONITORS)
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? int(QGuiApplication::screens().size())
                                                                           : 0;
    if (index == SM_CXICON || index == SM_CYICON || index == SM_CXCURSOR || index == SM_CYCURSOR)
        return 32;
    switch (index) {
    case SM_CXSCREEN: case SM_CXFULLSCREEN: return screen_size().width();
    case SM_CYSCREEN: return screen_size().height();
    case SM_CYFULLSCREEN: return screen_size().height() - GetSystemMetrics(SM_CYCAPTION);
    case SM_CXVSCROLL: case SM_CYHSCROLL: {
        platform_ensure_application();
        return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    }
    case SM_CYCAPTION: return 0;   // drawn by the window manager, outside our windows
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 0;
    case SM_CXFRAME: case SM_CYFRAME: return 0;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CYMENU: {
        platform_ensure_application();
        static int h = [] { QMenuBar b; b.addMenu("&File"); return b.sizeHint().height(); }();
        return h;
    }
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    default: return 0;
    }
}

DWORD GetSysColor(int index)
{
    platform_ensure_application();
    QPalette p = QApplication::palette();
    QColor c;
    switch (index) {
    case COLOR_WINDOW: c = p.color(QPalette::Base); break;
    case COLOR_WINDOWTEXT: c = p.color(QPalette::Text); break;
    case COLOR_BTNFACE: c = p.color(QPalette::Button); break;
    default: c = p.color(QPalette::Window); break;
    }
    return RGB(c.red(), c.green(), c.blue());
}

UINT GetDoubleClickTime()
{
    platform_ensure_application();
    return UINT(QApplication::doubleClickInterval());
}

HICON LoadIconA(HINSTANCE inst, const char* name)
{
    // The program has no icon resources; only the system icons exist.
    std::uintptr_t id = reinterpret_cast<std::uintptr_t>(name);
    if (inst || id != 32512)
        return nullptr;
    static QIcon* app = nullptr;
    if (!app) {
        platform_ensure_application();
        app = new QIcon(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon));
    }
    return app;
}

QIcon icon_of(HICON icon)
{
    return icon ? *static_cast<QIcon*>(icon) : QIcon();
}

HCURSOR LoadCursorA(HINSTANCE inst, const char* name)
{
    std::uintptr_t id = reinterpret_cast<std::uintptr_t>(name);
    if (inst || id > 0xFFFF)
        return nullptr;
    return cursor_rec(int(id));
}

HCURSOR SetCursor(HCURSOR c)
{
    platform_ensure_application();
    HCURSOR old = g_current;
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    auto* rec = static_cast<CursorRec*>(c);
    if (rec && rec->shape != Qt::ArrowCursor)
        QGuiApplication::setOverrideCursor(QCursor(rec->shape));
    g_current = c;
    return old;
}

BOOL IsChild(HWND parent, HWND w)
{
    if (!wnd_valid(parent) || !wnd_valid(w))
        return FALSE;
    for (HWND p = w->parent; wnd_valid(p); p = p->parent)
        if (p == parent)
            return TRUE;
    return FALSE;
}

BOOL SystemParametersInfoA(UINT action, UINT, void* pv, UINT)
{
    if (action != SPI_GETWORKAREA || !pv)
        return FALSE;
    platform_ensure_application();
    RECT r{};
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        QRect a = s->availableGeometry();
        r = RECT{a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
    } else {
        r.right = GetSystemMetrics(SM_CXSCREEN);
        r.bottom = GetSystemMetrics(SM_CYSCREEN);
    }
    *static_cast<RECT*>(pv) = r;
    return TRUE;
}
