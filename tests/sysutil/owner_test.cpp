// The owner window parents the boxes and dialogs; an owner given to a dialog
// wins over it.
#include "ostrel/sysutil.h"
#include "modal_answer.h"
#include "platform/win/winuser.h"
#include "platform/win/window_surface.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

HWND make_window(const char* title)
{
    static const WNDCLASSA wc{0, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "sysutilOwnerTest"};
    static const ATOM registered = RegisterClassA(&wc);
    return registered ? CreateWindowExA(0, "sysutilOwnerTest", title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                        nullptr, nullptr, nullptr)
                      : nullptr;
}

class Owner : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner_ = make_window("owner");
        other_ = make_window("other");
        ASSERT_NE(owner_, nullptr);
        ASSERT_NE(other_, nullptr);
        ASSERT_NE(platform_window_widget(owner_), nullptr);
        set_owner_window(owner_);
    }
    void TearDown() override
    {
        set_owner_window(nullptr);
        DestroyWindow(owner_);
        DestroyWindow(other_);
    }
    HWND owner_ = nullptr;
    HWND other_ = nullptr;
};

TEST_F(Owner, BoxesArePlacedOnTheOwnerWindow)
{
    QWidget* parent = nullptr;
    answer_next_modal([&](QWidget* w) {
        parent = w->parentWidget();
        qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(msgbox_yesno("Owner", "parent?"), 1);
    EXPECT_EQ(parent, platform_window_widget(owner_));
}

TEST_F(Owner, DialogsTakeTheGivenOwnerFirst)
{
    QWidget* parent = nullptr;
    char buffer[SYSUTIL_OPEN_FILES_BUFFER];
    answer_next_modal([&](QWidget* w) {
        parent = w->parentWidget();
        qobject_cast<QDialog*>(w)->reject();
    });
    EXPECT_EQ(open_files_dialog(buffer, "", "All|*|", "Pick", "", other_), 0);
    EXPECT_EQ(parent, platform_window_widget(other_));

    answer_next_modal([&](QWidget* w) {
        parent = w->parentWidget();
        qobject_cast<QDialog*>(w)->reject();
    });
    char path[SYSUTIL_MAX_PATH] = "";
    EXPECT_EQ(browse_folder("Folder", path, nullptr), 0);
    EXPECT_EQ(parent, platform_window_widget(owner_));
}

} // namespace
