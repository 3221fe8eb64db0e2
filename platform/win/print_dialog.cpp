// PrintDlgA on Qt's print dialog: the chosen printer (or PDF file) comes back as
// a device context that owns it, so one dialog serves the pages and the utility
// library's print job alike.
#include "platform/gdi/gdi_surface.h"
#include "platform/win/commdlg.h"
#include "platform/win/win_internal.h"
#include "platform/win/window_surface.h"

#include <QPrintDialog>
#include <QPrinter>

BOOL PrintDlgA(PRINTDLGA* pd)
{
    if (!pd || pd->lStructSize != sizeof(PRINTDLGA))
        return FALSE;
    platform_ensure_application();
    auto* printer = new QPrinter(QPrinter::HighResolution);
    QPrintDialog dialog(printer, wnd_valid(pd->hwndOwner) ? platform_window_widget(pd->hwndOwner) : nullptr);
    if (dialog.exec() != QDialog::Accepted) {
        delete printer;
        return FALSE;
    }
    HDC dc = gdi_create_device_dc(printer, pd->hwndOwner);
    if (!dc) {
        delete printer;
        return FALSE;
    }
    gdi_own_device(dc);
    pd->hDC = dc;
    pd->hDevMode = printer;
    pd->hDevNames = nullptr;
    return TRUE;
}
