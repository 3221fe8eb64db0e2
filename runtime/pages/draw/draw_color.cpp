// The colour dialog: the initial colour, 16 custom colours (the runtime's own
// when the program gives none; entry 0 is set to the initial colour), an
// optional caption. 1 and the chosen colour when the user confirms, else 0.
#include "runtime/pages/draw/draw_state.h"

#include "ostrel/pages.h"
#include "platform/win/window_surface.h"

#include <QColorDialog>

namespace {
unsigned int own_custom[16] = {};

QColor qcolor(unsigned int c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }
unsigned int colorref(const QColor& c)
{
    return unsigned(c.red()) | (unsigned(c.green()) << 8) | (unsigned(c.blue()) << 16);
}
}  // namespace

int _choosecolor(HWND owner, unsigned int* colour, unsigned int* custom, const char* title)
{
    if (!colour) return 0;
    unsigned int* cust = custom ? custom : own_custom;
    cust[0] = *colour & 0xFFFFFF;
    for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) QColorDialog::setCustomColor(i, qcolor(cust[i]));
    QColorDialog dialog(qcolor(*colour), owner ? platform_window_widget(owner) : nullptr);
    if (title) dialog.setWindowTitle(QString::fromUtf8(title));
    if (dialog.exec() != QDialog::Accepted) return 0;
    for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) cust[i] = colorref(QColorDialog::customColor(i));
    *colour = colorref(dialog.selectedColor());
    return 1;
}

int _choosepagecolor(int page, unsigned int* colour, unsigned int* custom, const char* title)
{
    return _choosecolor(_pagewindow(page), colour, custom, title);
}
