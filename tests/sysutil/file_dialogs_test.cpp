// save_file_dialog and browse_folder on the real QFileDialog.
#include "ostrel/sysutil.h"
#include "modal_answer.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class FileDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = QDir(tmp_.path()).canonicalPath();
        ASSERT_TRUE(QDir(dir_).mkpath(QStringLiteral("sub")));
    }
    QTemporaryDir tmp_;
    QString dir_;
};

TEST_F(FileDialogs, SaveGivesTheChosenPathWithTheDefaultExtension)
{
    struct Row { std::string start, initial_dir, typed, ext, shown, chosen; int result; };
    const Row rows[] = {
        {"", dir_.toStdString(), "points", ".dat", "", dir_.toStdString() + "/points.dat", 1},
        {dir_.toStdString() + "/old.dat", "", "", "dat", "old.dat", dir_.toStdString() + "/old.dat", 1},   // from the path
        // a legal name, but the path passes 259 bytes: refused, the buffer kept
        {"", dir_.toStdString(), std::string(250, 'n'), "", "", "", 0},
    };
    for (const Row& r : rows) {
        char path[SYSUTIL_MAX_PATH];
        std::strcpy(path, r.start.c_str());
        QString title, shown;
        bool accepted = false;
        answer_next_modal([&](QWidget* w) {
            auto* dlg = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dlg, nullptr);
            title = dlg->windowTitle();
            auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            shown = edit->text();
            if (!r.typed.empty())
                edit->setText(QString::fromStdString(r.typed));
            QTest::keyClick(edit, Qt::Key_Return);
            accepted = dlg->result() == QDialog::Accepted;
        });
        ASSERT_EQ(save_file_dialog(path, r.initial_dir.c_str(), "Data|*.dat|", "Save as", r.ext.c_str(), nullptr),
                  r.result);
        EXPECT_TRUE(accepted);
        EXPECT_EQ(title, QStringLiteral("Save as"));
        EXPECT_EQ(shown.toStdString(), r.shown);
        EXPECT_EQ(std::string(path), r.chosen);
    }
}

TEST_F(FileDialogs, CancelledDialogsKeepThePath)
{
    char path[SYSUTIL_MAX_PATH] = "keep.dat";
    answer_next_modal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(save_file_dialog(path, dir_.toUtf8().constData(), "", "Save", "", nullptr), 0);
    EXPECT_TRUE(modal_seen());
    answer_next_modal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(browse_folder("Folder", path, nullptr), 0);
    EXPECT_STREQ(path, "keep.dat");
}

TEST_F(FileDialogs, BrowseFolderSelectsTheGivenPathAndReturnsTheChoice)
{
    char path[SYSUTIL_MAX_PATH];
    std::strcpy(path, (dir_ + "/sub").toUtf8().constData());
    QString title;
    answer_next_modal([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        title = dlg->windowTitle();
        EXPECT_EQ(dlg->fileMode(), QFileDialog::Directory);
        QTest::keyClick(dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
    });
    ASSERT_EQ(browse_folder("Folder", path, nullptr), 1);
    EXPECT_EQ(title, QStringLiteral("Folder"));
    EXPECT_EQ(std::string(path), dir_.toStdString() + "/sub");
}

} // namespace
