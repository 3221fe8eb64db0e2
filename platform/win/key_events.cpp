// Keys: Qt key codes to virtual keys, and the original key events kept until the
// default handling of their message hands them to the widget (so that a waiting
// loop can take a key out of the queue before the widget sees it).
#include "platform/win/win_internal.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <deque>

namespace {

struct Kept {
    std::uint32_t serial;
    std::unique_ptr<QKeyEvent> event;
    QPointer<QObject> target;
};

std::deque<Kept>& kept()
{
    static std::deque<Kept> k;
    return k;
}

std::uint32_t g_next = 1;
const QEvent* g_passing = nullptr;

// Messages that are never dispatched leave their event behind; keep only the
// most recent ones.
constexpr size_t MAX_KEPT = 1024;

Kept* find(std::uint32_t serial)
{
    for (auto& k : kept())
        if (k.serial == serial)
            return &k;
    return nullptr;
}

} // namespace

std::uint32_t key_keep(const QKeyEvent& e, QObject* target)
{
    std::uint32_t s = g_next;
    g_next = (g_next + 1) & 0x7FFFFFFFu;
    if (!g_next)
        g_next = 1;
    kept().push_back(Kept{s, std::unique_ptr<QKeyEvent>(static_cast<QKeyEvent*>(e.clone())), target});
    while (kept().size() > MAX_KEPT)
        kept().pop_front();
    return s;
}

bool key_deliver(std::uint32_t serial)
{
    auto& k = kept();
    for (auto it = k.begin(); it != k.end(); ++it) {
        if (it->serial != serial)
            continue;
        Kept item = std::move(*it);
        k.erase(it);
        if (!item.target)
            return false;
        const QEvent* outer = g_passing;
        g_passing = item.event.get();
        QCoreApplication::sendEvent(item.target, item.event.get());
        g_passing = outer;
        return true;
    }
    return false;
}

Qt::KeyboardModifiers key_modifiers(std::uint32_t serial)
{
    if (Kept* k = find(serial))
        return k->event->modifiers();
    return Qt::NoModifier;
}

bool key_passing(const QEvent* e)
{
    return e && e == g_passing;
}

int key_vk(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Minus: return VK_OEM_MINUS;
    case Qt::Key_Period: return VK_OEM_PERIOD;
    case Qt::Key_Slash: return VK_OEM_2;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    default: return 0;
    }
}
