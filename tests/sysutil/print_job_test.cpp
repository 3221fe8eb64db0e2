// The print job: the real print dialog, cancelled and accepted into a PDF file.
#include "ostrel/sysutil.h"
#include "modal_answer.h"

#include "platform/gdi/wingdi.h"

#include <QDialog>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>

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

TEST(PrintJob, AcceptedDialogPrintsIntoAPdfFile)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString pdf = tmp.filePath(QStringLiteral("job.pdf"));
    answer_next_modal([&](QWidget* w) {
        auto* dlg = qobject_cast<QPrintDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        dlg->printer()->setOutputFormat(QPrinter::PdfFormat);
        dlg->printer()->setOutputFileName(pdf);
        dlg->QDialog::accept();
    });
    PrintDlgRecord pd;
    ASSERT_EQ(print_begin(&pd, "_ostrel 1.11"), 1);
    ASSERT_NE(pd.hDC, nullptr);
    ASSERT_NE(pd.hDevMode, nullptr);
    auto* printer = static_cast<QPrinter*>(pd.hDevMode);
    EXPECT_EQ(printer->docName(), QStringLiteral("_ostrel 1.11"));
    EXPECT_EQ(printer->outputFileName(), pdf);
    StartPage(pd.hDC);
    Rectangle(pd.hDC, 100, 100, 600, 400);
    EndPage(pd.hDC);
    print_end(&pd);
    EXPECT_EQ(pd.hDC, nullptr);
    EXPECT_EQ(pd.hDevMode, nullptr);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
}

} // namespace
