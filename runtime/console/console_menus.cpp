// Menus of the console and of pages, the Window menu (console and ordinary pages,
// rebuilt whenever it opens) and the Edit menu's enabled and checked states.
#include "ostrel/pages.h"
#include "runtime/console/console_state.h"
#include "runtime/pages/page_record.h"

#include <cstdio>

namespace {

bool ordinary(const _page* pg)
{
    return pg && pg->kind == PAGE_WINDOW && IsWindow(pg->hwnd);
}

bool any_ordinary_page()
{
    for (int i = 1; i < OSTREL_PAGES; ++i)
        if (ordinary(_pagerecord(i)))
            return true;
    return false;
}

void fill_edit(HMENU edit)
{
    _menuitem(edit, IDM_UNDO, "&Undo", 0);
    _menuseparator(edit);
    _menuitem(edit, IDM_CUT, "Cu&t \t Ctrl+X", 0);
    _menuitem(edit, IDM_COPY, "&Copy \t Ctrl+C", 0);
    _menuitem(edit, IDM_PASTE, "&Paste \t Ctrl+V", 0);
    _menuitem(edit, IDM_CLEARALL, "Clea&r All", 0);
    _menuitem(edit, IDM_SELECTALL, "Select &All \t Ctrl+A", 0);
    _menuseparator(edit);
    _menuitem(edit, IDM_FIND, "&Find \t F3", 0);
    _menuseparator(edit);
    _menuitem(edit, IDM_FONTBIG, "font &Big", 0);
    _menuitem(edit, IDM_FONTNORMAL, "font &Normal", MF_CHECKED);
    _menuitem(edit, IDM_FONTSMALL, "font &Small", 0);
}

void refresh_window_menu(HMENU sub)
{
    while (GetMenuItemCount(sub) > 0)
        DeleteMenu(sub, 0, MF_BYPOSITION);
    int index = 0;
    char text[600];
    if (IsWindowVisible(cs().console)) {
        char title[257];
        GetWindowTextA(cs().console, title, 257);
        std::snprintf(text, sizeof text, "&W console \t- %s ", title);
        _menuitem(sub, IDM_WINDOW + index, text, 0);
        ++index;
        if (any_ordinary_page())
            _menuseparator(sub);
    }
    for (int i = 1; i < OSTREL_PAGES && IDM_WINDOW + index <= 0xFFFF; ++i) {
        const _page* pg = _pagerecord(i);
        if (!ordinary(pg))
            continue;
        char title[257];
        GetWindowTextA(pg->hwnd, title, 257);
        std::snprintf(text, sizeof text, "&%d page %d \t- %s", index, i, title);
        _menuitem(sub, IDM_WINDOW + index, text, 0);
        ++index;
    }
}

void refresh_edit_menu(HMENU sub)
{
    HWND t = cs().text;
    _enablemenuitem(sub, IDM_PASTE, SendMessageA(t, EM_CANPASTE, 0, 0) != 0);
    _enablemenuitem(sub, IDM_UNDO, SendMessageA(t, EM_CANUNDO, 0, 0) != 0);
    CHARRANGE r{0, 0};
    SendMessageA(t, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    _enablemenuitem(sub, IDM_COPY, r.cpMax != r.cpMin);
    _checkmenuitem(sub, IDM_FONTBIG, 0);
    _checkmenuitem(sub, IDM_FONTNORMAL, 0);
    _checkmenuitem(sub, IDM_FONTSMALL, 0);
    LONG in = console_input_format.yHeight, out = console_output_format.yHeight;
    if (in == 270 && out == 270)
        _checkmenuitem(sub, IDM_FONTBIG, 1);
    else if (in == 225 && out == 225)
        _checkmenuitem(sub, IDM_FONTNORMAL, 1);
    else if (in == 180 && out == 180)
        _checkmenuitem(sub, IDM_FONTSMALL, 1);
}

} // namespace

int _menuitem(HMENU menu, int id, const char* text, UINT flags)
{
    return AppendMenuA(menu, MF_STRING | flags, std::uintptr_t(id & 0xFFFF), text);
}

int _menupopup(HMENU menu, HMENU sub, const char* text, UINT flags)
{
    return AppendMenuA(menu, MF_POPUP | flags, reinterpret_cast<std::uintptr_t>(sub), text);
}

int _menuseparator(HMENU menu)
{
    return AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
}

int _enablemenuitem(HMENU menu, int id, int on)
{
    return EnableMenuItem(menu, UINT(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)) != -1;
}

int _checkmenuitem(HMENU menu, int id, int on)
{
    return CheckMenuItem(menu, UINT(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)) != DWORD(-1);
}

HMENU _consolemenu()
{
    ConsoleState& s = cs();
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    _menuitem(file, IDM_EXIT, "E&xit", 0);
    if (GetMenuItemCount(s.edit_sub) == 0)
        fill_edit(s.edit_sub);
    if (GetMenuItemCount(s.window_sub) == 0)
        _menuitem(s.window_sub, IDM_WINDOW, "&Window", 0);
    HMENU help = CreatePopupMenu();
    _menuitem(help, IDM_HELP, "&Help", 0);
    _menupopup(bar, file, "&File", 0);
    _menupopup(bar, s.edit_sub, "&Edit", 0);
    _menupopup(bar, s.window_sub, "&Window", 0);
    _menupopup(bar, help, "&Help", 0);
    return bar;
}

HMENU _pagemenu(int flag)
{
    HMENU bar = CreateMenu();
    if (flag)
        return bar;
    HMENU file = CreatePopupMenu();
    _menuitem(file, IDM_PRINT, "&Print", 0);
    _menuseparator(file);
    _menuitem(file, IDM_EXIT, "E&xit", 0);
    HMENU edit = CreatePopupMenu();
    _menuitem(edit, IDM_COPY, "&Copy", 0);
    HMENU help = CreatePopupMenu();
    _menuitem(help, IDM_HELP, "&Help", 0);
    if (GetMenuItemCount(cs().window_sub) == 0)
        _menuitem(cs().window_sub, IDM_WINDOW, "&Window", 0);
    _menupopup(bar, file, "&File", 0);
    _menupopup(bar, edit, "&Edit", 0);
    _menupopup(bar, cs().window_sub, "&Window", 0);
    _menupopup(bar, help, "&Help", 0);
    return bar;
}

void _windowmenu(HMENU sub)
{
    if (!sub)
        return;
    if (sub == cs().window_sub)
        refresh_window_menu(sub);
    else if (sub == cs().edit_sub)
        refresh_edit_menu(sub);
}

void _activatewindow(int n)
{
    bool visible = IsWindowVisible(cs().console);
    if (visible && n == 0) {
        SetFocus(cs().text);
        return;
    }
    int index = visible ? 1 : 0;
    for (int i = 1; i < OSTREL_PAGES; ++i) {
        const _page* pg = _pagerecord(i);
        if (!ordinary(pg))
            continue;
        if (index == n) {
            ShowWindow(pg->hwnd, SW_SHOWNORMAL);
            SetFocus(pg->hwnd);
            return;
        }
        ++index;
    }
}
