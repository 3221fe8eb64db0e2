// The modeless Find dialog (FindTextA): "Find what", whole word, match case,
// "Find Next" and "Cancel". Its answers are posted to the owner as the registered
// message "commdlg_FindReplace", so they arrive through the ordinary loops.
#include "platform/win/commdlg.h"
#include "platform/utf8_cut.h"
#include "platform/win/win_internal.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

namespace {

class FindDialog : public QDialog {
public:
    FindDialog(FINDREPLACEA* fr, QWidget* owner) : QDialog(owner, Qt::Dialog), fr(fr)
    {
        setWindowTitle(QStringLiteral("Find"));
        setModal(false);
        auto* what = new QLabel(QStringLiteral("Fi&nd what:"), this);
        edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("findWhat"));
        what->setBuddy(edit);
        if (fr->lpstrFindWhat && fr->wFindWhatLen)
            edit->setText(QString::fromUtf8(fr->lpstrFindWhat, qsizetype(strnlen(fr->lpstrFindWhat, fr->wFindWhatLen))));
        word = new QCheckBox(QStringLiteral("Match &whole word only"), this);
        word->setObjectName(QStringLiteral("wholeWord"));
        word->setChecked(fr->Flags & FR_WHOLEWORD);
        word->setVisible(!(fr->Flags & FR_HIDEWHOLEWORD));
        mcase = new QCheckBox(QStringLiteral("Match &case"), this);
        mcase->setObjectName(QStringLiteral("matchCase"));
        mcase->setChecked(fr->Flags & FR_MATCHCASE);
        mcase->setVisible(!(fr->Flags & FR_HIDEMATCHCASE));
        next = new QPushButton(QStringLiteral("&Find Next"), this);
        next->setObjectName(QStringLiteral("findNext"));
        next->setDefault(true);
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
        cancel->setObjectName(QStringLiteral("cancel"));
        auto* row = new QHBoxLayout;
        row->addWidget(what);
        row->addWidget(edit);
        row->addWidget(next);
        auto* row2 = new QHBoxLayout;
        auto* opts = new QVBoxLayout;
        opts->addWidget(word);
        opts->addWidget(mcase);
        row2->addLayout(opts);
        row2->addStretch();
        row2->addWidget(cancel);
        auto* all = new QVBoxLayout(this);
        all->addLayout(row);
        all->addLayout(row2);
        next->setEnabled(!edit->text().isEmpty());
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { next->setEnabled(!t.isEmpty()); });
        connect(next, &QPushButton::clicked, this, [this] { find_next(); });
        connect(cancel, &QPushButton::clicked, this, [this] { close(); });
    }
    HWND self = nullptr;
    bool ended = false;

    void find_next()
    {
        if (fr->lpstrFindWhat && fr->wFindWhatLen) {
            QByteArray t = edit->text().toUtf8();
            size_t n = utf8_cut(t.constData(), size_t(t.size()), size_t(fr->wFindWhatLen) - 1);
            std::memcpy(fr->lpstrFindWhat, t.constData(), n);
            fr->lpstrFindWhat[n] = 0;
        }
        fr->Flags &= ~(FR_DIALOGTERM | FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL | FR_MATCHCASE | FR_WHOLEWORD);
        fr->Flags |= FR_FINDNEXT | FR_DOWN;
        if (mcase->isChecked()) fr->Flags |= FR_MATCHCASE;
        if (word->isChecked()) fr->Flags |= FR_WHOLEWORD;
        post();
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        terminate();
        QDialog::closeEvent(e);
    }
    void reject() override
    {
        terminate();
        QDialog::reject();
    }

private:
    void terminate()
    {
        if (ended)
            return;
        ended = true;
        fr->Flags &= ~(FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL);
        fr->Flags |= FR_DIALOGTERM;
        post();
        HWND me = self;
        QMetaObject::invokeMethod(this, [me] { DestroyWindow(me); }, Qt::QueuedConnection);
    }
    void post()
    {
        PostMessageA(fr->hwndOwner, RegisterWindowMessageA(FINDMSGSTRINGA), 0, reinterpret_cast<LPARAM>(fr));
    }
    FINDREPLACEA* fr;
    QLineEdit* edit;
    QCheckBox* word;
    QCheckBox* mcase;
    QPushButton* next;
};

} // namespace

HWND FindTextA(FINDREPLACEA* fr)
{
    if (!fr || fr->lStructSize != sizeof(FINDREPLACEA) || !wnd_valid(fr->hwndOwner) || !fr->lpstrFindWhat
        || fr->wFindWhatLen == 0)
        return nullptr;
    platform_ensure_application();
    auto* d = new FindDialog(fr, fr->hwndOwner->frame ? fr->hwndOwner->frame->window() : nullptr);
    d->self = wnd_adopt(d);
    d->show();
    d->raise();
    d->activateWindow();
    return d->self;
}
