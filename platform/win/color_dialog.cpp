// ChooseColorA on Qt's colour dialog: the initial colour, the 16 custom colours
// in and out, and the WM_INITDIALOG hook through which a program sets the caption.
#include "platform/win/commdlg.h"
#include "platform/win/win_internal.h"
#include "platform/win/window_surface.h"

#include <QColorDialog>

namespace {
QColor qcolor(COLORREF c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }
COLORREF colorref(const QColor& c)
{
    return COLORREF(unsigned(c.red()) | (unsigned(c.green()) << 8) | (unsigned(c.blue()) << 16));
}
}  // namespace

BOOL ChooseColorA(CHOOSECOLORA* cc)
{
    if (!cc || cc->lStructSize != sizeof(CHOOSECOLORA) || !cc->lpCustColors)
        return FALSE;
    platform_ensure_application();
    COLORREF* cust = cc->lpCustColors;
    for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, qcolor(cust[i]));
    QWidget* parent = wnd_valid(cc->hwndOwner) ? platform_window_widget(cc->hwndOwner) : nullptr;
    auto* dialog = new QColorDialog(qcolor((cc->Flags & CC_RGBINIT) ? cc->rgbResult : 0), parent);
    HWND self = nullptr;
    if ((cc->Flags & CC_ENABLEHOOK) && cc->lpfnHook) {
        self = wnd_adopt(dialog);
        cc->lpfnHook(self, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(cc));
    }
    const bool ok = dialog->exec() == QDialog::Accepted;
    if (ok) {
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i)
            cust[i] = colorref(QColorDialog::customColor(i));
        cc->rgbResult = colorref(dialog->selectedColor());
    }
    if (self)
        DestroyWindow(self);
    else
        delete dialog;
    return ok ? TRUE : FALSE;
}
