// Print jobs on device contexts made over a paint device (a QPrinter, or any
// device standing in for one): StartDoc names the job and opens the painter, EndPage/StartPage
// move to a new sheet, EndDoc finishes the job.
#include "platform/gdi/gdi_internal.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>

namespace {
bool device_dc(HDC dc) { return gdi_valid_dc(dc) && dc->kind == DeviceContext::Device && dc->device; }
}  // namespace

int StartDocA(HDC dc, const DOCINFOA* di)
{
    if (!device_dc(dc) || dc->docStarted) return 0;
    // the job's name, as the print queue and a PDF file's title show it
    if (auto* printer = dynamic_cast<QPrinter*>(dc->device); printer && di && di->lpszDocName)
        printer->setDocName(QString::fromUtf8(di->lpszDocName));
    if (!dc->painter) {
        dc->painter = new QPainter;
        if (!dc->painter->begin(dc->device)) {
            delete dc->painter;
            dc->painter = nullptr;
            return 0;
        }
    }
    dc->docStarted = true;
    dc->pagesDone = false;
    return 1;
}

int StartPage(HDC dc)
{
    if (!device_dc(dc) || !dc->docStarted) return 0;
    if (dc->pagesDone) {
        // a sheet after the first: the device turns the page
        if (auto* paged = dynamic_cast<QPagedPaintDevice*>(dc->device)) paged->newPage();
    }
    dc->pageOpen = true;
    return 1;
}

int EndPage(HDC dc)
{
    if (!device_dc(dc) || !dc->docStarted) return 0;
    dc->pageOpen = false;
    dc->pagesDone = true;
    return 1;
}

int EndDoc(HDC dc)
{
    if (!device_dc(dc) || !dc->docStarted) return 0;
    dc->docStarted = false;
    if (dc->painter) {
        dc->painter->end();
        delete dc->painter;
        dc->painter = nullptr;
    }
    return 1;
}

int AbortDoc(HDC dc) { return EndDoc(dc); }
