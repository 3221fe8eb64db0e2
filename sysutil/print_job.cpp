// The print job: the Qt print dialog chooses a printer (or a PDF file), and
// the job's device context comes from GDI on that printer. The record owns the
// printer until print_end.
#include "ostrel/sysutil.h"
#include "sysutil/hooks_internal.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"

#include <QPrintDialog>
#include <QPrinter>

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

    auto* printer = new QPrinter(QPrinter::HighResolution);
    QPrintDialog dlg(printer, sysutil_owner_widget(pd->hwndOwner));
    if (dlg.exec() != QDialog::Accepted) {
        delete printer;
        return 0;
    }
    printer->setDocName(QString::fromUtf8(document_name ? document_name : ""));
    HDC dc = gdi_create_device_dc(printer, pd->hwndOwner);
    if (!dc) {
        delete printer;
        return 0;
    }
    DOCINFOA di{};
    di.cbSize = 20;   // the size the job was written for
    di.lpszDocName = document_name;
    di.lpszOutput = nullptr;
    if (StartDocA(dc, &di) <= 0) {
        DeleteDC(dc);
        delete printer;
        return 0;
    }
    pd->hDevMode = printer;
    pd->hDC = dc;
    return 1;
}

void print_end(PrintDlgRecord* pd)
{
    if (!pd)
        return;
    if (pd->hDC) {
        EndDoc(pd->hDC);
        DeleteDC(pd->hDC);
        pd->hDC = nullptr;
    }
    delete static_cast<QPrinter*>(pd->hDevMode);
    pd->hDevMode = nullptr;
    pd->hDevNames = nullptr;
}
