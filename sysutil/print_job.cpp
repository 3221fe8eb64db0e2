// The print job: the platform's print dialog chooses a printer (or a PDF file)
// and hands back the job's device context, which owns the printer until
// print_end deletes it.
#include "ostrel/sysutil.h"
#include "sysutil/hooks_internal.h"
#include "platform/gdi/wingdi.h"
#include "platform/win/commdlg.h"

#include <cstring>

int print_begin(PrintDlgRecord* pd, const char* document_name)
{
    if (!pd)
        return 0;
    std::memset(pd, 0, sizeof *pd);
    pd->lStructSize = sizeof *pd;
    pd->Flags = PD_RETURNDC;
    pd->hwndOwner = get_owner_window();
    if (!sysutil_can_show_dialogs())
        return 0;

    PRINTDLGA dlg{};
    dlg.lStructSize = sizeof dlg;
    dlg.hwndOwner = pd->hwndOwner;
    if (!PrintDlgA(&dlg))
        return 0;
    HDC dc = dlg.hDC;   // owns the printer
    DOCINFOA di{};
    di.cbSize = 20;   // the size the job was written for
    di.lpszDocName = document_name;
    di.lpszOutput = nullptr;
    if (StartDocA(dc, &di) <= 0) {
        DeleteDC(dc);
        return 0;
    }
    pd->hDevMode = dlg.hDevMode;
    pd->hDC = dc;
    return 1;
}

void print_end(PrintDlgRecord* pd)
{
    if (!pd)
        return;
    if (pd->hDC) {
        EndDoc(pd->hDC);
        DeleteDC(pd->hDC);   // and with it the printer
        pd->hDC = nullptr;
    }
    pd->hDevMode = nullptr;
    pd->hDevNames = nullptr;
}
