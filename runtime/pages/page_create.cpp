// Making window pages and full-screen pages: their window classes, windows,
// canvas child, size and first selection.
#include "runtime/pages/page_internal.h"
#include "platform/utf8_cut.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int page_class_counter = 0;

// The one class of full-screen pages, registered again for another colour.
struct {
    char name[32];
    int counter;
    HBRUSH brush;
    COLORREF colour;
    bool registered;
} fullscreen_class{};

// Full-screen classes whose windows were still up when another colour was asked for.
struct RetiredClass {
    std::string name;
    HBRUSH brush;
};
std::vector<RetiredClass> retired_classes;

void retry_retired_classes()
{
    for (auto it = retired_classes.begin(); it != retired_classes.end();) {
        if (UnregisterClassA(it->name.c_str(), page_instance())) {
            DeleteObject(it->brush);
            it = retired_classes.erase(it);
        } else {
            ++it;
        }
    }
}

HICON page_icon()
{
    HICON icon = LoadIconA(page_instance(), MAKEINTRESOURCEA(101));
    return icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

// Copies at most `max` bytes of `text`, never cutting a UTF-8 sequence.
void copy_title(char* out, std::size_t max, const char* text)
{
    std::size_t n = utf8_cut(text, std::strlen(text), max);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

} // namespace

void page_register_class(COLORREF colour, char* name, int size)
{
    HBRUSH brush = CreateSolidBrush(colour);
    ++page_class_counter;
    std::snprintf(name, std::size_t(size), "OST%d", page_class_counter);
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = page_window_proc;
    wc.hInstance = page_instance();
    wc.hIcon = page_icon();
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = brush;
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

void page_make_current_new(_page* pg)
{
    if (page_current()) {
        _setpage(pg->number, 0);
    } else {
        page_set_current(pg);
        pg->dc = CreateMetaFileA(nullptr);
        init_CurWnd();
        if (pg->dc)
            _select_drawing_objects(pg->dc);
    }
}

int _newpage(int page, const char* title, double x, double y, double w, double h,
             int flags, unsigned int style)
{
    _page* pg = page_allocate_slot(page);
    if (!pg)
        return 0;
    pg->kind = PAGE_WINDOW;
    pg->x0 = pg->y0 = 0.0;

    char text[264];
    if (title && *title)
        copy_title(text, 263, title);
    else
        std::snprintf(text, sizeof text, "- %d -", page);

    char cls[32];
    page_register_class(_defaultpagecolor(), cls, sizeof cls);

    HMENU menu = _pagemenu(flags & PAGE_NOMENU);

    DWORD ex, st;
    HWND owner;
    if (!(flags & PAGE_NOOWNER)) {
        ex = WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE;
        st = style | WS_OVERLAPPEDWINDOW;
        owner = page_console_window();
    } else if (!(flags & PAGE_CANVAS)) {
        ex = WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE;
        st = style | WS_OVERLAPPEDWINDOW;
        owner = nullptr;
    } else {
        ex = WS_EX_WINDOWEDGE;
        st = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        owner = nullptr;
    }
    int aw = page_trunc(w), ah = page_trunc(h);
    aw = aw < 0 ? (aw == INT_MIN ? INT_MAX : -aw) : aw;
    ah = ah < 0 ? (ah == INT_MIN ? INT_MAX : -ah) : ah;
    pg->hwnd = CreateWindowExA(ex, cls, text, st, page_trunc(x), page_trunc(y), aw, ah,
                               owner, menu, page_instance(), nullptr);

    pg->canvas = nullptr;
    if (pg->hwnd && (flags & PAGE_CANVAS)) {
        pg->canvas_style = style | WS_CHILD | WS_VISIBLE | WS_VSCROLL;
        RECT rc{};
        GetClientRect(pg->hwnd, &rc);
        pg->canvas = CreateWindowExA(WS_EX_CLIENTEDGE, cls, "", pg->canvas_style, 0, 0,
                                     rc.right - rc.left, rc.bottom - rc.top, pg->hwnd,
                                     nullptr, page_instance(), nullptr);
    }
    pg->status = nullptr;

    if (!pg->hwnd) {
        if (menu)
            DestroyMenu(menu);
        page_set_slot(page, nullptr);
        delete pg;
        _fatalerror("_newpage", "failed to CreateWindow");
        return 0;
    }
    DragAcceptFiles(pg->hwnd, TRUE);
    if (page_size_rule(pg->hwnd, w, h))
        page_size_rule(pg->hwnd, w, h);
    if (!(flags & PAGE_HIDDEN))
        ShowWindow(pg->hwnd, SW_SHOWNOACTIVATE);

    page_make_current_new(pg);
    pg->bkcolor = _defaultpagecolor();
    _reset_drawing_state();
    return 1;
}

int _newfullscreen(int page, unsigned int colour, unsigned int style)
{
    _page* pg = page_allocate_slot(page);
    if (!pg)
        return 0;
    pg->kind = PAGE_FULLSCREEN;
    pg->x0 = pg->y0 = 0.0;

    auto& fc = fullscreen_class;
    retry_retired_classes();
    if (fc.registered && fc.colour != colour) {
        if (UnregisterClassA(fc.name, page_instance())) {
            if (!DeleteObject(fc.brush))
                _fatalerror("_newpage", "failed to delete solid brush object.");
        } else if (_countpages(PAGE_FULLSCREEN) > 1) {
            // Full-screen pages of the old colour still show: the class cannot go
            // while they use it, and that is no failure. It is retired instead
            // and removed once its windows are gone.
            retired_classes.push_back({fc.name, fc.brush});
        } else {
            _fatalerror("_newpage", "failed to unregister class.");
        }
        fc.brush = nullptr;
        fc.registered = false;
    }
    if (!fc.registered) {
        std::snprintf(fc.name, sizeof fc.name, "ostfscrn%d", fc.counter);
        fc.brush = CreateSolidBrush(colour);
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = page_window_proc;
        wc.hInstance = page_instance();
        wc.hIcon = page_icon();
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = fc.brush;
        wc.lpszClassName = fc.name;
        RegisterClassA(&wc);
        fc.colour = colour;
        fc.registered = true;
        ++fc.counter;
    }

    // On Windows a maximised topmost child of the desktop covers the screen. The
    // desktop here is no window: a frameless topmost window of the screen's size
    // at (0, 0) is the same thing.
    pg->hwnd = CreateWindowExA(WS_EX_TOPMOST, fc.name, "",
                               (style & ~DWORD(WS_CHILD)) | WS_POPUP | WS_VISIBLE | WS_MAXIMIZE, 0, 0,
                               GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                               nullptr, nullptr, page_instance(), nullptr);
    pg->bkcolor = colour;
    pg->canvas = nullptr;
    pg->status = nullptr;
    if (!pg->hwnd) {
        page_set_slot(page, nullptr);
        delete pg;
        _fatalerror("_newpage", "failed to CreateWindow");
        return 0;
    }
    page_make_current_new(pg);
    _reset_drawing_state();
    return 1;
}
