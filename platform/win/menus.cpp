// Menus: Win32 menu records (items with command ids, flags and popups) shown
// through QMenuBar and QMenu. A popup may sit in several menu bars (the shared
// Window submenu); each bar renders its own QMenu for it and rebuilds it from the
// record when it opens, right after WM_INITMENUPOPUP went to the bar's window.
// Choosing an item posts WM_COMMAND with its id to that window.
#include "platform/win/win_internal.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <functional>

struct Menu {
    struct Item {
        UINT flags = 0;
        UINT id = 0;
        std::string text;
        HMENU popup = nullptr;
    };
    bool bar = false;
    bool alive = true;
    std::vector<Item> items;
};

namespace {

std::vector<std::unique_ptr<Menu>>& menus()
{
    static std::vector<std::unique_ptr<Menu>> list;
    return list;
}

bool menu_ok(HMENU m)
{
    return m && m->alive;
}

HMENU make(bool bar)
{
    auto m = std::make_unique<Menu>();
    m->bar = bar;
    HMENU h = m.get();
    menus().push_back(std::move(m));
    return h;
}

// The item `item` (by command, searched through popups, or by position).
Menu::Item* find_item(HMENU m, UINT item, UINT flags, HMENU* owner = nullptr, size_t* pos = nullptr)
{
    if (!menu_ok(m))
        return nullptr;
    if (flags & MF_BYPOSITION) {
        if (item >= m->items.size())
            return nullptr;
        if (owner) *owner = m;
        if (pos) *pos = item;
        return &m->items[item];
    }
    for (size_t i = 0; i < m->items.size(); ++i) {
        Menu::Item& it = m->items[i];
        if (it.popup) {
            if (Menu::Item* sub = find_item(it.popup, item, flags, owner, pos))
                return sub;
        } else if (!(it.flags & MF_SEPARATOR) && it.id == item) {
            if (owner) *owner = m;
            if (pos) *pos = i;
            return &it;
        }
    }
    return nullptr;
}

void rebuild(QMenu* qm, HMENU m, HWND owner);

QMenu* render_popup(HMENU sub, HWND owner, QWidget* parent, const QString& title)
{
    auto* qm = new QMenu(title, parent);
    QObject::connect(qm, &QMenu::aboutToShow, qm, [qm, sub, owner] {
        if (!menu_ok(sub))
            return;
        if (wnd_valid(owner)) {
            QtHandlerScope scope;
            // position of the popup in its parent is not tracked: 0
            wnd_call(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), 0);
        }
        rebuild(qm, sub, owner);
    });
    rebuild(qm, sub, owner);
    return qm;
}

void add_items(const std::function<QAction*(const QString&)>& addAction,
               const std::function<void(QMenu*)>& addMenu, const std::function<void()>& addSeparator,
               HMENU m, HWND owner, QWidget* parent)
{
    for (const Menu::Item& it : m->items) {
        QString text = QString::fromUtf8(it.text.c_str());
        if (it.flags & MF_SEPARATOR) {
            addSeparator();
        } else if (it.popup) {
            QMenu* sub = render_popup(it.popup, owner, parent, text);
            sub->setEnabled(!(it.flags & (MF_GRAYED | MF_DISABLED)));
            addMenu(sub);
        } else {
            QAction* a = addAction(text);
            a->setEnabled(!(it.flags & (MF_GRAYED | MF_DISABLED)));
            if (it.flags & MF_CHECKED) {
                a->setCheckable(true);
                a->setChecked(true);
            }
            UINT id = it.id;
            QObject::connect(a, &QAction::triggered, a, [owner, id] {
                if (wnd_valid(owner))
                    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(int(id), 0), 0);
            });
        }
    }
}

