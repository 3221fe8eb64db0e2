// The colour dialog: the initial colour and the custom colours go in, the
// chosen colour comes out on OK; Cancel leaves the colour as it was.
#include "draw_fixture.h"

#include <QApplication>
#include <QColorDialog>
#include <QTimer>
#include "platform/win/window_surface.h"

namespace {
class DrawColour : public DrawTest {};

QString shown_caption;
QWidget* shown_owner = nullptr;

void answer(bool ok, QColor pick = QColor())
{
    shown_caption.clear();
    shown_owner = nullptr;
    QTimer::singleShot(50, [ok, pick] {
        auto* d = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        shown_caption = d->windowTitle();
        shown_owner = d->parentWidget();
        if (pick.isValid()) d->setCurrentColor(pick);
        if (ok) d->accept();
        else d->reject();
    });
}

TEST_F(DrawColour, OkGivesTheChosenColourAndSetsTheCaption)
{
    unsigned int colour = 0x0000FF;
    unsigned int custom[16] = {};
    answer(true, QColor(0, 255, 0));
    EXPECT_EQ(_choosecolor(nullptr, &colour, custom, "Marker"), 1);
    EXPECT_EQ(colour, 0x00FF00u);
    EXPECT_EQ(custom[0], 0x0000FFu);   // entry 0 took the initial colour
    EXPECT_EQ(shown_caption, QStringLiteral("Marker"));
    EXPECT_EQ(shown_owner, nullptr);
}

TEST_F(DrawColour, CancelKeepsTheColour)
{
    unsigned int colour = 0x123456;
    answer(false);
    EXPECT_EQ(_choosecolor(nullptr, &colour, nullptr, nullptr), 0);
    EXPECT_EQ(colour, 0x123456u);
    EXPECT_EQ(_choosecolor(nullptr, nullptr, nullptr, nullptr), 0);
}

TEST_F(DrawColour, PageColourDialogOwnedByThePage)
{
    window_page(1);
    unsigned int colour = 0xFFFFFF;
    answer(true);
    EXPECT_EQ(_choosepagecolor(1, &colour, nullptr, "Page"), 1);
    EXPECT_EQ(colour, 0xFFFFFFu);
    ASSERT_NE(shown_owner, nullptr);
    EXPECT_EQ(shown_owner->window(), platform_window_widget(_pagewindow(1)));
}
}  // namespace
