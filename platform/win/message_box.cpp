// MessageBoxA on a modal QMessageBox: caption, text, buttons and icon from the MB_
// flags, results as IDOK/IDCANCEL/IDYES/IDNO.
//
// Closing the box (title-bar close or Escape): a box with a Cancel button answers
// IDCANCEL, a plain OK box IDOK, and a Yes/No box (which Windows does not let the
// user close at all) IDNO, the safe "don't do it" answer.
#include "platform/win/winuser.h"
#include "platform/win/win_internal.h"
#include "platform/win/window_surface.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type)
{
    platform_ensure_application();
    QMessageBox box(platform_window_widget(owner));
    box.setWindowTitle(QString::fromUtf8(caption ? caption : "Error"));
    box.setText(QString::fromUtf8(text ? text : ""));
    switch (type & 0xF0) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    struct Choice { QMessageBox::StandardButton button; int id; };
    Choice choices[3];
    int n = 0;
    int onClose = IDOK;
    switch (type & 0x0F) {
    case MB_OKCANCEL:
        choices[n++] = {QMessageBox::Ok, IDOK};
        choices[n++] = {QMessageBox::Cancel, IDCANCEL};
        onClose = IDCANCEL;
        break;
    case MB_YESNOCANCEL:
        choices[n++] = {QMessageBox::Yes, IDYES};
        choices[n++] = {QMessageBox::No, IDNO};
        choices[n++] = {QMessageBox::Cancel, IDCANCEL};
        onClose = IDCANCEL;
        break;
    case MB_YESNO:
        choices[n++] = {QMessageBox::Yes, IDYES};
        choices[n++] = {QMessageBox::No, IDNO};
        onClose = IDNO;
        break;
    case 0x0005: // MB_RETRYCANCEL
        choices[n++] = {QMessageBox::Retry, IDRETRY};
        choices[n++] = {QMessageBox::Cancel, IDCANCEL};
        onClose = IDCANCEL;
        break;
    default:
        choices[n++] = {QMessageBox::Ok, IDOK};
        break;
    }
    QMessageBox::StandardButtons buttons;
    for (int i = 0; i < n; ++i)
        buttons |= choices[i].button;
    box.setStandardButtons(buttons);
    box.setDefaultButton(choices[0].button);
    if (type & (MB_TOPMOST | MB_SYSTEMMODAL))
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (int i = 0; i < n; ++i)
        if (clicked && clicked == box.button(choices[i].button))
            return choices[i].id;
    return onClose;
}
