// Accelerator tables and TranslateAcceleratorA: a key-down message matching an
// entry (virtual key and exact Shift/Ctrl/Alt state, or a character) becomes
// WM_COMMAND with the entry's id, sent to the given window; the key's character
// message is taken out of the queue, as it would never have been made.
#include "platform/win/win_internal.h"

#include <QGuiApplication>
#include <QKeyEvent>

struct AccelTable {
    std::vector<ACCEL> entries;
    bool alive = true;
};

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count)
{
    if (!entries || count <= 0 || count > 32767)
        return nullptr;
    auto* t = new AccelTable;
    t->entries.assign(entries, entries + count);
    return t;
}

BOOL DestroyAcceleratorTable(HACCEL a)
{
    if (!a || !a->alive)
        return FALSE;
    // Tables are kept (marked dead) so that a stale handle stays harmless.
    a->alive = false;
    a->entries.clear();
    return TRUE;
}

int TranslateAcceleratorA(HWND w, HACCEL a, MSG* msg)
{
    if (!a || !a->alive || !msg || !wnd_valid(w))
        return 0;
    bool keydown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    bool ch = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
    if (!keydown && !ch)
        return 0;
    std::uint32_t serial = key_serial(msg->lParam);
    Qt::KeyboardModifiers mods = serial ? key_modifiers(serial) : QGuiApplication::keyboardModifiers();
    bool shift = mods & Qt::ShiftModifier, ctrl = mods & Qt::ControlModifier, alt = mods & Qt::AltModifier;
    for (const ACCEL& e : a->entries) {
        bool match = false;
        if (e.fVirt & FVIRTKEY) {
            match = keydown && msg->wParam == e.key && shift == bool(e.fVirt & FSHIFT)
                    && ctrl == bool(e.fVirt & FCONTROL) && alt == bool(e.fVirt & FALT);
        } else {
            match = ch && msg->wParam == e.key && alt == bool(e.fVirt & FALT);
        }
        if (!match)
            continue;
        if (keydown)
            queue_drop_char_of(serial);
        SendMessageA(w, WM_COMMAND, MAKEWPARAM(e.cmd, 1), 0);
        return 1;
    }
    return 0;
}
