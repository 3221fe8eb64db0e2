// The print job: the real print dialog, cancelled and accepted into a PDF file.
#include "ostrel/sysutil.h"
#include "modal_answer.h"

#include <QDialog>
#include <QPrintDialog>

#include <gtest/gtest.h>

namespace {

TEST(PrintJob, CancelGivesZeroAndAClearedRecord)
{
    PrintDlgRecord pd;
    pd.hDC = reinterpret_cast<HDC>(0x1);
    pd.hDevMode = reinterpret_cast<void*>(0x2);
    bool was_print_dialog = false;
    answer_next_modal([&](QWidget* w) {
        was_print_dialog = qobject_cast<QPrintDialog*>(w) != nullptr;
        qobject_cast<QDialog*>(w)->reject();
    });
    EXPECT_EQ(print_begin(&pd, "_ostrel 1.11"), 0);
    EXPECT_TRUE(was_print_dialog);
    EXPECT_EQ(pd.hDC, nullptr);
    EXPECT_EQ(pd.hDevMode, nullptr);
    EXPECT_EQ(pd.lStructSize, sizeof pd);
    EXPECT_EQ(pd.Flags, static_cast<unsigned long>(PD_RETURNDC));
}

} // namespace
