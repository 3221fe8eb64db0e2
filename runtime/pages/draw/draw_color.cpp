// The colour dialog: the initial colour, 16 custom colours (the runtime's own
// when the program gives none; entry 0 is set to the initial colour), an
// optional caption. 1 and the chosen colour when the user confirms, else 0.
#include "runtime/pages/draw/draw_state.h"

#include "ostrel/pages.h"
#include "platform/win/commdlg.h"

namespace {
unsigned int own_custom[16] = {};

// Gives the dialog the program's caption before it shows.
std::uintptr_t set_caption(HWND dialog, UINT message, WPARAM, LPARAM lp)
{
    if (message == WM_INITDIALOG) {
        const auto* cc = reinterpret_cast<const CHOOSECOLORA*>(lp);
        SetWindowTextA(dialog, reinterpret_cast<const char*>(cc->lCustData));
    }
    return 0;
}
}  // namespace

int _choosecolor(HWND owner, unsigned int* colour, unsigned int* custom, const char* title)
{
    if (!colour) return 0;
    unsigned int* cust = custom ? custom : own_custom;
    cust[0] = *colour & 0xFFFFFF;
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = *colour;
    cc.lpCustColors = cust;
    cc.Flags = CC_RGBINIT;
    if (title) {
        cc.Flags |= CC_ENABLEHOOK;
        cc.lpfnHook = set_caption;
        cc.lCustData = reinterpret_cast<LPARAM>(title);
    }
    if (!ChooseColorA(&cc)) return 0;
    *colour = cc.rgbResult;
    return 1;
}

int _choosepagecolor(int page, unsigned int* colour, unsigned int* custom, const char* title)
{
    return _choosecolor(_pagewindow(page), colour, custom, title);
}
