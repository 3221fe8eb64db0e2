// Files dropped on the console or a page: while main runs, the first path
// replaces the command line; afterwards every path goes to the drop hook.
#include "ostrel/pages.h"
#include "runtime/console/console_state.h"
#include "runtime/pages/page_record.h"

#include <cstdlib>
#include <vector>

int _takedroppedfile(HDROP drop, char* buf)
{
    if (!buf)
        return 0;
    buf[0] = 0;
    return int(DragQueryFileA(drop, 0, buf, 260));
}

void _passdroppedfiles(int page, HDROP drop)
{
    UINT n = DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0);
    std::vector<char*> files;
    files.reserve(n);
    for (UINT i = 0; i < n; ++i) {
        char* f = static_cast<char*>(std::calloc(260, 1));
        if (!f)
            break;
        DragQueryFileA(drop, i, f, 260);
        files.push_back(f);
    }
    DragFinish(drop);
    if (cs().drop_hook && !files.empty())
        cs().drop_hook(page, int(files.size()), files.data());
    for (char* f : files)
        std::free(f);
}

void _routedrop(int page, HDROP drop)
{
    ConsoleState& s = cs();
    if (!s.main_returned) {
        _takedroppedfile(drop, s.cmdline);
        DragFinish(drop);
        s.dropped_flag = 1;
        return;
    }
    HWND target = page == 0 ? s.console : (_pagerecord(page) ? _pagerecord(page)->hwnd : nullptr);
    if (s.drop_hook && IsWindowVisible(target)) {
        _passdroppedfiles(page, drop);
        return;
    }
    DragFinish(drop);   // nobody wants it: released at once
}
