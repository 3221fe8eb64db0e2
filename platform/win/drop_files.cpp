// Dropped files: the HDROP of WM_DROPFILES, DragQueryFileA and DragFinish.
#include "platform/win/win_internal.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {
std::unordered_set<HDROP>& live()
{
    static std::unordered_set<HDROP> s;
    return s;
}
} // namespace

HDROP drop_make(std::vector<std::string> files, POINT pt)
{
    auto* d = new DropInfo{std::move(files), pt};
    live().insert(d);
    return d;
}

void DragAcceptFiles(HWND w, BOOL accept)
{
    if (!wnd_valid(w) || !w->frame)
        return;
    QWidget* top = w->frame->window();
    top->setAcceptDrops(accept != 0);
    if (accept)
        w->exStyle |= WS_EX_ACCEPTFILES;
    else
        w->exStyle &= ~WS_EX_ACCEPTFILES;
}

UINT DragQueryFileA(HDROP drop, UINT index, char* buf, UINT max)
{
    if (!drop || !live().count(drop))
        return 0;
    if (index == 0xFFFFFFFFu)
        return UINT(drop->files.size());
    if (index >= drop->files.size())
        return 0;
    const std::string& f = drop->files[index];
    if (!buf)
        return UINT(f.size());
    if (max == 0)
        return 0;
    size_t n = std::min<size_t>(f.size(), size_t(max) - 1);
    std::memcpy(buf, f.data(), n);
    buf[n] = 0;
    return UINT(n);
}

void DragFinish(HDROP drop)
{
    if (!drop || !live().erase(drop))
        return;
    delete drop;
}
