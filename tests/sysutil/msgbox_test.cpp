// The message boxes on the real QMessageBox: caption, text, buttons, icon and
// the answers Yes, No, Cancel and closed.
#include "ostrel/sysutil.h"
#include "modal_answer.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the next box by clicking `button` (or closing it when NoButton).
void answer_box(Seen* seen, QMessageBox::StandardButton button)
{
    answer_next_modal([seen, button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->buttons = box->standardButtons();
        if (button == QMessageBox::NoButton)
            box->close();
        else
            box->button(button)->click();
    });
}

TEST(MsgboxInfo, ShowsAnOkBoxWithTheFormattedText)
{
    Seen seen;
    answer_box(&seen, QMessageBox::Ok);
    EXPECT_EQ(msgbox_info("Error", "cannot open %s (%d)", "a.bmp", 2), 1);
    EXPECT_TRUE(modal_seen());
    EXPECT_EQ(seen.title, QStringLiteral("Error"));
    EXPECT_EQ(seen.text, QStringLiteral("cannot open a.bmp (2)"));
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(MsgboxInfo, LongTextIsCutToTheBufferOnWholeCharacters)
{
    Seen seen;
    answer_box(&seen, QMessageBox::Ok);
    std::string longtext(2045, 'x');
    longtext += "がが";
    EXPECT_EQ(msgbox_info("Long", "%s", longtext.c_str()), 1);
    EXPECT_EQ(seen.text.size(), 2045);   // the cut "が" is left out whole
}

TEST(MsgboxYesNo, AnswersOfEachButtonAndOfClosing)
{
    struct Row { QMessageBox::StandardButton button; int answer; };
    for (const Row& r : {Row{QMessageBox::Yes, 1}, Row{QMessageBox::No, 0}, Row{QMessageBox::NoButton, 0}}) {
        Seen seen;
        answer_box(&seen, r.button);
        EXPECT_EQ(msgbox_yesno("Question", "overwrite %s?", "x.dat"), r.answer) << r.button;
        EXPECT_TRUE(modal_seen());
        EXPECT_EQ(seen.title, QStringLiteral("Question"));
        EXPECT_EQ(seen.text, QStringLiteral("overwrite x.dat?"));
        EXPECT_EQ(seen.icon, QMessageBox::Question);
        EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    }
}

TEST(MsgboxYesNoCancel, ButtonCodes)
{
    struct Row { QMessageBox::StandardButton button; int answer; };
    for (const Row& r : {Row{QMessageBox::Yes, 6}, Row{QMessageBox::No, 7}, Row{QMessageBox::Cancel, 2},
                         Row{QMessageBox::NoButton, 2}}) {
        Seen seen;
        answer_box(&seen, r.button);
        EXPECT_EQ(msgbox_yesnocancel("Save", "save changes?"), r.answer) << r.button;
        EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(seen.icon, QMessageBox::Question);
    }
}

} // namespace
