// The open dialog's selection: the rearranged answer and next_selected_file,
// through the raw-answer seam and on the real QFileDialog.
#include "ostrel/sysutil.h"
#include "sysutil/open_files_answer.h"
#include "modal_answer.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<char> raw(std::initializer_list<std::string> strings, std::size_t capacity = 256)
{
    std::vector<char> b(capacity, '\x7f');
    std::size_t at = 0;
    for (const std::string& s : strings) {
        std::copy(s.begin(), s.end(), b.begin() + at);
        at += s.size();
        b[at++] = '\0';
    }
    b[at] = '\0';
    return b;
}

std::vector<std::string> strings_of(const char* b)
{
    std::vector<std::string> out;
    while (*b) {
        out.emplace_back(b);
        b += out.back().size() + 1;
    }
    return out;
}

class Selection : public ::testing::Test {
protected:
    void TearDown() override { open_files_clear_selection(); }
};

TEST_F(Selection, AnswersRearrangedAndYieldedLastFirst)
{
    using Names = std::vector<std::string>;
    struct Row { std::initializer_list<std::string> answer; int count; Names arranged, yielded; };
    const Row rows[] = {
        {{"/d", "a", "b", "c"}, 4, {"/d/b", "a", "c"}, {"/d/c", "/d/b", "/d/a", "/d/c"}},
        {{"/d", "n1", "n2", "n3", "n4"}, 5, {"/d/n2", "n3", "n1", "n4"}, {"/d/n4", "/d/n2", "/d/n3", "/d/n1", "/d/n4"}},
        {{"/d", "a", "b"}, 3, {"/d/b", "a"}, {"/d/b", "/d/a", "/d/b"}},
        {{"/d/x.txt"}, 1, {"/d/x.txt"}, {"/d/x.txt", "/d/x.txt"}},
        {{"/", "a", "b", "c"}, 4, {"/b", "a", "c"}, {"/c", "/b"}},
    };
    for (const Row& r : rows) {
        auto b = raw(r.answer);
        ASSERT_EQ(open_files_take_answer(b.data(), b.size()), r.count);
        EXPECT_EQ(strings_of(b.data()), r.arranged);
        std::fill(b.begin(), b.end(), 'z');   // the selection outlives the caller's buffer
        Names got;
        for (std::size_t i = 0; i < r.yielded.size(); ++i)
            got.push_back(next_selected_file());
        EXPECT_EQ(got, r.yielded);
    }
}

TEST_F(Selection, NoSelectionOrAnUnterminatedAnswerGivesNone)
{
    EXPECT_EQ(next_selected_file(), nullptr);
    for (std::vector<char> b : {raw({}), std::vector<char>(8, 'x')}) {
        EXPECT_EQ(open_files_take_answer(b.data(), b.size()), 0);
        EXPECT_EQ(next_selected_file(), nullptr);
    }
}

class OpenFilesDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = QDir(tmp_.path()).canonicalPath();
        for (const char* n : {"a.txt", "b.txt", "c.txt"}) {
            QFile f(dir_ + "/" + n);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }
    void TearDown() override { open_files_clear_selection(); }

    QTemporaryDir tmp_;
    QString dir_;
    char buffer_[SYSUTIL_OPEN_FILES_BUFFER];
};

TEST_F(OpenFilesDialog, ThreeFilesChosenOnTheRealDialog)
{
    QString title, directory;
    QStringList filters;
    answer_next_modal([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        title = dlg->windowTitle();
        directory = dlg->directory().absolutePath();
        filters = dlg->nameFilters();
        auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(QStringLiteral("\"a.txt\" \"b.txt\" \"c.txt\""));
        QTest::keyClick(dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
    });
    int n = open_files_dialog(buffer_, dir_.toUtf8().constData(), "Text|*.txt;*.log|All|*.*|",
                              "Pick", ".txt", nullptr);
    ASSERT_TRUE(modal_seen());
    EXPECT_EQ(title, QStringLiteral("Pick"));
    EXPECT_EQ(directory, dir_);
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Text (*.txt *.log)"), QStringLiteral("All (*)")}));
    ASSERT_EQ(n, 4);
    const std::string d = dir_.toStdString();
    EXPECT_EQ(next_selected_file(), d + "/c.txt");
    EXPECT_EQ(next_selected_file(), d + "/b.txt");
    EXPECT_EQ(next_selected_file(), d + "/a.txt");
    EXPECT_EQ(next_selected_file(), d + "/c.txt");
}

TEST_F(OpenFilesDialog, OneFileFromTheCurrentDirectoryWhenNoneIsGiven)
{
    QString directory;
    answer_next_modal([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        directory = dlg->directory().absolutePath();
        auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        edit->setText(dir_ + QStringLiteral("/b.txt"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    ASSERT_EQ(open_files_dialog(buffer_, "", "All|*|", "Pick", "", nullptr), 1);
    EXPECT_EQ(directory, QDir::currentPath());
    EXPECT_EQ(std::string(buffer_), dir_.toStdString() + "/b.txt");
    EXPECT_EQ(std::string(next_selected_file()), dir_.toStdString() + "/b.txt");
}

TEST_F(OpenFilesDialog, CancelClearsTheSelection)
{
    auto b = raw({"/d", "a", "b", "c"});
    ASSERT_EQ(open_files_take_answer(b.data(), b.size()), 4);
    answer_next_modal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(open_files_dialog(buffer_, dir_.toUtf8().constData(), "All|*|", "Pick", "", nullptr), 0);
    EXPECT_TRUE(modal_seen());
    EXPECT_STREQ(buffer_, "");
    EXPECT_EQ(next_selected_file(), nullptr);
}

} // namespace