void rebuild(QMenu* qm, HMENU m, HWND owner)
{
    // old submenus are children of qm; clear() only drops the actions
    for (QMenu* old : qm->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    qm->clear();
    add_items([qm](const QString& t) { return qm->addAction(t); }, [qm](QMenu* s) { qm->addMenu(s); },
              [qm] { qm->addSeparator(); }, m, owner, qm);
}

void render_bar(HWND w)
{
    if (!wnd_valid(w) || w->kind != WndKind::Frame || !w->frame)
        return;
    if (!w->menuBar) {
        w->menuBar = new QMenuBar(w->frame);
        w->menuBar->setNativeMenuBar(false);
    }
    QMenuBar* bar = w->menuBar;
    for (QMenu* old : bar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    bar->clear();
    if (menu_ok(w->menu))
        add_items([bar](const QString& t) { return bar->addAction(t); }, [bar](QMenu* s) { bar->addMenu(s); },
                  [bar] { bar->addSeparator(); }, w->menu, w, bar);
    wnd_layout(w);
}

void redraw_bars_of(HMENU m)
{
    if (!m || !m->bar)
        return;
    for (HWND w : wnd_all())
        if (w->menu == m)
            render_bar(w);
}

} // namespace

void menu_attach(HWND w, HMENU m)
{
    if (!wnd_valid(w))
        return;
    w->menu = menu_ok(m) ? m : nullptr;
    if (w->menu)
        w->menu->bar = true;
    render_bar(w);
}

HMENU CreateMenu() { return make(true); }
HMENU CreatePopupMenu() { return make(false); }

BOOL DestroyMenu(HMENU m)
{
    if (!menu_ok(m))
        return FALSE;
    m->alive = false;
    for (auto& it : m->items)
        if (it.popup)
            DestroyMenu(it.popup);
    m->items.clear();
    for (HWND w : wnd_all())
        if (w->menu == m)
            menu_attach(w, nullptr);
    return TRUE;
}

BOOL AppendMenuA(HMENU m, UINT flags, std::uintptr_t idOrPopup, const char* text)
{
    if (!menu_ok(m))
        return FALSE;
    Menu::Item it;
    it.flags = flags;
    if (flags & MF_POPUP) {
        HMENU sub = reinterpret_cast<HMENU>(idOrPopup);
        if (!menu_ok(sub) || sub == m)
            return FALSE;
        it.popup = sub;
    } else {
        it.id = UINT(idOrPopup & 0xFFFF);
    }
    if (!(flags & MF_SEPARATOR))
        it.text = text ? text : "";
    m->items.push_back(std::move(it));
    redraw_bars_of(m);
    return TRUE;
}

static BOOL remove_item(HMENU m, UINT item, UINT flags, bool destroy)
{
    HMENU owner = nullptr;
    size_t pos = 0;
    if (!find_item(m, item, flags, &owner, &pos))
        return FALSE;
    HMENU sub = owner->items[pos].popup;
    owner->items.erase(owner->items.begin() + std::ptrdiff_t(pos));
    if (destroy && sub)
        DestroyMenu(sub);
    redraw_bars_of(owner);
    return TRUE;
}

BOOL DeleteMenu(HMENU m, UINT item, UINT flags) { return remove_item(m, item, flags, true); }
BOOL RemoveMenu(HMENU m, UINT item, UINT flags) { return remove_item(m, item, flags, false); }

int GetMenuItemCount(HMENU m)
{
    return menu_ok(m) ? int(m->items.size()) : -1;
}

BOOL EnableMenuItem(HMENU m, UINT item, UINT flags)
{
    Menu::Item* it = find_item(m, item, flags);
    if (!it)
        return -1;
    UINT old = it->flags & (MF_GRAYED | MF_DISABLED);
    it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    redraw_bars_of(m);
    return BOOL(old);
}

DWORD CheckMenuItem(HMENU m, UINT item, UINT flags)
{
    Menu::Item* it = find_item(m, item, flags);
    if (!it)
        return DWORD(-1);
    DWORD old = it->flags & MF_CHECKED;
    it->flags = (it->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
    return old;
}

UINT GetMenuState(HMENU m, UINT item, UINT flags)
{
    Menu::Item* it = find_item(m, item, flags);
    if (!it)
        return UINT(-1);
    UINT s = it->flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR);
    if (it->popup)
        s |= MF_POPUP | (UINT(it->popup->items.size()) << 8);
    return s;
}

BOOL SetMenu(HWND w, HMENU m)
{
    if (!wnd_valid(w) || w->kind != WndKind::Frame || (m && !menu_ok(m)))
        return FALSE;
    menu_attach(w, m);
    return TRUE;
}

HMENU GetMenu(HWND w)
{
    return wnd_valid(w) ? w->menu : nullptr;
}

BOOL DrawMenuBar(HWND w)
{
    if (!wnd_valid(w))
        return FALSE;
    render_bar(w);
    return TRUE;
}

int GetMenuStringA(HMENU m, UINT item, char* buf, int max, UINT flags)
{
    Menu::Item* it = find_item(m, item, flags);
    if (!it || !buf || max <= 0)
        return 0;
    int n = std::min<int>(int(it->text.size()), max - 1);
    std::copy_n(it->text.data(), n, buf);
    buf[n] = 0;
    return n;
}

UINT GetMenuItemID(HMENU m, int pos)
{
    if (!menu_ok(m) || pos < 0 || size_t(pos) >= m->items.size())
        return UINT(-1);
    const Menu::Item& it = m->items[size_t(pos)];
    return it.popup ? UINT(-1) : it.id;
}

HMENU GetSubMenu(HMENU m, int pos)
{
    if (!menu_ok(m) || pos < 0 || size_t(pos) >= m->items.size())
        return nullptr;
    return m->items[size_t(pos)].popup;
}
