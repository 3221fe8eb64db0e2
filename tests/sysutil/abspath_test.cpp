// _abspath against the current and a base directory (with the box for a base
// that does not exist) and CurrentDirKeeper.
#include "ostrel/sysutil.h"
#include "modal_answer.h"

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

std::string cwd()
{
    char buf[4096];
    return getcwd(buf, sizeof buf) ? buf : "";
}

class AbsPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp_.isValid());
        root_ = QDir(tmp_.path()).canonicalPath().toStdString();
        ASSERT_TRUE(QDir(QString::fromStdString(root_)).mkpath("work/sub"));
        start_ = cwd();
        ASSERT_EQ(chdir(root_.c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(start_.c_str()), 0); }

    QTemporaryDir tmp_;
    std::string root_, start_;
    char out_[SYSUTIL_MAX_PATH] = {};
};

TEST_F(AbsPath, BaseDirectoryThatDoesNotExistShowsTheBox)
{
    QString title, text;
    answer_next_modal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    std::string base = root_ + "/missing";
    EXPECT_EQ(_abspath("x.txt", out_, base.c_str()), nullptr);
    EXPECT_TRUE(modal_seen());
    EXPECT_EQ(title, QStringLiteral("_abspath"));
    EXPECT_EQ(text, QString::fromStdString("ref=" + base + "が不正です"));
    EXPECT_EQ(cwd(), root_);
}

TEST_F(AbsPath, ResolvedAgainstTheCurrentOrTheBaseDirectory)
{
    const std::string work = root_ + "/work";
    const std::string parent = QDir(QString::fromStdString(root_ + "/..")).absolutePath().toStdString();
    struct Row { const char* path; const char* base; std::string expected; };
    const Row rows[] = {
        {"work/sub/../x/./y.txt", nullptr, root_ + "/work/x/y.txt"},
        {"..", nullptr, parent},
        {"work/", nullptr, root_ + "/work"},   // one trailing separator removed
        {"/", nullptr, "/"},
        {"/../..", nullptr, "/"},
        {"\"x.txt\"", work.c_str(), work + "/x.txt"},   // quotes removed, the base left again
        {"/usr//lib/", work.c_str(), "/usr/lib"},   // an absolute path stays
        {nullptr, work.c_str(), root_},             // no path: the recorded directory
        {"   ", work.c_str(), work},                // blank: the current directory
        {"   ", nullptr, root_},
    };
    for (const Row& r : rows) {
        ASSERT_EQ(_abspath(r.path, out_, r.base), out_) << (r.path ? r.path : "null");
        EXPECT_EQ(std::string(out_), r.expected) << (r.path ? r.path : "null");
        EXPECT_EQ(cwd(), root_);
    }
}

TEST_F(AbsPath, NoneForEmptyQuotesOrAResultBeyondTheBuffer)
{
    EXPECT_EQ(_abspath("\"\"", out_), nullptr);
    std::string name(300, 'n');
    std::memset(out_, '#', sizeof out_);
    EXPECT_EQ(_abspath(name.c_str(), out_), nullptr);
    EXPECT_EQ(out_[0], '#');
}

TEST_F(AbsPath, KeeperRestoresTheDirectoryAlsoWhenAnExceptionPasses)
{
    {
        CurrentDirKeeper keep;
        EXPECT_EQ(std::string(keep.saved()), root_);
        ASSERT_EQ(chdir("/"), 0);
    }
    EXPECT_EQ(cwd(), root_);
    {
        CurrentDirKeeper keep("\"work/sub\"");
        EXPECT_EQ(cwd(), root_ + "/work/sub");
    }
    EXPECT_EQ(cwd(), root_);
    try {
        CurrentDirKeeper keep("work");
        EXPECT_EQ(cwd(), root_ + "/work");
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(cwd(), root_);
}

} // namespace
